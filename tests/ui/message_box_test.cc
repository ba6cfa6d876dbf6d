#include "ui/message_box.h"

#include <cstring>
#include <string>

#include "common/text.h"
#include "ui/saveunder.h"
#include "ui_testing.h"

namespace {

class MessageBoxTest : public UiTest {};

TEST_F(MessageBoxTest, ThreeButtonQuestionReturnsTheThird) {
  Snapshot();
  Key('o');
  EXPECT_EQ(message_box(1, "Utworzyć archiwum bazy danych\n%s?\t &Tak \t &Nie \t &Opcje... "_pl,
                        "/dane/firma"),
            3);
  ExpectGolden("message_box.txt", Shot(0));
  EXPECT_EQ(save_under_used(), 0u);

  Scan(kScanRight);
  Scan(kScanRight);
  Scan(kScanLeft);
  Enter();
  EXPECT_EQ(message_box(1, "Pytanie?\t &Tak \t &Nie \t &Opcje... "), 2);
  Enter();
  EXPECT_EQ(message_box(2, "%s", "Usunąć ten rekord?\t &Nie \t &Tak "_pl), 2);
}

TEST_F(MessageBoxTest, WithoutTabsOneOkButton) {
  Snapshot();
  Enter();
  EXPECT_EQ(message("Brak danych"), 1);
  // Width 11 + 6 = 17, height 1 + 2 + 1 + 1 = 5, centred at (31, 10).
  EXPECT_EQ(ShotCols(0, 11, 31, 17), " ║ Brak danych ║ ");
  EXPECT_EQ(ShotCols(0, 13, 31, 17), " ║     Ok      ║ ");
  Esc();
  EXPECT_EQ(message("Brak danych"), 0);
  Scan(kScanF4, kShiftCtrl);
  EXPECT_EQ(message_box(0, "A\t &Tak \t &Nie "), 0);
}

TEST_F(MessageBoxTest, MoreThanFiveLabelsShowFive) {
  Snapshot();
  Scan(kScanEnd);
  Enter();
  EXPECT_EQ(message_box(0, "?\t1\t2\t3\t4\t5\t6\t7"), 5);
  EXPECT_EQ(Shot(0).find('6'), std::string::npos);
}

TEST_F(MessageBoxTest, LongMessagesWrapAtSpaces) {
  std::string words;
  while (words.size() < 150) words += "słowo "_pl;
  words.resize(150);
  std::string t = words;
  wrap_message(t.data());
  int lines = 1;
  size_t start = 0, longest = 0;
  for (size_t i = 0; i <= t.size(); ++i) {
    if (i == t.size() || t[i] == '\n') {
      longest = std::max(longest, i - start);
      if (i < t.size()) ++lines;
      start = i + 1;
    }
  }
  EXPECT_EQ(lines, 3);
  EXPECT_LE(longest, 70u);
  std::string unbroken = t;
  for (char& c : unbroken)
    if (c == '\n') c = ' ';
  EXPECT_EQ(unbroken, words);  // only spaces became line breaks

  std::string word(100, 'x');
  std::string w = "Plik " + word;
  wrap_message(w.data());
  EXPECT_EQ(w, "Plik\n" + word);  // the space before it breaks; the word itself does not
  std::string alone = word;
  wrap_message(alone.data());
  EXPECT_EQ(alone, word);

  Snapshot();
  Enter();
  EXPECT_EQ(message("%s", words.c_str()), 1);
  // Three text lines and the button: the box is 3 + 2 + 1 + 1 = 7 rows high.
  int box_rows = 0;
  for (int y = 0; y < 25; ++y)
    if (ShotRow(0, y).find("║") != std::string::npos) ++box_rows;
  EXPECT_EQ(box_rows, 5);  // the rows between the top and bottom frame
}

TEST_F(MessageBoxTest, AskAbortOnlyForEsc) {
  EXPECT_EQ(ask_abort(), 0);  // nothing waiting
  Type("x");
  EXPECT_EQ(ask_abort(), 0);
  EXPECT_FALSE(con->key_pending());  // the other key was eaten
  Esc();
  Key('t');
  EXPECT_EQ(ask_abort(), 1);
  Esc();
  Key('n');
  EXPECT_EQ(ask_abort(), 0);
  Esc();
  Esc();
  EXPECT_EQ(ask_abort(), 0);
}

}  // namespace
