#include "common/colours.h"

const PaletteEntry PALETTE[16] = {
    {0, 0, 0},     {0, 0, 168},     {0, 168, 0},    {0, 162, 192},   {168, 0, 0},   {168, 0, 168},
    {168, 84, 0},  {176, 176, 176}, {84, 84, 84},   {84, 84, 255},   {84, 255, 84}, {84, 255, 255},
    {255, 84, 84}, {255, 84, 255},  {255, 255, 84}, {255, 255, 255},
};

namespace {

struct ElementColours {
  uint8_t colour, mono;
};

constexpr ElementColours kElements[kColourElementCount] = {
    {0x0F, 0x70},  // focused control, focused menu item
    {0x38, 0x07},  // greyed control
    {0x34, 0x0F},  // hot letter
    {0x0C, 0x70},  // hot letter of the focused control
    {0x0E, 0x70},  // focused or edited input field
    {0x30, 0x07},  // menu bar, window status line
    {0x70, 0x07},  // window frame, scroll bars, client area; full-screen form boxes and labels
    {0x74, 0x0F},  // window title; title of a boxed frame
    {0x7F, 0x0F},  // input fields of full-screen forms
    {0x30, 0x07},  // dialog body
    {0x3A, 0x0F},  // dialog title
    {0x3F, 0x0F},  // input fields and list columns
    {0x30, 0x07}, {0x34, 0x0F}, {0x70, 0x07}, {0x74, 0x0F}, {0x70, 0x07},  // reserved
};

int g_mode = kColourAuto;

}  // namespace

uint8_t attribute_of(int element) {
  if (element < 0 || element >= kColourElementCount) return 0x07;
  return g_mode == kColourMono ? kElements[element].mono : kElements[element].colour;
}

void set_colour_mode(int mode) {
  if (mode >= kColourAuto && mode <= kColourMono) g_mode = mode;
}

int colour_mode() { return g_mode; }

void ColoursReset() { g_mode = kColourAuto; }
