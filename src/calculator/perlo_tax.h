// Personal income tax by the tax scale of a year (1995 to 2014), forward from an income and
// backward from a tax.
//
//   PerloTax(2014, PerloParseAmount("3089,02"))       -> 0.00
//   PerloTax(2014, PerloParseAmount("3089,03"))       -> 0.01
//   PerloIncomeFromTax(2014, AMOUNT())                -> 3089.02, the largest tax-free income
//
// An income at a bracket's limit is taxed by that (lower) bracket.
#pragma once

#include "common/amount.h"

inline constexpr int kPerloFirstTaxYear = 1995;
inline constexpr int kPerloLastTaxYear = 2014;
// The backward search looks for incomes up to this many złoty.
inline constexpr int64_t kPerloIncomeSearchLimit = 1000000;

// One row of the tax scale: amounts in złoty, rates as fractions (0.19 for 19 %), multiplied
// in fixed point and truncated like every AMOUNT product.
struct PERLO_TAX_SCALE {
  int first_year;
  int last_year;
  AMOUNT limit1;  // the first bracket takes incomes up to this
  AMOUNT rate1;   // of the whole income ...
  AMOUNT less1;   // ... less this, never below 0
  AMOUNT limit2;  // the second bracket takes incomes up to this; 0: no second bracket
  AMOUNT base2;   // plus rate2 of the excess over limit1
  AMOUNT rate2;
  AMOUNT base3;  // above the last limit: base3 plus rate3 of the excess over it
  AMOUNT rate3;
};

// Incomes and taxes are taken within ±kPerloLimit, as amount texts give them.

// The row for a year, or nullptr outside 1995..2014.
const PERLO_TAX_SCALE* PerloTaxScale(int year);
// The tax on an income, rounded to the grosz; 0 for a year without a scale.
AMOUNT PerloTax(int year, AMOUNT income);
// The largest income, to the grosz and at most 1 000 000.00, whose tax does not exceed the
// target (rounded to the grosz first). A negative target, which no income reaches, gives 0.
AMOUNT PerloIncomeFromTax(int year, AMOUNT tax);
