#include "calculator/perlo_form.h"

#include "calculator/perlo_tax.h"

namespace {

void Show(PERLO_FORM* form, PERLO_FIELD field, const std::string& text, unsigned* changed) {
  if (form->text[field] == text) return;
  form->text[field] = text;
  *changed |= PerloFieldBit(field);
}

void ShowTax(PERLO_FORM* form, unsigned* changed) {
  PERLO_MONEY income = PerloParseAmount(form->text[kPerloIncomeField]);
  Show(form, kPerloTaxField, PerloFormatAmount(PerloTax(form->year, income)), changed);
}

void Recompute(PERLO_FORM* form, unsigned* changed) {
  PERLO_MONEY amount = PerloParseAmount(form->text[kPerloAmountField]);
  PERLO_DAY due = PerloParseDate(form->text[kPerloDueField]);
  PERLO_DAY paid = PerloParseDate(form->text[kPerloPaidField]);
  PERLO_MONEY interest = PerloInterest(amount, due, paid, form->table);
  Show(form, kPerloInterestField, PerloFormatAmount(interest), changed);
  Show(form, kPerloTotalField, PerloFormatAmount(amount + interest), changed);
}

void Reformat(PERLO_FORM* form, PERLO_FIELD field, unsigned* changed) {
  Show(form, field, PerloFormatAmount(PerloParseAmount(form->text[field])), changed);
}

}  // namespace

void PerloFormInit(PERLO_FORM* form, PERLO_DAY today) {
  unsigned d, m, y;
  PerloDmyFromDay(today, &d, &m, &y);
  int year = static_cast<int>(y);
  if (year < kPerloFirstTaxYear) year = kPerloFirstTaxYear;
  if (year > kPerloLastTaxYear) year = kPerloLastTaxYear;
  *form = PERLO_FORM();
  form->year = year;
  form->table = kPerloStatutory;
  form->text[kPerloYearField] = std::to_string(year);
  form->text[kPerloIncomeField] = PerloFormatAmount(PERLO_MONEY());
  form->text[kPerloAmountField] = PerloFormatAmount(PERLO_MONEY());
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
  form->text[field] = std::string(typed);
  switch (field) {
    case kPerloIncomeField:
      Reformat(form, kPerloIncomeField, changed);
      ShowTax(form, changed);
      break;
    case kPerloTaxField: {
      PERLO_MONEY entered = PerloParseAmount(form->text[kPerloTaxField]);
      PERLO_MONEY shown_income = PerloParseAmount(form->text[kPerloIncomeField]);
      PERLO_MONEY current = PerloTax(form->year, shown_income);
      if ((entered - current).Round2() == PERLO_MONEY()) break;
      PERLO_MONEY income = PerloIncomeFromTax(form->year, entered);
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
      PERLO_DAY date = PerloParseDate(form->text[field]);
      if (date == 0) return -1;
      Show(form, field, PerloFormatDate(date), changed);
      Recompute(form, changed);
      break;
    }
    case kPerloInterestField:
      Recompute(form, changed);
      break;
    case kPerloTotalField: {
      PERLO_MONEY total = PerloParseAmount(form->text[kPerloTotalField]);
      PERLO_MONEY principal =
          PerloSplit(total, PerloParseDate(form->text[kPerloDueField]),
                     PerloParseDate(form->text[kPerloPaidField]), form->table);
      Show(form, kPerloAmountField, PerloFormatAmount(principal), changed);
      Recompute(form, changed);
      break;
    }
    default:
      break;
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
