// Format: docs/formats/table-file.md
#include "db/dbf_format.h"

#include <cstring>

#include "common/codepage.h"

namespace {

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Get16(const uint8_t* p) { return p[0] | uint32_t(p[1]) << 8; }
uint32_t Get32(const uint8_t* p) {
  return p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

void EncodeDbfHeader(const DBFHEADER& h, uint8_t out[32]) {
  std::memset(out, 0, 32);
  out[0] = h.version;
  out[1] = h.year;
  out[2] = h.month;
  out[3] = h.day;
  Put32(out + 4, h.record_count);
  Put16(out + 8, h.header_length);
  Put16(out + 10, h.record_length);
}

DBFHEADER DecodeDbfHeader(const uint8_t in[32]) {
  DBFHEADER h;
  h.version = in[0];
  h.year = in[1];
  h.month = in[2];
  h.day = in[3];
  h.record_count = Get32(in + 4);
  h.header_length = static_cast<uint16_t>(Get16(in + 8));
  h.record_length = static_cast<uint16_t>(Get16(in + 10));
  return h;
}

void EncodeFieldDescriptor(const FIELDDEF& f, uint32_t record_offset, uint8_t out[32]) {
  std::memset(out, 0, 32);
  std::memcpy(out, f.name, std::strlen(f.name));
  out[11] = static_cast<uint8_t>(f.type);
  Put32(out + 12, record_offset);
  out[16] = static_cast<uint8_t>(f.length);
  out[17] = static_cast<uint8_t>(f.decimals);
}

bool FieldDescriptorMatches(const FIELDDEF& f, const uint8_t in[32]) {
  char name[12] = {};
  std::memcpy(name, in, 11);
  return std::strcmp(name, f.name) == 0 && in[11] == static_cast<uint8_t>(f.type) &&
         in[16] == static_cast<uint8_t>(f.length) && in[17] == static_cast<uint8_t>(f.decimals);
}

bool PackNumber(AMOUNT value, int length, int decimals, char* out) {
  std::memset(out, ' ', static_cast<size_t>(length));
  if (value.IsZero()) return true;  // zero is a field of blanks
  // Exact decimal digits, rounded half away from zero where the field keeps fewer than four.
  AMOUNT v = decimals < 4 ? RoundTo(value, decimals) : value;
  int64_t raw = v.Raw();
  bool negative = raw < 0;

  uint64_t mag = negative ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  // Written from the right: the decimals (the fourth and beyond as zeros), the point, the whole
  // part, the sign.
  char text[48];
  int at = sizeof text;
  if (decimals > 0) {
    for (int d = decimals; d > 4; --d) text[--at] = '0';
    uint64_t frac = mag % static_cast<uint64_t>(AMOUNT::kScale);
    for (int d = 4; d > 0; --d, frac /= 10)
      if (d <= decimals) text[--at] = static_cast<char>('0' + frac % 10);
    text[--at] = '.';
  }
  uint64_t whole = mag / static_cast<uint64_t>(AMOUNT::kScale);
  do {
    text[--at] = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole != 0);
  // "%*.*f" keeps the sign of a negative value that rounds to zero ("-0.00").
  if (negative || value.Raw() < 0) text[--at] = '-';
  const int size = static_cast<int>(sizeof text) - at;
  if (size > length) return false;
  std::memcpy(out + length - size, text + at, static_cast<size_t>(size));
  return true;
}

AMOUNT UnpackNumber(const char* in, int length) {
  int i = 0;
  while (i < length && in[i] == ' ') ++i;
  bool negative = false;
  if (i < length && (in[i] == '-' || in[i] == '+')) negative = in[i++] == '-';
  __extension__ typedef __int128 Wide;
  Wide whole = 0;
  while (i < length && in[i] >= '0' && in[i] <= '9') whole = whole * 10 + (in[i++] - '0');
  int64_t frac = 0;
  int digits = 0;
  bool up = false;
  if (i < length && in[i] == '.') {
    ++i;
    while (i < length && in[i] >= '0' && in[i] <= '9') {
      if (digits < 4) frac = frac * 10 + (in[i] - '0');
      else if (digits == 4) up = in[i] >= '5';
      ++digits;
      ++i;
    }
  }
  for (int d = digits; d < 4; ++d) frac *= 10;
  Wide raw = whole * AMOUNT::kScale + frac + (up ? 1 : 0);
  if (raw > INT64_MAX) raw = INT64_MAX;
  return AMOUNT::FromRaw(static_cast<int64_t>(negative ? -raw : raw));
}

void PackDate(DATE date, char* out) { std::memcpy(out, DateToStored(date).data(), 8); }

DATE UnpackDate(const char* in) {
  // Each character a digit, anything else counting as 0; an impossible date is empty.
  unsigned v[8];
  for (int i = 0; i < 8; ++i)
    v[i] = in[i] >= '0' && in[i] <= '9' ? static_cast<unsigned>(in[i] - '0') : 0;
  unsigned y = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
  unsigned m = v[4] * 10 + v[5];
  unsigned d = v[6] * 10 + v[7];
  return DateFromYmd(y, m, d);
}

void ConvertPolishLetters(int from, int to, char* bytes, size_t n) {
  if (from == to) return;
  const CodePageEntry& src = CODE_PAGES[from];
  const CodePageEntry& dst = CODE_PAGES[to];
  for (size_t i = 0; i < n; ++i) {
    auto c = static_cast<uint8_t>(bytes[i]);
    if (c < 0x80) continue;
    for (int k = 0; k < kLetterCount; ++k) {
      if (src.codes[k] == c) {
        bytes[i] = static_cast<char>(dst.codes[k]);
        break;
      }
    }
  }
}

void PackText(const char* text, int length, char* out) {
  size_t n = strnlen(text, static_cast<size_t>(length));
  std::memcpy(out, text, n);
  std::memset(out + n, ' ', static_cast<size_t>(length) - n);
  ConvertPolishLetters(kCodePageWindows, kCodePageLatin2, out, n);
}

void UnpackText(const char* in, int length, char* out) {
  int n = length;
  while (n > 0 && in[n - 1] == ' ') --n;
  std::memcpy(out, in, static_cast<size_t>(n));
  out[n] = '\0';
  // A NUL inside the stored text ends it, as it would in the structure.
  ConvertPolishLetters(kCodePageLatin2, kCodePageWindows, out, std::strlen(out));
}
