// The uninstaller's window on a recorded display: scripted keys and clicks in, the uninstall
// calls, the closing command and the texts of the last frame out.
#include "uninstaller/odvor_dialog.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "common/text.h"

namespace {

// Every character is 6 pixels wide and a line 13 high, as with the usual fixed font.
class RECORDED_DISPLAY : public WL_DISPLAY {
 public:
  void work_area(int* x, int* y, int* w, int* h) override {
    *x = area[0], *y = area[1], *w = area[2], *h = area[3];
  }
  int create(int x, int y, int w, int h, const char* t, const char* cls, const uint32_t*) override {
    created = {x, y, w, h};
    title = t;
    class_name = cls;
    return 0;
  }
  void destroy() override {}
  void fill(int, int, int, int, uint32_t) override {}
  void line(int, int, int, int, uint32_t) override {}
  void text(int, int, const char* s, size_t n, uint32_t) override { drawing.emplace_back(s, n); }
  int text_width(const char*, size_t n) override { return 6 * static_cast<int>(n); }
  int line_height() override { return 13; }
  void flush() override {
    frame = drawing;
    drawing.clear();
  }
  int next_event(WL_EVENT* ev) override {
    if (events.empty()) return -1;
    *ev = events.front();
    events.pop_front();
    return 0;
  }
  bool Shows(const char* text) const {
    for (const std::string& t : frame)
      if (t == text) return true;
    return false;
  }

