// Entry operations, key comparison and header coding of index files.
#include "db/index_page.h"

#include <cstring>

#include "common/codepage.h"

void InitIndexPage(INDEXPAGE& pg, int kind) {
  std::memset(pg.bytes, 0, sizeof pg.bytes);
  SetPageKind(pg, kind);
  SetPagePrev(pg, kNoPage);
  SetPageNext(pg, kNoPage);
}

void InsertIndexEntry(INDEXPAGE& pg, int key_length, int pos, const uint8_t* key, uint32_t value) {
  int n = PageCount(pg);
  int size = key_length + 4;
  uint8_t* at = EntryKey(pg, key_length, pos);
  std::memmove(at + size, at, static_cast<size_t>((n - pos) * size));
  std::memcpy(at, key, static_cast<size_t>(key_length));
  PutLe32(at + key_length, value);
  SetPageCount(pg, n + 1);
}

void RemoveIndexEntry(INDEXPAGE& pg, int key_length, int pos) {
  int n = PageCount(pg);
  int size = key_length + 4;
  uint8_t* at = EntryKey(pg, key_length, pos);
  std::memmove(at, at + size, static_cast<size_t>((n - pos - 1) * size));
  std::memset(EntryKey(pg, key_length, n - 1), 0, static_cast<size_t>(size));
  SetPageCount(pg, n - 1);
}

void ConvertIndexPage(INDEXPAGE& pg, int key_length, int from, int to) {
  int n = PageCount(pg);
  for (int i = 0; i < n; ++i) convert_buffer(from, to, EntryKey(pg, key_length, i), static_cast<size_t>(key_length));
}

void NormalizeIndexText(void* bytes, size_t n) {
  convert_buffer(kCodePageWindows, kCodePageLatin2, bytes, n);
  convert_buffer(kCodePageLatin2, kCodePageWindows, bytes, n);
}

void MakeIndexKey(const char* text, int key_length, uint8_t* out) {
  std::memset(out, 0, static_cast<size_t>(key_length));
  if (text == nullptr) return;
  int n = 0;
  for (; n < key_length - 1 && text[n] != '\0'; ++n) out[n] = static_cast<uint8_t>(text[n]);
  NormalizeIndexText(out, static_cast<size_t>(n));
}

int CompareIndexKeys(const uint8_t* a, const uint8_t* b, int key_length) {
  return compare_prefix(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b),
                        static_cast<size_t>(key_length - 1));
}

int CompareIndexPrefix(const uint8_t* key, const char* text, size_t text_length, int key_length) {
  size_t n = text_length < static_cast<size_t>(key_length - 1) ? text_length : static_cast<size_t>(key_length - 1);
  return compare_prefix(reinterpret_cast<const char*>(key), text, n);
}

void EncodeIndexHeader(const INDEXHEADER& h, uint8_t* block) {
  std::memset(block, 0, kIndexBlockSize);
  std::memcpy(block, kIndexMagic, kIndexMagicSize);
  PutLe32(block + 32, h.page_count);
  PutLe32(block + 36, h.index_count);
  for (uint32_t i = 0; i < h.index_count && i < kMaxIndexCount; ++i) {
    PutLe32(block + 40 + 8 * i, static_cast<uint32_t>(h.key_length[i]));
    PutLe32(block + 44 + 8 * i, static_cast<uint32_t>(h.root[i]));
  }
}

int DecodeIndexHeader(const uint8_t* block, INDEXHEADER* h) {
  if (std::memcmp(block, kIndexMagic, kIndexMagicSize) != 0) return -1;
  h->page_count = GetLe32(block + 32);
  h->index_count = GetLe32(block + 36);
  if (h->index_count > kMaxIndexCount) return -1;
  for (uint32_t i = 0; i < h->index_count; ++i) {
    h->key_length[i] = static_cast<int32_t>(GetLe32(block + 40 + 8 * i));
    h->root[i] = static_cast<int32_t>(GetLe32(block + 44 + 8 * i));
  }
  return 0;
}
