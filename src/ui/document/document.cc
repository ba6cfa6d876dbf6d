#include "ui/document/document.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/text.h"
#include "platform/cfile.h"
#include "platform/cfiletxt.h"
#include "platform/system.h"
#include "ui/feedback.h"
#include "ui/message_box.h"

namespace {

// Every 32nd line start is remembered: a seek reads at most 31 lines to reach its line, and a
// document of a million lines costs 250 KB of index.
constexpr long kIndexStride = 32;

struct DOCUMENT {
  std::string name;
  std::unique_ptr<CFILETXT> file;
  std::vector<char> buffer;
  int code_page = kCodePageWindows;
  bool temporary = false;
  bool at_end = false;  // the file position is where the next doc_printf writes
  long lines = 0;
  long longest = 0;
  std::vector<int64_t> index;  // start of line k * kIndexStride
};

DOCUMENT g_doc;

// Opens a document's file with the buffer the free memory allows.
int OpenFile(DOCUMENT* d, const char* path, int disposition, int access, int sharing) {
  d->buffer.assign(doc_buffer_size(GetSystemFacts(".").free_memory_kb), 0);
  d->file = d->buffer.empty() ? std::make_unique<CFILETXT>()
                              : std::make_unique<CFILETXT>(d->buffer.data(), d->buffer.size());
  if (d->file->Open(path, disposition, access, sharing) != 0) {
    d->file.reset();
    return -1;
  }
  d->name = path;
  return 0;
}

// Skips to the line feed that ends the current line; 0 or -1.
int SkipRestOfLine() {
  char chunk[kDocLineMax + 2];
  for (;;) {
    const long n = g_doc.file->ReadLine(chunk, sizeof chunk);
    if (n < 0) return -1;
    if (n == 0 || chunk[n - 1] == '\n') return 0;
  }
}

int Measure(DOCUMENT* d);

}  // namespace

size_t doc_buffer_size(unsigned long long free_kb) {
  if (free_kb >= 18) return 16 * 1024;
  if (free_kb < 3) return 0;
  return static_cast<size_t>(free_kb - 2) * 1024;
}

int doc_printf(const char* format, ...) {
  if (!g_doc.file) {
    const std::string name = TakeTemporaryName("", true);  // a refusal is reported
    if (name.empty()) return -1;
    if (OpenFile(&g_doc, name.c_str(), kOpenExisting, kAccessReadWrite, kShareReadWrite) != 0) {
      CFILE::DeleteFile(name.c_str());
      g_doc = DOCUMENT{};
      return -1;
    }
    g_doc.temporary = true;
    g_doc.code_page = data_code_page();
    g_doc.file->SetCodePage(g_doc.code_page);
    g_doc.at_end = true;
  }
  va_list ap;
  va_start(ap, format);
  va_list again;
  va_copy(again, ap);
  const int n = std::vsnprintf(nullptr, 0, format, ap);
  va_end(ap);
  if (n < 0) {
    va_end(again);
    return -1;
  }
  std::string text(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, again);
  va_end(again);
  text.resize(static_cast<size_t>(n));
  CFILETXT& f = *g_doc.file;
  if (!g_doc.at_end) {
    const int64_t size = f.Size();
    if (size < 0 || f.SeekTo(size) != 0) return -1;
    g_doc.at_end = true;
  }
  for (char c : text) {
    if (c == '\n' && f.WriteChar('\r') != 0) return -1;
    if (f.WriteChar(c) != 0) return -1;
  }
  return 0;
}

int doc_open_file(const char* path, int code_page) {
  if (!path || !*path) return -1;
  // The new file is opened and measured aside: a file that cannot be shown changes nothing.
  DOCUMENT d;
  if (OpenFile(&d, path, kOpenExisting, kAccessRead, kShareReadWrite) != 0) return -1;
  d.code_page = code_page >= 0 && code_page < kCodePageCount ? code_page : kCodePageLatin2;
  d.file->SetCodePage(d.code_page);
  const int64_t size = d.file->Size();
  int rc = size < 0 ? -1 : 0;
  if (rc == 0 && size > kDocOpenLimit) {
    message("Plik %s jest zbyt duży, by go otworzyć\n(więcej niż %lld MB)."_pl, path,
            static_cast<long long>(kDocOpenLimit >> 20));
    rc = -1;
  }
  if (rc == 0) {
    wait_window(0);
    rc = Measure(&d);
    wait_window(2);
    if (rc == -2) message("Plik %s nie jest plikiem tekstowym."_pl, path);
  }
  if (rc != 0) return -1;
  doc_close();
  g_doc = std::move(d);
  return 0;
}

