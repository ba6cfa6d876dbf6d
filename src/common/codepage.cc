#include "common/codepage.h"

#include <array>
#include <cstring>

#include "common/text.h"

const CodePageEntry CODE_PAGES[kCodePageCount] = {
    {"(Brak)",
     {0x41, 0x43, 0x45, 0x4C, 0x4E, 0x4F, 0x53, 0x5A, 0x5A, 0x61, 0x63, 0x65, 0x6C, 0x6E, 0x6F,
      0x73, 0x7A, 0x7A, 0xC4, 0xB3, 0xDA, 0xC2, 0xBF, 0xC3, 0xC5, 0xB4, 0xC0, 0xC1, 0xD9}},
    {"Mazovia",
     {0x8F, 0x95, 0x90, 0x9C, 0xA5, 0xA3, 0x98, 0xA1, 0xA0, 0x86, 0x8D, 0x91, 0x92, 0xA4, 0xA2,
      0x9E, 0xA7, 0xA6, 0xC4, 0xB3, 0xDA, 0xC2, 0xBF, 0xC3, 0xC5, 0xB4, 0xC0, 0xC1, 0xD9}},
    {"Latin 2",
     {0xA4, 0x8F, 0xA8, 0x9D, 0xE3, 0xE0, 0x97, 0xBD, 0x8D, 0xA5, 0x86, 0xA9, 0x88, 0xE4, 0xA2,
      0x98, 0xBE, 0xAB, 0xC4, 0xB3, 0xDA, 0xC2, 0xBF, 0xC3, 0xC5, 0xB4, 0xC0, 0xC1, 0xD9}},
    {"CSK",
     {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5,
      0xA6, 0xA7, 0xA8, 0xC4, 0xB3, 0xDA, 0xC2, 0xBF, 0xC3, 0xC5, 0xB4, 0xC0, 0xC1, 0xD9}},
    {"Cyfromat",
     {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x90, 0x91, 0x92, 0x93, 0x94, 0x95,
      0x96, 0x97, 0x98, 0xC4, 0xB3, 0xDA, 0xC2, 0xBF, 0xC3, 0xC5, 0xB4, 0xC0, 0xC1, 0xD9}},
    {"DHN",
     {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E,
      0x8F, 0x90, 0x91, 0xC4, 0xB3, 0xDA, 0xC2, 0xBF, 0xC3, 0xC5, 0xB4, 0xC0, 0xC1, 0xD9}},
    {"IEA",
     {0x8F, 0x80, 0x90, 0x9C, 0xA5, 0x99, 0xEB, 0x92, 0x9D, 0xA0, 0x9B, 0x82, 0x9F, 0xA4, 0xA2,
      0x87, 0x91, 0xA8, 0xC4, 0xB3, 0xDA, 0xC2, 0xBF, 0xC3, 0xC5, 0xB4, 0xC0, 0xC1, 0xD9}},
    {"ISO Latin 2",
     {0xA1, 0xC6, 0xCA, 0xA3, 0xD1, 0xD3, 0xA6, 0xAF, 0xAC, 0xB1, 0xE6, 0xEA, 0xB3, 0xF1, 0xF3,
      0xB6, 0xBF, 0xBC, 0xC4, 0xB3, 0xDA, 0xC2, 0xBF, 0xC3, 0xC5, 0xB4, 0xC0, 0xC1, 0xD9}},
    {"Logic",
     {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x88, 0x87, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E,
      0x8F, 0x91, 0x90, 0xC4, 0xB3, 0xDA, 0xC2, 0xBF, 0xC3, 0xC5, 0xB4, 0xC0, 0xC1, 0xD9}},
    {"Microvex",
     {0x8F, 0x80, 0x90, 0x9C, 0xA5, 0x93, 0x98, 0x92, 0x9D, 0xA0, 0x9B, 0x82, 0x9F, 0xA4, 0xA2,
      0x87, 0x91, 0xA8, 0xC4, 0xB3, 0xDA, 0xC2, 0xBF, 0xC3, 0xC5, 0xB4, 0xC0, 0xC1, 0xD9}},
    {"Windows",
     {0xA5, 0xC6, 0xCA, 0xA3, 0xD1, 0xD3, 0x8C, 0xAF, 0x8F, 0xB9, 0xE6, 0xEA, 0xB3, 0xF1, 0xF3,
      0x9C, 0xBF, 0x9F, 0xC4, 0xF4, 0xDA, 0xC2, 0xF5, 0xC3, 0xC5, 0xB4, 0xC0, 0xC1, 0xD9}},
};

