#include "platform/keydecode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t S = kShiftShift, C = kShiftCtrl, A = kShiftAlt;

struct Case {
  const char* what;
  std::string bytes;
  std::vector<KeyEvent> keys;
};

KeyEvent K(uint8_t scan, uint32_t shift = 0) { return KeyEvent{0, scan, shift}; }
KeyEvent Ch(uint8_t ch, uint8_t scan, uint32_t shift = 0) { return KeyEvent{ch, scan, shift}; }

void Check(const std::vector<Case>& cases, int code_page = 2) {
  for (const Case& c : cases) {
    std::vector<KeyEvent> got = decode_all(c.bytes, code_page);
    ASSERT_EQ(got.size(), c.keys.size()) << c.what;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].ch, c.keys[i].ch) << c.what << " key " << i;
      EXPECT_EQ(got[i].scan, c.keys[i].scan) << c.what << " key " << i;
      EXPECT_EQ(got[i].shift, c.keys[i].shift) << c.what << " key " << i;
    }
  }
}

TEST(KeyDecode, XtermKeys) {
  Check({
      {"F1", "\x1bOP", {K(kScanF1)}},
      {"F4", "\x1bOS", {K(kScanF4)}},
      {"F7 F8 F9 F10",
       "\x1b[18~\x1b[19~\x1b[20~\x1b[21~",
       {K(kScanF7), K(kScanF8), K(kScanF9), K(kScanF10)}},
      {"Shift+F7 (F19)", "\x1b[18;2~", {K(kScanF7, S)}},
      {"Ctrl+F7 (F31)", "\x1b[18;5~", {K(kScanF7, C)}},
      {"Alt+F4", "\x1b[1;3S", {K(kScanF4, A)}},
      {"Ctrl+F4", "\x1b[1;5S", {K(kScanF4, C)}},
      {"Shift+F2, old xterm", "\x1bO2Q", {K(kScanF2, S)}},
      {"Home End, normal mode", "\x1b[H\x1b[F", {K(kScanHome), K(kScanEnd)}},
      {"Home End, application mode", "\x1bOH\x1bOF", {K(kScanHome), K(kScanEnd)}},
      {"arrows",
       "\x1b[A\x1b[B\x1b[C\x1b[D",
       {K(kScanUp), K(kScanDown), K(kScanRight), K(kScanLeft)}},
      {"arrows, application mode", "\x1bOA\x1bOD", {K(kScanUp), K(kScanLeft)}},
      {"Ctrl+Shift+Left", "\x1b[1;6D", {K(kScanLeft, C | S)}},
      {"Ctrl+PgDn (kNXT5)", "\x1b[6;5~", {K(kScanPgDn, C)}},
      {"Ins Del PgUp PgDn",
       "\x1b[2~\x1b[3~\x1b[5~\x1b[6~",
       {K(kScanIns), K(kScanDel), K(kScanPgUp), K(kScanPgDn)}},
      {"Shift+Del", "\x1b[3;2~", {K(kScanDel, S)}},
      {"Shift+Tab", "\x1b[Z", {Ch(9, kScanTab, S)}},
      {"keypad Enter", "\x1bOM", {Ch(13, kScanEnter)}},
      {"modifyOtherKeys Ctrl+Enter", "\x1b[27;5;13~", {Ch(13, kScanEnter, C)}},
      {"CSI u Ctrl+a", "\x1b[97;5u", {Ch('a', 0x1E, C)}},
  });
}

TEST(KeyDecode, TmuxAndVt220Keys) {
  Check({
      {"Home End as 1~ 4~", "\x1b[1~\x1b[4~", {K(kScanHome), K(kScanEnd)}},
      {"F1..F4 as 11~..14~",
       "\x1b[11~\x1b[12~\x1b[13~\x1b[14~",
       {K(kScanF1), K(kScanF2), K(kScanF3), K(kScanF4)}},
      {"Ctrl+Home", "\x1b[1;5H", {K(kScanHome, C)}},
  });
}

TEST(KeyDecode, LinuxConsoleAndRxvtKeys) {
  Check({
      {"F1..F5",
       "\x1b[[A\x1b[[B\x1b[[C\x1b[[D\x1b[[E",
       {K(kScanF1), K(kScanF2), K(kScanF3), K(kScanF4), K(kScanF5)}},
      {"Shift+F3..F10 as F13..F20",
       "\x1b[25~\x1b[31~\x1b[34~",
       {K(kScanF3, S), K(kScanF7, S), K(kScanF10, S)}},
      {"rxvt Home End", "\x1b[7~\x1b[8~", {K(kScanHome), K(kScanEnd)}},
      {"rxvt Ctrl+F7, Shift+PgDn, Ctrl+Shift+Ins",
       "\x1b[18^\x1b[6$\x1b[2@",
       {K(kScanF7, C), K(kScanPgDn, S), K(kScanIns, C | S)}},
      {"rxvt Ctrl+Up", "\x1bOa", {K(kScanUp, C)}},
  });
}

