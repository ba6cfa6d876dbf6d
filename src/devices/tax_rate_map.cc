#include "devices/tax_rate_map.h"

#include <cstdio>
#include <cstdlib>

void TaxRateMap::clear() {
  for (Entry& e : entries_) e = Entry{AMOUNT::FromInt(10000), 0};
}

int TaxRateMap::add(AMOUNT rate, uint8_t letter) {
  if (find(rate) >= 0) return -1;
  for (Entry& e : entries_)
    if (e.letter == 0) {
      e = Entry{rate, letter};
      return 0;
    }
  return -1;
}

// Free entries are skipped: their placeholder rate must never match a real one.
int TaxRateMap::find(AMOUNT rate) const {
  const AMOUNT r = RoundTo(rate, 2);
  for (int i = 0; i < kEntries; ++i)
    if (entries_[i].letter != 0 && RoundTo(entries_[i].rate, 2) == r) return i;
  return -1;
}

uint8_t TaxRateMap::letter(AMOUNT rate) const {
  const int i = find(rate);
  return i < 0 ? 0 : entries_[i].letter;
}

std::string TaxRateMap::text(uint8_t letter) const {
  if (letter == 0) return "";
  for (const Entry& e : entries_)
    if (e.letter == letter) {
      if (e.rate < AMOUNT()) return "zw.";
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.0f", e.rate.ToDouble());
      return buf;
    }
  return "";
}

AMOUNT TaxRateMap::parse(const char* text) {
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text || *end != 0 || !(v > -1e12 && v < 1e12)) return kExempt;
  return AMOUNT::FromDouble(v);
}

int TaxRateMap::used() const {
  int n = 0;
  for (const Entry& e : entries_) n += e.letter != 0;
  return n;
}
