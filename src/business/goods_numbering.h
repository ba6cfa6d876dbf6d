// The renumbering of goods ("NUMERACJA TOWARÓW", " Nu&meracja towarów... " of the tools menu):
// the goods of the file or of the current group, in name order, take consecutive numbers from a
// first one (IncrementNumber, at most 13 characters), optionally only those without a number.
//
// The numbers are planned first and then written. A plan whose numbers would repeat numbers that
// other goods keep (or wrap round to each other) is refused before anything changes:
//   plan A -> 000007, B -> 000008 while C (outside the scope) holds 000008: one repeat.
#pragma once

#include <string>
#include <vector>

#include "common/amount.h"

struct GOODS_NUMBER {
  long recno;
  AMOUNT id;
  std::string number;
};

// The goods in name order (all, or those of group `group` when byGroup) and the number each
// receives: first, then each next one; with replace false the goods that have a number are
// left out and take none. An empty first number gives every goods the empty number. 0 or -1
// (reported). *repeats (may be null) counts the planned goods whose new number some other goods
// would then hold too, *repeated (may be null) gets the first such number. The caller holds the
// tables' lock and keeps the goods table's place.
int PlanGoodsNumbers(bool byGroup, AMOUNT group, bool replace, const std::string& first,
                     std::vector<GOODS_NUMBER>* plan, long* repeats,
                     std::string* repeated = nullptr);

// Writes the planned numbers in order, with the progress window "Numerowanie towarów..." and
// Esc; *written counts the goods whose number changed. 0, kGoodsWalkInterrupted (goods already
// numbered keep their new numbers) or -1 (reported). The caller holds the tables' lock.
int WriteGoodsNumbers(const std::vector<GOODS_NUMBER>& plan, long* written);

// The command: the rights, the dialog, the plan, the refusal of repeated numbers, the writing
// and "%ld rekordów uaktualnionych.". 0 when numbers were written.
int goods_numbering_dialog();
