// Layout of an index file: the 512-byte header block and the 512-byte pages, with the entry
// operations and key comparisons the B-tree code and the checker share. Pure functions over bytes;
// no file access here. Format description: docs/formats/index-file.md.
//
// A page in memory holds its keys in the data code page; on disk they are in code page 852. The
// numbers are little-endian in both.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int kIndexBlockSize = 512;
inline constexpr int kIndexPageHead = 12;  // kind, count, previous, next
inline constexpr int kMaxIndexCount = 59;
inline constexpr int kMinKeyLength = 2;  // NUL included
inline constexpr int kMaxKeyLength = 100;
inline constexpr int kIndexMagicSize = 26;  // the text and its NUL
inline constexpr char kIndexMagic[kIndexMagicSize] = "Krenvo database index 2.0";
inline constexpr int32_t kNoPage = -1;
inline constexpr int kPageInner = 0;
inline constexpr int kPageLeaf = 1;

// Entries per page: as many as fit in 500 bytes, rounded down to an even number so that a split
// halves a page exactly.
constexpr int IndexCapacity(int key_length) { return (500 / (key_length + 4)) & ~1; }

struct INDEXPAGE {
  uint8_t bytes[kIndexBlockSize];
};

inline uint16_t GetLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline int PageKind(const INDEXPAGE& pg) { return GetLe16(pg.bytes); }
inline int PageCount(const INDEXPAGE& pg) { return GetLe16(pg.bytes + 2); }
inline int32_t PagePrev(const INDEXPAGE& pg) { return static_cast<int32_t>(GetLe32(pg.bytes + 4)); }
inline int32_t PageNext(const INDEXPAGE& pg) { return static_cast<int32_t>(GetLe32(pg.bytes + 8)); }
inline void SetPageKind(INDEXPAGE& pg, int kind) { PutLe16(pg.bytes, static_cast<uint16_t>(kind)); }
inline void SetPageCount(INDEXPAGE& pg, int n) { PutLe16(pg.bytes + 2, static_cast<uint16_t>(n)); }
inline void SetPagePrev(INDEXPAGE& pg, int32_t p) {
  PutLe32(pg.bytes + 4, static_cast<uint32_t>(p));
}
inline void SetPageNext(INDEXPAGE& pg, int32_t p) {
  PutLe32(pg.bytes + 8, static_cast<uint32_t>(p));
}

inline uint8_t* EntryKey(INDEXPAGE& pg, int key_length, int i) {
  return pg.bytes + kIndexPageHead + i * (key_length + 4);
}
inline const uint8_t* EntryKey(const INDEXPAGE& pg, int key_length, int i) {
  return pg.bytes + kIndexPageHead + i * (key_length + 4);
}
inline uint32_t EntryValue(const INDEXPAGE& pg, int key_length, int i) {
  return GetLe32(EntryKey(pg, key_length, i) + key_length);
}
inline void SetEntryValue(INDEXPAGE& pg, int key_length, int i, uint32_t v) {
  PutLe32(EntryKey(pg, key_length, i) + key_length, v);
}

// An empty page of the given kind with both links -1.
void InitIndexPage(INDEXPAGE& pg, int kind);
// Inserts at position pos (0..count); the caller makes sure there is room.
void InsertIndexEntry(INDEXPAGE& pg, int key_length, int pos, const uint8_t* key, uint32_t value);
// Removes entry pos; the entries after it move up and the freed place is zeroed.
void RemoveIndexEntry(INDEXPAGE& pg, int key_length, int pos);
// Converts the key bytes of the page's entries (code pages as convert_buffer takes them).
void ConvertIndexPage(INDEXPAGE& pg, int key_length, int from, int to);

// A key as stored: at most key_length - 1 characters of text, NUL bytes to the end.
// A few Windows-1250 bytes (©, ä, « ...) are letters in code page 852 and come back from the file
// as other letters. Keys and seek texts take that round trip before they are compared, so the
// order in memory is the order on disk.
void NormalizeIndexText(void* bytes, size_t n);
void MakeIndexKey(const char* text, int key_length, uint8_t* out);

// Whole keys compare over key_length - 1 bytes; a seek compares over the text's length (at most
// key_length - 1), so it matches by prefix. Negative, 0 or positive in the collation order.
int CompareIndexKeys(const uint8_t* a, const uint8_t* b, int key_length);
int CompareIndexPrefix(const uint8_t* key, const char* text, size_t text_length, int key_length);

// Binary searches over the first n entries of a page (entries ascend): the first entry whose key
// is not below the key (KeysBelow), or above it (KeysNotAbove); n when there is none.
int KeysBelow(const INDEXPAGE& pg, int key_length, int n, const uint8_t* key);
int KeysNotAbove(const INDEXPAGE& pg, int key_length, int n, const uint8_t* key);

// The header block as numbers.
struct INDEXHEADER {
  uint32_t page_count = 0;
  uint32_t index_count = 0;
  int32_t key_length[kMaxIndexCount] = {};
  int32_t root[kMaxIndexCount] = {};
};

void EncodeIndexHeader(const INDEXHEADER& h, uint8_t* block);
// 0 when the magic text is there and the index count is at most 59, else -1. The other fields are
// taken as they are; the caller compares them with what it expects.
int DecodeIndexHeader(const uint8_t* block, INDEXHEADER* h);
