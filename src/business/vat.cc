#include "business/vat.h"

#include "common/text.h"

const VAT_RATE VAT_RATES[kVatRateCount] = {
    {1, "zw", 0},  {14, " -", 0}, {12, "23", 23}, {2, "22", 22}, {6, "17", 17},
    {5, "12", 12}, {13, " 8", 8}, {3, " 7", 7},   {11, " 6", 6}, {10, " 5", 5},
    {8, " 4", 4},  {9, " 3", 3},  {7, " 2", 2},   {4, " 0", 0},
};

const VAT_CHOICE VAT_CHOICES[kVatChoiceCount] = {
    {" &A: 23% ", 12}, {" &B:  8% ", 13}, {" &C:  0% ", 4}, {" &N:  -  ", 14},
    {" &Z: zw  ", 1},  {"    22% ", 2},   {"     7% ", 3},  {"     6% ", 11},
    {"     5% ", 10},  {"     4% ", 8},   {"     3% ", 9},
};

const GOODS_KIND GOODS_KINDS[kGoodsKindCount] = {
    {'T', "towar handlowy", " &towar handlowy     ", true},
    {'P', "produkt własny"_pl, " &produkt własny     "_pl, true},
    {'O', "opakowanie zwrotne", " &opakowanie zwrotne ", true},
    {'M', "materiał"_pl, " &materiał           "_pl, true},
    {'U', "usługa"_pl, " &usługa             "_pl, false},
    {'K', "koszt uboczny", " &koszt uboczny      ", false},
    {'R', "koszt reklamy", " koszt &reklamy      ", false},
    {'W', "wynagrodzenie", " &wynagrodzenie      ", false},
    {'I', "inny", " &inny               ", false},
};

int VatRow(int vatId) {
  for (int i = 0; i < kVatRateCount; ++i)
    if (VAT_RATES[i].id == vatId) return i;
  return -1;
}

const char* VatLabel(int vatId) {
  int row = VatRow(vatId);
  return row < 0 ? "" : VAT_RATES[row].label;
}

AMOUNT VatRate(int vatId) {
  int row = VatRow(vatId);
  return row < 0 ? AMOUNT() : AMOUNT::FromInt(VAT_RATES[row].percent);
}

int VatIdFromText(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return 1;
  long long number = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 1;
    // Anything beyond three digits can match no rate; stop growing before it could overflow.
    if (number < 1000) number = number * 10 + (text[i] - '0');
  }
  if (negative && number != 0) return 1;
  // "zw" is skipped: a typed 0 means the zero rates that follow it.
  for (int row = 1; row < kVatRateCount; ++row)
    if (VAT_RATES[row].percent == number) return VAT_RATES[row].id;
  return 1;
}

int GoodsKindRow(char code) {
  for (int i = 0; i < kGoodsKindCount; ++i)
    if (GOODS_KINDS[i].code == code) return i;
  return -1;
}

bool IsStockKind(char code) {
  int row = GoodsKindRow(code);
  return row >= 0 && GOODS_KINDS[row].keeps_stock;
}

const char* GoodsKindName(char code) {
  int row = GoodsKindRow(code);
  return row < 0 ? "" : GOODS_KINDS[row].name;
}
