#include "business/options_dialogs.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "business/options.h"
#include "business/record_lookup.h"
#include "common/text.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/number_format.h"
#include "ui/pick_list.h"
#include "ui/record_list.h"

namespace {

// Dialog records are added one after the other; the builder remembers where it is.
struct BUILDER {
  ControlRecord* d;
  int n = 1;
  int Frame(int w, int h, const char* title) {
    dlg_frame(d, 0, 0, 0, w, h, title);
    dlg_center(d);
    return 0;
  }
  int Label(int x, int y, const char* text) {
    dlg_label(d, n, x, y, text);
    return n++;
  }
  int Check(int x, int y, const char* text, bool on) {
    dlg_check(d, n, x, y, text, on);
    return n++;
  }
  int Button(int x, int y, const char* text) {
    dlg_button(d, n, x, y, text);
    return n++;
  }
  int Field(int x, int y, int w, FieldDescriptor* f) {
    dlg_field(d, n, x, y, w, 1, f);
    return n++;
  }
  int Choice(int x, int y, int w, FieldDescriptor* f) {
    dlg_choice(d, n, x, y, w, 1, f);
    return n++;
  }
  void End() { dlg_end(d, n); }
};

int Ok(int rc) { return rc == 0 ? 0 : -1; }

// ---- OBSŁUGA ----

struct SERVICE_STATE {
  int customer_check = 0;
  int customer_field = 0;
  int filter_button = 0;
  AMOUNT customer;
  char customer_name[51] = "";
};
SERVICE_STATE g_service;

void ShowCustomer(ControlRecord* dlg, bool redraw) {
  const bool on = dlg_checked(dlg, g_service.customer_check);
  if (!on) {
    g_service.customer = AMOUNT();
    g_service.customer_name[0] = 0;
  }
  dlg_set_state(dlg, g_service.customer_field, kStateDisabled, !on, redraw);
  if (redraw) dlg_draw_control(dlg, g_service.customer_field);
}

void ChooseCustomer(ControlRecord* dlg) {
  const int t = kTableContractors;
  const long was = TableRecNo(t);
  // The list opens on the chosen customer, and the contractors keep their place afterwards.
  if (!g_service.customer.IsZero()) FindById(t, g_service.customer);
  if (record_list(kViewContractors) == 0) {
    g_service.customer = Kon.ID;
    std::snprintf(g_service.customer_name, sizeof g_service.customer_name, "%s", Kon.NAZWA);
  }
  TableGo(t, was);
  dlg_draw_control(dlg, g_service.customer_field);
}

int ServiceCallback(ControlRecord* dlg, int code) {
  if (code == g_service.customer_check) ShowCustomer(dlg, true);
  if (code == g_service.customer_field) ChooseCustomer(dlg);
  if (code == g_service.filter_button) {
    fiscal_filter_dialog();
    return code;
  }
  return -1;
}

// ---- ZAOKRĄGLENIA ----

struct PRECISION {
  int first;  // decimals of the first choice
  int count;  // choices, each one decimal fewer
  int decimals;
  char text[11];
};

void ShowStep(PRECISION* p) {
  AMOUNT step = AMOUNT::FromInt(1);
  for (int d = p->decimals; d > 0; --d) step = step / 10;
  for (int d = p->decimals; d < 0; ++d) step = step * 10;
  std::snprintf(p->text, sizeof p->text, "%10s",
                format_amount(step, p->decimals > 0 ? p->decimals : 0).c_str());
}

PRECISION g_precisions[3];
int g_precision_fields[3];

void ChoosePrecision(ControlRecord* dlg, int k) {
  PRECISION& p = g_precisions[k];
  std::string texts[8];
  const char* items[9];
  PRECISION probe = p;
  for (int c = 0; c < p.count; ++c) {
    probe.decimals = p.first - c;
    ShowStep(&probe);
    texts[c] = std::string(" ") + probe.text + " ";
    items[c] = texts[c].c_str();
  }
  items[p.count] = nullptr;
  const int f = g_precision_fields[k];
  const int r = menu_list(items, p.first - p.decimals, nullptr,
                          dlg_abs_x(dlg, f) + dlg[f].width + 1, dlg_abs_y(dlg, f));
  if (r >= 0) {
    p.decimals = p.first - r;
    ShowStep(&p);
  }
  dlg_draw_control(dlg, f);
}

int RoundingCallback(ControlRecord* dlg, int code) {
  for (int k = 0; k < 3; ++k)
    if (code == g_precision_fields[k]) ChoosePrecision(dlg, k);
  return -1;
}

// ---- OPCJE DOKUMENTÓW ----

int g_header_buttons[kHeaderDocumentCount];

int DocumentsCallback(ControlRecord*, int code) {
  for (int k = 0; k < kHeaderDocumentCount; ++k)
    if (code == g_header_buttons[k]) {
      header_footer_dialog(k + 1);
      return code;
    }
  return -1;
}

const char* const kHeaderDocumentNames[kHeaderDocumentCount] = {
    "Faktura VAT",        "Rachunek",        "Paragon", "Dowód wydania"_pl,
    "Dowód przyjęcia"_pl, "Dowód kasowy"_pl, "Oferta"};

}  // namespace

