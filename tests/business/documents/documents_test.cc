// The documents of a transaction: one golden file per kind (on the demonstration database and on
// transactions built here), the VAT table against the per-rate totals, the documents of the
// other kinds by their fixed texts, what bad data and failing reads give, and the menu.
#include "business/documents/cash_document.h"
#include "business/documents/document_menu.h"
#include "business/documents/transfer_order.h"
#include "db/db_events.h"
#include "documents_testing.h"
#include "platform/cfile.h"
#include "reports/report_output.h"
#include "ui/number_format.h"

namespace {

const AMOUNT kDemoSale = AMOUNT::FromInt(4);     // 10 Anturium and 1 Baccardi, WZ and FV 000001
const AMOUNT kDemoSpirits = AMOUNT::FromInt(3);  // PZ and FV 000003, 100 of each spirit

struct LINE {
  AMOUNT goods;
  double quantity, price;
  int vat;
  double discount;
};

class TransactionDocumentsTest : public DocumentsTest {
 protected:
  void SetUp() override {
    DocumentsTest::SetUp();
    FixedDemo();
    buyer = AMOUNT::FromInt(6);
  }
  // A transaction with its documents and positions, its sums worked out; Tra holds it.
  AMOUNT Built(char kind, const char* warehouse, const char* sales, bool net,
               const std::vector<LINE>& lines, AMOUNT contractor = AMOUNT()) {
    TRA_RECORD t{};
    t.RODZAJ[0] = kind;
    t.DATATRA = t.DATAMAG = Day(5);
    t.KONID = contractor.IsZero() ? buyer : contractor;
    t.ZAOKRNETTO = net;
    std::snprintf(t.DOKMAGTYP, sizeof t.DOKMAGTYP, "%s", warehouse);
    std::snprintf(t.DOKMAGNR, sizeof t.DOKMAGNR, "%s", *warehouse ? "7" : "");
    std::snprintf(t.DOKTRATYP, sizeof t.DOKTRATYP, "%s", sales);
    std::snprintf(t.DOKTRANR, sizeof t.DOKTRANR, "%s", *sales ? "12" : "");
    EXPECT_EQ(StoreTransaction(&t), 0);
    for (const LINE& l : lines) {
      POZ_RECORD p{};
      p.RODZAJ[0] = kind;
      p.TRAID = t.ID;
      p.KONID = t.KONID;
      p.DATATRA = p.DATAMAG = t.DATATRA;
      p.TOWID = l.goods;
      p.ILOSC = A(l.quantity);
      p.CENA = A(l.price);
      p.VATID = AMOUNT::FromInt(l.vat);
      p.RABAT = A(l.discount);
      EXPECT_EQ(AddPosition(&p, nullptr, nullptr), 0);
    }
    EXPECT_EQ(FindById(kTableTransactions, t.ID), 0);
    return t.ID;
  }
  // Changes the stored transaction id.
  template <typename F>
  void Change(AMOUNT id, F f) {
    ASSERT_EQ(FindById(kTableTransactions, id), 0);
    f(Tra);
    ASSERT_EQ(TableUpdate(kTableTransactions), 0);
  }
  // Whether a line holds the text.
  static bool Has(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
  }

