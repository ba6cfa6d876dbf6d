// The dBASE III data file as Tamsu writes it (docs/formats/table-file.md), and the packing of
// fields between the stored record and the record structure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/amount.h"
#include "common/date.h"
#include "db/table_def.h"

inline constexpr uint8_t kDbfVersion = 3;
inline constexpr uint8_t kDbfTerminator = 0x0D;
inline constexpr uint8_t kDbfEndMark = 0x1A;

struct DBFHEADER {
  uint8_t version;
  uint8_t year, month, day;  // last update, year modulo 100
  uint32_t record_count;
  uint16_t header_length;
  uint16_t record_length;
};

void EncodeDbfHeader(const DBFHEADER& h, uint8_t out[32]);
DBFHEADER DecodeDbfHeader(const uint8_t in[32]);
// The 32-byte descriptor of a field stored at the given offset of the record.
void EncodeFieldDescriptor(const FIELDDEF& f, uint32_t record_offset, uint8_t out[32]);
// True when the stored descriptor names the same field (name, type, length, decimals).
bool FieldDescriptorMatches(const FIELDDEF& f, const uint8_t in[32]);

// Field texts, exactly `length` bytes each. Packing returns false when a number does not fit its
// field; nothing is then written.
bool PackNumber(AMOUNT value, int length, int decimals, char* out);
AMOUNT UnpackNumber(const char* in, int length);
void PackDate(DATE date, char* out);
DATE UnpackDate(const char* in);
// Text: converted to code page 852 and padded with blanks; a NUL ends it.
void PackText(const char* text, int length, char* out);
// Back to the data code page with trailing blanks cut; out takes length + 1 bytes.
void UnpackText(const char* in, int length, char* out);

// Only the 18 Polish letters change between code pages in table files.
void ConvertPolishLetters(int from, int to, char* bytes, size_t n);
