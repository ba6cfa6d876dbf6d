#include "calculator/perlo_screen.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "calculator/perlo_browser.h"
#include "calculator/perlo_cli.h"
#include "calculator/perlo_form.h"
#include "calculator/perlo_tax.h"
#include "common/text.h"
#include "ui/dialog.h"
#include "ui/field.h"
#include "ui/keys.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"
#include "ui/screen.h"

namespace {

// Records of the dialog; the index is the identity.
enum {
  kBox,
  kTab1,
  kTab2,
  kTab3,
  kTab4,
  kTab5,
  kSeparator,
  // "Podatek dochodowy"
  kYearLabel,
  kYear,
  kIncomeLabel,
  kIncome,
  kTaxLabel,
  kTax,
  // "Odsetki"
  kStatutory,
  kTaxInterest,
  kAmountLabel,
  kAmount,
  kDueLabel,
  kDue,
  kPaidLabel,
  kPaid,
  kInterestLabel,
  kInterest,
  kTotalLabel,
  kTotal,
  // "Reklama"
  kAdPicture,
  kAdLine1,
  kAdLine2,
  kAdLine3,
  kAdAddressLabel,
  kAdAddress,
  kAdButton,
  // "Pomoc"
  kHelp,
  kHelpKeys,
  // "O programie"
  kAbout,
  kEnd,
  kRecords
};

constexpr int kTabCount = 5;
// The left group holds tabs 0 and 1, the right group tabs 2 to 4.
constexpr int kGroupFirstTab[2] = {0, 2};
constexpr int kGroupLastTab[2] = {1, 4};
struct PAGE {
  int first, last;  // its records
};
constexpr PAGE kPages[kTabCount] = {{kYearLabel, kTax},
                                    {kStatutory, kTotal},
                                    {kAdPicture, kAdButton},
                                    {kHelp, kHelpKeys},
                                    {kAbout, kAbout}};

// Geometry: the left pages take columns 1-36, the separator column 37, the right pages
// columns 38-78; the tab headers are on row 1, their line on row 2, the pages below.
constexpr int kLeftX = 1, kLeftW = 36;
constexpr int kSeparatorX = 37;
constexpr int kRightX = 38, kRightW = 41;
constexpr int kTextX = 39, kTextW = 39;
constexpr int kTabLineY = 2, kPageY = 3, kPageH = 21;
constexpr int kFieldText = 40;  // room of a field's text, the terminating zero included

const int kFieldControl[kPerloFieldCount] = {kYear, kIncome, kTax,      kAmount,
                                             kDue,  kPaid,   kInterest, kTotal};

struct PERLO_SCREEN {
  ControlRecord dlg[kRecords];
  FieldDescriptor descriptor[kPerloFieldCount];
  char text[kPerloFieldCount][kFieldText];
  PERLO_FORM form;
  int tab[2] = {0, 3};  // the selected tab of each group
  std::string help, keys, about;
  char year_names[kPerloLastTaxYear - kPerloFirstTaxYear + 1][12];
  NameTableEntry years[kPerloLastTaxYear - kPerloFirstTaxYear + 2];
};

PERLO_SCREEN* g_screen = nullptr;

PERLO_SCREEN& S() { return *g_screen; }

// Word wrap at blanks; a word longer than the width is cut.
std::string Wrap(const char* text, int width) {
  std::string out, line;
  const char* p = text;
  while (*p) {
    while (*p == ' ') ++p;
    const char* start = p;
    while (*p && *p != ' ') ++p;
    std::string word(start, p);
    if (word.empty()) break;
    while (static_cast<int>(word.size()) > width) {
      if (!line.empty()) {
        out += line + "\n";
        line.clear();
      }
      out += word.substr(0, static_cast<size_t>(width)) + "\n";
      word.erase(0, static_cast<size_t>(width));
    }
    if (line.empty()) line = word;
    else if (static_cast<int>(line.size() + 1 + word.size()) <= width) line += " " + word;
    else {
      out += line + "\n";
      line = word;
    }
  }
  return out + line;
}

std::string Paragraphs(const char* const* texts, int count, int width) {
  std::string out;
  for (int i = 0; i < count; ++i) {
    if (i > 0) out += "\n";
    out += Wrap(texts[i], width);
  }
  return out;
}

PERLO_FIELD FieldOfControl(int i) {
  for (int f = 0; f < kPerloFieldCount; ++f)
    if (kFieldControl[f] == i) return static_cast<PERLO_FIELD>(f);
  return kPerloFieldCount;
}

bool IsEditable(int i) {
  return i >= 0 && S().dlg[i].kind == kKindField && (S().dlg[i].options & kOptEditable);
}

bool Visible(int i) { return !(S().dlg[i].state & kStateHidden); }

// Shows the texts the model reported as changed; only those fields are written.
void Apply(unsigned changed) {
  for (int f = 0; f < kPerloFieldCount; ++f) {
    if (!(changed & PerloFieldBit(static_cast<PERLO_FIELD>(f)))) continue;
    std::snprintf(S().text[f], kFieldText, "%s", S().form.text[f].c_str());
    if (Visible(kFieldControl[f])) dlg_draw_control(S().dlg, kFieldControl[f]);
  }
}

// The focus leaves control i. -1 when it must stay there (a date that is not valid).
int Leave(int i) {
  if (!IsEditable(i)) return 0;
  const PERLO_FIELD field = FieldOfControl(i);
  unsigned changed = 0;
  if (PerloFormLeave(&S().form, field, S().text[field], &changed) != 0) {
    beep();
    dlg_set_focus(S().dlg, i, true);
    return -1;
  }
  Apply(changed);
  return 0;
}

// A year outside the scale is refused by the model and changes nothing.
void SelectYear(int year) {
  unsigned changed = 0;
  PerloFormSelectYear(&S().form, year, &changed);
  // The list writes its choice into the field by itself; the field follows the model.
  if (S().form.text[kPerloYearField] != S().text[kPerloYearField])
    changed |= PerloFieldBit(kPerloYearField);
  Apply(changed);
}

void SelectRadio(int i) {
  radio_select(S().dlg, i, true);
  unsigned changed = 0;
  PerloFormSelectTable(&S().form, i == kStatutory ? kPerloStatutory : kPerloTaxInterest, &changed);
  Apply(changed);
}

void OpenMakerPage() {
  if (PerloOpenAddress(kPerloMakerAddress) == 0) return;
  if (errno == ENOENT)
    message(
        "Nie znaleziono programu %s, który otwiera strony w przeglądarce.\n"
        "Adres strony: %s"_pl,
        PerloOpener(), kPerloMakerAddress);
  else
    message("Nie udało się uruchomić programu %s (%s).\nAdres strony: %s"_pl, PerloOpener(),
            std::strerror(errno), kPerloMakerAddress);
}

// Space, or Enter before moving on: what the control does.
void Activate(int i, bool space) {
  if (i == kYear && space) {
    choice_field_pick(S().dlg, kYear, S().years);
    SelectYear(std::atoi(S().text[kPerloYearField]));
  } else if (i == kStatutory || i == kTaxInterest) {
    SelectRadio(i);
  } else if (i == kAdButton) {
    OpenMakerPage();
  }
}

void DrawTabs(int group) {
  const uint8_t attr = dlg_normal_attr(&S().dlg[kBox]);
  if (group == 0) fill_cells(kLeftX, kTabLineY, kLeftW, 1, 0xC4, attr);
  else fill_cells(kRightX, kTabLineY, kRightW, 1, 0xC4, attr);
  for (int t = kGroupFirstTab[group]; t <= kGroupLastTab[group]; ++t) {
    ControlRecord& c = S().dlg[kTab1 + t];
    const bool active = S().tab[group] == t;
    c.element = active ? 6 : 9;
    dlg_draw_control(S().dlg, kTab1 + t);
    // The selected tab opens onto its page.
    if (active) {
      Rect r = dlg_rect(S().dlg, kTab1 + t);
      fill_cells(r.x, kTabLineY, r.w, 1, ' ', attr);
    }
  }
}

int FirstFocusable(int tab) {
  for (int i = kPages[tab].first; i <= kPages[tab].last; ++i)
    if (dlg_can_focus(S().dlg, i)) return i;
  return -1;
}

// Shows tab t in its group. A calculator tab takes the focus; an information tab leaves it
// where it is unless it was on the page that went away.
void SelectTab(int t, bool draw) {
  const int group = t <= kGroupLastTab[0] ? 0 : 1;
  S().tab[group] = t;
  for (int p = kGroupFirstTab[group]; p <= kGroupLastTab[group]; ++p)
    for (int i = kPages[p].first; i <= kPages[p].last; ++i)
      dlg_set_state(S().dlg, i, kStateHidden, p != t, false);
  if (!draw) return;
  const uint8_t attr = dlg_normal_attr(&S().dlg[kBox]);
  if (group == 0) fill_cells(kLeftX, kPageY, kLeftW, kPageH, ' ', attr);
  else fill_cells(kRightX, kPageY, kRightW, kPageH, ' ', attr);
  for (int i = kPages[t].first; i <= kPages[t].last; ++i) dlg_draw_control(S().dlg, i);
  DrawTabs(group);
  const int f = dlg_focused(S().dlg);
  int to = -1;
  if (group == 0) to = FirstFocusable(t);
  else if (f < 0 || !Visible(f))
    to = FirstFocusable(t) >= 0 ? FirstFocusable(t) : FirstFocusable(S().tab[0]);
  if (to >= 0) dlg_set_focus(S().dlg, to, true);
}

// The calculator tab Ctrl+PgDn or Ctrl+PgUp chooses, or -1. The digits of the tabs are hot
// keys of their headers.
int TabOfKey(const KeyEvent& ev) {
  if (ev.ch == 0 && ev.shift == kShiftCtrl && (ev.scan == kScanPgDn || ev.scan == kScanPgUp)) {
    // Two calculator pages: either way is the other one.
    return S().tab[0] == 0 ? 1 : 0;
  }
  return -1;
}

bool IsTabHeader(int i) { return i >= kTab1 && i < kTab1 + kTabCount; }

void Build(DATE today) {
  PERLO_SCREEN& s = S();
  PerloFormInit(&s.form, today);
  for (int f = 0; f < kPerloFieldCount; ++f) {
    std::snprintf(s.text[f], kFieldText, "%s", s.form.text[f].c_str());
    make_descriptor(&s.descriptor[f], 'C', f == kPerloYearField ? 4 : kFieldText - 1, 0, s.text[f]);
  }
  const int year_count = kPerloLastTaxYear - kPerloFirstTaxYear + 1;
  for (int i = 0; i < year_count; ++i) {
    std::snprintf(s.year_names[i], sizeof s.year_names[i], "%d", kPerloFirstTaxYear + i);
    s.years[i] = NameTableEntry{s.year_names[i], kPerloFirstTaxYear + i};
  }
  s.years[year_count] = NameTableEntry{nullptr, 0};

  static const char* const kHelpTexts[] = {
      "Kalkulator podatkowy oblicza podatek dochodowy według ustawy za dany rok."_pl,
      "Wpisanie dochodu oblicza należny podatek."_pl,
      "Wpisanie podatku oblicza dochód, jaki trzeba osiągnąć, aby zapłacić dany podatek. "
      "Wartość zerowa oblicza maksymalny dochód zwolniony od podatku w danym roku."_pl,
      "Kalkulator odsetkowy oblicza zarówno ustawowe jak i podatkowe odsetki od "
      "przeterminowanych płatności."_pl,
      "Wpisanie należnej kwoty, terminu oraz daty wpłaty oblicza należne odsetki na dany "
      "dzień."_pl,
      "Wpisanie zapłaconej sumy rozbija ją w tył na kwotę główną i odsetki."_pl,
  };
  s.help = Paragraphs(kHelpTexts, 6, kTextW);
  static const char* const kAboutTexts[] = {
      "Perlo"_pl,
      "Kalkulator podatkowy i odsetkowy"_pl,
      "Wersja 4.61 z dnia 19.04.2014"_pl,
      ""_pl,
      "Stan prawny na dzień: 01.01.2014"_pl,
      ""_pl,
      "Program jest bezpłatny; wolno go kopiować i przekazywać dalej bez zmian."_pl,
      ""_pl,
      "Wyniki obliczeń mają charakter pomocniczy. Skale podatkowe obejmują lata 1995-2014, "
      "tabele odsetek stopy ogłoszone do 2014 roku."_pl,
  };
  s.about = Paragraphs(kAboutTexts, 9, kTextW);
  s.keys = Wrap(
      "Klawisze: Alt+1...Alt+5 zakładki, Ctrl+PgDn/PgUp strony kalkulatora, Enter "
      "następne pole, Spacja lista lat lub przycisk, Esc koniec."_pl,
      kTextW);

  ControlRecord* d = s.dlg;
  dlg_control(d, kBox, kKindBox, 0, 0, ControlData{kPerloTitle}, 0, 0, kScreenColumns, kScreenRows,
              9);
  // The headers are focusable so that their digits work as hot keys inside input fields too;
  // moving through the dialog passes them by (see Move).
  dlg_item(d, kTab1, 2, 1, " &1 Podatek dochodowy ");
  dlg_item(d, kTab2, 23, 1, " &2 Odsetki ");
  dlg_item(d, kTab3, kTextX, 1, " &3 Reklama ");
  dlg_item(d, kTab4, kTextX + 11, 1, " &4 Pomoc ");
  dlg_item(d, kTab5, kTextX + 20, 1, " &5 O programie ");
  dlg_fill(d, kSeparator, kSeparatorX, 1, 1, kScreenRows - 2, 0xB0, 9);

  dlg_label(d, kYearLabel, 2, 4, "&Rok podatkowy:");
  dlg_choice(d, kYear, 21, 4, 4, 1, &s.descriptor[kPerloYearField]);
  dlg_label(d, kIncomeLabel, 2, 6, "Suma &dochodu:");
  dlg_field(d, kIncome, 21, 6, 15, 1, &s.descriptor[kPerloIncomeField]);
  dlg_label(d, kTaxLabel, 2, 8, "&Podatek dochodowy:");
  dlg_field(d, kTax, 21, 8, 15, 1, &s.descriptor[kPerloTaxField]);

  dlg_radio(d, kStatutory, 2, 4, "Odsetki &ustawowe:");
  dlg_radio(d, kTaxInterest, 2, 5, "Odsetki &podatkowe:");
  dlg_label(d, kAmountLabel, 2, 7, "&Kwota:");
  dlg_field(d, kAmount, 16, 7, 20, 1, &s.descriptor[kPerloAmountField]);
  dlg_label(d, kDueLabel, 2, 9, "&Termin:");
  dlg_field(d, kDue, 16, 9, 10, 1, &s.descriptor[kPerloDueField]);
  dlg_label(d, kPaidLabel, 2, 10, "&Data wpłaty:"_pl);
  dlg_field(d, kPaid, 16, 10, 10, 1, &s.descriptor[kPerloPaidField]);
  dlg_label(d, kInterestLabel, 2, 12, "Od&setki:");
  dlg_field(d, kInterest, 16, 12, 20, 1, &s.descriptor[kPerloInterestField]);
  dlg_label(d, kTotalLabel, 2, 14, "&Razem:");
  dlg_field(d, kTotal, 16, 14, 20, 1, &s.descriptor[kPerloTotalField]);
  // A field shows a value: typing replaces it rather than adding to it.
  for (int i : {kIncome, kTax, kAmount, kDue, kPaid, kInterest, kTotal})
    d[i].options |= kOptSelectOnEntry;

  // The advertisement: a framed picture, the address and the button that opens it.
  dlg_control(d, kAdPicture, kKindBox, 0, 0, ControlData{"Perlo"}, kTextX + 1, 4, kTextW - 2, 7, 6);
  dlg_control(d, kAdLine1, kKindText, 0, 0, ControlData{"Kalkulator podatkowy i odsetkowy"},
              kTextX + 3, 6, 0, 1, 6);
  dlg_control(d, kAdLine2, kKindText, 0, 0, ControlData{"podatek dochodowy 1995-2014"}, kTextX + 3,
              7, 0, 1, 6);
  dlg_control(d, kAdLine3, kKindText, 0, 0, ControlData{"odsetki ustawowe i podatkowe"}, kTextX + 3,
              8, 0, 1, 6);
  dlg_label(d, kAdAddressLabel, kTextX, 13, "Strona producenta:");
  dlg_label(d, kAdAddress, kTextX, 14, kPerloMakerAddress);
  dlg_item(d, kAdButton, kTextX, 16, " &Otwórz stronę "_pl);

  dlg_label(d, kHelp, kTextX, kPageY, s.help.c_str());
  int w, h;
  text_size(s.help.c_str(), &w, &h);
  dlg_label(d, kHelpKeys, kTextX, kPageY + h, s.keys.c_str());
  dlg_label(d, kAbout, kTextX, kPageY + 1, s.about.c_str());
  dlg_end(d, kEnd);

  radio_select(d, s.form.table == kPerloStatutory ? kStatutory : kTaxInterest, false);
  s.tab[0] = 0;
  s.tab[1] = 3;
  SelectTab(0, false);
  SelectTab(3, false);
}

// Focus movement over the page controls only: the tab headers take part in hot keys alone.
void Move(int (*step)(ControlRecord*, bool)) {
  for (int t = 0; t < kTabCount; ++t)
    dlg_set_options(S().dlg, kTab1 + t, kOptFocusable, false, false);
  step(S().dlg, true);
  for (int t = 0; t < kTabCount; ++t)
    dlg_set_options(S().dlg, kTab1 + t, kOptFocusable, true, false);
}

void Loop() {
  ControlRecord* d = S().dlg;
  for (;;) {
    PerloReapOpeners();
    const int f = dlg_focused(d);
    const bool editing = IsEditable(f);
    KeyEvent ev;
    if (editing) {
      field_edit(d, f, &ev);
    } else {
      read_key(&ev);
      if (key_is_scan(ev, kScanF1)) help_keys_box();
    }
    if (key_is_esc(ev) || key_is_ctrl_f4(ev) || key_is_alt_f4(ev)) return;

    const int tab = TabOfKey(ev);
    if (tab >= 0) {
      if (Leave(f) == 0) SelectTab(tab, true);
      continue;
    }
    if (!editing && f >= 0 && ev.ch == ' ') {
      Activate(f, true);
      continue;
    }
    if (f == kYear && ev.ch == 0 && ev.shift == 0 &&
        (ev.scan == kScanLeft || ev.scan == kScanRight)) {
      SelectYear(S().form.year + (ev.scan == kScanLeft ? -1 : 1));
      continue;
    }
    const bool next = (key_is_tab(ev) && ev.shift == 0) || key_is_enter(ev) ||
                      key_is_scan(ev, kScanDown) || (!editing && key_is_scan(ev, kScanRight));
    const bool previous = (key_is_tab(ev) && ev.shift == kShiftShift) || key_is_scan(ev, kScanUp) ||
                          (!editing && key_is_scan(ev, kScanLeft));
    const bool first = key_is_scan(ev, kScanPgUp) || (!editing && key_is_scan(ev, kScanHome));
    const bool last = key_is_scan(ev, kScanPgDn) || (!editing && key_is_scan(ev, kScanEnd));
    if (next || previous || first || last) {
      if (Leave(f) != 0) continue;
      if (key_is_enter(ev) && !editing && f >= 0) {
        Activate(f, false);
        // Enter on a radio button chooses it and goes on past its group.
        if (d[f].kind == kKindRadio) dlg_set_focus(d, radio_group_last(d, f), true);
      }
      Move(next ? dlg_next : previous ? dlg_previous : first ? dlg_first : dlg_last);
      continue;
    }
    // A hot letter: with Alt inside an input field, alone elsewhere.
    if (ev.ch != 0 && (!editing || key_has_alt_only(ev))) {
      const int h = dlg_hot_control(d, ev.ch);
      if (h < 0 || Leave(f) != 0) continue;
      if (IsTabHeader(h)) {
        SelectTab(h - kTab1, true);
        continue;
      }
      dlg_set_focus(d, h, true);
      if (h != kYear && !IsEditable(h)) Activate(h, false);
    }
  }
}

}  // namespace

int PerloScreenRun(DATE today) {
  const bool opened_here = !screen_is_open();
  if (opened_here && screen_open() != 0) return -1;
  PerloScreenReset();
  g_screen = new PERLO_SCREEN;
  Build(today);
  int rc = 0;
  if (dlg_open(S().dlg) != 0) {
    rc = -1;
  } else {
    DrawTabs(0);
    DrawTabs(1);
    dlg_set_focus(S().dlg, kIncome, true);
    Loop();
    window_close();
  }
  PerloReapOpeners();
  PerloScreenReset();
  if (opened_here) screen_close();
  return rc;
}

void PerloScreenReset() {
  delete g_screen;
  g_screen = nullptr;
}