  AMOUNT buyer;
};

TEST_F(TransactionDocumentsTest, TheDemonstrationDatabasePrintsItsDocuments) {
  ExpectGoldenLines("fv_demo", Compose(kDemoSale, kModeSalesDocument));
  ExpectGoldenLines("pz_demo", Compose(kDemoSpirits, kModeIncomePurchasePrices));
  // A goods issued note without prices: no price columns, no VAT table, no total.
  ExpectGoldenLines("wz_bez_cen", Compose(kDemoSale, kModeNoPrices));
  ASSERT_EQ(FindById(kTableTransactions, kDemoSale), 0);
  ASSERT_EQ(ComposeCashDocument(Tra, kPaymentCash), 0);
  ExpectGoldenLines("cash_demo", DocumentLines());
}

TEST_F(TransactionDocumentsTest, AnInvoiceOfTwoRatesWithADiscountAndEveryPayment) {
  ASSERT_EQ(SetDocumentPlace("Kraków"_pl), 0);
  ASSERT_EQ(SetHeaderFooterLine(1, 'H', 1, HEADER_LINE{true, "Kwiaciarnia Tamsu - hurt i detal"}),
            0);
  ASSERT_EQ(SetHeaderFooterLine(1, 'F', 2, HEADER_LINE{true, "Dziękujemy za zakupy."_pl}), 0);
  ASSERT_EQ(SetDocumentProductDescription(0), 0);
  const AMOUNT seeds = AddGoods("Nasiona", 3.24, 13);
  const AMOUNT sale = Built('S', "WZ", "FV", true,
                            {{AMOUNT::FromInt(1), 12, 7.38, 12, 5},
                             {seeds, 3, 3.24, 13, 0},
                             {AMOUNT::FromInt(7), 2, 12.30, 12, 0}});
  Change(sale, [](TRA_RECORD& t) {
    t.PRZ = AMOUNT::FromInt(50);
    t.PRZTERMIN = AMOUNT::FromInt(14);
    t.ODR = AMOUNT::FromInt(20);
    t.ODRTERMIN = AMOUNT::FromInt(30);
    t.GOT -= AMOUNT::FromInt(70);
    std::snprintf(t.UWAGI, sizeof t.UWAGI, "Dostawa kurierem.");
  });
  const std::vector<std::string> lines = Compose(sale, kModeSalesDocument);
  ExpectGoldenLines("fv_two_rates", lines);

  // The VAT rows are the per-rate totals of the positions, not sums of their own VAT.
  DOCUMENT_TOTALS want{};
  ForEachPosition(sale, [&] {
    AddToTotals(&want, Poz.ILOSC, "", Poz.CENA, Poz.RABAT, static_cast<int>(Poz.VATID.Whole()),
                true);
    return 0;
  });
  std::vector<std::string> rows;
  for (const std::string& l : lines)
    if (l.find("│  23 │") != std::string::npos || l.find("│   8 │") != std::string::npos ||
        l.find("Suma:") != std::string::npos)
      rows.push_back(l.substr(l.find(l.find("Suma:") != std::string::npos ? "Suma:" : "│  ")));
  const VAT_TOTAL& at23 = want.slots[VatRow(12)];
  const VAT_TOTAL& at8 = want.slots[VatRow(13)];
  auto row = [](const char* label, const VAT_TOTAL& s) {
    return std::string(label) + FitAmount(s.net, 2, 14) + "│" + FitAmount(s.vat, 2, 14) + "│" +
           FitAmount(s.gross, 2, 15) + "│";
  };
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], row("│  23 │", at23));
  EXPECT_EQ(rows[1], row("│   8 │", at8));
  EXPECT_EQ(rows[2], "Suma: " + FitAmount(want.net, 2, 14) + " " + FitAmount(want.vat, 2, 14) +
                         " " + FitAmount(want.gross, 2, 15) + " ");
  EXPECT_EQ(StoredTransaction(sale).SUMA, want.gross);
}

TEST_F(TransactionDocumentsTest, ACorrectionAFarmersInvoiceAndAReceipt) {
  ASSERT_EQ(SetDocumentCopyType(0), 0);
  ASSERT_EQ(SetDocumentProductDescription(0), 0);
  ExpectGoldenLines("zf_correction",
                    Compose(Built('S', "", "ZF", false, {{AMOUNT::FromInt(1), -2, 7.38, 12, 0}}),
                            kModeSalesDocument));
  const AMOUNT farmer = AddContractor("Jan Rolnik");
  ExpectGoldenLines("fr_farmer", Compose(Built('D', "PZ", "FR", false,
                                               {{AMOUNT::FromInt(11), 40, 4.32, 4, 0}}, farmer),
                                         kModeSalesDocument));
  ExpectGoldenLines(
      "pa_receipt",
      Compose(Built('S', "", "PA", false,
                    {{AMOUNT::FromInt(1), 3, 7.38, 12, 10}, {AMOUNT::FromInt(5), 10, 2.46, 12, 0}}),
              kModeSalesDocument));
}

