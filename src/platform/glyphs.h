// How a screen byte looks. The screen holds bytes of the screen code page; they are shown as the
// OEM font of a Polish system would draw them: the 11 box characters and the 18 Polish letters of
// the current screen code page as those (a box where a code is both), every other byte as its
// code page 852 glyph (double-frame characters, shades, and the code page 437 symbols such as the
// arrows below 0x20).
#pragma once

#include <cstdint>
#include <string>

#include "common/cell.h"

// Unicode code point of a screen byte under a screen code page (0..10).
uint32_t screen_glyph(int code_page, uint8_t byte);

// The screen byte that shows a typed code point, or -1. ASCII stays ASCII; Polish letters take
// the codes of the screen code page; other characters their code page 852 byte when it has one.
int screen_byte_of(int code_page, uint32_t code_point);

// A row of cells as UTF-8.
std::string cells_to_utf8(int code_page, const ScreenCell* cells, int n);
