// The main menu: seven pull-downs held in static control arrays, and the marked and disabled
// states that follow the current view and the tables. Bars and items are numbered from 1 by
// their record index; separators count.
#pragma once

#include "ui/menubar.h"

inline constexpr int kMainMenuBars = 7;
enum MainMenuBar {
  kBarFile = 1,
  kBarRecord = 2,
  kBarSearch = 3,
  kBarDocuments = 4,
  kBarTools = 5,
  kBarOptions = 6,
  kBarHelp = 7,
};

MenuBar* main_menu();
// Marks the item of the current view in " &Plik "; greys the record and search items when the
// view's table has no current record, and the goods tools when the goods table has none.
void update_menu_states(int view);

bool menu_item_disabled(int bar, int item);
bool menu_item_marked(int bar, int item);

// Clears the states and puts the menu back on its first bar item.
void ResetMainMenu();
