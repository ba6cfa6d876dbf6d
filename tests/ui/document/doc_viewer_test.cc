// The current document and its viewer: moving and the scroll bars, search, saving and opening,
// and the files that must be refused.
#include "ui/document/doc_viewer.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "common/codepage.h"
#include "document_testing.h"
#include "platform/cfile_testing.h"
#include "support/ui_fixture.h"

namespace {

// The viewer of the tests: set up as doc_view does, drawn, but driven key by key.
struct OPEN_VIEWER {
  TXTDOCWINDOW w;
  OPEN_VIEWER() {
    doc_measure();
    txtdoc_init(&w);
    w.open = 1;
    twindow_set_style(&w, w.style, true);
  }
  void Press(uint8_t scan, uint32_t shift = 0) { w.on_key(KeyEvent{0, scan, shift}); }
};

TEST_F(DocumentTest, MovingClampsToTheDocumentAndSetsTheThumbs) {
  struct CASE {
    long lines;
    uint8_t key;
    long top;
    int size, position;  // per mille
  } const kCases[] = {
      {10, kScanPgDn, 0, 1000, 0},     // the whole document fits: nothing moves
      {100, kScanEnd, 79, 210, 1000},  // lines 79 to 99 in 21 rows
      {100, kScanPgDn, 21, 210, 265}, {1000, kScanEnd, 979, 21, 1000}, {1000, kScanPgUp, 0, 21, 0},
  };
  for (const CASE& c : kCases) {
    SCOPED_TRACE(c.lines);
    DocumentReset();
    Lines(c.lines);
    OPEN_VIEWER v;
    v.Press(c.key);
    EXPECT_EQ(v.w.top, c.top);
    EXPECT_EQ(v.w.vscroll_size, c.size);
    EXPECT_EQ(v.w.vscroll_pos, c.position);
    // The client starts on row 2 (menu line, frame) and has 21 rows.
    EXPECT_EQ(RowCols(2, 1, 10), "Linia " + std::to_string(c.top) +
                                     std::string(4 - std::to_string(c.top).size(), ' '));
    const long last = std::min(c.top + 20, c.lines - 1);
    EXPECT_EQ(RowCols(2 + static_cast<int>(last - c.top), 1, 10)
                  .substr(0, 6 + std::to_string(last).size()),
              "Linia " + std::to_string(last));
  }
}

TEST_F(DocumentTest, ScrollingSidewaysAndTheStatusLine) {
  doc_printf("%s\n", (std::string(100, 'a') + "KONIEC").c_str());
  Lines(3);
  OPEN_VIEWER v;
  EXPECT_EQ(Row(24).substr(59), " 4 linii, 106 kolumn ");
  v.Press(kScanRight, kShiftCtrl);
  EXPECT_EQ(v.w.left, 28);  // clamped: 106 columns in 78
  EXPECT_EQ(RowCols(2, 73, 6), "KONIEC");
  EXPECT_EQ(v.w.hscroll_pos, 1000);
  v.Press(kScanHome);
  EXPECT_EQ(v.w.left, 0);
  EXPECT_EQ(RowCols(2, 1, 3), "aaa");
}

TEST_F(DocumentTest, SearchStartsWhereTheButtonSaysAndReportsWhatItMisses) {
  Lines(100);
  OPEN_VIEWER v;
  doc_goto(&v.w, 50, 0);
  // " &Następny " starts below the top line: "Linia 3" and "Linia 30" to "Linia 39" are above it.
  PlayKeys(con, "Linia 3{Alt+n}{Snap}{Enter}");
  EXPECT_EQ(doc_search(&v.w, 0), -1);
  EXPECT_NE(Shot(0).find("Tekst \"Linia 3\" nieznaleziony."), std::string::npos);
  EXPECT_EQ(v.w.top, 50);
  // Backwards from above the top line finds it; whole words keep "Linia 39" out.
  PlayKeys(con, "{Tab}{Tab}{Space}{Alt+r}");
  EXPECT_EQ(doc_search(&v.w, 0), 0);
  EXPECT_EQ(v.w.top, 3);
  EXPECT_EQ(doc_find("Linia 3", false, false, 4, 1), 30);
  EXPECT_EQ(doc_find("linia 3", true, false, 0, 1), -1);  // case counts when asked
}

TEST_F(DocumentTest, SavingAppendsOrReplacesAndConvertsTheCodePage) {
  WriteWholeFile(dir.File("wynik.txt"), "stare\r\n");
  doc_printf("%s\n", "┌─┐ Zażółć"_pl);
  OPEN_VIEWER v;
  // Latin 2 is the start value; " &Dołączyć " keeps the old content in front.
  PlayKeys(con, "wynik.txt{Alt+o}{Alt+d}");
  EXPECT_EQ(doc_save_dialog(), 0);
  std::string want_doc = convert_string(kCodePageWindows, kCodePageLatin2, "┌─┐ Zażółć\r\n"_pl);
  EXPECT_EQ(ReadWholeFile(dir.File("wynik.txt")), "stare\r\n" + want_doc);
  // " &Zastąpić " with the table characters skipped.
  PlayKeys(con, "wynik.txt{Alt+t}{Alt+o}{Alt+z}");
  EXPECT_EQ(doc_save_dialog(), 0);
  EXPECT_EQ(ReadWholeFile(dir.File("wynik.txt")),
            convert_string(kCodePageWindows, kCodePageLatin2, "--- Zażółć\r\n"_pl));
  // " &Pozostawić " changes nothing.
  PlayKeys(con, "wynik.txt{Alt+o}{Alt+p}");
  EXPECT_EQ(doc_save_dialog(), -1);
}

TEST_F(DocumentTest, AFailedSaveLeavesTheOldFileWholeAndNoTemporaryFile) {
  Lines(3000);  // more than one buffer of writing
  doc_measure();
  const std::string target = dir.File("wynik.txt");
  for (int op : {kFileOpWrite, kFileOpFlush, kFileOpRename, kFileOpRead}) {
    for (long nth = 1;; ++nth) {
      SCOPED_TRACE(std::to_string(op) + "/" + std::to_string(nth));
      WriteWholeFile(target, "stare\r\n");
      SetFileFault(op, nth, false);
      const int rc = doc_save(target.c_str(), kCodePageLatin2, false, true);
      ClearFileFault();
      long files = 0;
      for (auto& e : std::filesystem::directory_iterator(dir.path()))
        files += e.path().filename() != "Tamsu.ini";
      EXPECT_EQ(files, 2);  // the document and the target, nothing half-written
      if (rc == 0) {
        EXPECT_EQ(ReadWholeFile(target), "stare\r\n" + ReadWholeFile(dir.File("000001.tmp")));
        break;
      }
      EXPECT_EQ(ReadWholeFile(target), "stare\r\n");
      ASSERT_LT(nth, 50);
    }
  }
}

TEST_F(DocumentTest, ATemporaryDocumentTheDirectoryRefusesIsReported) {
  struct RECORDER : CFILE::HANDLER {
    std::vector<std::string> names;
    void Report(const char* name, int, int, int) override { names.push_back(name); }
  } recorder;
  CFILE::SetHandler(&recorder);
  SetFileFaultError(EROFS);
  SetFileFault(kFileOpOpen, 1, false);
  EXPECT_EQ(doc_printf("Linia\n"), -1);
  CFILE::SetHandler(nullptr);
  EXPECT_EQ(recorder.names, std::vector<std::string>{"000001.tmp"});
  EXPECT_EQ(doc_printf("Linia\n"), 0);  // once the directory takes files again
}

TEST_F(DocumentTest, FilesThatCannotBeShownAreRefusedAndTheDocumentStays) {
  Lines(5);
  doc_measure();
  WriteWholeFile(dir.File("obraz.png"), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  WriteWholeFile(dir.File("duzy.txt"), "x");
  std::filesystem::resize_file(dir.File("duzy.txt"), kDocOpenLimit + 1);
  struct CASE {
    const char* name;
    const char* message;
  } const kCases[] = {
      {"obraz.png", "nie jest plikiem tekstowym."},
      {"duzy.txt", "jest zbyt duży, by go otworzyć"},
  };
  for (const CASE& c : kCases) {
    SCOPED_TRACE(c.name);
    con->shots.clear();
    PlayKeys(con, "{Snap}{Enter}");
    EXPECT_EQ(doc_open_file(dir.File(c.name).c_str(), kCodePageLatin2), -1);
    EXPECT_NE(Shot(0).find(c.message), std::string::npos);
    EXPECT_EQ(doc_lines(), 5);  // the document shown before is still there
    EXPECT_TRUE(doc_is_temporary());
  }
  // Read errors while measuring are failures, not a shorter document.
  WriteWholeFile(dir.File("tekst.txt"), "a\r\nb\r\n");
  SetFileFault(kFileOpRead, 1, false);
  EXPECT_EQ(doc_open_file(dir.File("tekst.txt").c_str(), kCodePageLatin2), -1);
  ClearFileFault();
  ASSERT_EQ(doc_open_file(dir.File("tekst.txt").c_str(), kCodePageLatin2), 0);
  EXPECT_EQ(doc_lines(), 2);
  EXPECT_FALSE(std::filesystem::exists(dir.File("000001.tmp")));  // the old one was deleted
}

TEST_F(DocumentTest, ATemporaryDocumentThatCannotBeCreatedTakesNoText) {
  SetFileFault(kFileOpOpen, 1, false);
  EXPECT_EQ(doc_printf("tekst\n"), -1);
  ClearFileFault();
  EXPECT_FALSE(doc_is_open());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);
  EXPECT_EQ(doc_printf("tekst\n"), 0);
  EXPECT_EQ(ReadWholeFile(dir.File("000001.tmp")), "");  // still in the buffer
  doc_measure();
  EXPECT_EQ(ReadWholeFile(dir.File("000001.tmp")), "tekst\r\n");
  doc_close();
  EXPECT_FALSE(std::filesystem::exists(dir.File("000001.tmp")));
}

TEST_F(DocumentTest, TheManualBesideTheProgramReadsAsPolish) {
  ASSERT_EQ(doc_open_file(TAMSU_BUILD_DIR "/Tamsu.txt", kCodePageLatin2), 0);
  char line[kDocLineMax + 1];
  ASSERT_EQ(doc_seek_line(0), 0);
  ASSERT_GT(doc_read_line(line, sizeof line), 0);
  EXPECT_EQ(U(line), "TAMSU - INSTRUKCJA OBSŁUGI");
  EXPECT_GT(doc_lines(), 200);
}

}  // namespace