namespace {

// The ASCII base letter of each Polish letter index.
constexpr char kBase[kLetterCount] = {'A', 'C', 'E', 'L', 'N', 'O', 'S', 'Z', 'Z',
                                      'a', 'c', 'e', 'l', 'n', 'o', 's', 'z', 'z'};

struct Collation {
  std::array<uint8_t, 256> weight{};
};

// Builds the weights of one row by the collation rule: the byte values in order without the
// row's Polish letters (rows 1 to 10) and box codes; each Polish letter right after its base
// letter (Ż before Ź because of the letter order); the box codes last, in row order. A code
// that is both a letter and a box character sorts as the box character.
Collation BuildCollation(int row) {
  const CodePageEntry& e = CODE_PAGES[row];
  bool is_box[256] = {};
  bool is_polish[256] = {};
  for (int i = 0; i < kBoxCount; ++i) is_box[e.codes[kLetterCount + i]] = true;
  if (row != 0)
    for (int i = 0; i < kLetterCount; ++i)
      if (!is_box[e.codes[i]]) is_polish[e.codes[i]] = true;
  uint8_t sequence[256];
  int n = 0;
  for (int b = 0; b < 256; ++b) {
    if (is_box[b] || is_polish[b]) continue;
    sequence[n++] = static_cast<uint8_t>(b);
    if (row == 0) continue;
    for (int i = 0; i < kLetterCount; ++i)
      if (kBase[i] == b && is_polish[e.codes[i]]) sequence[n++] = e.codes[i];
  }
  for (int i = 0; i < kBoxCount; ++i) sequence[n++] = e.codes[kLetterCount + i];
  Collation c;
  for (int w = 0; w < 256; ++w) c.weight[sequence[w]] = static_cast<uint8_t>(w);
  return c;
}

struct Tables {
  Collation rows[kCodePageCount];
  int8_t letter_of_weight[256];
  // The letter index of each byte of each row, the box character winning where a code is both.
  // Conversion goes through this rather than through the weights: in "ISO Latin 2" the two
  // letters that collide with box codes take no weight of their own, which shifts the weights of
  // the small letters after them (ń, ó, ś, ź) away from those of the other rows.
  int8_t letter_of_byte[kCodePageCount][256];
  Tables() {
    for (int r = 0; r < kCodePageCount; ++r) {
      rows[r] = BuildCollation(r);
      for (int b = 0; b < 256; ++b) letter_of_byte[r][b] = kNoLetter;
      for (int i = kLetterCount + kBoxCount - 1; i >= 0; --i) {
        uint8_t code = CODE_PAGES[r].codes[i];
        if (code < 0x80) continue;  // row 0 keeps ASCII letters as they are
        if (i < kLetterCount && rows[r].weight[code] >= 245) continue;
        letter_of_byte[r][code] = static_cast<int8_t>(i);
      }
    }
    // The weights are the same in every row from 1 on; row 10 names them.
    for (int w = 0; w < 256; ++w) letter_of_weight[w] = kNoLetter;
    const CodePageEntry& e = CODE_PAGES[kCodePageWindows];
    for (int i = 0; i < kLetterCount + kBoxCount; ++i)
      letter_of_weight[rows[kCodePageWindows].weight[e.codes[i]]] = static_cast<int8_t>(i);
  }
};

const Tables& T() {
  static const Tables tables;
  return tables;
}

bool ValidPage(int n) { return n >= 0 && n < kCodePageCount; }

}  // namespace

uint8_t collation_weight(int code_page, uint8_t ch) {
  if (!ValidPage(code_page)) code_page = kCodePageWindows;
  return T().rows[code_page].weight[ch];
}

int letter_of_weight(uint8_t weight) { return T().letter_of_weight[weight]; }

int code_page_count() { return kCodePageCount; }

const char* code_page_name(int n) { return ValidPage(n) ? CODE_PAGES[n].name : ""; }

int data_code_page() { return kCodePageWindows; }

uint8_t convert_char(int from, int to, uint8_t ch) {
  if (from == to || ch < 0x80 || !ValidPage(from) || !ValidPage(to)) return ch;
  int letter = T().letter_of_byte[from][ch];
  if (letter == kNoLetter) return ch;
  return CODE_PAGES[to].codes[letter];
}

char* convert_text(int from, int to, char* text) {
  for (char* p = text; *p; ++p)
    *p = static_cast<char>(convert_char(from, to, static_cast<uint8_t>(*p)));
  return text;
}

void convert_buffer(int from, int to, void* bytes, size_t n) {
  auto* p = static_cast<uint8_t*>(bytes);
  for (size_t i = 0; i < n; ++i) p[i] = convert_char(from, to, p[i]);
}

std::string convert_string(int from, int to, std::string text) {
  convert_buffer(from, to, text.data(), text.size());
  return text;
}