TEST(KeyDecode, CharactersControlsAndAlt) {
  Check({
      {"letters and digits",
       "aZ1!",
       {Ch('a', 0x1E), Ch('Z', 0x2C, S), Ch('1', 0x02), Ch('!', 0x02, S)}},
      {"Enter Tab Backspace Space",
       "\r\t\x7f\x08 ",
       {Ch(13, kScanEnter), Ch(9, kScanTab), Ch(8, kScanBackspace), Ch(8, kScanBackspace),
        Ch(32, kScanSpace)}},
      {"Ctrl+B Ctrl+D Ctrl+V Ctrl+Y",
       "\x02\x04\x16\x19",
       {Ch(2, 0x30, C), Ch(4, 0x20, C), Ch(22, 0x2F, C), Ch(25, 0x15, C)}},
      {"Alt+P as ESC p", "\x1bp", {Ch('p', 0x19, A)}},
      {"Alt+Shift+P", "\x1bP", {Ch('P', 0x19, A | S)}},
      {"Alt+Ctrl+X", "\x1b\x18", {Ch(0x18, 0x2D, A | C)}},
      {"Alt+Enter", "\x1b\r", {Ch(13, kScanEnter, A)}},
      {"Alt+F1 as ESC before the sequence", "\x1b\x1bOP", {K(kScanF1, A)}},
      {"Esc pressed twice", "\x1b\x1b", {Ch(27, kScanEsc), Ch(27, kScanEsc)}},
      {"Esc then a key after the wait", "\x1b", {Ch(27, kScanEsc)}},
  });
}

TEST(KeyDecode, PolishLettersBecomeScreenCodes) {
  Check({{"Latin 2",
          "ąĄżŹó",
          {Ch(0xA5, 0), Ch(0xA4, 0, S), Ch(0xBE, 0), Ch(0x8D, 0, S), Ch(0xA2, 0)}},
         {"other code page 852 characters", "ü░", {Ch(0x81, 0), Ch(0xB0, 0)}},
         {"Alt with a Polish letter", "\x1bł", {Ch(0x88, 0, A)}},
         {"nothing on the screen shows it", "\xe2\x82\xac", {}}},
        2);
  Check({{"Mazovia", "ąŚ", {Ch(0x86, 0), Ch(0x98, 0, S)}}}, 1);
  Check({{"no Polish letters", "ąŁ", {Ch('a', 0), Ch('L', 0, S)}}}, 0);
}

TEST(KeyDecode, WaitsForTheRestOfASequence) {
  KeyEvent ev{};
  size_t used = 0;
  for (const char* part : {"\x1b", "\x1b[", "\x1b[1", "\x1b[18;", "\x1bO", "\x1b[[", "\xc4",
                           "\x1b\xc4", "\x1b\x1b["}) {
    EXPECT_EQ(decode_key(part, false, 2, &ev, &used), kDecodeIncomplete) << part;
  }
  // When the line stays quiet a cut sequence is Esc followed by ordinary keys.
  ASSERT_EQ(decode_key("\x1b[", true, 2, &ev, &used), kDecodeAccepted);
  EXPECT_EQ(ev.scan, kScanEsc);
  EXPECT_EQ(used, 1u);
  ASSERT_EQ(decode_key("\x1b[18;2~x", false, 2, &ev, &used), kDecodeAccepted);
  EXPECT_EQ(used, 7u);
  // A longer cut sequence is dropped whole, the Linux console's "ESC [ [" too.
  for (const char* cut : {"\x1b[1;", "\x1b[["}) {
    EXPECT_EQ(decode_key(cut, true, 2, &ev, &used), kDecodeSkipped) << cut;
    EXPECT_EQ(used, std::strlen(cut)) << cut;
  }
}

TEST(KeyDecode, DropsWhatIsNoKey) {
  Check({
      {"unknown tilde number", "\x1b[99~a", {Ch('a', 0x1E)}},
      {"focus report", "\x1b[Ib", {Ch('b', 0x30)}},
      {"endless parameters", std::string("\x1b[") + std::string(40, '1') + "~c", {Ch('c', 0x2E)}},
      {"stray continuation byte",
       "\x80"
       "d",
       {Ch('d', 0x20)}},
      {"bad UTF-8",
       "\xc4"
       "e",
       {Ch('e', 0x12)}},
  });
}

}  // namespace
