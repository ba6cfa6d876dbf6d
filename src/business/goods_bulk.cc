#include "business/goods_bulk.h"

#include "db/table.h"
#include "ui/feedback.h"

namespace {

constexpr int kIndexByName = 1;
constexpr int kIndexByGroupAndName = 2;

}  // namespace

int WalkGoods(bool byGroup, AMOUNT group, const std::function<void(long recno)>& visit) {
  const int t = kTableGoods;
  if (TableSetIndex(t, byGroup ? kIndexByGroupAndName : kIndexByName) != 0) return -1;
  int rc;
  if (byGroup) {
    char key[10];
    IdKey(group, key);
    rc = TableSeek(t, key);
  } else {
    rc = TableFirst(t);
  }
  for (; rc == 0; rc = TableNext(t)) {
    if (byGroup && Tow.GTOID != group) break;
    visit(TableRecNo(t));
  }
  return rc < 0 ? -1 : 0;
}

GOODS_PLACE SaveGoodsPlace() { return {TableGetIndex(kTableGoods), TableRecNo(kTableGoods)}; }

void RestoreGoodsPlace(const GOODS_PLACE& place) {
  TableSetIndex(kTableGoods, place.index);
  if (place.recno < 0 || TableGo(kTableGoods, place.recno) != 0) TableGo(kTableGoods, -1);
}

int RewriteGoods(const std::vector<long>& recnos, const char* text,
                 const std::function<bool(TOW_RECORD*)>& change, long* rewritten) {
  const int t = kTableGoods;
  *rewritten = 0;
  // Positioned by record number: no index is read or followed while the goods are rewritten.
  if (TableSetIndex(t, -1) != 0) return -1;
  progress(0, "%s", text);
  int rc = 0;
  const long count = static_cast<long>(recnos.size());
  for (long k = 0; k < count; ++k) {
    if (progress(1, AMOUNT::FromInt(k * 100 / count)) != 0) {
      rc = kGoodsWalkInterrupted;
      break;
    }
    bool deleted = false;
    if (TableGo(t, recnos[k]) != 0 || TableIsDeleted(t, &deleted) != 0) {
      rc = -1;
      break;
    }
    if (deleted) continue;
    TOW_RECORD g = Tow;
    if (!change(&g)) continue;
    Tow = g;
    if (TableUpdate(t) != 0) {
      // A failed update has put the goods and its keys back as they were (or, when even that
      // failed, marked the index damaged and said so): the walk only stops.
      rc = -1;
      break;
    }
    ++*rewritten;
  }
  progress(2);
  return rc;
}
