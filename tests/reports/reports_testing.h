// The collective reports over the demonstration database at fixed dates (deliveries 04.12.2026,
// the sale 05.12.2026; see the documents' fixture), written straight into the current document
// and read back as UTF-8 lines; golden files in tests/reports/golden (TAMSU_UPDATE_GOLDEN=1
// rewrites them).
#pragma once

#include "../business/documents/documents_testing.h"
#include "reports/report_common.h"
#include "reports/report_output.h"

class ReportsTest : public DocumentsTest {
 protected:
  void SetUp() override {
    DocumentsTest::SetUp();
    FixedDemo();
  }

  static REPORT_PERIOD December() { return REPORT_PERIOD{Day(1), Day(31)}; }
  static DOCUMENT_FILTER All() {
    DOCUMENT_FILTER f;
    f.fill(1);
    return f;
  }

  // Writes a report into a new document: its lines (the answer of the report in *rc).
  template <typename Fn>
  static std::vector<std::string> Report(Fn fn, int* rc = nullptr) {
    DocumentReset();
    ReportPollReset();
    ReportOutputBegin();
    const int r = fn();
    if (rc) *rc = r;
    else EXPECT_EQ(r, 0);
    EXPECT_EQ(ReportOutputEnd(), 0);
    if (!doc_is_open()) return {};
    return DocumentLines();
  }

  // Several reports one after the other in one golden file.
  void Golden(const std::string& name, const std::vector<std::vector<std::string>>& parts) {
    std::vector<std::string> all;
    for (const auto& p : parts) {
      all.insert(all.end(), p.begin(), p.end());
      all.push_back("========");
    }
    const std::string path =
        std::string(TAMSU_SOURCE_DIR) + "/tests/reports/golden/" + name + ".txt";
    if (std::getenv("TAMSU_UPDATE_GOLDEN")) {
      std::ofstream out(path, std::ios::binary);
      for (const std::string& l : all) out << l << '\n';
      return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.good()) << "missing golden file " << path;
    std::vector<std::string> want;
    for (std::string l; std::getline(in, l);) want.push_back(l);
    for (size_t i = 0; i < std::max(want.size(), all.size()); ++i)
      EXPECT_EQ(i < all.size() ? all[i] : "<none>", i < want.size() ? want[i] : "<none>")
          << name << " line " << i + 1;
  }

  // Whether a line holds the text.
  static bool Has(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& l : lines)
      if (l.find(text) != std::string::npos) return true;
    return false;
  }
};
