// The fixed 16-colour palette and the colour elements. Forms and windows never hard-code an
// attribute for their standard parts; they ask attribute_of(element), which answers from the
// colour column or the monochrome column of one table according to the colour mode
// ("ColorMode": 0 "Auto" and 1 "Kolor" take colours, 2 "Mono" the monochrome column).
#pragma once

#include <cstdint>

struct PaletteEntry {
  uint8_t r, g, b;
};
extern const PaletteEntry PALETTE[16];

inline constexpr int kColourElementCount = 17;
inline constexpr int kColourAuto = 0;
inline constexpr int kColourColour = 1;
inline constexpr int kColourMono = 2;

// The attribute of a colour element (0..16) in the current scheme; 0x07 for any other number.
uint8_t attribute_of(int element);
// 0, 1 or 2; any other value leaves the mode unchanged.
void set_colour_mode(int mode);
int colour_mode();

void ColoursReset();
