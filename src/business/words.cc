#include "business/words.h"

#include "common/text.h"

namespace {

const char* const kHundreds[10] = {
    "",
    "sto ",
    "dwieście "_pl,
    "trzysta ",
    "czterysta ",
    "pięćset "_pl,
    "sześćset "_pl,
    "siedemset ",
    "osiemset ",
    "dziewięćset "_pl,
};

const char* const kBelowTwenty[20] = {
    "",
    "jeden ",
    "dwa ",
    "trzy ",
    "cztery ",
    "pięć "_pl,
    "sześć "_pl,
    "siedem ",
    "osiem ",
    "dziewięć "_pl,
    "dziesięć "_pl,
    "jedenaście "_pl,
    "dwanaście "_pl,
    "trzynaście "_pl,
    "czternaście "_pl,
    "piętnaście "_pl,
    "szesnaście "_pl,
    "siedemnaście "_pl,
    "osiemnaście "_pl,
    "dziewiętnaście "_pl,
};

const char* const kTens[10] = {
    "",
    "",
    "dwadzieścia "_pl,
    "trzydzieści "_pl,
    "czterdzieści "_pl,
    "pięćdziesiąt "_pl,
    "sześćdziesiąt "_pl,
    "siedemdziesiąt "_pl,
    "osiemdziesiąt "_pl,
    "dziewięćdziesiąt "_pl,
};

struct Scale {
  int64_t size;
  const char* forms[3];
};

const Scale kScales[5] = {
    {1000000000000LL, {"bilion ", "biliony ", "bilionów "_pl}},
    {1000000000LL, {"miliard ", "miliardy ", "miliardów "_pl}},
    {1000000LL, {"milion ", "miliony ", "milionów "_pl}},
    {1000LL, {"tysiąc "_pl, "tysiące "_pl, "tysięcy "_pl}},
    {1LL, {"", "", ""}},
};

constexpr int64_t kLimit = 1000000000000000LL;  // 10^15

void AppendGroup(std::string* out, int64_t group) {
  out->append(kHundreds[group / 100]);
  const int64_t lastTwo = group % 100;
  if (lastTwo < 20) {
    out->append(kBelowTwenty[lastTwo]);
  } else {
    out->append(kTens[lastTwo / 10]);
    out->append(kBelowTwenty[lastTwo % 10]);
  }
}

}  // namespace

int PluralForm(int64_t n) {
  // The size of a negative count; INT64_MIN's last digits are those of its size as well.
  const int64_t lastTwo = n < 0 ? -(n % 100) : n % 100;
  if (n == 1 || n == -1) return 0;
  if (lastTwo / 10 == 1) return 2;
  const int64_t last = lastTwo % 10;
  if (last >= 2 && last <= 4) return 1;
  return 2;
}

const char* PluralForm(int64_t n, const char* one, const char* few, const char* many) {
  switch (PluralForm(n)) {
    case 0: return one;
    case 1: return few;
    default: return many;
  }
}

std::string NumberInWords(int64_t n) {
  std::string out;
  uint64_t size = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  if (size >= static_cast<uint64_t>(kLimit)) return out;
  if (n < 0) out = "minus ";
  if (size == 0) {
    out.append("zero ");
  } else {
    int64_t rest = static_cast<int64_t>(size);
    for (const Scale& scale : kScales) {
      const int64_t group = rest / scale.size;
      rest %= scale.size;
      if (group == 0) continue;
      AppendGroup(&out, group);
      out.append(scale.forms[PluralForm(group)]);
    }
  }
  out.pop_back();
  return out;
}

std::string AmountInWords(AMOUNT amount) {
  const AMOUNT rounded = RoundTo(amount, 2);
  const int64_t zloty = rounded.Whole();
  const int64_t grosze = (rounded.Raw() < 0 ? -rounded.Raw() : rounded.Raw()) % 10000 / 100;
  std::string out;
  // A negative amount under one złoty would otherwise lose its sign with its whole part.
  if (zloty == 0 && rounded < AMOUNT()) out = "minus ";
  out += NumberInWords(zloty);
  out += ' ';
  out += PluralForm(zloty, "złoty"_pl, "złote"_pl, "złotych"_pl);
  if (grosze != 0) {
    out += ", ";
    out += NumberInWords(grosze);
    out += ' ';
    out += PluralForm(grosze, "grosz", "grosze", "groszy");
  }
  return out;
}