int service_options_dialog() {
  struct SWITCH {
    const char* text;
    int (*get)();
    int (*set)(int);
  };
  static const SWITCH kBefore[] = {
      {"Automatyczny &numer towaru                         ", AutoProductNr, SetAutoProductNr},
      {"Aktualizacja sumy kont&rolnej kodów kreskowych     "_pl, EANChecksumUpdate,
       SetEANChecksumUpdate},
  };
  static const SWITCH kAfter[] = {
      {"Automatyczny dokument &magazynowy                  ", AutoWZ, SetAutoWZ},
      {"Przeliczanie &sumy transakcji po każdej pozycji    "_pl, TraRecalc, SetTraRecalc},
      {"Ostatnia &cena sprzedaży kontrahenta               "_pl, LastCustomerPrice,
       SetLastCustomerPrice},
      {"&Aktualizacja nowej ceny towaru przy sprzedaży     "_pl, PriceUpdate, SetPriceUpdate},
      {"O&bliczanie odsetek od przeterminowanych płatności "_pl, InterestCalc, SetInterestCalc},
      {"Pytanie o &dokument po zakończeniu transakcji      "_pl, DocumentPrompt, SetDocumentPrompt},
      {"Blokada edycji znacznika paragonu &fiskalnego      ", FiscalEditLock, SetFiscalEditLock},
  };
  static const SWITCH kLast[] = {
      {"Wyświetlanie cen netto w dos&tawach                "_pl, PricePurchaseNettoShow,
       SetPricePurchaseNettoShow},
      {"Wyświetlanie cen netto w s&przedażach              "_pl, PriceSaleNettoShow,
       SetPriceSaleNettoShow},
  };
  ControlRecord d[24];
  FieldDescriptor name_field;
  g_service = SERVICE_STATE{};
  g_service.customer = AutoCustomer();
  KON_RECORD k{};
  if (!g_service.customer.IsZero() &&
      ReadRecordById(kTableContractors, g_service.customer, &k) == 0)
    std::snprintf(g_service.customer_name, sizeof g_service.customer_name, "%s", k.NAZWA);
  make_descriptor(&name_field, 'C', 50, 0, g_service.customer_name);
  BUILDER b{d};
  b.Frame(61, 20, "OBSŁUGA"_pl);
  int y = 1;
  int before[2], after[7], last[2];
  for (int i = 0; i < 2; ++i) before[i] = b.Check(2, y++, kBefore[i].text, kBefore[i].get() != 0);
  g_service.customer_check =
      b.Check(2, y++, "Automatyczny &kontrahent przy sprzedaży            "_pl,
              !g_service.customer.IsZero());
  g_service.customer_field = b.Choice(7, y++, 50, &name_field);
  for (int i = 0; i < 7; ++i) after[i] = b.Check(2, y++, kAfter[i].text, kAfter[i].get() != 0);
  g_service.filter_button =
      b.Button(2, y++, " F&iltr dokumentów do paragonów fiskalnych...           "_pl);
  for (int i = 0; i < 2; ++i) last[i] = b.Check(2, y++, kLast[i].text, kLast[i].get() != 0);
  const int ok = b.Button(27, 18, " &Ok ");
  b.End();
  ShowCustomer(d, false);
  if (dlg_run(d, before[0], ServiceCallback) != ok) return 1;
  int rc = 0;
  for (int i = 0; i < 2; ++i) rc |= kBefore[i].set(dlg_checked(d, before[i]) ? 1 : 0);
  for (int i = 0; i < 7; ++i) rc |= kAfter[i].set(dlg_checked(d, after[i]) ? 1 : 0);
  for (int i = 0; i < 2; ++i) rc |= kLast[i].set(dlg_checked(d, last[i]) ? 1 : 0);
  rc |= SetAutoCustomer(dlg_checked(d, g_service.customer_check) ? g_service.customer : AMOUNT());
  return Ok(rc);
}

