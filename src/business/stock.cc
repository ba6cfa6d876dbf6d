#include "business/stock.h"

#include "business/numbering.h"
#include "business/options.h"
#include "business/position_values.h"
#include "business/vat.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"

int ApplyStockChange(AMOUNT goods_id, AMOUNT quantity, char kind) {
  if (goods_id.IsZero() || quantity.IsZero()) return 0;
  if (FindById(kTableGoods, goods_id) != 0) return -1;
  if (!IsStockKind(Tow.RODZAJ[0])) return 0;
  Tow.STAN = RoundTo(kind == 'D' ? Tow.STAN + quantity : Tow.STAN - quantity, 4);
  return TableUpdate(kTableGoods);
}

int RecalculateTransaction() {
  DOCUMENT_TOTALS totals;
  bool net_first = Tra.ZAOKRNETTO != 0;
  // Totals of some of the positions are no totals: a failed walk stops here.
  if (ForEachPosition(Tra.ID, [&] {
        AddToTotals(&totals, Poz.ILOSC, "", Poz.CENA, Poz.RABAT, static_cast<int>(Poz.VATID.Whole()), net_first);
        return 0;
      }) < 0)
    return -1;
  if (totals.gross == Tra.SUMA && totals.vat == Tra.VAT) return 0;
  Tra.SUMA = totals.gross;
  Tra.VAT = totals.vat;
  Tra.GOT = RoundTo(AmountDue(Tra.DOKMAGTYP, Tra.SUMA, RoundPay()) - Tra.CZK - Tra.PRZ - Tra.ODR, 2);
  return TableUpdate(kTableTransactions);
}
