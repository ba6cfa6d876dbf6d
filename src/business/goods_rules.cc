#include "business/goods_rules.h"

#include <cstdio>
#include <cstring>

#include "business/form_edit.h"
#include "business/options.h"
#include "business/prices.h"
#include "db/table.h"
#include "ui/message_box.h"

namespace {

constexpr size_t kNumberLength = 13;
constexpr int kIndexGoodsByGroupNumber = 4;
constexpr int kIndexGoodsByNumber = 3;
constexpr int kIndexGoodsByGroup = 2;
constexpr int kIndexPositionsByGoods = 1;
constexpr int kBasicVatId = 12;

// Whether a goods other than goodsId has this number (compared as the number index does):
// 1, 0 or -1.
int NumberTaken(const std::string& number, AMOUNT goodsId) {
  TOW_RECORD probe{};
  std::snprintf(probe.NR, sizeof probe.NR, "%s", number.c_str());
  return KeyTaken(kTableGoods, kIndexGoodsByNumber, &probe, goodsId);
}

int Digits(long n) {
  int d = 1;
  while (n >= 10) {
    n /= 10;
    ++d;
  }
  return d;
}

}  // namespace

int NextGoodsNumber(AMOUNT goodsId, AMOUNT groupId, std::string* out) {
  TABLE_PLACE place = SaveTablePlace(kTableGoods);
  if (TableLock(kTableGoods, false) != 0) return -1;
  std::string number;
  bool done = false;
  int rc = 0;
  if (!groupId.IsZero()) {
    char key[16];
    IdKey(groupId, key);
    rc = TableSetIndex(kTableGoods, kIndexGoodsByGroupNumber);
    if (rc == 0) rc = TableSeekLast(kTableGoods, key);
    if (rc == 0 && Tow.GTOID == groupId && Tow.ID != goodsId && Tow.NR[0]) {
      const std::string next = IncrementNumber(Tow.NR, kNumberLength);
      const int taken = NumberTaken(next, goodsId);
      if (taken < 0) rc = -1;
      if (taken == 0) {
        number = next;
        done = true;
      }
    }
    if (rc == kTableEnd) rc = 0;
  }
  if (!done && rc == 0) {
    rc = TableSetIndex(kTableGoods, kIndexGoodsByNumber);
    if (rc == 0) rc = TableLast(kTableGoods);
    if (rc == 0 && Tow.ID != goodsId && Tow.NR[0]) {
      number = Tow.NR;
    } else if (rc >= 0) {
      long count = 0;
      rc = TableCount(kTableGoods, &count);
      if (count < 1) count = 1;
      int width = Digits(count);
      if (width < 6) width = 6;
      if (width > static_cast<int>(kNumberLength)) width = kNumberLength;
      number.assign(static_cast<size_t>(width), '0');
    }
    number = IncrementNumber(number, kNumberLength);
  }
  if (RestoreTablePlace(place) != 0) rc = -1;
  TableUnlock(kTableGoods);
  if (rc < 0) return -1;
  *out = number;
  return 0;
}

std::string NextGoodsNumber(AMOUNT goodsId, AMOUNT groupId) {
  std::string number;
  return NextGoodsNumber(goodsId, groupId, &number) == 0 ? number : std::string();
}

int RecomputeStock(AMOUNT goodsId, AMOUNT* stock) {
  TABLE_PLACE place = SaveTablePlace(kTablePositions);
  if (TableLock(kTablePositions, false) != 0) return -1;
  char key[16];
  IdKey(goodsId, key);
  AMOUNT sum;
  int rc = TableSetIndex(kTablePositions, kIndexPositionsByGoods);
  if (rc == 0) {
    for (rc = TableSeek(kTablePositions, key); rc == 0 && Poz.TOWID == goodsId;
         rc = TableNext(kTablePositions)) {
      if (ask_abort()) {
        rc = -1;
        break;
      }
      if (Poz.RODZAJ[0] == 'D') sum = RoundTo(sum + Poz.ILOSC, 4);
      else if (Poz.RODZAJ[0] == 'S') sum = RoundTo(sum - Poz.ILOSC, 4);
    }
  }
  // A walk that failed part of the way has not seen every position: its sum is no stock.
  if (RestoreTablePlace(place) != 0) rc = -1;
  TableUnlock(kTablePositions);
  if (rc < 0) return -1;
  *stock = sum;
  return 0;
}

int GroupInUse(AMOUNT groupId) {
  char key[16];
  IdKey(groupId, key);
  return KeyPrefixUsed(kTableGoods, kIndexGoodsByGroup, key);
}

int GoodsInUse(AMOUNT goodsId) {
  char key[16];
  IdKey(goodsId, key);
  return KeyPrefixUsed(kTablePositions, kIndexPositionsByGoods, key);
}

TOW_RECORD NewGoodsRecord() {
  TOW_RECORD r{};
  r.RODZAJ[0] = 'T';
  std::snprintf(r.JMIARY, sizeof r.JMIARY, "%s", Measure(1).c_str());
  r.OPAKOWANIE = AMOUNT::FromInt(1);
  r.VATID = AMOUNT::FromInt(kBasicVatId);
  r.WOFERCIE = 1;
  return r;
}

GTO_RECORD NewGroupRecord() {
  GTO_RECORD r{};
  r.WOFERCIE = 1;
  return r;
}

TOW_RECORD PrefilledGoodsRecord(const TOW_RECORD& from) {
  TOW_RECORD r = from;
  r.ID = AMOUNT();
  r.STAN = AMOUNT();
  return r;
}

GTO_RECORD PrefilledGroupRecord(const GTO_RECORD& from) {
  GTO_RECORD r = from;
  r.ID = AMOUNT();
  return r;
}
