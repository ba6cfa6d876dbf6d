// The integrity check of a table: its index file walked by the index checker, then every record
// (deleted ones too, which keep their keys until a rebuild) looked up under each of its keys as
// the key builders make them, and the number of entries of each index equal to the record count.
#pragma once

#include <string>

// 0 when sound; otherwise the event code of the first fault (8 index structure, 10 a key
// missing, 14 a record number outside the file) with a one-line description in problem, in
// Polish (data code page); records are numbered from 1 there, as the user counts them.
// The table's position and active index are kept.
int CheckTable(int table, std::string* problem);
