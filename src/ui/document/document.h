// The current text document: every printable output (documents, reports, the user manual) is a
// text file that producers append to and the viewer, the save command and the printers read back.
//
//   doc_printf("%s\n", title);  ...  doc_view();     // a temporary "000001.tmp", deleted after
//   doc_open_file("/opt/tamsu/Tamsu.txt", 2);  doc_view();   // a file of its own, read only
//
// Temporary documents are written in the data code page with CR LF line ends. Reading converts
// from the document's code page to the data code page. While a document is measured, a sparse
// index of line starts is built, so that any line is reached with one seek and a few lines read,
// however long the document: the viewer reads only the lines it paints. File format:
// docs/formats/text-documents.md.
#pragma once

#include <cstddef>
#include <cstdint>

// Longest line the viewer, the search and the printers take; the rest of a line is skipped.
inline constexpr int kDocLineMax = 255;
// A file to open that is larger than this is refused (a temporary document has no limit).
inline constexpr int64_t kDocOpenLimit = 64LL << 20;
// doc_read_line at the end of the document.
inline constexpr long kDocEnd = -2;

// Appends formatted text, creating a temporary document in the current directory when none is
// open; "\n" becomes CR LF. 0, or -1 when the document cannot be created or written.
int doc_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Makes an existing text file the current document (read only, not temporary), measured inside
// the wait window. The previous document is closed first. -1 when it cannot be opened, or when
// it is binary (holds a NUL byte) or larger than kDocOpenLimit (both with a message).
int doc_open_file(const char* path, int code_page);
// Closes the current document, deleting a temporary file.
void doc_close();

bool doc_is_open();
const char* doc_name();
int doc_code_page();
bool doc_is_temporary();
long doc_lines();
long doc_longest();

// Counts the lines and the longest line (without CR LF) and indexes the line starts, from the
// start of the file. 0, or -1 on a read error; -2 when a NUL byte shows the file is not text.
int doc_measure();
// Positions the reader at the start of a line (0-based); a line past the end positions at the
// end. 0 or -1.
int doc_seek_line(long line);
// The next line without its CR LF, at most max - 1 (and kDocLineMax) characters, converted to the
// data code page; the rest of a longer line is skipped. The length, kDocEnd, or -1.
long doc_read_line(char* buffer, size_t max);

// The next piece of the document as it stands, up to and including a line feed, at most max - 1
// characters, NUL-terminated, converted to the data code page (saving copies with it). The
// length, kDocEnd, or -1.
long doc_read_piece(char* buffer, size_t max);

// The I/O buffer: 16 KB, less when free physical memory is short ((free KB - 2) KB), none below
// 1 KB (0: the file's own small buffer).
size_t doc_buffer_size(unsigned long long free_kb);

// Closes and forgets everything (tests).
void DocumentReset();
