#include "platform/cfiletxt.h"

#include <cstring>

#include "common/codepage.h"

CFILETXT::CFILETXT(char* buffer, size_t size) {
  if (buffer && size > 0) {
    buf_ = buffer;
    size_ = size;
  }
}

CFILETXT::~CFILETXT() {
  if (IsOpen()) Close();
}

int CFILETXT::FlushWrite() {
  if (!writing_ || pos_ == 0) {
    writing_ = false;
    pos_ = 0;
    return 0;
  }
  convert_buffer(kCodePageWindows, code_page_, buf_, pos_);
  long n = CFILE::Write(buf_, pos_);
  bool ok = n == static_cast<long>(pos_);
  pos_ = 0;
  writing_ = false;
  return ok ? 0 : -1;
}

int CFILETXT::Close() {
  int rc = IsOpen() ? FlushWrite() : 0;
  pos_ = len_ = 0;
  if (CFILE::Close() != 0) rc = -1;
  return rc;
}

int CFILETXT::Flush() {
  if (FlushWrite() != 0) return -1;
  return CFILE::Flush();
}

int CFILETXT::Fill() {
  long n = CFILE::Read(buf_, size_);
  if (n < 0) return -1;
  convert_buffer(code_page_, kCodePageWindows, buf_, static_cast<size_t>(n));
  pos_ = 0;
  len_ = static_cast<size_t>(n);
  return 0;
}

long CFILETXT::ReadLine(char* out, size_t maximum) {
  if (!IsOpen()) return Fail(kFileOpRead, kFileErrClosed);
  if (writing_ && FlushWrite() != 0) return -1;
  size_t n = 0;
  while (n + 1 < maximum) {
    if (pos_ >= len_) {
      if (Fill() != 0) return -1;
      if (len_ == 0) break;
    }
    char c = buf_[pos_++];
    out[n++] = c;
    if (c == '\n') break;
  }
  if (maximum > 0) out[n] = '\0';
  return static_cast<long>(n);
}

int CFILETXT::WriteChar(char ch) {
  if (!IsOpen()) return Fail(kFileOpWrite, kFileErrClosed);
  if (!writing_) {
    // Drop read-ahead: the file position moves back to where the reader stands.
    if (len_ > pos_ && Seek(-static_cast<int64_t>(len_ - pos_), SEEK_CUR) < 0) return -1;
    pos_ = len_ = 0;
    writing_ = true;
  }
  buf_[pos_++] = ch;
  if (pos_ == size_) return FlushWrite();
  return 0;
}

long CFILETXT::WriteString(const char* text) {
  long n = 0;
  for (const char* p = text; *p; ++p, ++n)
    if (WriteChar(*p) != 0) return -1;
  return n;
}

int CFILETXT::Measure(long* lines, long* longest) {
  if (!IsOpen()) return Fail(kFileOpRead, kFileErrClosed);
  if (writing_ && FlushWrite() != 0) return -1;
  int64_t here = Seek(0, SEEK_CUR);
  if (here < 0) return -1;
  int64_t logical = here - static_cast<int64_t>(len_ - pos_);
  if (Seek(logical, SEEK_SET) < 0) return -1;
  long count = 0, width = 0, max = 0;
  char chunk[4096];
  bool open_line = false;
  for (;;) {
    long n = CFILE::Read(chunk, sizeof chunk);
    if (n < 0) return -1;
    if (n == 0) break;
    for (long i = 0; i < n; ++i) {
      if (chunk[i] == '\n') {
        ++count;
        if (width > max) max = width;
        width = 0;
        open_line = false;
      } else {
        ++width;
        open_line = true;
      }
    }
  }
  if (open_line) {
    ++count;
    if (width > max) max = width;
  }
  if (Seek(here, SEEK_SET) < 0) return -1;
  *lines = count;
  *longest = max;
  return 0;
}

int CFILETXT::SeekTo(int64_t offset) {
  if (!IsOpen()) return Fail(kFileOpSeek, kFileErrClosed);
  if (writing_ && FlushWrite() != 0) return -1;
  pos_ = len_ = 0;
  return Seek(offset, SEEK_SET) < 0 ? -1 : 0;
}

int64_t CFILETXT::Offset() {
  if (!IsOpen()) return Fail(kFileOpTell, kFileErrClosed);
  if (writing_ && FlushWrite() != 0) return -1;
  const int64_t here = Seek(0, SEEK_CUR);
  return here < 0 ? -1 : here - static_cast<int64_t>(len_ - pos_);
}
