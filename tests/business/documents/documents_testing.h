// The documents of transactions over a real database on the headless screen: the demonstration
// database with its dates fixed (deliveries 04.12.2026, the sale 05.12.2026) and a parent company,
// documents composed straight into the current text document and read back as UTF-8 lines with
// their box characters, and golden files in tests/business/documents/golden compared line by
// line (TAMSU_UPDATE_GOLDEN=1 rewrites them).
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../transaction_testing.h"
#include "business/documents/transaction_document.h"
#include "common/codepage.h"
#include "ui/document/document.h"

class DocumentsTest : public TransactionTest {
 protected:
  void SetUp() override {
    TransactionTest::SetUp();
    DocumentReset();
  }
  void TearDown() override {
    DocumentReset();
    TransactionTest::TearDown();
  }

  static DATE Day(unsigned d) { return DateFromYmd(2026, 12, d); }

  // The demonstration database at fixed dates, with "Kwiaciarnia Tamsu" as the parent company.
  void FixedDemo() {
    Demo();
    for (int t : {kTableTransactions, kTablePositions}) {
      ASSERT_EQ(TableSetIndex(t, -1), 0);
      for (int rc = TableFirst(t); rc == 0; rc = TableNext(t)) {
        const bool sale = t == kTableTransactions ? Tra.RODZAJ[0] == 'S' : Poz.RODZAJ[0] == 'S';
        const DATE d = Day(sale ? 5 : 4);
        if (t == kTableTransactions) Tra.DATATRA = Tra.DATAMAG = d;
        else Poz.DATATRA = Poz.DATAMAG = d;
        ASSERT_EQ(TableUpdate(t), 0);
      }
    }
    AddParent();
  }
  void AddParent() {
    Kon = KON_RECORD{};
    ASSERT_EQ(NextRecordId(kTableContractors, &Kon.ID), 0);
    std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "%s", Utf8ToCp1250("Kwiaciarnia Tamsu").c_str());
    std::snprintf(Kon.ADRES, sizeof Kon.ADRES, "%s", "ul. Kwiatowa 3");
    std::snprintf(Kon.MIASTO, sizeof Kon.MIASTO, "%s", Utf8ToCp1250("Kraków").c_str());
    std::snprintf(Kon.KOD, sizeof Kon.KOD, "30-002");
    std::snprintf(Kon.NIP, sizeof Kon.NIP, "111-000-00-00");
    std::snprintf(Kon.KONTO, sizeof Kon.KONTO, "12 1020 2892 0000 5102 0000 0001");
    std::snprintf(Kon.REPREZENT, sizeof Kon.REPREZENT, "Jan Kowalski");
    ASSERT_EQ(TableAppend(kTableContractors), 0);
    ASSERT_EQ(SetCompany(Kon.ID), 0);
  }

  // The current document as UTF-8 lines (box characters as such); the document is closed.
  static std::vector<std::string> DocumentLines() {
    std::vector<std::string> lines;
    EXPECT_EQ(doc_measure(), 0);
    EXPECT_EQ(doc_seek_line(0), 0);
    char buf[kDocLineMax + 2];
    for (long n; (n = doc_read_line(buf, sizeof buf)) >= 0;)
      lines.push_back(Utf8(std::string(buf, static_cast<size_t>(n))));
    doc_close();
    return lines;
  }
  static std::string Utf8(const std::string& cp1250) {
    static const char* const kBoxes[11] = {"─", "│", "┌", "┬", "┐", "├", "┼", "┤", "└", "┴", "┘"};
    std::string out;
    for (char c : cp1250) {
      int box = -1;
      for (int i = 0; i < 11; ++i)
        if (static_cast<uint8_t>(c) == box_char(i)) box = i;
      out += box >= 0 ? kBoxes[box] : Cp1250ToUtf8(std::string(1, c));
    }
    return out;
  }
  // Reads and writes a document of transaction id; its lines.
  static std::vector<std::string> Compose(AMOUNT id, int mode, int* loaded = nullptr) {
    TRANSACTION_DOCUMENT doc;
    const int rc = LoadTransactionDocument(id, mode, Day(5), &doc);
    if (loaded) *loaded = rc;
    if (rc != 0) return {};
    EXPECT_EQ(ComposeTransactionDocument(doc), 0);
    return DocumentLines();
  }

  // Line by line against golden/<name>.txt.
  void ExpectGoldenLines(const std::string& name, const std::vector<std::string>& lines) {
    const std::string path =
        std::string(TAMSU_SOURCE_DIR) + "/tests/business/documents/golden/" + name + ".txt";
    if (std::getenv("TAMSU_UPDATE_GOLDEN")) {
      std::ofstream out(path, std::ios::binary);
      for (const std::string& l : lines) out << l << '\n';
      return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.good()) << "missing golden file " << path;
    std::vector<std::string> want;
    for (std::string l; std::getline(in, l);) want.push_back(l);
    for (size_t i = 0; i < std::max(want.size(), lines.size()); ++i)
      EXPECT_EQ(i < lines.size() ? lines[i] : "<none>", i < want.size() ? want[i] : "<none>")
          << name << " line " << i + 1;
  }
};
