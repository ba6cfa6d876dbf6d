#include "platform/glyphs.h"

#include <gtest/gtest.h>

#include "common/codepage.h"

namespace {

TEST(Glyphs, EveryHighByteOfLatin2RoundTrips) {
  for (int b = 0x80; b < 0x100; ++b) {
    uint32_t cp = screen_glyph(kCodePageLatin2, static_cast<uint8_t>(b));
    EXPECT_GE(cp, 0xA0u) << b;
    EXPECT_EQ(screen_byte_of(kCodePageLatin2, cp), b) << b;
  }
  EXPECT_EQ(screen_glyph(2, 0xC9), 0x2554u);  // ╔
  EXPECT_EQ(screen_glyph(2, 0xB0), 0x2591u);  // ░
  EXPECT_EQ(screen_glyph(2, 0x1A), 0x2192u);  // → as in code page 437
  EXPECT_EQ(screen_glyph(2, 'A'), uint32_t('A'));
}

TEST(Glyphs, PolishLettersFollowTheScreenCodePage) {
  const char* letters = "ĄĆĘŁŃÓŚŻŹąćęłńóśżź";
  for (int page = 1; page < kCodePageCount; ++page) {
    ScreenCell cells[kLetterCount];
    for (int i = 0; i < kLetterCount; ++i) cells[i] = ScreenCell{CODE_PAGES[page].codes[i], 0x07};
    std::string shown = cells_to_utf8(page, cells, kLetterCount);
    if (page == 7) {
      // "ISO Latin 2" puts ł and ż on the codes of │ and ┐: frames win.
      EXPECT_EQ(shown, "ĄĆĘŁŃÓŚŻŹąćę│ńóś┐ź");
      continue;
    }
    EXPECT_EQ(shown, letters) << code_page_name(page);
    for (int i = 0; i < kLetterCount; ++i)
      EXPECT_EQ(screen_byte_of(page, screen_glyph(page, CODE_PAGES[page].codes[i])),
                CODE_PAGES[page].codes[i])
          << page << " " << i;
  }
  // Mazovia's ą is 0x86, which code page 852 draws as ć.
  EXPECT_EQ(screen_glyph(1, 0x86), 0x0105u);
  EXPECT_EQ(screen_glyph(2, 0x86), 0x0107u);
}

}  // namespace