int rounding_options_dialog() {
  static const char* const kNetTexts[kRoundNettoCount] = {
      "&Brak dokumentu        ", "&Faktura VAT           ", "&Rachunek              ",
      "&Paragon               ", "Fa&ktura VAT (korekta) ", "Ra&chunek (korekta)    ",
      "Para&gon (korekta)     "};
  ControlRecord d[20];
  FieldDescriptor fields[3];
  BUILDER b{d};
  b.Frame(44, 17, "ZAOKRĄGLENIA"_pl);
  b.Label(3, 1, "Dokumenty proponowane w cenach netto:");
  const std::array<uint8_t, kRoundNettoCount> net = DocumentRoundNetto();
  int checks[kRoundNettoCount];
  for (int i = 0; i < kRoundNettoCount; ++i)
    checks[i] = b.Check(3, 2 + i, kNetTexts[i], net[i] != 0);
  b.Label(3, 10, "Dokładność obliczeń"_pl);
  g_precisions[0] = PRECISION{4, 5, RoundAmount(), ""};
  g_precisions[1] = PRECISION{2, 8, RoundPay(), ""};
  g_precisions[2] = PRECISION{2, 8, RoundPrice(), ""};
  // The labels end in one column; the steps stand between them and "zł".
  static const char* const kLabels[3] = {"&Ilości:"_pl, "Sum &płatności:            zł"_pl,
                                         "Cen &towarów:            zł"_pl};
  static const int kLabelX[3] = {10, 3, 5};
  for (int k = 0; k < 3; ++k) {
    ShowStep(&g_precisions[k]);
    make_descriptor(&fields[k], 'C', 10, 0, g_precisions[k].text);
    b.Label(kLabelX[k], 11 + k, kLabels[k]);
    g_precision_fields[k] = b.Choice(18, 11 + k, 10, &fields[k]);
  }
  const int ok = b.Button(19, 15, " &Ok ");
  b.End();
  if (dlg_run(d, checks[0], RoundingCallback) != ok) return 1;
  std::array<uint8_t, kRoundNettoCount> flags{};
  for (int i = 0; i < kRoundNettoCount; ++i) flags[i] = dlg_checked(d, checks[i]) ? 1 : 0;
  int rc = SetDocumentRoundNetto(flags);
  rc |= SetRoundAmount(g_precisions[0].decimals);
  rc |= SetRoundPay(g_precisions[1].decimals);
  rc |= SetRoundPrice(g_precisions[2].decimals);
  return Ok(rc);
}

int warnings_options_dialog() {
  struct WARNING {
    const char* text;
    int (*get)();
    int (*set)(int);
  };
  static const WARNING kWarnings[] = {
      {"Nieuregulowane &płatności kontrahenta      "_pl, WarnDebtor, SetWarnDebtor},
      {"&Stan towaru zmniejszony poniżej zera      "_pl, WarnNegativeAmount, SetWarnNegativeAmount},
      {"&Cena sprzedaży nie większa od ceny zakupu "_pl, WarnLowSalePrice, SetWarnLowSalePrice},
      {"Zmieniona stawka &VAT towaru               ", WarnChangedVAT, SetWarnChangedVAT},
      {"Brak symbolu PK&WiU towaru                 ", WarnNoSWW, SetWarnNoSWW},
      {"Brak numeru &NIP kontrahenta               ", WarnNoNIP, SetWarnNoNIP},
      {"Brak numeru konta &bankowego               ", WarnNoBank, SetWarnNoBank},
  };
  ControlRecord d[10];
  BUILDER b{d};
  b.Frame(53, 11, "OSTRZEŻENIA"_pl);
  int checks[7];
  for (int i = 0; i < 7; ++i)
    checks[i] = b.Check(2, 1 + i, kWarnings[i].text, kWarnings[i].get() != 0);
  const int ok = b.Button(23, 9, " &Ok ");
  b.End();
  if (dlg_run(d, checks[0], nullptr) != ok) return 1;
  int rc = 0;
  for (int i = 0; i < 7; ++i) rc |= kWarnings[i].set(dlg_checked(d, checks[i]) ? 1 : 0);
  return Ok(rc);
}