TEST_F(TransactionDocumentsTest, ASaleInThePurchasePricesOfItsDeliveries) {
  // The demonstration deliveries of Anturium (100 and 100) less the demonstration sale of 10: a
  // sale of 185 takes the rest of the first delivery and most of the second; 10 more in the same
  // sale leave 5 units nobody delivered: "?" and the note under the totals.
  const AMOUNT anturium = AMOUNT::FromInt(1), baccardi = AMOUNT::FromInt(13);
  ExpectGoldenLines(
      "wz_purchase_prices",
      Compose(
          Built('S', "WZ", "", false,
                {{anturium, 185, 9, 12, 0}, {baccardi, 4, 80, 12, 0}, {anturium, 10, 9, 12, 0}}),
          kModeActualPurchasePrices));
}

TEST_F(TransactionDocumentsTest, EveryKindHasItsTitleDateLabelAndSignatures) {
  struct KIND {
    char kind;
    const char* warehouse;
    const char* sales;
    int mode;
    const char* title;
    const char* label;
    const char* signature;
  } kinds[] = {
      {'D', "PW", "", 6, "D O W Ó D   P R Z Y J Ę C I A   W E W N Ę T R Z N E G O",
       "Data przyjęcia", "Podpis dostawcy"},
      {'D', "PM", "", 6, "D O W Ó D   P R Z Y J Ę C I A   Z   M A G A Z Y N U", "Data przyjęcia",
       "Podpis odbiorcy"},
      {'S', "WW", "", 0, "D O W Ó D   W Y D A N I A   W E W N Ę T R Z N E G O", "Data wydania",
       "Razem:"},
      {'S', "WM", "", 2, "D O W Ó D   W Y D A N I A   D O   M A G A Z Y N U", "Data wydania",
       "w cenach zakupu ostatnich"},
      {'S', "", "RU", 7, "R A C H U N E K", "Data sprzedaży", "Podpis nabywcy"},
      {'S', "", "ZR", 7, "R A C H U N E K  (korekta)", "Data sprzedaży", "Podpis sprzedawcy"},
      {'S', "", "ZP", 7, "PARAGON (korekta)", "Data: 05.12.2026", "Do zapłaty:"},
  };
  for (const KIND& k : kinds) {
    SCOPED_TRACE(std::string(k.warehouse) + k.sales);
    const std::vector<std::string> lines = Compose(
        Built(k.kind, k.warehouse, k.sales, false, {{AMOUNT::FromInt(2), 1, 4.92, 12, 0}}), k.mode);
    for (const char* text : {k.title, k.label, k.signature}) EXPECT_TRUE(Has(lines, text)) << text;
  }
}

