// Personal income tax by the tax scale of a year (1995 to 2014), forward from an income and
// backward from a tax.
//
//   PerloTax(2014, PerloParseAmount("3089,02"))       -> 0.00
//   PerloTax(2014, PerloParseAmount("3089,03"))       -> 0.01
//   PerloIncomeFromTax(2014, PERLO_MONEY())           -> 3089.02, the largest tax-free income
//
// An income at a bracket's limit is taxed by that (lower) bracket.
#pragma once

#include "calculator/perlo_money.h"

inline constexpr int kPerloFirstTaxYear = 1995;
inline constexpr int kPerloLastTaxYear = 2014;
// The backward search looks for incomes up to this many złoty.
inline constexpr int64_t kPerloIncomeSearchLimit = 1000000;

// One row of the tax scale, amounts in złoty.
struct PERLO_TAX_SCALE {
  int first_year;
  int last_year;
  double limit1;   // the first bracket takes incomes up to this
  double rate1;    // of the whole income ...
  double less1;    // ... less this, never below 0
  double limit2;   // the second bracket takes incomes up to this; 0: no second bracket
  double base2;    // plus rate2 of the excess over limit1
  double rate2;
  double base3;    // above the last limit: base3 plus rate3 of the excess over it
  double rate3;
};

// Incomes and taxes are taken within ±PERLO_MONEY::kLimitRaw, as amount texts give them.

// The row for a year, or nullptr outside 1995..2014.
const PERLO_TAX_SCALE* PerloTaxScale(int year);
// The tax on an income, rounded to the grosz; 0 for a year without a scale.
PERLO_MONEY PerloTax(int year, PERLO_MONEY income);
// The largest income, to the grosz and at most 1 000 000.00, whose tax does not exceed the
// target (rounded to the grosz first). A negative target, which no income reaches, gives 0.
PERLO_MONEY PerloIncomeFromTax(int year, PERLO_MONEY tax);