int document_options_dialog() {
  struct SWITCH {
    const char* text;
    int (*get)();
    int (*set)(int);
  };
  static const SWITCH kFields[] = {
      {"Ory&ginał / Kopia / Duplikat       "_pl, DocumentCopyType, SetDocumentCopyType},
      {"Opi&s towaru                       ", DocumentProductDescription,
       SetDocumentProductDescription},
      {"&Cena z wliczonym rabatem (FV)     ", FVPriceD, SetFVPriceD},
      {"C&ena z wliczonym rabatem (PZ)     ", PZPriceD, SetPZPriceD},
      {"Cena z w&liczonym rabatem (WZ)     ", WZPriceD, SetWZPriceD},
      {"Podsumowanie &ilości               "_pl, DocumentAmountTotal, SetDocumentAmountTotal},
      {"Kwota ra&batu                      ", DocumentDiscountTotal, SetDocumentDiscountTotal},
      {"\"&Zapłacono\" przy gotówce i czeku  "_pl, DocumentPaid, SetDocumentPaid},
      {"Przedstawiciel firmy &macierzystej ", DocumentCompanyRepresentative,
       SetDocumentCompanyRepresentative},
      {"Przedstawiciel ko&ntrahenta        ", DocumentCustomerRepresentative,
       SetDocumentCustomerRepresentative},
  };
  static const char* const kButtons[kHeaderDocumentCount] = {
      " &Faktura VAT...     ",    " &Rachunek...        ",    " &Paragon...         ",
      " &Dowód wydania...   "_pl, " Dowód przy&jęcia... "_pl, " Dowód &kasowy...    "_pl,
      " Ofer&ta...          "};
  ControlRecord d[30];
  FieldDescriptor place_field, rows_field;
  char place[21];
  std::snprintf(place, sizeof place, "%s", DocumentPlace().c_str());
  AMOUNT rows = DocumentRowsPerPage();
  make_descriptor(&place_field, 'C', 20, 0, place);
  make_descriptor(&rows_field, 'N', 3, 0, &rows);
  BUILDER b{d};
  b.Frame(67, 19, "OPCJE DOKUMENTÓW"_pl);
  b.Label(3, 1, "Pola dokumentów:"_pl);
  int checks[10];
  for (int i = 0; i < 10; ++i)
    checks[i] = b.Check(2, 2 + i, kFields[i].text, kFields[i].get() != 0);
  b.Label(45, 1, "Nagłówki i stopki:"_pl);
  for (int k = 0; k < kHeaderDocumentCount; ++k)
    g_header_buttons[k] = b.Button(45, 2 + k, kButtons[k]);
  b.Label(3, 13, "Miejsco&wość:"_pl);
  b.Field(17, 13, 21, &place_field);
  const int date_check =
      b.Check(2, 14, "P&ytanie o datę wystawienia dokumentu "_pl, DocumentDatePrompt() != 0);
  b.Label(3, 15, "Liczb&a pozycji na stronie:");
  b.Field(31, 15, 3, &rows_field);
  const int ok = b.Button(31, 17, " &Ok ");
  b.End();
  if (dlg_run(d, checks[0], DocumentsCallback) != ok) return 1;
  int rc = 0;
  for (int i = 0; i < 10; ++i) rc |= kFields[i].set(dlg_checked(d, checks[i]) ? 1 : 0);
  rc |= SetDocumentPlace(place);
  rc |= SetDocumentDatePrompt(dlg_checked(d, date_check) ? 1 : 0);
  rc |= SetDocumentRowsPerPage(rows);
  return Ok(rc);
}

