// Transactions over a real database on the headless screen (the goods fixture), with records
// put straight into the tables, and the oracle every transaction test ends with: the sums of
// each transaction worked out again from its positions in file order, the stock of each goods
// from all positions, and the table checker.
#pragma once

#include <cstdio>
#include <map>
#include <string>

#include "business/goods_rules.h"
#include "business/numbering.h"
#include "business/options.h"
#include "business/position_store.h"
#include "business/prices.h"
#include "business/record_lookup.h"
#include "business/transaction_commands.h"
#include "business/transaction_edit.h"
#include "business/transaction_store.h"
#include "db/db_events.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "forms_fixture.h"
#include "platform/inifile.h"
#include "ui/screen.h"

class TransactionTest : public GoodsTest {
 protected:
  void SetUp() override {
    GoodsTest::SetUp();
    ASSERT_EQ(SetDocumentPrompt(0), 0);
  }

  static AMOUNT A(double v) { return AMOUNT::FromDouble(v); }

  // Goods of a stock-keeping kind at a gross price and VAT, with a stock of their own.
  static AMOUNT AddGoods(const char* name, double price, int vat = 12, double stock = 0,
                         double packaging = 1) {
    Tow = NewGoodsRecord();
    EXPECT_EQ(NextRecordId(kTableGoods, &Tow.ID), 0);
    std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "%s", name);
    std::snprintf(Tow.NR, sizeof Tow.NR, "%06d", static_cast<int>(Tow.ID.Whole()));
    Tow.CENA = A(price);
    Tow.VATID = AMOUNT::FromInt(vat);
    Tow.STAN = A(stock);
    Tow.OPAKOWANIE = A(packaging);
    EXPECT_EQ(TableAppend(kTableGoods), 0);
    return Tow.ID;
  }
  static AMOUNT AddContractor(const char* name) {
    Kon = KON_RECORD{};
    EXPECT_EQ(NextRecordId(kTableContractors, &Kon.ID), 0);
    std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "%s", name);
    EXPECT_EQ(TableAppend(kTableContractors), 0);
    return Kon.ID;
  }
  // A stored transaction with a warehouse document.
  static AMOUNT AddTransaction(char kind, DATE date, const char* code = "", const char* number = "",
                               AMOUNT contractor = AMOUNT()) {
    TRA_RECORD t{};
    t.RODZAJ[0] = kind;
    t.DATATRA = t.DATAMAG = date;
    t.KONID = contractor;
    std::snprintf(t.DOKMAGTYP, sizeof t.DOKMAGTYP, "%s", code);
    std::snprintf(t.DOKMAGNR, sizeof t.DOKMAGNR, "%s", number);
    EXPECT_EQ(StoreTransaction(&t), 0);
    return t.ID;
  }
  // A position written as the positions window writes it.
  static long AddPositionTo(AMOUNT transaction, AMOUNT goods, double quantity, double price = 10,
                            int vat = 12) {
    TRA_RECORD t{};
    EXPECT_EQ(ReadRecordById(kTableTransactions, transaction, &t), 0);
    POZ_RECORD p{};
    p.RODZAJ[0] = t.RODZAJ[0];
    p.TRAID = t.ID;
    p.KONID = t.KONID;
    p.DATATRA = t.DATATRA;
    p.DATAMAG = t.DATAMAG;
    p.TOWID = goods;
    p.ILOSC = A(quantity);
    p.CENA = A(price);
    p.VATID = AMOUNT::FromInt(vat);
    long recno = -1;
    EXPECT_EQ(AddPosition(&p, nullptr, &recno), 0);
    return recno;
  }
  static TRA_RECORD StoredTransaction(AMOUNT id) {
    TRA_RECORD t{};
    EXPECT_EQ(ReadRecordById(kTableTransactions, id, &t), 0) << id.Whole();
    return t;
  }
  static AMOUNT Stock(AMOUNT goods) {
    TOW_RECORD g{};
    EXPECT_EQ(ReadRecordById(kTableGoods, goods, &g), 0) << goods.Whole();
    return g.STAN;
  }
  static long LivePositions(AMOUNT transaction) {
    std::vector<long> recnos;
    EXPECT_EQ(TransactionPositions(transaction, &recnos), 0);
    return static_cast<long>(recnos.size());
  }

  // The oracle. base: each goods' stock before any position (the goods were added with it).
  static void ExpectConsistent(const std::map<int64_t, AMOUNT>& base) {
    std::map<int64_t, AMOUNT> stock = base;
    std::map<int64_t, DOCUMENT_TOTALS> totals;
    std::map<int64_t, bool> net;
    for (int rc = TableFirst(kTableTransactions); rc == 0; rc = TableNext(kTableTransactions)) {
      net[Tra.ID.Raw()] = Tra.ZAOKRNETTO != 0;
      totals[Tra.ID.Raw()];
    }
    ASSERT_EQ(TableSetIndex(kTablePositions, -1), 0);
    for (int rc = TableFirst(kTablePositions); rc == 0; rc = TableNext(kTablePositions)) {
      ASSERT_TRUE(totals.count(Poz.TRAID.Raw())) << "a position of no transaction";
      ASSERT_EQ(Poz.RODZAJ[0], StoredTransaction(Poz.TRAID).RODZAJ[0]);
      AddToTotals(&totals[Poz.TRAID.Raw()], Poz.ILOSC, "", Poz.CENA, Poz.RABAT,
                  static_cast<int>(Poz.VATID.Whole()), net[Poz.TRAID.Raw()]);
      AMOUNT& s = stock[Poz.TOWID.Raw()];
      s = Poz.RODZAJ[0] == 'D' ? s + Poz.ILOSC : s - Poz.ILOSC;
    }
    for (const auto& [id, d] : totals) {
      const TRA_RECORD t = StoredTransaction(AMOUNT::FromRaw(id));
      EXPECT_EQ(t.SUMA, d.gross) << "transaction " << t.ID.Whole();
      EXPECT_EQ(t.VAT, d.vat) << "transaction " << t.ID.Whole();
    }
    for (const auto& [id, s] : stock) {
      TOW_RECORD g{};
      ASSERT_EQ(ReadRecordById(kTableGoods, AMOUNT::FromRaw(id), &g), 0);
      // Goods of a kind that keeps no stock keep what they had.
      const AMOUNT expected = IsStockKind(g.RODZAJ[0]) ? s : base.at(id);
      EXPECT_EQ(g.STAN, expected) << "goods " << id / 10000;
    }
    ExpectTablesSound();
    for (int t : {kTableTransactions, kTablePositions}) {
      std::string problem;
      EXPECT_EQ(CheckTable(t, &problem), 0) << t << ": " << problem;
    }
  }
};
