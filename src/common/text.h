// Texts of the program. Every text in memory is in the data code page, Windows-1250.
// Sources are UTF-8; Polish literals become Windows-1250 bytes at compile time:
//
//   const char* t = "Błąd przy próbie otwarcia pliku"_pl;   // 0xB3 for ł, 0xB9 for ą
//   std::string_view v = "Hasło"_plv;                        // with its exact length
//
// A character that Windows-1250 cannot hold stops the compilation. The box characters
// ─ │ ┌ ┬ ┐ ├ ┼ ┤ └ ┴ ┘ take the codes the program uses for them in the data code page
// (C4 F4 DA C2 F5 C3 C5 B4 C0 C1 D9).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace text_detail {

// Unicode code points of the bytes 0x80 to 0xFF of Windows-1250 (0 where the byte is unused).
inline constexpr uint16_t kCp1250High[128] = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0000, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

inline constexpr uint16_t kBoxUnicode[11] = {0x2500, 0x2502, 0x250C, 0x252C, 0x2510, 0x251C,
                                             0x253C, 0x2524, 0x2514, 0x2534, 0x2518};
inline constexpr uint8_t kBoxData[11] = {0xC4, 0xF4, 0xDA, 0xC2, 0xF5, 0xC3,
                                         0xC5, 0xB4, 0xC0, 0xC1, 0xD9};

// Returns the Windows-1250 byte of a code point, or -1.
constexpr int ByteOf(uint32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  for (int i = 0; i < 11; ++i)
    if (kBoxUnicode[i] == cp) return kBoxData[i];
  for (int i = 0; i < 128; ++i)
    if (kCp1250High[i] == cp) return 0x80 + i;
  return -1;
}

template <size_t N>
struct Utf8Literal {
  char bytes[N]{};
  constexpr Utf8Literal(const char (&s)[N]) {
    for (size_t i = 0; i < N; ++i) bytes[i] = s[i];
  }
};

template <size_t N>
struct Converted {
  std::array<char, N> bytes{};
  size_t length = 0;
};

void NotRepresentable();  // never defined: calling it in a constant expression is an error

// The first byte of a UTF-8 sequence: the bits it gives the code point and the sequence's length
// (1 to 4); false for a byte that cannot start one.
constexpr bool Utf8Lead(uint8_t b, uint32_t* cp, size_t* len) {
  if (b < 0x80) {
    *cp = b;
    *len = 1;
  } else if ((b & 0xE0) == 0xC0) {
    *cp = b & 0x1F;
    *len = 2;
  } else if ((b & 0xF0) == 0xE0) {
    *cp = b & 0x0F;
    *len = 3;
  } else if ((b & 0xF8) == 0xF0) {
    *cp = b & 0x07;
    *len = 4;
  } else {
    return false;
  }
  return true;
}

template <size_t N>
consteval Converted<N> Convert(const char (&s)[N]) {
  Converted<N> out;
  size_t i = 0;
  while (i + 1 < N) {
    uint32_t cp = 0;
    size_t len = 1;
    // Four-byte sequences lie beyond every letter of the code page.
    if (!Utf8Lead(static_cast<uint8_t>(s[i]), &cp, &len) || len == 4) NotRepresentable();
    for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<uint8_t>(s[i + k]) & 0x3F);
    int byte = ByteOf(cp);
    if (byte < 0) NotRepresentable();
    out.bytes[out.length++] = static_cast<char>(byte);
    i += len;
  }
  return out;
}

template <Utf8Literal S>
struct Storage {
  static constexpr Converted<sizeof(S.bytes)> value = Convert(S.bytes);
};

}  // namespace text_detail

template <text_detail::Utf8Literal S>
constexpr const char* operator""_pl() {
  return text_detail::Storage<S>::value.bytes.data();
}

template <text_detail::Utf8Literal S>
constexpr std::string_view operator""_plv() {
  return std::string_view(text_detail::Storage<S>::value.bytes.data(),
                          text_detail::Storage<S>::value.length);
}

// Runtime conversions at the program's edges (command line, terminal, test dumps).
// Bytes Windows-1250 leaves unused come out as U+FFFD.
std::string Cp1250ToUtf8(std::string_view data);
// Characters Windows-1250 cannot hold become "?"; malformed UTF-8 bytes too.
std::string Utf8ToCp1250(std::string_view utf8);
// Appends one code point (below U+10000) in UTF-8.
void AppendUtf8(std::string* out, uint32_t code_point);
