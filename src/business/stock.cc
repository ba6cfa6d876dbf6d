#include "business/stock.h"

#include "business/position_store.h"
#include "business/vat.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"

int ApplyStockChange(AMOUNT goods_id, AMOUNT quantity, char kind) {
  if (goods_id.IsZero() || quantity.IsZero()) return 0;
  const int rc = FindById(kTableGoods, goods_id);
  if (rc < 0) return -1;
  // Goods that are not there, or keep no stock, have no stock to move.
  if (rc == kTableEnd || !IsStockKind(Tow.RODZAJ[0])) return 0;
  Tow.STAN = RoundTo(kind == 'D' ? Tow.STAN + quantity : Tow.STAN - quantity, 4);
  return TableUpdate(kTableGoods) == 0 ? 0 : -1;
}

int RecalculateTransaction() { return RecalculateTransaction(Tra.ID); }