TEST_F(TransactionDocumentsTest, BadDataGivesAMessageOrAMarkedValueNeverAWrongTotal) {
  // A price too wide for its column: stars there, the totals in their wider columns.
  const AMOUNT gold = AddGoods("Złoty storczyk"_pl, 99999999.99, 12);
  const std::vector<std::string> wide =
      Compose(Built('S', "", "FV", false, {{gold, 3, 99999999.99, 12, 0}}), 7);
  EXPECT_TRUE(Has(wide, "│************│"));
  EXPECT_TRUE(Has(wide, "│ 299 999 999,97│"));

  // A number as long as the field holds: the title frame grows, the cash document breaks its line.
  const AMOUNT sale = Built('S', "", "FV", false, {{AMOUNT::FromInt(2), 1, 4.92, 12, 0}});
  Change(sale, [](TRA_RECORD& t) {
    std::snprintf(t.DOKTRANR, sizeof t.DOKTRANR, "12345678901234567890");
  });
  const std::vector<std::string> numbered = Compose(sale, 7);
  EXPECT_TRUE(Has(numbered, "│   nr FV 12345678901234567890/2026   │"));
  ASSERT_EQ(ComposeCashDocument(StoredTransaction(sale), kPaymentCash), 0);
  const std::vector<std::string> cash = DocumentLines();
  EXPECT_TRUE(Has(cash, "│Zapłata za FV 12345678901234567890/2026           │               │"));
  EXPECT_TRUE(Has(cash, "│z dnia 05.12.2026                                 │           4,92│"));

  // Positions deleted by another workstation: the sums no longer agree; none left: a message.
  const AMOUNT two =
      Built('S', "", "FV", false,
            {{AMOUNT::FromInt(2), 1, 4.92, 12, 0}, {AMOUNT::FromInt(3), 1, 3.69, 12, 0}});
  std::vector<long> recnos;
  ASSERT_EQ(TransactionPositions(two, &recnos), 0);
  ASSERT_EQ(TableGo(kTablePositions, recnos[1]), 0);
  ASSERT_EQ(TableDelete(kTablePositions), 0);
  TRANSACTION_DOCUMENT doc;
  ASSERT_EQ(LoadTransactionDocument(two, kModeSalesDocument, Day(5), &doc), 0);
  EXPECT_FALSE(doc.sumsAgree);
  ASSERT_EQ(TableGo(kTablePositions, recnos[0]), 0);
  ASSERT_EQ(TableDelete(kTablePositions), 0);
  Play("{Snap}{Enter}");
  EXPECT_EQ(LoadTransactionDocument(two, kModeSalesDocument, Day(5), &doc), 1);
  EXPECT_TRUE(ShotHas(0, "Transakcja nie ma żadnych pozycji."));

  // The contractor deleted meanwhile; no parent company; no such document.
  const AMOUNT stranger = AddContractor("Nieznajomy");
  const AMOUNT lost = Built('S', "WZ", "", false, {{AMOUNT::FromInt(2), 1, 4.92, 12, 0}}, stranger);
  ASSERT_EQ(FindById(kTableContractors, stranger), 0);
  ASSERT_EQ(TableDelete(kTableContractors), 0);
  Play("{Snap}{Enter}");
  EXPECT_EQ(LoadTransactionDocument(lost, kModeSalePrices, Day(5), &doc), -1);
  EXPECT_TRUE(ShotHas(1, "Kontrahent tej transakcji został"));
  Play("{Snap}{Enter}");
  EXPECT_EQ(LoadTransactionDocument(lost, kModeSalesDocument, Day(5), &doc), 1);
  EXPECT_TRUE(ShotHas(2, "Transakcja nie ma dokumentu sprzedaży."));
  ASSERT_EQ(SetCompany(AMOUNT()), 0);
  Play("{Snap}{Enter}");
  EXPECT_EQ(LoadTransactionDocument(kDemoSale, kModeSalesDocument, Day(5), &doc), -1);
  EXPECT_TRUE(ShotHas(3, "Brak firmy macierzystej."));
}

// Failures reach the user through the file layer's handler or the table layer's events.
int g_reports = 0;
class COUNTING_HANDLER : public CFILE::HANDLER {
 public:
  COUNTING_HANDLER() {
    g_reports = 0;
    SetEventHandler([](int, const char*, long) {
      ++g_reports;
      return 0;
    });
  }
  ~COUNTING_HANDLER() override { SetEventHandler(nullptr); }
  void Report(const char*, int, int, int) override { ++g_reports; }
};

