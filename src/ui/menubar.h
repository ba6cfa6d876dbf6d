// Menus: a bar of items with one pull-down list per item, all described by control arrays.
//
//   bars[0]: the bar. Record 0 a fill (kind 3, colour element 5), then one text record per bar
//            item (kind 7, options 1, element 5).
//   bars[i]: the pull-down of bar item i. Record 0 a single frame (kind 5, style 1, element 5),
//            then its items (kind 7, options 9, element 5) and separators (kind 5, style 1,
//            height 1, as wide as the inside).
//
// Bar items and pull-down items are numbered by their record index (the first is 1; separators
// count too). Item texts carry the hot letter after "&" and their shortcut padded inside, all
// items of one pull-down equally long: " &Dodanie...   Ins ".
#pragma once

#include <cstdint>

#include "common/cell.h"
#include "ui/controls.h"

struct MenuBar {
  ControlRecord** bars;
  int32_t current;  // the bar item the menu was last on
};

// Places the bar in the rectangle (width outside 1..80 becomes 80, height outside 1..25 becomes
// 1) and each pull-down under its bar item, shifted left where it and its shadow would leave the
// screen.
void menu_layout(MenuBar* menu, int x, int y, int w, int h);
void menu_draw(MenuBar* menu);
int menu_bar_count(const MenuBar* menu);
// Offers one key to a menu outside a window: a key that enters the menu (Alt with a bar item's
// hot letter, Enter, "/", F10) is worked on until the menu is left, and the result is 1 with the
// chosen bar and item, or (-1, -1) when the menu was left with Esc. Other keys give 0.
int menu_handle_key(MenuBar* menu, const KeyEvent& ev, int* bar, int* item);
// The same; *leaving is the key that left the menu when it must still be acted on (Ctrl+F4),
// else an all-zero event.
int menu_session(MenuBar* menu, const KeyEvent& ev, int* bar, int* item, KeyEvent* leaving);
void menu_set_disabled(MenuBar* menu, int bar, int item, bool on);
void menu_set_marked(MenuBar* menu, int bar, int item, bool on);
