// The marker of changes in progress: a small file beside a table's data file ("Tow.dbf" has
// "Tow.opn") that tells the next opening whether a run that changed the table ended without
// closing it (killed, crashed, cut off by a power loss). Tables have no journal: such an end can
// leave a record that no index finds, so the next opening checks the indexes against the records
// and rebuilds them when they disagree. A clean close removes the marker, and an opening that
// finds none does nothing more than look for the file.
//
// Each run that changes a table takes a place in the marker before its first change reaches the
// file, and holds a byte-range lock for that place as long as it has the table open. A place
// that is taken but whose lock nobody holds belongs to a run that has gone: that is an unclean
// end. Workstations sharing the data directory ("Net" = 1) each take their own place, so one that
// is still at work is never taken for one that has died. Format: docs/formats/open-marker.md
#pragma once

#include <string>

#include "db/table_def.h"

struct TABLESLOT;

// The marker's name: the data file's name with the extension ".opn".
std::string MarkerName(const char* data_file);

// Called before the first change a run makes to an open table, under the table's write lock:
// takes a place in the marker and makes it durable. 0, or -1 (reported): the change must not go
// on, because a crash during it could not be noticed afterwards.
int MarkChanging(TABLESLOT& s);

// The clean close of a table that holds a place: the data and index files reach the disk, then
// the place is given back (the marker goes when no place is left). When a flush fails the place
// stays taken, and the next opening checks the table. The slot itself is not closed.
void UnmarkOnClose(TABLESLOT& s);

// Whether the marker tells of an unclean end, changing nothing: 1 yes (a place of a run that has
// gone, or a marker that cannot be read as ours), 0 no (no marker, or only places of runs still
// at work), -1 the marker could not be read (reported).
int UncleanEnd(const char* data_file);

// Called after an open table was opened for work: when the marker tells of an unclean end, the
// table's lock is taken for writing (waiting as for any lock), the indexes are checked against
// the records and rebuilt when they disagree (with the progress window), the places of the runs
// that have gone are given back and the user is told once (event 23) that the indexes were
// rebuilt. A check or rebuild that fails says nothing of success. 0 done or nothing to do; 1 the
// repair failed (reported by the file layer; the marker is kept, so the next opening tries
// again); -1 the marker could not be read or the wait was given up.
int MendUncleanEnd(int table);