void doc_close() {
  if (g_doc.file) {
    if (g_doc.temporary) g_doc.file->Delete();
    else g_doc.file->Close();
  }
  g_doc = DOCUMENT{};
}

bool doc_is_open() { return g_doc.file != nullptr; }
const char* doc_name() { return g_doc.name.c_str(); }
int doc_code_page() { return g_doc.code_page; }
bool doc_is_temporary() { return g_doc.temporary; }
long doc_lines() { return g_doc.lines; }
long doc_longest() { return g_doc.longest; }

int doc_measure() { return g_doc.file ? Measure(&g_doc) : -1; }

namespace {

int Measure(DOCUMENT* d) {
  CFILETXT& f = *d->file;
  d->at_end = false;
  if (f.SeekTo(0) != 0) return -1;
  std::vector<int64_t> index;
  long lines = 0, longest = 0, width = 0;
  bool open_line = false, cr = false;
  int64_t offset = 0;
  char chunk[16384];
  for (;;) {
    // The raw bytes: line feeds and NULs are the same in every code page.
    const long n = f.Read(chunk, sizeof chunk);
    if (n < 0) return -1;
    if (n == 0) break;
    for (long i = 0; i < n; ++i, ++offset) {
      const char c = chunk[i];
      if (c == '\0') return -2;
      if (!open_line) {
        if (lines % kIndexStride == 0) index.push_back(offset);
        open_line = true;
        width = 0;
        cr = false;
      }
      if (c == '\n') {
        const long w = cr ? width - 1 : width;
        if (w > longest) longest = w;
        ++lines;
        open_line = false;
      } else {
        ++width;
        cr = c == '\r';
      }
    }
  }
  if (open_line) {
    if (width > longest) longest = width;
    ++lines;
  }
  if (f.SeekTo(0) != 0) return -1;
  d->index = std::move(index);
  d->lines = lines;
  d->longest = longest;
  return 0;
}

}  // namespace

int doc_seek_line(long line) {
  if (!g_doc.file) return -1;
  g_doc.at_end = false;
  if (line <= 0) return g_doc.file->SeekTo(0);
  if (line >= g_doc.lines || g_doc.index.empty()) {
    const int64_t size = g_doc.file->Size();
    return size < 0 ? -1 : g_doc.file->SeekTo(size);
  }
  const size_t k = static_cast<size_t>(line / kIndexStride);
  if (g_doc.file->SeekTo(g_doc.index[k]) != 0) return -1;
  for (long skip = line % kIndexStride; skip > 0; --skip)
    if (SkipRestOfLine() != 0) return -1;
  return 0;
}

long doc_read_line(char* out, size_t max) {
  if (!g_doc.file) return -1;
  g_doc.at_end = false;
  char line[kDocLineMax + 2];
  long n = g_doc.file->ReadLine(line, sizeof line);
  if (n < 0) return -1;
  if (n == 0) return kDocEnd;
  if (line[n - 1] == '\n') {
    --n;
    if (n > 0 && line[n - 1] == '\r') --n;
  } else if (n == static_cast<long>(sizeof line) - 1 && SkipRestOfLine() != 0) {
    return -1;
  }
  if (n > kDocLineMax) n = kDocLineMax;
  if (max == 0) return n;
  if (n > static_cast<long>(max) - 1) n = static_cast<long>(max) - 1;
  for (long i = 0; i < n; ++i) out[i] = line[i];
  out[n] = '\0';
  return n;
}

void DocumentReset() { doc_close(); }

long doc_read_piece(char* buffer, size_t max) {
  if (!g_doc.file) return -1;
  g_doc.at_end = false;
  const long n = g_doc.file->ReadLine(buffer, max);
  return n == 0 ? kDocEnd : n;
}
