// The calculator's two pages as a model without drawing: the texts the fields show, and what
// happens when a field is left, the year is chosen or a radio button is clicked. A screen
// front end hands over the text the user left in a field and repaints the fields reported as
// changed; a field is reported (and so rewritten) only when its new text differs from what it
// shows.
//
//   PERLO_FORM form;
//   PerloFormInit(&form, PerloToday());
//   unsigned changed = 0;
//   PerloFormLeave(&form, kPerloIncomeField, "3 089,03", &changed);
//   // form.text[kPerloIncomeField] == "3 089,03 zł", form.text[kPerloTaxField] == "0,01 zł",
//   // changed == PerloFieldBit(kPerloIncomeField) | PerloFieldBit(kPerloTaxField)
//
// Texts are in Windows-1250.
#pragma once

#include <string>
#include <string_view>

#include "calculator/perlo_date.h"
#include "calculator/perlo_interest.h"
#include "calculator/perlo_money.h"

enum PERLO_FIELD {
  // "Podatek dochodowy" page
  kPerloYearField,    // "&Rok podatkowy:", the year as four digits
  kPerloIncomeField,  // "Suma &dochodu:"
  kPerloTaxField,     // "&Podatek dochodowy:"
  // "Odsetki" page (the radio buttons are PERLO_FORM::table)
  kPerloAmountField,    // "&Kwota:"
  kPerloDueField,       // "&Termin:"
  kPerloPaidField,      // "&Data wpłaty:"
  kPerloInterestField,  // "Od&setki:"
  kPerloTotalField,     // "&Razem:"
  kPerloFieldCount
};

constexpr unsigned PerloFieldBit(PERLO_FIELD field) { return 1u << field; }

struct PERLO_FORM {
  int year = 0;                         // the selected tax year, 1995..2014
  PERLO_TABLE table = kPerloStatutory;  // the selected radio button
  std::string text[kPerloFieldCount];   // what each field shows
};

// The starting state: the tax year of `today` (clamped to 1995..2014), an income of 0 and its
// tax; statutory interest on 0 due yesterday and paid today, computed at once.
void PerloFormInit(PERLO_FORM* form, DATE today);

// A field loses the focus holding `typed`. Returns 0, or -1 when the text is not a valid date
// or an amount beyond kPerloLimit and the focus must go back to the field (nothing else happens
// then). *changed receives the bits of the fields whose text the model rewrote.
int PerloFormLeave(PERLO_FORM* form, PERLO_FIELD field, std::string_view typed, unsigned* changed);
// Another year chosen in the list: the tax of the shown income. Returns -1 (and changes
// nothing) for a year without a tax scale.
int PerloFormSelectYear(PERLO_FORM* form, int year, unsigned* changed);
// A click on "Odsetki &ustawowe:" or "Odsetki &podatkowe:": recomputes the interest.
int PerloFormSelectTable(PERLO_FORM* form, PERLO_TABLE table, unsigned* changed);
