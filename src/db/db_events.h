// Events of the table layer: one installed handler hears every failure and progress report.
//
// The table layer and the index files report through ReportDbEvent; the handler (installed once by
// start-up through SetEventHandler) shows the texts and answers progress events: a non-zero answer
// cancels a running rebuild or defragmentation. Without a handler events are only remembered, so
// that LastError tells what went wrong. The text argument is the file name the event is about; the
// number is the percentage for progress events and the index number for index events.
//
//   SetEventHandler(MyHandler);                  // start-up
//   ReportDbEvent(kDbEvBadIndex, "Tow.inx", 0);  // inside the layer; returns the handler's answer
//   SetEventHandler(nullptr);                    // tests: back to silence
#pragma once

enum DbEvent {
  kDbEvDefragStart = 1,
  kDbEvDefragProgress = 2,
  kDbEvDefragEnd = 3,
  kDbEvIndexBuildStart = 4,
  kDbEvIndexBuildProgress = 5,
  kDbEvIndexBuildEnd = 6,
  kDbEvBadIndexNumber = 7,
  kDbEvBadIndex = 8,  // index file header or page invalid
  kDbEvNoActiveIndex = 9,
  kDbEvKeyMissing = 10,  // a key to remove (or locate) is not in the index
  kDbEvNoMemory = 11,
  kDbEvNoSharing = 12,
  kDbEvRecordDeleted = 13,
  kDbEvBadRecordNumber = 14,
  kDbEvNotFound = 15,  // beginning or end reached, key not found; silent
  kDbEvNotOpen = 16,
  kDbEvBadDefinition = 17,
  kDbEvNoCurrentRecord = 18,
  kDbEvBadTableFile = 19,
  kDbEvBadTableNumber = 20,
  // A data file shorter than its header said was mended on opening: the text is the name of the
  // copy kept of it ("Tow.dbf.001", the file's name and a number), the number the records lost.
  kDbEvFileMended = 21,
  // A number of the record structure is wider than its field: the record is not written.
  kDbEvNumberTooWide = 22,
  // Opening found that a run which changed the table ended without closing it, and the indexes,
  // which disagreed with the records, were rebuilt. The text is the data file's name.
  kDbEvUncleanEnd = 23,
};

using DbEventHandler = int (*)(int code, const char* text, long number);

// nullptr removes the handler.
void SetEventHandler(DbEventHandler handler);
DbEventHandler EventHandler();

// Remembers the code as the last error and passes the event on; the handler's answer, or 0.
int ReportDbEvent(int code, const char* text, long number);

// The code of the last event reported, 0 when none since the last reset.
int LastError();

// Forgets the handler and the last error (tests run many cases in one process).
void ResetDbEvents();
