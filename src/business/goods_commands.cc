#include "business/goods_commands.h"

#include "business/form_edit.h"
#include "business/goods_form.h"
#include "business/goods_rules.h"
#include "business/goods_search.h"
#include "business/rights.h"
#include "business/vat.h"
#include "common/text.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_lock.h"
#include "ui/message_box.h"
#include "ui/record_list.h"

namespace {

int AddGroup(int view, int prefilled) {
  const GTO_RECORD start =
      prefilled && TableRecNo(kTableGroups) >= 0 ? PrefilledGroupRecord(Gto) : NewGroupRecord();
  return group_form_edit(start, form_edit_in_place(view));
}

int EditGroup(int view, int) { return group_form_edit(Gto, form_edit_in_place(view)); }

int DeleteGroup(int, int) { return group_delete_current(); }

int AddGoods(int view, int prefilled) {
  const TOW_RECORD start =
      prefilled && TableRecNo(kTableGoods) >= 0 ? PrefilledGoodsRecord(Tow) : NewGoodsRecord();
  return goods_form_edit(start, form_edit_in_place(view));
}

int EditGoods(int view, int) { return goods_form_edit(Tow, form_edit_in_place(view)); }

int DeleteGoods(int, int) { return goods_delete_current(); }

int ByNumber(int, int) { return FindGoodsByNumber(); }
int ByBarcode(int, int) { return FindGoodsByBarcode(); }
int Recompute(int, int) { return RecomputeCurrentStock(); }

}  // namespace

int RecomputeCurrentStock() {
  if (TableRecNo(kTableGoods) < 0) return -1;
  if (CheckRights(kRightModifyGoods, true) != 0) return -1;
  if (LockAllTables(true) != 0) return -1;
  AMOUNT stock;
  int rc = RereadCurrent(kTableGoods);
  if (rc == kTableEnd) {
    deleted_meanwhile(kTableGoods);
  } else if (rc == 0 && IsStockKind(Tow.RODZAJ[0])) {
    // Kept at 0 by a kind without stock; otherwise only a sum of every position is written.
    rc = RecomputeStock(Tow.ID, &stock);
    if (rc == 0) {
      Tow.STAN = stock;
      rc = TableUpdate(kTableGoods);
    }
  }
  UnlockAllTables();
  return rc == 0 ? 0 : -1;
}

void RegisterGoodsCommands() {
  set_record_command(kViewGroups, kRecordAdd, AddGroup);
  set_record_command(kViewGroups, kRecordEdit, EditGroup);
  set_record_command(kViewGroups, kRecordDelete, DeleteGroup);
  set_record_command(kViewGoods, kRecordAdd, AddGoods);
  set_record_command(kViewGoods, kRecordEdit, EditGoods);
  set_record_command(kViewGoods, kRecordDelete, DeleteGoods);
  set_record_command(kViewGoods, kRecordFind1, ByNumber);
  set_record_command(kViewGoods, kRecordFind2, ByBarcode);
  set_record_command(kViewGoods, kRecordFindBarcode, ByBarcode);
  set_record_command(kViewGoods, kRecordRecomputeStock, Recompute);
}
