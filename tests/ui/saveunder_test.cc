#include "ui/saveunder.h"

#include <gtest/gtest.h>

#include "support/ui_fixture.h"
#include "ui/screen.h"

namespace {

using SaveUnderTest = UiTest;

TEST_F(SaveUnderTest, RestoresWindowsInReverseOrder) {
  fill_cells(0, 0, 80, 25, 'a', 0x07);
  ASSERT_EQ(save_under(10, 5, 20, 10, 0), 0);
  EXPECT_EQ(save_under_used(), 20u * 10 * 2 + 20);
  fill_cells(10, 5, 20, 10, 'b', 0x1F);
  ASSERT_EQ(save_under(15, 8, 20, 10, 1), 0);
  EXPECT_EQ(save_under_used(), 420u + 24);
  fill_cells(15, 8, 20, 10, 'c', 0x4E);

  ASSERT_EQ(restore_under(), 0);
  EXPECT_EQ(con->cell(15, 8).ch, 'b');
  EXPECT_EQ(con->cell(15, 8).attr, 0x1F);
  EXPECT_EQ(con->cell(34, 17).ch, 'a');
  ASSERT_EQ(restore_under(), 0);
  EXPECT_EQ(con->cell(10, 5).ch, 'a');
  EXPECT_EQ(con->cell(10, 5).attr, 0x07);
  EXPECT_EQ(save_under_used(), 0u);

  EXPECT_EQ(con->beeps, 0);
  EXPECT_EQ(restore_under(), -1);  // nothing left
  EXPECT_EQ(con->beeps, 1);
}

TEST_F(SaveUnderTest, TheWindowThatDoesNotFitTheArenaIsRefusedWithABeep) {
  // A full-screen entry takes 4020 bytes: two fit, the third does not.
  ASSERT_EQ(save_under(0, 0, 80, 25, 0), 0);
  ASSERT_EQ(save_under(0, 0, 80, 25, 0), 0);
  EXPECT_EQ(save_under(0, 0, 80, 25, 0), -1);
  EXPECT_EQ(con->beeps, 1);
  EXPECT_EQ(save_under_used(), 8040u);
  // 1960 bytes are left: a 97 x 10 window needs exactly that.
  EXPECT_EQ(save_under(0, 0, 98, 10, 0), -1);
  ASSERT_EQ(save_under(0, 0, 97, 10, 0), 0);
  EXPECT_EQ(save_under_used(), kSaveUnderArena);
  // Even a heap entry needs its 24 bytes of the arena.
  EXPECT_EQ(save_under(0, 0, 1, 1, 1), -1);
  EXPECT_EQ(con->beeps, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(restore_under(), 0);
  EXPECT_EQ(restore_under(), -1);
}

TEST_F(SaveUnderTest, HeapEntriesCostTwentyFourBytesAndBadRectanglesFail) {
  int pushed = 0;
  while (save_under(0, 0, 80, 25, 1) == 0) ++pushed;
  EXPECT_EQ(pushed, static_cast<int>(kSaveUnderArena / 24));
  for (int i = 0; i < pushed; ++i) ASSERT_EQ(restore_under(), 0);
  EXPECT_EQ(save_under(0, 0, 0, 5, 0), -1);
  EXPECT_EQ(save_under(0, 0, 5, -1, 1), -1);
  EXPECT_EQ(save_under(0, 0, 100000, 100000, 0), -1);
  EXPECT_EQ(save_under(0, 0, 100000, 100000, 1), -1);
  EXPECT_EQ(con->beeps, 5);
  EXPECT_EQ(save_under_used(), 0u);
}

TEST_F(SaveUnderTest, PartlyOffScreenWindowsComeBackClipped) {
  fill_cells(0, 0, 80, 25, 'a', 0x07);
  ASSERT_EQ(save_under(75, 20, 10, 10, 0), 0);
  fill_cells(75, 20, 10, 10, 'z', 0x70);
  ASSERT_EQ(restore_under(), 0);
  EXPECT_EQ(con->cell(79, 24).ch, 'a');
  EXPECT_EQ(con->cell(75, 20).attr, 0x07);
}

}  // namespace
