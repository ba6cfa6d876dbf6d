#include "calculator/perlo_form.h"

#include "calculator/perlo_tax.h"

namespace {

void Show(PERLO_FORM* form, PERLO_FIELD field, const std::string& text, unsigned* changed) {
  if (form->text[field] == text) return;
  form->text[field] = text;
  *changed |= PerloFieldBit(field);
}

void ShowTax(PERLO_FORM* form, unsigned* changed) {
  AMOUNT income = PerloParseAmount(form->text[kPerloIncomeField]);
  Show(form, kPerloTaxField, PerloFormatAmount(PerloTax(form->year, income)), changed);
}

void Recompute(PERLO_FORM* form, unsigned* changed) {
  AMOUNT amount = PerloParseAmount(form->text[kPerloAmountField]);
  DATE due = PerloParseDate(form->text[kPerloDueField]);
  DATE paid = PerloParseDate(form->text[kPerloPaidField]);
  AMOUNT interest = PerloInterest(amount, due, paid, form->table);
  Show(form, kPerloInterestField, PerloFormatAmount(interest), changed);
  Show(form, kPerloTotalField, PerloFormatAmount(amount + interest), changed);
}

void Reformat(PERLO_FORM* form, PERLO_FIELD field, unsigned* changed) {
  Show(form, field, PerloFormatAmount(PerloParseAmount(form->text[field])), changed);
}

}  // namespace

void PerloFormInit(PERLO_FORM* form, DATE today) {
  int year = static_cast<int>(DateToYmd(today).year);
  if (year < kPerloFirstTaxYear) year = kPerloFirstTaxYear;
  if (year > kPerloLastTaxYear) year = kPerloLastTaxYear;
  *form = PERLO_FORM();
  form->year = year;
  form->table = kPerloStatutory;
  form->text[kPerloYearField] = std::to_string(year);
  form->text[kPerloIncomeField] = PerloFormatAmount(AMOUNT());
  form->text[kPerloAmountField] = PerloFormatAmount(AMOUNT());
  form->text[kPerloDueField] = PerloFormatDate(today > 1 ? today - 1 : 0);
  form->text[kPerloPaidField] = PerloFormatDate(today);
  unsigned ignored = 0;
  ShowTax(form, &ignored);
  Recompute(form, &ignored);
}

int PerloFormLeave(PERLO_FORM* form, PERLO_FIELD field, std::string_view typed, unsigned* changed) {
  *changed = 0;
  if (static_cast<int>(field) < 0 || static_cast<int>(field) >= kPerloFieldCount) return -1;
  if (field == kPerloYearField) {
    // The list holds only the scale's years; a typed year goes through the selection.
    int year = 0;
    for (char c : typed) {
      if (c < '0' || c > '9' || year > 10000) return -1;
      year = year * 10 + (c - '0');
    }
    return PerloFormSelectYear(form, year, changed);
  }
  // An amount beyond the limit is refused, as the command line refuses it, not cut down.
  const bool amount_field = field != kPerloDueField && field != kPerloPaidField;
  if (amount_field && PerloReadAmount(typed).too_large) return -1;
  form->text[field] = std::string(typed);
  switch (field) {
    case kPerloIncomeField:
      Reformat(form, kPerloIncomeField, changed);
      ShowTax(form, changed);
      break;
    case kPerloTaxField: {
      AMOUNT entered = PerloParseAmount(form->text[kPerloTaxField]);
      AMOUNT shown_income = PerloParseAmount(form->text[kPerloIncomeField]);
      AMOUNT current = PerloTax(form->year, shown_income);
      if (RoundTo(entered - current, 2).IsZero()) break;
      AMOUNT income = PerloIncomeFromTax(form->year, entered);
      Show(form, kPerloIncomeField, PerloFormatAmount(income), changed);
      ShowTax(form, changed);
      break;
    }
    case kPerloAmountField:
      Reformat(form, kPerloAmountField, changed);
      Recompute(form, changed);
      break;
    case kPerloDueField:
    case kPerloPaidField: {
      DATE date = PerloParseDate(form->text[field]);
      if (date == 0) return -1;
      Show(form, field, PerloFormatDate(date), changed);
      Recompute(form, changed);
      break;
    }
    case kPerloInterestField: Recompute(form, changed); break;
    case kPerloTotalField: {
      AMOUNT total = PerloParseAmount(form->text[kPerloTotalField]);
      AMOUNT principal = PerloSplit(total, PerloParseDate(form->text[kPerloDueField]),
                                    PerloParseDate(form->text[kPerloPaidField]), form->table);
      Show(form, kPerloAmountField, PerloFormatAmount(principal), changed);
      Recompute(form, changed);
      break;
    }
    default: break;
  }
  return 0;
}

int PerloFormSelectYear(PERLO_FORM* form, int year, unsigned* changed) {
  *changed = 0;
  if (year < kPerloFirstTaxYear || year > kPerloLastTaxYear) return -1;
  form->year = year;
  Show(form, kPerloYearField, std::to_string(year), changed);
  ShowTax(form, changed);
  return 0;
}

int PerloFormSelectTable(PERLO_FORM* form, PERLO_TABLE table, unsigned* changed) {
  *changed = 0;
  if (table != kPerloStatutory && table != kPerloTaxInterest) return -1;
  form->table = table;
  Recompute(form, changed);
  return 0;
}