int header_footer_dialog(int document) {
  if (document < 1 || document > kHeaderDocumentCount) return -1;
  constexpr int kLines = 2 * kHeaderLineCount;
  char texts[kLines][kHeaderTextLength + 1];
  FieldDescriptor fields[kLines];
  int checks[kLines];
  ControlRecord d[3 * kLines + 10];
  BUILDER b{d};
  b.Frame(72, 20, "NAGŁÓWEK I STOPKA"_pl);
  b.Label(3, 1, "Dokument:");
  b.Label(13, 1, kHeaderDocumentNames[document - 1]);
  for (int k = 0; k < kLines; ++k) {
    const bool footer = k >= kHeaderLineCount;
    const int line = k % kHeaderLineCount + 1;
    const int y = 3 + k + (footer ? 1 : 0);
    if (line == 1) b.Label(3, y - 1, footer ? "&Stopka:" : "&Nagłówek:"_pl);
    const HEADER_LINE stored = HeaderFooterLine(document, footer ? 'F' : 'H', line);
    std::snprintf(texts[k], sizeof texts[k], "%s", stored.text.c_str());
    make_descriptor(&fields[k], 'C', kHeaderTextLength, 0, texts[k]);
    b.Label(4, y, "[ ]");
    checks[k] = b.Check(5, y, "", stored.enabled);
    b.Field(8, y, 60, &fields[k]);
  }
  b.Label(3, 17, "UWAGA: Linie niezaznaczone [X] zostaną pominięte."_pl);
  const int ok = b.Button(33, 18, " &Ok ");
  b.End();
  if (dlg_run(d, checks[0], nullptr) != ok) return 1;
  int rc = 0;
  for (int k = 0; k < kLines; ++k) {
    const bool footer = k >= kHeaderLineCount;
    HEADER_LINE line;
    line.enabled = dlg_checked(d, checks[k]);
    line.text = texts[k];
    rc |= SetHeaderFooterLine(document, footer ? 'F' : 'H', k % kHeaderLineCount + 1, line);
  }
  return Ok(rc);
}

int fiscal_filter_dialog() {
  static const char* const kTexts[kFiscDocumentFilterCount] = {
      "&Brak dokumentu        ", "&Faktura VAT           ", "F&aktura VAT RR        ",
      "&Rachunek              ", "&Paragon               ", "Fa&ktura VAT (korekta) ",
      "Ra&chunek (korekta)    ", "Para&gon (korekta)     "};
  ControlRecord d[kFiscDocumentFilterCount + 3];
  BUILDER b{d};
  b.Frame(33, 12, "FILTR DOKUMENTÓW"_pl);
  std::array<uint8_t, kFiscDocumentFilterCount> flags = FiscDocumentFilter();
  int checks[kFiscDocumentFilterCount];
  for (int i = 0; i < kFiscDocumentFilterCount; ++i)
    checks[i] = b.Check(2, 1 + i, kTexts[i], flags[i] != 0);
  const int ok = b.Button(13, 10, " &Ok ");
  b.End();
  if (dlg_run(d, checks[0], nullptr) != ok) return 1;
  for (int i = 0; i < kFiscDocumentFilterCount; ++i) flags[i] = dlg_checked(d, checks[i]) ? 1 : 0;
  return Ok(SetFiscDocumentFilter(flags));
}

int report_filter_dialog() {
  static const char* const kTexts[kDocumentFilterCount] = {
      "Brak dokumentu &magazynowego           ",
      "Dowód przyjęcia/wydania &zewnętrznego  "_pl,
      "Dowód przyjęcia/wydania &wewnętrznego  "_pl,
      "Dowód przesunięcia mię&dzymagazynowego "_pl,
      "Brak dokumentu &sprzedaży "_pl,
      "&Faktura VAT              ",
      "Fak&tura VAT RR           ",
      "&Rachunek                 ",
      "&Paragon                  ",
      "Fa&ktura VAT (korekta)    ",
      "Ra&chunek (korekta)       ",
      "Para&gon (korekta)        ",
      "&Brak paragonu fiskalnego ",
      "P&aragon fiskalny         "};
  ControlRecord d[kDocumentFilterCount + 6];
  BUILDER b{d};
  b.Frame(49, 21, "FILTR DOKUMENTÓW"_pl);
  std::array<uint8_t, kDocumentFilterCount> flags = DocumentFilter();
  int checks[kDocumentFilterCount];
  int y = 1;
  for (int i = 0; i < kDocumentFilterCount; ++i) {
    if (i == 0) b.Label(3, y++, "Dokumenty magazynowe:");
    if (i == 4) b.Label(3, y++, "Dokumenty sprzedaży:"_pl);
    if (i == 12) b.Label(3, y++, "Paragony fiskalne:");
    checks[i] = b.Check(2, y++, kTexts[i], flags[i] != 0);
  }
  const int ok = b.Button(21, 19, " &Ok ");
  b.End();
  if (dlg_run(d, checks[0], nullptr) != ok) return 1;
  for (int i = 0; i < kDocumentFilterCount; ++i) flags[i] = dlg_checked(d, checks[i]) ? 1 : 0;
  return Ok(SetDocumentFilter(flags));
}
