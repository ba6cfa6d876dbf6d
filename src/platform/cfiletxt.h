// CFILETXT: a buffered text file over CFILE, converting between the file's code page and the
// data code page on every character (Tamsu.ini and documents are kept in code page 852).
#pragma once

#include "platform/cfile.h"

class CFILETXT : public CFILE {
 public:
  CFILETXT() = default;
  // A buffer of the caller's (at least 1 byte) instead of the own 512 bytes.
  CFILETXT(char* buffer, size_t size);
  ~CFILETXT() override;

  // The code page of the file's bytes; the data code page (no conversion) by default.
  void SetCodePage(int code_page) { code_page_ = code_page; }
  int CodePage() const { return code_page_; }

  // Writes the buffer, then closes.
  int Close() override;
  int Flush() override;

  // Reads up to and including a line feed, at most maximum - 1 characters, NUL-terminated.
  // The count read; 0 at the end of the file; -1 on error.
  long ReadLine(char* buffer, size_t maximum);
  int WriteChar(char ch);
  // The count written, or -1.
  long WriteString(const char* text);
  // Counts the lines and the longest line (without its line feed) from the current position,
  // leaving the position where it was. 0 or -1.
  int Measure(long* lines, long* longest);
  // Moves to a byte offset of the file, dropping what the buffer held (written data is written
  // first). 0 or -1.
  int SeekTo(int64_t offset);
  // The byte offset the next ReadLine starts at, or -1.
  int64_t Offset();

 private:
  int FlushWrite();
  int Fill();

  char own_[512];
  char* buf_ = own_;
  size_t size_ = sizeof own_;
  size_t pos_ = 0;  // next byte of the buffer to read or write
  size_t len_ = 0;  // bytes of the buffer holding read data
  bool writing_ = false;
  int code_page_ = 10;
};
