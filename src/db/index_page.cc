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

namespace {

// Byte tables taken once from the code page module: the conversions between the data code page
// and code page 852, and the collation weights of the data code page.
struct KEYTABLES {
  uint8_t to_disk[256], from_disk[256], weight[256];
  KEYTABLES() {
    for (int b = 0; b < 256; ++b) {
      const auto c = static_cast<uint8_t>(b);
      to_disk[b] = convert_char(kCodePageWindows, kCodePageLatin2, c);
      from_disk[b] = convert_char(kCodePageLatin2, kCodePageWindows, c);
      weight[b] = collation_weight(kCodePageWindows, c);
    }
  }
};

const KEYTABLES& Tables() {
  static const KEYTABLES tables;
  return tables;
}

// Taken once, so that comparisons do not ask for the tables at every key.
const uint8_t* const kWeights = Tables().weight;

// As compare_prefix in the data code page.
int CompareWeighted(const uint8_t* a, const uint8_t* b, size_t n) {
  const uint8_t* w = kWeights ? kWeights : Tables().weight;  // before static initialisation ends
  for (size_t i = 0; i < n; ++i) {
    const uint8_t x = a[i], y = b[i];
    if (x == y) {
      if (x == 0) return 0;
      continue;
    }
    const int d = static_cast<int>(w[x]) - static_cast<int>(w[y]);
    if (d != 0) return d;
    if (x == 0 || y == 0) return 0;
  }
  return 0;
}

}  // namespace

void ConvertIndexPage(INDEXPAGE& pg, int key_length, int from, int to) {
  const uint8_t* table = nullptr;
  if (from == kCodePageWindows && to == kCodePageLatin2) table = Tables().to_disk;
  if (from == kCodePageLatin2 && to == kCodePageWindows) table = Tables().from_disk;
  int n = PageCount(pg);
  for (int i = 0; i < n; ++i) {
    uint8_t* key = EntryKey(pg, key_length, i);
    if (!table) {
      convert_buffer(from, to, key, static_cast<size_t>(key_length));
      continue;
    }
    // Only bytes from 128 up change; most keys have none.
    int k = 0;
    for (; k + 8 <= key_length; k += 8) {
      uint64_t word;
      std::memcpy(&word, key + k, sizeof word);
      if ((word & 0x8080808080808080ull) == 0) continue;
      for (int b = k; b < k + 8; ++b) key[b] = table[key[b]];
    }
    for (; k < key_length; ++k) key[k] = table[key[k]];
  }
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
  return CompareWeighted(a, b, static_cast<size_t>(key_length - 1));
}

int KeysBelow(const INDEXPAGE& pg, int key_length, int n, const uint8_t* key) {
  int lo = 0, hi = n;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (CompareIndexKeys(EntryKey(pg, key_length, mid), key, key_length) < 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

int KeysNotAbove(const INDEXPAGE& pg, int key_length, int n, const uint8_t* key) {
  int lo = 0, hi = n;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (CompareIndexKeys(EntryKey(pg, key_length, mid), key, key_length) <= 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

int CompareIndexPrefix(const uint8_t* key, const char* text, size_t text_length, int key_length) {
  size_t n = text_length < static_cast<size_t>(key_length - 1)
                 ? text_length
                 : static_cast<size_t>(key_length - 1);
  return CompareWeighted(key, reinterpret_cast<const uint8_t*>(text), n);
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
