// Changes of many goods at once (the price change, the renumbering): the goods of a scope are
// first collected by record number under the tables' lock, then rewritten one by one.
//
// Every goods is one record in the file and is rewritten in one update, and an update that fails
// puts the record and its keys back as they were: a walk that stops (Esc, or a failure) leaves
// each goods either as it was or wholly changed, with the indexes agreeing with the records.
//
//   std::vector<long> goods;
//   if (WalkGoods(false, AMOUNT(), [&](long n) { goods.push_back(n); }) == 0)
//     RewriteGoods(goods, "Przecena towarów..."_pl, [](TOW_RECORD* g) { ...; return true; }, &n);
#pragma once

#include <functional>
#include <vector>

#include "common/amount.h"
#include "db/schema.h"

// Visits the live goods in name order: all of them, or those of one group (the index by group
// and name, from the group's first goods while the group matches); the goods structure holds
// each one. 0, or -1 when the goods could not be read (reported). The goods table is left on
// another record and index: the caller keeps its place (SaveGoodsPlace).
int WalkGoods(bool byGroup, AMOUNT group, const std::function<void(long recno)>& visit);

// The goods table's index and current record, and the way back to them with the record read
// anew (it may have been rewritten).
struct GOODS_PLACE {
  int index = -1;
  long recno = -1;
};
GOODS_PLACE SaveGoodsPlace();
void RestoreGoodsPlace(const GOODS_PLACE& place);

// What RewriteGoods answers besides 0 (all done) and -1 (a failure, reported; the walk stopped).
inline constexpr int kGoodsWalkInterrupted = 1;

// Rewrites the goods at recnos in order under the progress window titled `text`, Esc asking
// whether to stop before each goods. change gets a copy of the goods and answers whether it
// changed it; an unchanged goods is not written. *rewritten counts the goods written. The
// caller holds the tables' lock for writing.
int RewriteGoods(const std::vector<long>& recnos, const char* text,
                 const std::function<bool(TOW_RECORD*)>& change, long* rewritten);
