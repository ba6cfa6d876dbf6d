// The uninstaller's window on a recorded display: scripted keys and clicks in, the uninstall
// calls, the closing command and the texts of the last frame out.
#include "uninstaller/odvor_dialog.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "support/ui_fixture.h"

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

// Queues a script of events: key names (Tab Enter Esc Space Left Right Up Down Home End) pressed
// and released, "Alt+d" for a hot letter, "Shift+" before a key name, "Close" for the window's
// close button, "Click:x,y" for a click, "Down:" / "Up:" before a key name or "x,y" for a press
// or a release alone.
void Events(std::deque<WL_EVENT>* q, const std::string& script) {
  static const char* const kNames[] = {"",      "Tab", "Enter", "Esc",  "Space", "Left",
                                       "Right", "Up",  "Down",  "Home", "End"};
  std::istringstream in(script);
  for (std::string word; in >> word;) {
    WL_EVENT e;
    int types[2] = {kWlKeyPress, kWlKeyRelease}, count = 2;
    for (const char* prefix : {"Down:", "Up:"})
      if (word.rfind(prefix, 0) == 0) {
        count = 1;
        types[0] = prefix[0] == 'D' ? kWlKeyPress : kWlKeyRelease;
        word.erase(0, std::strlen(prefix));
      }
    if (word.rfind("Click:", 0) == 0) word.erase(0, 6);
    if (std::isdigit(static_cast<unsigned char>(word[0]))) {
      std::sscanf(word.c_str(), "%d,%d", &e.x, &e.y);
      for (int& t : types) t = t == kWlKeyPress ? kWlButtonPress : kWlButtonRelease;
    } else if (word == "Close") {
      types[0] = kWlClose;
      count = 1;
    } else if (word.rfind("Alt+", 0) == 0) {
      e.alt = true;
      e.letter = word[4];
    } else {
      e.shift = word.rfind("Shift+", 0) == 0;
      if (e.shift) word.erase(0, 6);
      for (int k = 1; k < 11; ++k)
        if (word == kNames[k]) e.key = k;
    }
    for (int i = 0; i < count; ++i) {
      e.type = types[i];
      q->push_back(e);
    }
  }
}

std::vector<int> g_calls;  // the data flag of each uninstall
int g_result = 0;
int FakeUninstall(bool data) {
  g_calls.push_back(data ? 1 : 0);
  return g_result;
}

TEST(OdvorWindow, KeysAndClicksRunTheDialog) {
  // Control centres: the check box at 100,65, "&Usuń" at 200,102, "&Anuluj" and "&Koniec"
  // (sharing a place) at 290,102.
  struct Case {
    const char* name;
    const char* script;
    int uninstall_result;
    int closed_with;
    int call;               // the data flag the uninstall ran with, or -1 when it did not run
    const char* last_text;  // shown in the last frame
  };
  const Case cases[] = {
      {"Esc closes without changes", "Esc", 0, 0, -1, nullptr},
      {"the window's close button is Esc", "Close", 0, 0, -1, nullptr},
      {"Enter on the first focus removes, Enter again ends", "Enter Enter", 0, 2, 0,
       "Tamsu został pomyślnie usunięty z tego"},
      {"Home and Space tick the data, Tab and Space remove", "Home Space Tab Space Space", 0, 2, 1,
       "komputera."},
      {"a failure is told", "Enter Enter", -1, 2, 0, "Usunięcie Tamsu z tego komputera nie"},
      {"clicks tick, remove and end", "Click:100,65 Click:200,102 Click:290,102", 0, 2, 1, nullptr},
      {"a press released outside the button does nothing", "Down:200,102 Up:5,5 Esc", 0, 0, -1,
       nullptr},
      {"a key released after the focus moved on does nothing", "Down:Enter Tab Up:Enter Esc", 0, 0,
       -1, nullptr},
      {"hot letters: Alt+D ticks, Alt+U removes, Alt+K ends", "Alt+d Alt+u Alt+k", 0, 2, 1,
       nullptr},
      {"Alt+A cancels", "Alt+a", 0, 0, -1, nullptr},
      {"End, then Shift+Tab and Left move back, wrapping round to the cancel button",
       "End Shift+Tab Left Left Enter", 0, 0, -1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RECORDED_DISPLAY d;
    Events(&d.events, c.script);
    g_calls.clear();
    g_result = c.uninstall_result;
    ODVOR_SETUP setup;
    setup.uninstall = FakeUninstall;
    EXPECT_EQ(OdvorWindowRun(&d, setup), c.closed_with);
    EXPECT_EQ(g_calls, c.call < 0 ? std::vector<int>{} : std::vector<int>{c.call});
    if (c.last_text) {
      EXPECT_TRUE(d.Shows(Utf8ToCp1250(c.last_text).c_str())) << c.last_text;
    }
    // "&Koniec" is there exactly when the uninstall ran.
    EXPECT_EQ(d.Shows("Koniec"), c.call >= 0);
    EXPECT_EQ(d.Shows("Anuluj"), c.call < 0);
  }
}

TEST(OdvorWindow, PlacedTitledAndPackagedStart) {
  RECORDED_DISPLAY d;
  Events(&d.events, "Enter");
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
  Events(&small.events, "Esc");
  setup.packaged = false;
  EXPECT_EQ(OdvorWindowRun(&small, setup), 0);
  EXPECT_EQ(small.created, (std::vector<int>{0, 0, 344, 132}));
  EXPECT_TRUE(small.Shows("Wybierz \"Usuń\", aby usunąć Tamsu z"_pl));
}

// The same dialog on the character screen, for a computer without a display.
using OdvorScreenTest = UiTest;

TEST_F(OdvorScreenTest, RemovesWithTheFocusedButtonAndTellsTheResult) {
  g_calls.clear();
  g_result = 0;
  ODVOR_SETUP setup;
  setup.uninstall = FakeUninstall;
  Play("{Snap}{Enter}{Snap}{Enter}");  // "&Usuń" has the focus, then "&Koniec"
  EXPECT_EQ(OdvorScreenRun(setup), 2);
  EXPECT_EQ(g_calls, std::vector<int>{0});
  EXPECT_TRUE(ShotShows(0, {"Wybierz \"Usuń\", aby usunąć Tamsu z tego komputera.",
                            "[ ] Usuń również pliki z danymi", "Anuluj"}));
  EXPECT_TRUE(ShotHas(1, "Tamsu został pomyślnie usunięty z tego komputera."));
  EXPECT_FALSE(ShotHas(1, "Anuluj"));
}

}  // namespace
