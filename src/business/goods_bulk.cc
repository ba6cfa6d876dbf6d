#include "business/goods_bulk.h"

#include <cstring>

#include "db/index_page.h"
#include "db/table.h"
#include "ui/feedback.h"

namespace {

constexpr int kIndexByName = 1;
constexpr int kIndexByGroupAndName = 2;

// Whether any index key of the goods differs between the two forms of the record.
bool KeysMove(const TOW_RECORD& a, const TOW_RECORD& b) {
  const TABLEDEF* def = TableDefinition(kTableGoods);
  if (!def) return true;
  for (int i = 0; i < def->index_count; ++i) {
    char ka[kMaxKeyLength + 1] = "", kb[kMaxKeyLength + 1] = "";
    def->key_builders[i](&a, ka);
    def->key_builders[i](&b, kb);
    if (std::strcmp(ka, kb) != 0) return true;
  }
  return false;
}

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
    const TOW_RECORD before = Tow;
    TOW_RECORD g = Tow;
    if (!change(&g)) continue;
    Tow = g;
    if (TableUpdate(t) != 0) {
      // Keys half moved are put right from the records; the goods itself is old or new. An
      // update that moves no key has written no index page and leaves the index alone.
      if (KeysMove(before, g)) TableRebuildIndexes(t);
      rc = -1;
      break;
    }
    ++*rewritten;
  }
  progress(2);
  return rc;
}
