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

// Whether a goods other than goodsId has this number (compared as the number index does).
bool NumberTaken(const std::string& number, AMOUNT goodsId) {
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

std::string NextGoodsNumber(AMOUNT goodsId, AMOUNT groupId) {
  TABLE_PLACE place = SaveTablePlace(kTableGoods);
  TableLock(kTableGoods, false);
  std::string number;
  bool done = false;
  if (!groupId.IsZero()) {
    TableSetIndex(kTableGoods, kIndexGoodsByGroupNumber);
    char key[16];
    IdKey(groupId, key);
    if (TableSeekLast(kTableGoods, key) == 0 && Tow.GTOID == groupId && Tow.ID != goodsId &&
        Tow.NR[0]) {
      const std::string next = IncrementNumber(Tow.NR, kNumberLength);
      if (!NumberTaken(next, goodsId)) {
        number = next;
        done = true;
      }
    }
  }
  if (!done) {
    TableSetIndex(kTableGoods, kIndexGoodsByNumber);
    if (TableLast(kTableGoods) == 0 && Tow.ID != goodsId && Tow.NR[0]) {
      number = Tow.NR;
    } else {
      long count = TableCount(kTableGoods);
      if (count < 1) count = 1;
      int width = Digits(count);
      if (width < 6) width = 6;
      if (width > static_cast<int>(kNumberLength)) width = kNumberLength;
      number.assign(static_cast<size_t>(width), '0');
    }
    number = IncrementNumber(number, kNumberLength);
  }
  RestoreTablePlace(place);
  TableUnlock(kTableGoods);
  return number;
}

int RecomputeStock(AMOUNT goodsId, AMOUNT* stock) {
  TABLE_PLACE place = SaveTablePlace(kTablePositions);
  TableLock(kTablePositions, false);
  TableSetIndex(kTablePositions, kIndexPositionsByGoods);
  char key[16];
  IdKey(goodsId, key);
  AMOUNT sum;
  int result = 0;
  for (int rc = TableSeek(kTablePositions, key); rc == 0 && Poz.TOWID == goodsId;
       rc = TableNext(kTablePositions)) {
    if (ask_abort()) {
      result = -1;
      break;
    }
    if (Poz.RODZAJ[0] == 'D') sum = RoundTo(sum + Poz.ILOSC, 4);
    else if (Poz.RODZAJ[0] == 'S') sum = RoundTo(sum - Poz.ILOSC, 4);
  }
  RestoreTablePlace(place);
  TableUnlock(kTablePositions);
  if (result == 0) *stock = sum;
  return result;
}

bool GroupInUse(AMOUNT groupId) {
  char key[16];
  IdKey(groupId, key);
  return KeyPrefixUsed(kTableGoods, kIndexGoodsByGroup, key);
}

bool GoodsInUse(AMOUNT goodsId) {
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
