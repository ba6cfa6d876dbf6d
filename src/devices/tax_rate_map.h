// The tax-rate map of a fiscal printer or register: which of the device's tax letters carries
// which VAT rate. Filled from the device (or fixed for a model) when it is opened; each receipt
// line then finds its letter by rate, compared to the grosz:
//
//   map.add(AMOUNT::FromInt(23), 'A');  map.add(TaxRateMap::kExempt, 'Z');
//   map.letter(AMOUNT::FromDouble(23.001)) -> 'A'     map.text('Z') -> "zw."
#pragma once

#include <cstdint>
#include <string>

#include "common/amount.h"

class TaxRateMap {
 public:
  static constexpr int kEntries = 16;
  static constexpr AMOUNT kExempt = AMOUNT::FromInt(-1);

  TaxRateMap() { clear(); }
  void clear();

  // 0, or -1 when the rate is there already or the map is full.
  int add(AMOUNT rate, uint8_t letter);
  // The index of the first entry with this rate (both rounded to 2 decimals), or -1.
  int find(AMOUNT rate) const;
  // The letter of the rate, 0 when it has none.
  uint8_t letter(AMOUNT rate) const;
  // "" for a letter without entry, "zw." for the exempt rate, else the rate as "%.0f".
  std::string text(uint8_t letter) const;
  // The number when the whole text is one, otherwise the exempt marker.
  static AMOUNT parse(const char* text);

  int used() const;

 private:
  struct Entry {
    AMOUNT rate;
    uint8_t letter;  // 0: free
  };
  Entry entries_[kEntries];
};
