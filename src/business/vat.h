// VAT rates and goods kinds: the two fixed tables every price, position and report refers to.
//
// A VAT rate is addressed by its identifier (the VATID fields of goods and positions, 1 to 14;
// 0 means no rate chosen). The rows stand in a fixed order that searches and per-rate totals
// follow, so a rate's row number is also its slot in document totals:
//
//   VatLabel(12) -> "23"   VatRate(12) -> 23.0000   VatRow(12) -> 2
//   VatIdFromText("0") -> 14 (" -", the first zero rate met after "zw")
#pragma once

#include <string_view>

#include "common/amount.h"

struct VAT_RATE {
  int id;
  const char* label;  // two characters
  int percent;
};

inline constexpr int kVatRateCount = 14;
// Rows in search order: 1, 14, 12, 2, 6, 5, 13, 3, 11, 10, 8, 9, 7, 4.
extern const VAT_RATE VAT_RATES[kVatRateCount];

// The row of an identifier in VAT_RATES, or -1 outside 1..14.
int VatRow(int vatId);
// The two-character label; an empty text outside 1..14.
const char* VatLabel(int vatId);
// The rate in percent as an AMOUNT; 0 outside 1..14.
AMOUNT VatRate(int vatId);
// A whole number (leading blanks allowed) matched against the rates, rows 2 to 14 in order;
// text that is not entirely a number, or a number no row has, gives 1 ("zw").
int VatIdFromText(std::string_view text);

// The items of the VAT selection list, in the order offered. Rates 17, 12 and 2 stay valid in
// stored data but are not offered for new entries.
struct VAT_CHOICE {
  const char* text;
  int id;
};
inline constexpr int kVatChoiceCount = 11;
extern const VAT_CHOICE VAT_CHOICES[kVatChoiceCount];

// Goods kinds: the one-letter RODZAJ code of goods.
struct GOODS_KIND {
  char code;
  const char* name;       // as shown in the goods form
  const char* list_text;  // the item of the kinds list, with its hot letter
  bool keeps_stock;
};
inline constexpr int kGoodsKindCount = 9;
extern const GOODS_KIND GOODS_KINDS[kGoodsKindCount];

// True for T, P, O and M: the kinds whose stock is kept.
bool IsStockKind(char code);
// The kind's name, or an empty text for a code outside the table.
const char* GoodsKindName(char code);
// The row of a code in GOODS_KINDS, or -1.
int GoodsKindRow(char code);
