#include "business/numbering.h"

#include "business/prices.h"

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}
}  // namespace

std::string_view FirstDigitRun(std::string_view number) {
  size_t begin = 0;
  while (begin < number.size() && !IsDigit(number[begin])) ++begin;
  size_t end = begin;
  while (end < number.size() && IsDigit(number[end])) ++end;
  return number.substr(begin, end - begin);
}

uint64_t FirstDigitValue(std::string_view number) {
  uint64_t value = 0;
  for (char c : FirstDigitRun(number)) {
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return UINT64_MAX;
    value = value * 10 + digit;
  }
  return value;
}

std::string DocumentNumberAfter(std::string_view number, uint64_t n) {
  const std::string digits = std::to_string(n);
  std::string result;
  const std::string_view run = FirstDigitRun(number);
  if (run.empty()) {
    result.assign(number);
    result += digits;
  } else {
    const size_t at = static_cast<size_t>(run.data() - number.data());
    result.assign(number.substr(0, at));
    result += digits;
    result.append(number.substr(at + run.size()));
  }
  if (result.size() > kDocumentNumberLength) return std::string(number);
  return result;
}

bool IsInternalWarehouseDocument(std::string_view code) {
  code = Trim(code);
  return code == "PW" || code == "PM" || code == "WW" || code == "WM";
}

AMOUNT AmountDue(std::string_view warehouseCode, AMOUNT total, int roundPay) {
  if (IsInternalWarehouseDocument(warehouseCode)) return AMOUNT();
  return RoundToPlaces(total, roundPay);
}