int compare_char(uint8_t a, uint8_t b) {
  const auto& w = T().rows[kCodePageWindows].weight;
  return static_cast<int>(w[a]) - static_cast<int>(w[b]);
}

int compare_char_nocase(uint8_t a, uint8_t b) { return compare_char(to_lower(a), to_lower(b)); }

namespace {
template <int (*Cmp)(uint8_t, uint8_t)>
int ComparePrefix(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<uint8_t>(a[i]);
    auto y = static_cast<uint8_t>(b[i]);
    int d = Cmp(x, y);
    if (d != 0) return d;
    if (x == 0 || y == 0) return 0;
  }
  return 0;
}
}  // namespace

int compare_text(const char* a, const char* b) {
  return ComparePrefix<compare_char>(a, b, SIZE_MAX);
}
int compare_prefix(const char* a, const char* b, size_t n) {
  return ComparePrefix<compare_char>(a, b, n);
}
int compare_text_nocase(const char* a, const char* b) {
  return ComparePrefix<compare_char_nocase>(a, b, SIZE_MAX);
}
int compare_prefix_nocase(const char* a, const char* b, size_t n) {
  return ComparePrefix<compare_char_nocase>(a, b, n);
}

uint8_t to_lower_in(int code_page, uint8_t ch) {
  if (ch >= 'A' && ch <= 'Z') return static_cast<uint8_t>(ch + 32);
  if (ch < 0x80 || !ValidPage(code_page) || code_page == 0) return ch;
  const CodePageEntry& e = CODE_PAGES[code_page];
  for (int i = 0; i < 9; ++i)
    if (e.codes[i] == ch && collation_weight(code_page, ch) < 245) return e.codes[i + 9];
  return ch;
}

uint8_t to_upper_in(int code_page, uint8_t ch) {
  if (ch >= 'a' && ch <= 'z') return static_cast<uint8_t>(ch - 32);
  if (ch < 0x80 || !ValidPage(code_page) || code_page == 0) return ch;
  const CodePageEntry& e = CODE_PAGES[code_page];
  for (int i = 9; i < kLetterCount; ++i)
    if (e.codes[i] == ch && collation_weight(code_page, ch) < 245) return e.codes[i - 9];
  return ch;
}

uint8_t to_lower(uint8_t ch) { return to_lower_in(kCodePageWindows, ch); }
uint8_t to_upper(uint8_t ch) { return to_upper_in(kCodePageWindows, ch); }

char* text_to_lower(char* text) {
  for (char* p = text; *p; ++p) *p = static_cast<char>(to_lower(static_cast<uint8_t>(*p)));
  return text;
}

char* text_to_upper(char* text) {
  for (char* p = text; *p; ++p) *p = static_cast<char>(to_upper(static_cast<uint8_t>(*p)));
  return text;
}

bool is_letter_in(int code_page, uint8_t ch) {
  if (code_page == 0) return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
  uint8_t w = collation_weight(code_page, ch);
  return (w >= 65 && w <= 99) || (w >= 106 && w <= 140);
}

bool is_letter(uint8_t ch) { return is_letter_in(kCodePageWindows, ch); }
bool is_alnum(uint8_t ch) { return is_letter(ch) || (ch >= '0' && ch <= '9'); }
bool is_box_char(uint8_t ch) { return collation_weight(kCodePageWindows, ch) >= 245; }

uint8_t box_char(int i) {
  if (i < 0 || i >= kBoxCount) return ' ';
  return CODE_PAGES[kCodePageWindows].codes[kLetterCount + i];
}

char* box_to_ascii(char* text) {
  for (char* p = text; *p; ++p) {
    auto c = static_cast<uint8_t>(*p);
    if (!is_box_char(c)) continue;
    *p = c == box_char(1) ? ' ' : '-';
  }
  return text;
}

int find_text(const char* text, const char* pattern, bool case_sensitive, bool whole_word) {
  size_t tn = std::strlen(text), pn = std::strlen(pattern);
  if (tn == 0 || pn == 0 || pn > tn) return -1;
  auto cmp = case_sensitive ? compare_char : compare_char_nocase;
  for (size_t start = 0; start + pn <= tn; ++start) {
    size_t i = 0;
    while (i < pn &&
           cmp(static_cast<uint8_t>(text[start + i]), static_cast<uint8_t>(pattern[i])) == 0)
      ++i;
    if (i < pn) continue;
    if (whole_word) {
      auto at = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
      if (start > 0 && is_alnum(at(start)) && is_alnum(at(start - 1))) continue;
      size_t last = start + pn - 1;
      if (last + 1 < tn && is_alnum(at(last)) && is_alnum(at(last + 1))) continue;
    }
    return static_cast<int>(start);
  }
  return -1;
}