  int area[4] = {0, 0, 1024, 768};
  std::vector<int> created;
  std::string title, class_name;
  std::deque<WL_EVENT> events;
  std::vector<std::string> drawing, frame;  // texts since the last flush, and of the last frame
};

WL_EVENT Key(int type, int key, char letter = 0, bool alt = false, bool shift = false) {
  WL_EVENT e;
  e.type = type, e.key = key, e.letter = letter, e.alt = alt, e.shift = shift;
  return e;
}
WL_EVENT Mouse(int type, int x, int y) {
  WL_EVENT e;
  e.type = type, e.x = x, e.y = y;
  return e;
}

// A key pressed and released; a click at a point (press and release there).
void Press(std::deque<WL_EVENT>* q, int key, char letter = 0, bool alt = false, bool shift = false) {
  q->push_back(Key(kWlKeyPress, key, letter, alt, shift));
  q->push_back(Key(kWlKeyRelease, key, letter, alt, shift));
}
void Click(std::deque<WL_EVENT>* q, int x, int y) {
  q->push_back(Mouse(kWlButtonPress, x, y));
  q->push_back(Mouse(kWlButtonRelease, x, y));
}

// Control centres: check box, "&Usuń", "&Anuluj" and "&Koniec" (the last two share a place).
constexpr int kCheckX = 100, kCheckY = 65, kRemoveX = 200, kRemoveY = 102, kCancelX = 290,
              kCancelY = 102;

std::vector<int> g_calls;  // the data flag of each uninstall
int g_result = 0;
int FakeUninstall(bool data) {
  g_calls.push_back(data ? 1 : 0);
  return g_result;
}

TEST(OdvorWindow, KeysAndClicksRunTheDialog) {
  struct Case {
    const char* name;
    void (*script)(std::deque<WL_EVENT>*);
    int uninstall_result;
    int closed_with;
    std::vector<int> calls;
    const char* last_text;  // shown in the last frame
  };
  const Case cases[] = {
      {"Esc closes without changes", [](auto* q) { Press(q, kWlKeyEsc); }, 0, 0, {}, nullptr},
      {"the window's close button is Esc", [](auto* q) { q->push_back(Key(kWlClose, 0)); }, 0, 0, {},
       nullptr},
      {"Enter on the first focus removes, Enter again ends",
       [](auto* q) { Press(q, kWlKeyEnter); Press(q, kWlKeyEnter); }, 0, 2, {0},
       "Tamsu został pomyślnie usunięty z tego"},
      {"Home and Space tick the data, Tab and Space remove",
       [](auto* q) {
         Press(q, kWlKeyHome); Press(q, kWlKeySpace);
         Press(q, kWlKeyTab); Press(q, kWlKeySpace);
         Press(q, kWlKeySpace);
       },
       0, 2, {1}, "komputera."},
      {"a failure is told",
       [](auto* q) { Press(q, kWlKeyEnter); Press(q, kWlKeyEnter); }, -1, 2, {0},
       "Usunięcie Tamsu z tego komputera nie"},
      {"clicks tick, remove and end",
       [](auto* q) {
         Click(q, kCheckX, kCheckY); Click(q, kRemoveX, kRemoveY); Click(q, kCancelX, kCancelY);
       },
       0, 2, {1}, nullptr},
      {"a press released outside the button does nothing",
       [](auto* q) {
         q->push_back(Mouse(kWlButtonPress, kRemoveX, kRemoveY));
         q->push_back(Mouse(kWlButtonRelease, 5, 5));
         Press(q, kWlKeyEsc);
       },
       0, 0, {}, nullptr},
      {"a key released after the focus moved on does nothing",
       [](auto* q) {
         q->push_back(Key(kWlKeyPress, kWlKeyEnter));
         Press(q, kWlKeyTab);
         q->push_back(Key(kWlKeyRelease, kWlKeyEnter));
         Press(q, kWlKeyEsc);
       },
       0, 0, {}, nullptr},
      {"hot letters: Alt+D ticks, Alt+U removes, Alt+K ends",
       [](auto* q) {
         Press(q, kWlKeyOther, 'd', true); Press(q, kWlKeyOther, 'u', true);
         Press(q, kWlKeyOther, 'k', true);
       },
       0, 2, {1}, nullptr},
      {"Alt+A cancels", [](auto* q) { Press(q, kWlKeyOther, 'a', true); }, 0, 0, {}, nullptr},
      {"End, then Shift+Tab and Left move back, wrapping round to the cancel button",
       [](auto* q) {
         Press(q, kWlKeyEnd); Press(q, kWlKeyTab, 0, false, true);
         Press(q, kWlKeyLeft); Press(q, kWlKeyLeft); Press(q, kWlKeyEnter);
       },
       0, 0, {}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RECORDED_DISPLAY d;
    c.script(&d.events);
    g_calls.clear();
    g_result = c.uninstall_result;
    ODVOR_SETUP setup;
    setup.uninstall = FakeUninstall;
    EXPECT_EQ(OdvorWindowRun(&d, setup), c.closed_with);
    EXPECT_EQ(g_calls, c.calls);
    if (c.last_text) {
      EXPECT_TRUE(d.Shows(Utf8ToCp1250(c.last_text).c_str())) << c.last_text;
    }
    // "&Koniec" is there exactly when the uninstall ran.
    EXPECT_EQ(d.Shows("Koniec"), !c.calls.empty());
    EXPECT_EQ(d.Shows("Anuluj"), c.calls.empty());
  }
}

TEST(OdvorWindow, PlacedTitledAndPackagedStart) {
  RECORDED_DISPLAY d;
  Press(&d.events, kWlKeyEnter);
  g_calls.clear();
  ODVOR_SETUP setup;
  setup.packaged = true;
  setup.uninstall = FakeUninstall;
  // A package installation starts at "&Koniec" with its text; nothing is removed.
  EXPECT_EQ(OdvorWindowRun(&d, setup), 2);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_TRUE(d.Shows("Tamsu zainstalowano z pakietu Debiana."));
  EXPECT_FALSE(d.Shows("Usuń"_pl));
  EXPECT_EQ(d.title, "Tamsu - program deinstalacyjny");
  EXPECT_EQ(d.class_name, "MSDIALOG");
  EXPECT_EQ(d.created, (std::vector<int>{340, 318, 344, 132}));  // centred on the work area

  // On a work area smaller than the dialog it stays at the corner, never above or left of it.
  RECORDED_DISPLAY small;
  small.area[0] = 0, small.area[1] = 0, small.area[2] = 200, small.area[3] = 100;
  Press(&small.events, kWlKeyEsc);
  setup.packaged = false;
  EXPECT_EQ(OdvorWindowRun(&small, setup), 0);
  EXPECT_EQ(small.created, (std::vector<int>{0, 0, 344, 132}));
  EXPECT_TRUE(small.Shows("Wybierz \"Usuń\", aby usunąć Tamsu z"_pl));
}

}  // namespace
