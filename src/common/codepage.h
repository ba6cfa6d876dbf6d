// The eleven Polish character standards and the national character functions.
//
// Each standard (code page) gives the codes of the 18 Polish letters and the 11 box-drawing
// characters. From them a collation weight is built for every byte: all bytes in order, each
// Polish letter moved to just after its base letter, the box characters moved to the end.
// Capitals then weigh 65 ("A") to 99 ("Ź"), small letters 106 to 140, box characters 245 to 255,
// so "Zorza" < "Żaba" < "Źrebię" < "aster".
//
// Texts in memory are in the data code page, 10 ("Windows"); table files, index keys and
// Tamsu.ini are in 2 ("Latin 2", code page 852); the screen shows 2 unless "ConPLStandard" says
// otherwise. Unless a function takes a code page, it works in the data code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr int kCodePageCount = 11;
inline constexpr int kCodePageLatin2 = 2;
inline constexpr int kCodePageWindows = 10;

// Letter indexes: 0..8 the capitals Ą Ć Ę Ł Ń Ó Ś Ż Ź, 9..17 the small letters in the same
// order, 18..28 the box characters ─ │ ┌ ┬ ┐ ├ ┼ ┤ └ ┴ ┘.
inline constexpr int kLetterCount = 18;
inline constexpr int kBoxCount = 11;
inline constexpr int kNoLetter = -1;

struct CodePageEntry {
  const char* name;   // in the data code page
  uint8_t codes[29];  // by letter index
};

extern const CodePageEntry CODE_PAGES[kCodePageCount];

// The collation weight of a byte in a code page; the letter index of a weight (or kNoLetter).
uint8_t collation_weight(int code_page, uint8_t ch);
int letter_of_weight(uint8_t weight);

int code_page_count();
// "(Brak)", "Mazovia", ... ; an empty text outside 0..10.
const char* code_page_name(int n);
int data_code_page();

uint8_t convert_char(int from, int to, uint8_t ch);
char* convert_text(int from, int to, char* text);
void convert_buffer(int from, int to, void* bytes, size_t n);
std::string convert_string(int from, int to, std::string text);

int compare_char(uint8_t a, uint8_t b);
int compare_text(const char* a, const char* b);
int compare_prefix(const char* a, const char* b, size_t n);
int compare_char_nocase(uint8_t a, uint8_t b);
int compare_text_nocase(const char* a, const char* b);
int compare_prefix_nocase(const char* a, const char* b, size_t n);

uint8_t to_lower(uint8_t ch);
uint8_t to_upper(uint8_t ch);
char* text_to_lower(char* text);
char* text_to_upper(char* text);
// The same, in a given code page (devices and files that keep their own).
uint8_t to_lower_in(int code_page, uint8_t ch);
uint8_t to_upper_in(int code_page, uint8_t ch);

bool is_letter(uint8_t ch);
bool is_letter_in(int code_page, uint8_t ch);
bool is_alnum(uint8_t ch);
bool is_box_char(uint8_t ch);

// Box character i (0..10 in the order ─ │ ┌ ┬ ┐ ├ ┼ ┤ └ ┴ ┘) of the data code page; a space
// for i above 10.
uint8_t box_char(int i);
// │ becomes a space, the ten other box characters "-"; in place.
char* box_to_ascii(char* text);

// Offset of the first occurrence of pattern in text, or -1. With whole_word a match must not
// continue an alphanumeric run on either side.
int find_text(const char* text, const char* pattern, bool case_sensitive, bool whole_word);
