// format_field and parse_field: the text form of a field's bound variable.
#include <cstdio>
#include <cstring>
#include <string>

#include "common/amount.h"
#include "common/date.h"
#include "ui/field.h"
#include "ui/number_format.h"

namespace {
constexpr const char* kEmptyDateMask = "  .  .    ";
}

std::string format_field(const FieldDescriptor* d) {
  if (!d || !d->variable) return std::string();
  switch (d->type) {
    case 'C': {
      const char* text = static_cast<const char*>(d->variable);
      return std::string(text, strnlen(text, d->width > 0 ? static_cast<size_t>(d->width) : 0));
    }
    case 'D': {
      DATE date = *static_cast<const DATE*>(d->variable);
      std::string s = DateToDisplay(date);
      return s.size() == 10 ? s : std::string(kEmptyDateMask);
    }
    case 'N': {
      AMOUNT value = *static_cast<const AMOUNT*>(d->variable);
      const size_t width = d->width > 0 ? static_cast<size_t>(d->width) : 0;
      if (value.IsZero()) return std::string(width, ' ');
      std::string s = format_amount(value, d->decimals);
      if (s.size() > width) return std::string(width, '*');
      return std::string(width - s.size(), ' ') + s;
    }
    default: return std::string();
  }
}

void parse_field(const char* text, FieldDescriptor* d) {
  if (!d || !d->variable || !text) return;
  switch (d->type) {
    case 'C': {
      const size_t n = strnlen(text, d->width > 0 ? static_cast<size_t>(d->width) : 0);
      char* out = static_cast<char*>(d->variable);
      std::memmove(out, text, n);
      out[n] = '\0';
      break;
    }
    case 'D':
      *static_cast<DATE*>(d->variable) =
          std::strcmp(text, kEmptyDateMask) == 0 ? 0 : DateFromDisplay(text);
      break;
    case 'N': {
      const NUMBER_FORMAT f = number_format();
      const char* p = text;
      while (*p == ' ' || *p == '\t' || *p == '\n') ++p;
      bool negative = false;
      if (*p == '+' || *p == '-') negative = *p++ == '-';
      // Digits beyond what an AMOUNT holds are ignored rather than wrapped around.
      constexpr int64_t kLimit = INT64_MAX / AMOUNT::kScale / 10;
      int64_t whole = 0;
      for (;; ++p) {
        if (*p >= '0' && *p <= '9') {
          if (whole < kLimit) whole = whole * 10 + (*p - '0');
        } else if (!(f.thousands != 0 && *p == f.thousands)) {
          break;
        }
      }
      int64_t fraction = 0, scale = AMOUNT::kScale;
      if (*p == f.decimal) {
        for (++p; *p >= '0' && *p <= '9'; ++p) {
          if (scale > 1) {
            scale /= 10;
            fraction += (*p - '0') * scale;
          }
        }
      }
      int64_t raw = whole * AMOUNT::kScale + fraction;
      *static_cast<AMOUNT*>(d->variable) = AMOUNT::FromRaw(negative ? -raw : raw);
      break;
    }
    default: break;
  }
}
