#include "shell/main_menu.h"

#include "common/text.h"
#include "db/table.h"
#include "ui/record_list.h"

namespace {

// Pull-down frames and separators are single lines (style 1, set when the menu is first used).
ControlRecord g_bar[] = {
    {kKindFill, 0, 0, {nullptr}, 0, 0, 80, 1, 5},
    {kKindText, 1, 0, {" &Plik "}, 0, 0, 0, 1, 5},
    {kKindText, 1, 0, {" &Rekord "}, 0, 0, 0, 1, 5},
    {kKindText, 1, 0, {" &Wyszukanie "}, 0, 0, 0, 1, 5},
    {kKindText, 1, 0, {" &Dokumenty "}, 0, 0, 0, 1, 5},
    {kKindText, 1, 0, {" &Narzędzia "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 1, 0, {" &Opcje "}, 0, 0, 0, 1, 5},
    {kKindText, 1, 0, {" Pomo&c "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_pull1[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" Grupy towarów      &1 "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Towary             &2 "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Kontrahenci        &3 "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Transakcje         &4 "}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 22, 1, 5},
    {kKindText, 9, 0, {" &Koniec programu  Esc "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_pull2[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" &Dodanie...   Ins "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Edycja...     F2 "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Usunięcie    Del "_pl}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_pull3[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" &Pierwszy                    Home "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Następny                     Dół "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Pop&rzedni                   Góra "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Ostatni                      End "}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 34, 1, 5},
    {kKindText, 9, 0, {" Lista...                       &W "}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 34, 1, 5},
    {kKindText, 9, 0, {" Wy&szukanie...                 F7 "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Wyszukanie nas&tępnego   Shift+F7 "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Wyszukanie poprze&dniego  Ctrl+F7 "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_pull4[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" Dokumenty transakcji...  &K "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Raporty zbiorcze...      &R "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_pull5[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" Kasa fiskalna...           &N "}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 30, 1, 5},
    {kKindText, 9, 0, {" Kalkulacja ceny towaru...  &C "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Przecena towarów...          "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Nu&meracja towarów...         "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Drukowanie et&ykiety...    F9 "}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 30, 1, 5},
    {kKindText, 9, 0, {" Archiwizacja bazy danych   &A "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Odt&worzenie bazy danych      "}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 30, 1, 5},
    {kKindText, 9, 0, {" &Eksport bazy danych...       "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Import bazy danych...        "}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 30, 1, 5},
    {kKindText, 9, 0, {" De&fragmentacja bazy danych   "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Odbudowa indeksów            "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Sprawdzenie bazy danych...   "}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 30, 1, 5},
    {kKindText, 9, 0, {" &Konwersja bazy danych...     "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Usunięcie bazy danych...     "_pl}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_pull6[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" &Ekran...                    "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Drukarka...                 "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Drukarka et&ykiet...         "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Dr&ukarka fiskalna...        "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Kasa fiskalna...            "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Czytnik kodów kreskowych... "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Sieć...                     "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Archiwizacja...             "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Format &liczb...             "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Hasła...                    "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" U&prawnienia użytkownika...  "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Zaokrąglenia...             "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" O&bsługa...                  "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Ostrzeże&nia...              "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" Doku&menty...                "}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" &Firma macierzysta...        "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};
ControlRecord g_pull7[] = {
    {kKindLine, 0, 0, {nullptr}, 0, 0, 0, 0, 5},
    {kKindText, 9, 0, {" &Klawisze skrótu          F1 "_pl}, 0, 0, 0, 1, 5},
    {kKindText, 9, 0, {" I&nstrukcja obsługi  Ctrl+F1 "_pl}, 0, 0, 0, 1, 5},
    {kKindLine, 0, 0, {nullptr}, 0, 0, 29, 1, 5},
    {kKindText, 9, 0, {" Tamsu - informacje...     &I "}, 0, 0, 0, 1, 5},
    {kKindEnd, 0, 0, {nullptr}, 0, 0, 0, 0, 0},
};

ControlRecord* g_bars[] = {g_bar, g_pull1, g_pull2, g_pull3, g_pull4, g_pull5, g_pull6, g_pull7};
MenuBar g_menu{g_bars, 1};
bool g_built = false;

void Build() {
  if (g_built) return;
  g_built = true;
  for (int b = 1; b <= kMainMenuBars; ++b)
    for (ControlRecord* r = g_bars[b]; r->kind != kKindEnd; ++r)
      if (r->kind == kKindLine) r->data.value = 1;
}

bool HasCurrentRecord(int table) { return TableIsOpen(table) && TableRecNo(table) >= 0; }

}  // namespace

MenuBar* main_menu() {
  Build();
  return &g_menu;
}

void update_menu_states(int view) {
  MenuBar* m = main_menu();
  for (int v = 0; v < kViewCount; ++v) menu_set_marked(m, kBarFile, 1 + v, v == view);
  const bool empty = view < 0 || !HasCurrentRecord(view);
  menu_set_disabled(m, kBarRecord, 2, empty);
  menu_set_disabled(m, kBarRecord, 3, empty);
  for (int item : {1, 2, 3, 4, 6, 8, 9, 10}) menu_set_disabled(m, kBarSearch, item, empty);
  const bool no_goods = !HasCurrentRecord(kViewGoods);
  for (int item : {3, 4, 5}) menu_set_disabled(m, kBarTools, item, no_goods);
}

bool menu_item_disabled(int bar, int item) {
  return (main_menu()->bars[bar][item].state & kStateDisabled) != 0;
}

bool menu_item_marked(int bar, int item) {
  return (main_menu()->bars[bar][item].state & kStateChecked) != 0;
}

void ResetMainMenu() {
  Build();
  g_menu.current = 1;
  for (int b = 0; b <= kMainMenuBars; ++b)
    for (ControlRecord* r = g_bars[b]; r->kind != kKindEnd; ++r)
      r->state &= ~(kStateDisabled | kStateChecked | kStateFocus);
}
