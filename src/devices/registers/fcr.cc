#include "devices/registers/fcr.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/codepage.h"
#include "devices/device_config.h"
#include "platform/inifile.h"

int FCR::report(int code, intptr_t argument) {
  if (code != kDevOk && code != kDevNoMoreRecords) DEVICE::notify(code, argument);
  return code;
}

int FCR::cancelled() {
  if (DEVICE::notify(kDevPoll, 0) == 0) return kDevOk;
  DEVICE::notify(kDevCancelled, 0);
  return kDevCancelled;
}

int FCR::guard(int kind) const {
  if (!opened_) return report(kDevNotInitialised);
  if (kind != kTransferNone && kind_ != kind) return report(kDevDriverError);
  return kDevOk;
}

std::string FCR::toDevice(int codePage, const char* text) {
  return convert_string(kCodePageWindows, codePage, text);
}

void FCR::fromDevice(int codePage, const std::string& text, char* out, size_t size) {
  SetField(out, size, convert_string(codePage, kCodePageWindows, text));
}

void FCR::loadConfiguredTaxRates() {
  std::string text = kDefaultTaxLetters;
  INIFILE(ConfigPath()).GetString(DeviceSection(kDeviceRegister), "TaxLetters", &text);
  if (ParseTaxLetters(text.c_str(), &rates_) != 0) ParseTaxLetters(kDefaultTaxLetters, &rates_);
}

void SetField(char* field, size_t size, const std::string& text) {
  std::snprintf(field, size, "%s", text.c_str());
}

bool AllDigits(const char* text) {
  if (!*text) return false;
  for (const char* p = text; *p; ++p)
    if (*p < '0' || *p > '9') return false;
  return true;
}

int WholeNumber(const char* text, int64_t* value) {
  if (!AllDigits(text) || std::strlen(text) > 18) return -1;
  int64_t v = 0;
  for (const char* p = text; *p; ++p) v = v * 10 + (*p - '0');
  *value = v;
  return 0;
}

std::string Trimmed(const std::string& text) {
  size_t from = 0, to = text.size();
  while (from < to && (text[from] == ' ' || text[from] == '\t')) ++from;
  while (to > from && (text[to - 1] == ' ' || text[to - 1] == '\t')) --to;
  return text.substr(from, to - from);
}

int DecimalNumber(const std::string& text, AMOUNT* value) {
  const std::string t = Trimmed(text);
  size_t i = t[0] == '-' || t[0] == '+' ? 1 : 0;
  bool digits = false;
  for (bool point = false; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9') digits = true;
    else if (t[i] == '.' && !point) point = true;
    else return -1;
  }
  const double v = digits ? std::strtod(t.c_str(), nullptr) : 0;
  if (!digits || !(v > -1e12 && v < 1e12)) return -1;
  *value = AMOUNT::FromDouble(v);
  return 0;
}

int ParseTaxLetters(const char* text, TaxRateMap* map) {
  map->clear();
  int pairs = 0;
  for (const char* p = text; *p;) {
    const char* end = std::strchr(p, ',');
    if (!end) end = p + std::strlen(p);
    char pair[32];
    std::snprintf(pair, sizeof pair, "%.*s", static_cast<int>(end - p < 31 ? end - p : 31), p);
    const char* eq = std::strchr(pair, '=');
    if (eq && eq == pair + 1 && pair[0] > ' ') {
      if (map->add(TaxRateMap::parse(eq + 1), static_cast<uint8_t>(pair[0])) == 0) ++pairs;
    }
    p = *end ? end + 1 : end;
  }
  return pairs > 0 ? 0 : -1;
}
