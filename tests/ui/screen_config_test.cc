#include <gtest/gtest.h>

#include <string>

#include "platform/console.h"
#include "support/temp_dir.h"
#include "ui/screen.h"

namespace {

class ScreenConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    console_select(kConsoleHeadless);
    screen_set_config(dir.File("Tamsu.ini"), "Console");
  }
  TempDir dir;
};

TEST_F(ScreenConfigTest, CellSizeComesFromTheConsoleSectionAndGeometryGoesBackUnchanged) {
  const std::string ini =
      "[Tamsu]\nNet=0\n\n[Console]\nCharWidth=8\nCharHeight=20\nX=15\nY=-3\nMaximized=1\n";
  WriteWholeFile(dir.File("Tamsu.ini"), ini);
  ASSERT_EQ(screen_open(), 0);
  EXPECT_STREQ(cell_font_face(), "Terminal");
  EXPECT_EQ(cell_width(), 8);
  EXPECT_EQ(cell_height(), 12);
  screen_close();
  EXPECT_EQ(ReadWholeFile(dir.File("Tamsu.ini")), ini);
}

TEST_F(ScreenConfigTest, WithoutKeysTheDefaultRequestAndNoFile) {
  ASSERT_EQ(screen_open(), 0);
  EXPECT_STREQ(cell_font_face(), "Lucida Console");
  EXPECT_EQ(cell_width(), 9);
  EXPECT_EQ(cell_height(), 21);
  screen_close();
  EXPECT_EQ(ReadWholeFile(dir.File("Tamsu.ini")), "");  // nothing was there, nothing is written
}

}  // namespace
