#include "business/goods_numbering.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <unordered_map>

#include "business/goods_bulk.h"
#include "business/goods_rules.h"
#include "business/prices.h"
#include "business/rights.h"
#include "common/codepage.h"
#include "common/text.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/dialog.h"
#include "ui/message_box.h"

namespace {

constexpr size_t kNumberLength = 13;

std::string TrimRight(const char* text) {
  std::string s = text;
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// Numbers meet as the number index compares them: in capitals.
std::string NumberKey(const std::string& number) {
  std::string key = number;
  text_to_upper(key.data());
  return key;
}

// How many planned goods would share their new number with other goods once the plan is
// written (goods outside the plan keeping theirs), and the first such number in *first. -1 when
// the goods could not be read (reported).
long CountRepeats(const std::vector<GOODS_NUMBER>& plan, std::string* first) {
  std::unordered_map<long, const std::string*> planned;
  for (const GOODS_NUMBER& g : plan) planned[g.recno] = &g.number;
  std::map<std::string, long> holders;
  const int t = kTableGoods;
  if (TableSetIndex(t, -1) != 0) return -1;
  int rc;
  for (rc = TableFirst(t); rc == 0; rc = TableNext(t)) {
    const auto p = planned.find(TableRecNo(t));
    const std::string key = NumberKey(p != planned.end() ? *p->second : TrimRight(Tow.NR));
    if (!key.empty()) ++holders[key];
  }
  if (rc < 0) return -1;
  long repeats = 0;
  for (const GOODS_NUMBER& g : plan) {
    if (g.number.empty() || holders[NumberKey(g.number)] < 2) continue;
    if (repeats++ == 0 && first) *first = g.number;
  }
  return repeats;
}

// ---- the dialog ----

enum { kAll = 1, kGroup, kReplace, kFirstLabel, kFirst, kOk, kEnd };

bool RunDialog(bool* byGroup, bool* replace, std::string* first) {
  char number[17];
  std::snprintf(number, sizeof number, "%s", first->c_str());
  FieldDescriptor field;
  make_descriptor(&field, 'C', 16, 0, number);
  ControlRecord d[kEnd + 1];
  dlg_frame(d, 0, 0, 0, 38, 10, "NUMERACJA TOWARÓW"_pl);
  dlg_center(d);
  dlg_radio(d, kAll, 2, 1, "&Wszystkie                  ");
  dlg_radio(d, kGroup, 2, 2, "&Grupa                      ");
  dlg_check(d, kReplace, 2, 4, "&Zastąpić istniejące numery "_pl, false);
  dlg_label(d, kFirstLabel, 3, 6, "&Pierwszy nr:");
  dlg_field(d, kFirst, 17, 6, 16, 1, &field);
  dlg_button(d, kOk, 16, 8, " &Ok ");
  dlg_end(d, kEnd);
  d[0].options |= kOptHeap;
  // The group is the current one: without one only all goods can be numbered.
  if (TableRecNo(kTableGroups) < 0) dlg_set_state(d, kGroup, kStateDisabled, true, false);
  radio_select(d, kAll, false);
  if (dlg_run(d, kAll, nullptr) != kOk) return false;
  *byGroup = radio_selected(d, kAll) == kGroup;
  *replace = dlg_checked(d, kReplace);
  *first = TrimRight(number);
  return true;
}

}  // namespace

int PlanGoodsNumbers(bool byGroup, AMOUNT group, bool replace, const std::string& first,
                     std::vector<GOODS_NUMBER>* plan, long* repeats, std::string* repeated) {
  plan->clear();
  std::string next = first;
  const int rc = WalkGoods(byGroup, group, [&](long recno) {
    if (!replace && !TrimRight(Tow.NR).empty()) return;
    plan->push_back({recno, Tow.ID, next});
    if (!next.empty()) next = IncrementNumber(next, kNumberLength);
  });
  if (rc != 0) return -1;
  if (repeats && (*repeats = CountRepeats(*plan, repeated)) < 0) return -1;
  return 0;
}

int WriteGoodsNumbers(const std::vector<GOODS_NUMBER>& plan, long* written) {
  std::vector<long> recnos;
  for (const GOODS_NUMBER& g : plan) recnos.push_back(g.recno);
  size_t k = 0;
  return RewriteGoods(
      recnos, "Numerowanie towarów..."_pl,
      [&](TOW_RECORD* g) {
        const GOODS_NUMBER& wanted = plan[k++];
        // Planned under the same lock: a record number that now holds other goods is left alone.
        if (g->ID != wanted.id || TrimRight(g->NR) == wanted.number) return false;
        std::snprintf(g->NR, sizeof g->NR, "%s", wanted.number.c_str());
        return true;
      },
      written);
}

int goods_numbering_dialog() {
  if (CheckRights(kRightModifyGoods, true) != 0) return -1;
  bool byGroup = false, replace = false;
  std::string first = NextGoodsNumber(AMOUNT(), AMOUNT());
  if (!RunDialog(&byGroup, &replace, &first)) return -1;
  if (LockAllTables(true) != 0) return -1;
  const GOODS_PLACE place = SaveGoodsPlace();
  std::vector<GOODS_NUMBER> plan;
  std::string repeated;
  long repeats = 0, written = 0;
  int rc = PlanGoodsNumbers(byGroup, Gto.ID, replace, first, &plan, &repeats, &repeated);
  // Numbers that would repeat are refused before anything is written.
  const bool refused = rc == 0 && repeats > 0;
  if (rc == 0 && !refused) rc = WriteGoodsNumbers(plan, &written);
  RestoreGoodsPlace(place);
  UnlockAllTables();
  if (refused) {
    message("Numer %s otrzymałby więcej niż jeden towar.\nŻaden numer nie został zmieniony."_pl,
            repeated.c_str());
    return -1;
  }
  // Also after Esc or a failure: what was numbered stays numbered.
  if (rc >= 0 || written > 0) message("%ld rekordów uaktualnionych."_pl, written);
  return written > 0 ? 0 : -1;
}
