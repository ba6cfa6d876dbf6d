// The templates of reports/report_common.h.
#pragma once

#include "business/read_access.h"
#include "business/record_lookup.h"

template <typename Fn>
int WalkTransactions(const REPORT_PERIOD& period, AMOUNT contractor, Fn fn) {
  constexpr int kByDate = 1, kByContractor = 2;
  REPORT_TABLE_KEEP keep(kTableTransactions);
  char key[32];
  const std::string date = DateToStored(period.first);
  if (contractor.IsZero()) {
    std::snprintf(key, sizeof key, "%s", date.c_str());
  } else {
    IdKey(contractor, key);
    std::snprintf(key + 9, sizeof key - 9, "%s", date.c_str());
  }
  int rc = TableSetIndex(kTableTransactions, contractor.IsZero() ? kByDate : kByContractor);
  if (rc == 0) rc = TableSeek(kTableTransactions, key);
  for (; rc == 0; rc = TableNext(kTableTransactions)) {
    if (!contractor.IsZero() && Tra.KONID != contractor) break;
    if (Tra.DATATRA > period.last) break;
    if (ReportStopped()) return kReportInterrupted;
    if (Tra.DATATRA < period.first) continue;
    const int r = fn();
    if (r != 0) return r;
  }
  if (keep.Restore() != 0) return -1;
  return rc < 0 ? -1 : 0;
}

template <typename Fn>
int WalkPositionsOf(const std::vector<AMOUNT>& ids, Fn fn) {
  constexpr int kByTransaction = 0;
  // Positions of other transactions read in a row before the walk searches for the next wanted
  // one instead.
  constexpr int kPassBySearch = 32;
  if (ids.empty()) return 0;
  REPORT_TABLE_KEEP keep(kTablePositions);
  char key[10];
  IdKey(ids.front(), key);
  int rc = TableSetIndex(kTablePositions, kByTransaction);
  if (rc == 0) rc = TableSeek(kTablePositions, key);
  size_t i = 0;
  int passed = 0;
  while (rc == 0) {
    if (ReportStopped()) return kReportInterrupted;
    while (i < ids.size() && ids[i] < Poz.TRAID) ++i;
    if (i == ids.size()) break;
    if (ids[i] == Poz.TRAID) {
      passed = 0;
      const int r = fn(i);
      if (r != 0) return r;
    } else if (++passed > kPassBySearch) {
      passed = 0;
      IdKey(ids[i], key);
      rc = TableSeek(kTablePositions, key);
      continue;
    }
    rc = TableNext(kTablePositions);
  }
  if (keep.Restore() != 0) return -1;
  return rc < 0 ? -1 : 0;
}

template <typename Fn>
int WalkGoods(int order, bool byGroup, AMOUNT group, Fn fn) {
  // Goods indexes: 1 name, 2 group and name, 3 number, 4 group and number.
  const bool grouped = byGroup || !group.IsZero();
  const int index = grouped ? (order == 0 ? 2 : 4) : (order == 0 ? 1 : 3);
  REPORT_TABLE_KEEP keep(kTableGoods);
  int rc = TableSetIndex(kTableGoods, index);
  if (rc == 0 && !group.IsZero()) {
    char key[10];
    IdKey(group, key);
    rc = TableSeek(kTableGoods, key);
  } else if (rc == 0) {
    rc = TableFirst(kTableGoods);
  }
  for (; rc == 0; rc = TableNext(kTableGoods)) {
    if (!group.IsZero() && Tow.GTOID != group) break;
    if (ReportStopped()) return kReportInterrupted;
    const int r = fn();
    if (r != 0) return r;
  }
  if (keep.Restore() != 0) return -1;
  return rc < 0 ? -1 : 0;
}

template <typename Fn>
int WalkGoodsPositions(AMOUNT goods, const REPORT_PERIOD& period, AMOUNT contractor, Fn fn) {
  constexpr int kByGoods = 1, kByContractor = 2;
  REPORT_TABLE_KEEP keep(kTablePositions);
  char key[40];
  size_t at = 0;
  if (!contractor.IsZero()) {
    IdKey(contractor, key);
    at = 9;
  }
  IdKey(goods, key + at);
  std::snprintf(key + at + 9, sizeof key - at - 9, "%s", DateToStored(period.first).c_str());
  int rc = TableSetIndex(kTablePositions, contractor.IsZero() ? kByGoods : kByContractor);
  if (rc == 0) rc = TableSeek(kTablePositions, key);
  for (; rc == 0; rc = TableNext(kTablePositions)) {
    if (Poz.TOWID != goods || (!contractor.IsZero() && Poz.KONID != contractor)) break;
    if (Poz.DATATRA > period.last) break;
    if (ReportStopped()) return kReportInterrupted;
    if (Poz.DATATRA < period.first) continue;
    const int r = fn();
    if (r != 0) return r;
  }
  if (keep.Restore() != 0) return -1;
  return rc < 0 ? -1 : 0;
}

template <typename RECORD>
int RECORD_CACHE<RECORD>::Get(AMOUNT id, const RECORD** out) {
  *out = &empty_;
  if (id.IsZero()) return kTableEnd;
  auto it = found_.find(id.Raw());
  if (it == found_.end()) {
    RECORD r{};
    const int rc = ReadRecordById(table_, id, &r);
    if (rc < 0) return -1;
    if (rc != 0) r = RECORD{};
    it = found_.emplace(id.Raw(), r).first;
  }
  *out = &it->second;
  return it->second.ID.IsZero() ? kTableEnd : 0;
}

template <typename Fn>
int RunReport(Fn generate) {
  int rc;
  {
    READ_ACCESS access;
    if (!access) return -1;
    rc = BeginReport();
    if (rc == 0) rc = generate();
    EndReport();
  }
  return ShowReport(rc);
}
