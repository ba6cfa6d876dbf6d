#include "ui/message_box.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/text.h"
#include "support/ui_fixture.h"
#include "ui/saveunder.h"

namespace {

using MessageBoxTest = UiTest;

TEST_F(MessageBoxTest, ButtonsAreChosenByLetterArrowsAndTheDefault) {
  Play("{Snap}o");
  EXPECT_EQ(message_box(1, "Utworzyć archiwum bazy danych\n%s?\t &Tak \t &Nie \t &Opcje... "_pl,
                        "/dane/firma"),
            3);
  ExpectGolden("message_box.txt", Shot(0));
  EXPECT_EQ(save_under_used(), 0u);
  Play("{Right}{Right}{Left}{Enter}");
  EXPECT_EQ(message_box(1, "Pytanie?\t &Tak \t &Nie \t &Opcje... "), 2);
  Play("{Enter}");
  EXPECT_EQ(message_box(2, "%s", "Usunąć ten rekord?\t &Nie \t &Tak "_pl), 2);
  // More than five labels show five.
  Play("{Snap}{End}{Enter}");
  EXPECT_EQ(message_box(0, "?\t1\t2\t3\t4\t5\t6\t7"), 5);
  EXPECT_EQ(Shot(1).find('6'), std::string::npos);
}

TEST_F(MessageBoxTest, WithoutTabsOneOkButton) {
  Play("{Snap}{Enter}");
  EXPECT_EQ(message("Brak danych"), 1);
  // Width 11 + 6 = 17, height 1 + 2 + 1 + 1 = 5, centred at (31, 10).
  EXPECT_EQ(ShotCols(0, 11, 31, 17), " ║ Brak danych ║ ");
  EXPECT_EQ(ShotCols(0, 13, 31, 17), " ║     Ok      ║ ");
  Play("{Esc}");
  EXPECT_EQ(message("Brak danych"), 0);
  Play("{Ctrl+F4}");
  EXPECT_EQ(message_box(0, "A\t &Tak \t &Nie "), 0);
}

TEST_F(MessageBoxTest, LongMessagesWrapAtSpaces) {
  std::string words;
  while (words.size() < 150) words += "słowo "_pl;
  words.resize(150);
  std::string t = words;
  wrap_message(t.data());
  std::string unbroken = t;
  for (char& c : unbroken)
    if (c == '\n') c = ' ';
  EXPECT_EQ(unbroken, words);  // only spaces became line breaks
  EXPECT_EQ(std::count(t.begin(), t.end(), '\n'), 2);
  for (size_t start = 0, end; start < t.size(); start = end + 1) {
    end = std::min(t.find('\n', start), t.size());
    EXPECT_LE(end - start, 70u);
  }
  std::string word(100, 'x');
  std::string w = "Plik " + word;
  wrap_message(w.data());
  EXPECT_EQ(w, "Plik\n" + word);  // the space before it breaks; the word itself does not
}

TEST_F(MessageBoxTest, AskAbortOnlyForEsc) {
  EXPECT_EQ(ask_abort(), 0);  // nothing waiting
  Play("x");
  EXPECT_EQ(ask_abort(), 0);
  EXPECT_FALSE(con->key_pending());  // the other key was eaten
  Play("{Esc}t");
  EXPECT_EQ(ask_abort(), 1);
  Play("{Esc}n");
  EXPECT_EQ(ask_abort(), 0);
  Play("{Esc}{Esc}");
  EXPECT_EQ(ask_abort(), 0);
}

}  // namespace
