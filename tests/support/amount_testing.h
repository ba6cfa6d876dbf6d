// Helpers for tests of amounts: readable failure output and short literals.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "common/amount.h"

inline void PrintTo(const AMOUNT& a, std::ostream* os) {
  const int64_t raw = a.Raw();
  const uint64_t m = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%llu.%04llu", raw < 0 ? "-" : "",
                static_cast<unsigned long long>(m / 10000),
                static_cast<unsigned long long>(m % 10000));
  *os << buf;
}

// A decimal literal as an AMOUNT: A("7.38"), A("-0.5").
inline AMOUNT A(const char* text) { return AMOUNT::FromDouble(std::strtod(text, nullptr)); }