TEST_F(TransactionDocumentsTest, AFailingReadStopsTheDocumentBeforeAnythingIsWritten) {
  for (int mode : {kModeSalesDocument, kModeActualPurchasePrices}) {
    const std::vector<std::string> want = Compose(kDemoSale, mode);
    bool tripped = true;
    for (long n = 1; tripped; ++n) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << ", failing file operation " << n);
      ASSERT_LT(n, 5000);
      CloseDatabase();
      ASSERT_EQ(OpenDatabase(), 0);
      COUNTING_HANDLER handler;
      CFILE::SetHandler(&handler);
      con->paints.clear();
      SetFileFault(0, n, false);
      TRANSACTION_DOCUMENT doc;
      const int rc = LoadTransactionDocument(kDemoSale, mode, Day(5), &doc);
      tripped = FileFaultTripped();
      ClearFileFault();
      CFILE::SetHandler(nullptr);
      if (rc == 0) {
        ASSERT_EQ(ComposeTransactionDocument(doc), 0);
        EXPECT_EQ(DocumentLines(), want);
      } else {
        // Reported by the layer that failed; an unreadable Tamsu.ini leaves no parent company,
        // which the document says in a message of its own.
        EXPECT_TRUE(rc == -1 && (g_reports > 0 || !con->paints.empty())) << rc;
      }
    }
  }
}

TEST_F(TransactionDocumentsTest, TheMenuAndTheFormsOfPaymentFollowTheTransaction) {
  TRA_RECORD t = StoredTransaction(kDemoSale);
  EXPECT_EQ(DocumentMenuEnabled(t), (std::vector<bool>{true, true, true, true, true}));
  t.DOKMAGTYP[0] = 0;
  t.RODZAJ[0] = 'D';
  t.GOT = AMOUNT();
  t.PRZ = AMOUNT::FromInt(100);  // a transfer not paid yet: no cash document
  EXPECT_EQ(DocumentMenuEnabled(t), (std::vector<bool>{false, true, false, false, true}));
  t.PRZZAPLAC = Day(20);
  EXPECT_EQ(DocumentMenuEnabled(t), (std::vector<bool>{false, true, false, true, true}));
  EXPECT_FALSE(PaymentFormEnabled(t, kPaymentCash));
  EXPECT_TRUE(PaymentFormEnabled(t, kPaymentTransfer));
  EXPECT_FALSE(PaymentFormEnabled(t, kPaymentDeferment));
}

TEST_F(TransactionDocumentsTest, ATransferOrderGoesFromWhoPaysToWhoIsPaid) {
  KON_RECORD parent{}, customer{};
  ASSERT_EQ(ReadRecordById(kTableContractors, Company(), &parent), 0);
  ASSERT_EQ(ReadRecordById(kTableContractors, buyer, &customer), 0);
  TRA_RECORD sale = StoredTransaction(kDemoSale);
  sale.PRZ = AMOUNT::FromInt(100);
  sale.PRZODSETKI = A(2.5);
  sale.PRZZAPLAC = Day(20);
  TRANSFER_ORDER o;
  ProposeTransferOrder(&sale, parent, customer, &o);
  EXPECT_EQ(o.amount, A(102.5));
  EXPECT_EQ(o.payer.id, customer.ID);
  EXPECT_EQ(o.payee.id, parent.ID);
  EXPECT_EQ(o.date, Day(20));
  EXPECT_STREQ(o.title[0], "Zapłata za FV 000001/2026 z dnia 05.12.2026"_pl);
  ASSERT_EQ(ComposeTransferOrder(o, 0, 0), 0);
  ExpectGoldenLines("transfer_order", DocumentLines());
  // A delivery, or a sale paid back: the parent company pays.
  sale.PRZ = AMOUNT::FromInt(-100);
  ProposeTransferOrder(&sale, parent, customer, &o);
  EXPECT_EQ(o.payer.id, parent.ID);
  EXPECT_EQ(o.amount, A(97.5));
  // Only the data, moved by the margins.
  o.dataOnly = true;
  ASSERT_EQ(ComposeTransferOrder(o, 2, 4), 0);
  const std::vector<std::string> data = DocumentLines();
  ASSERT_GT(data.size(), 4u);
  EXPECT_EQ(data[0], "");
  EXPECT_EQ(data[3], "      Hurtownia Kwiat-Pol s.c.");
  for (const std::string& l : data) EXPECT_EQ(l.find("│"), std::string::npos) << l;
}

}  // namespace
