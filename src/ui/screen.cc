#include "ui/screen.h"

#include <string>

#include "platform/inifile.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>

#include "common/codepage.h"
#include "common/colours.h"
#include "platform/console.h"
#include "ui/font.h"
#include "ui/saveunder.h"

namespace {

struct Screen {
  bool open = false;
  void (*idle_work)() = nullptr;
  std::unique_ptr<CONSOLE> console;
  ScreenCell cells[kScreenRows][kScreenColumns];
  int caret_x = 0, caret_y = 0;
  int caret_count = 1;
  int code_page = kCodePageLatin2;
  int cell_w = 0, cell_h = 0;
  const char* face = "";
  // Where the window geometry is kept ("Tamsu.ini", section "Console"); empty: nowhere.
  std::string config_path;
  std::string config_section;
  // The geometry keys as read at opening. A terminal has no window to place, so they go back
  // to the file as they came.
  struct Kept {
    const char* key;
    std::string value;
    bool present;
  } kept[5] = {{"CharWidth", "", false},
               {"CharHeight", "", false},
               {"X", "", false},
               {"Y", "", false},
               {"Maximized", "", false}};
};

Screen& S() {
  static Screen screen;
  return screen;
}

// The keys and calls other threads post for this one. The only state of the screen that another
// thread touches: the queue and the console to wake, both under the mutex. The console is
// attached once it is open and detached before it closes, so a wake never meets a closing
// console.
struct PostedInput {
  KeyEvent key;
  void (*call)();
};
struct Posted {
  std::mutex mu;
  std::deque<PostedInput> items;
  CONSOLE* console = nullptr;
};

Posted& P() {
  static Posted posted;
  return posted;
}

void AttachPosted(CONSOLE* console) {
  std::lock_guard<std::mutex> g(P().mu);
  P().console = console;
  P().items.clear();
}

int Post(const PostedInput& item) {
  Posted& p = P();
  std::lock_guard<std::mutex> g(p.mu);
  if (!p.console || p.items.size() >= static_cast<size_t>(kPostedKeyCapacity)) return -1;
  p.items.push_back(item);
  p.console->wake();
  return 0;
}

bool TakePosted(PostedInput* item) {
  Posted& p = P();
  std::lock_guard<std::mutex> g(p.mu);
  if (p.items.empty()) return false;
  *item = p.items.front();
  p.items.pop_front();
  return true;
}

bool PostedKeyWaiting() {
  Posted& p = P();
  std::lock_guard<std::mutex> g(p.mu);
  return std::any_of(p.items.begin(), p.items.end(), [](const PostedInput& i) { return !i.call; });
}

// The visible part of a rectangle. dx, dy: how far its left and top edges moved inwards.
struct Clip {
  int x, y, w, h, dx, dy;
};

bool ClipRect(int x, int y, int w, int h, Clip* c) {
  if (w < 1 || h < 1) return false;
  long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
  long long x1 = std::min<long long>(static_cast<long long>(x) + w, kScreenColumns);
  long long y1 = std::min<long long>(static_cast<long long>(y) + h, kScreenRows);
  if (x0 >= x1 || y0 >= y1) return false;
  *c = Clip{static_cast<int>(x0),      static_cast<int>(y0),     static_cast<int>(x1 - x0),
            static_cast<int>(y1 - y0), static_cast<int>(x0 - x), static_cast<int>(y0 - y)};
  return true;
}

// Paints a rectangle of the buffer: per row, one run for each stretch of equal attribute.
void Paint(int x, int y, int w, int h) {
  Screen& s = S();
  Clip c;
  if (!s.open || !ClipRect(x, y, w, h, &c)) return;
  for (int row = c.y; row < c.y + c.h; ++row) {
    const ScreenCell* line = s.cells[row];
    int start = c.x;
    for (int col = c.x + 1; col <= c.x + c.w; ++col) {
      if (col < c.x + c.w && line[col].attr == line[start].attr) continue;
      s.console->paint_run(start, row, line + start, col - start);
      start = col;
    }
  }
}

void PushCaret() {
  Screen& s = S();
  if (s.open) s.console->set_caret(s.caret_x, s.caret_y, s.caret_count >= 1);
}

uint8_t ToScreen(uint8_t ch) { return convert_char(data_code_page(), S().code_page, ch); }

}  // namespace

int screen_open() { return screen_open_on(console_create(console_selected())); }

int screen_open_on(CONSOLE* console) {
  Screen& s = S();
  if (s.open) screen_close();
  if (!console) return -1;
  s.console.reset(console);
  for (auto& row : s.cells)
    for (auto& cell : row) cell = ScreenCell{' ', 0x07};
  if (s.console->open() != 0) {
    s.console.reset();
    return -1;
  }
  s.console->set_code_page(s.code_page);
  s.open = true;
  AttachPosted(s.console.get());
  int32_t width = 9, height = 21;
  if (!s.config_path.empty()) {
    INIFILE ini(s.config_path);
    for (auto& k : s.kept)
      k.present = ini.GetString(s.config_section.c_str(), k.key, &k.value) == 0;
    ini.GetInt(s.config_section.c_str(), "CharWidth", &width);
    ini.GetInt(s.config_section.c_str(), "CharHeight", &height);
  }
  set_cell_size(width, height);
  s.caret_count = 0;
  PushCaret();
  clear_screen();
  set_colour_mode(kColourAuto);
  return 0;
}

void screen_close() {
  Screen& s = S();
  if (!s.open) return;
  clear_screen();
  show_cursor();
  s.console->flush();
  AttachPosted(nullptr);
  s.console->close();
  s.console.reset();
  s.open = false;
  if (!s.config_path.empty()) {
    INIFILE ini(s.config_path);
    for (const auto& k : s.kept)
      if (k.present) ini.WriteString(s.config_section.c_str(), k.key, k.value.c_str());
  }
}

void screen_set_config(const std::string& path, const char* section) {
  S().config_path = path;
  S().config_section = section ? section : "";
}

bool screen_is_open() { return S().open; }
CONSOLE* screen_console() { return S().open ? S().console.get() : nullptr; }

void ScreenReset() {
  screen_close();
  Screen& s = S();
  s.caret_x = s.caret_y = 0;
  s.caret_count = 1;
  s.code_page = kCodePageLatin2;
  s.cell_w = s.cell_h = 0;
  s.face = "";
  s.config_path.clear();
  s.config_section.clear();
  s.idle_work = nullptr;
  SaveUnderReset();
  ColoursReset();
}

int screen_columns() { return kScreenColumns; }
int screen_rows() { return kScreenRows; }

void write_cells(int x, int y, int w, int h, const ScreenCell* cells) {
  Screen& s = S();
  Clip c;
  if (!s.open || !cells || !ClipRect(x, y, w, h, &c)) return;
  for (int r = 0; r < c.h; ++r)
    std::memcpy(&s.cells[c.y + r][c.x], cells + static_cast<size_t>(c.dy + r) * w + c.dx,
                sizeof(ScreenCell) * c.w);
  Paint(c.x, c.y, c.w, c.h);
}

void read_cells(int x, int y, int w, int h, ScreenCell* cells) {
  Screen& s = S();
  Clip c;
  if (!s.open || !cells || !ClipRect(x, y, w, h, &c)) return;
  for (int r = 0; r < c.h; ++r)
    std::memcpy(cells + static_cast<size_t>(c.dy + r) * w + c.dx, &s.cells[c.y + r][c.x],
                sizeof(ScreenCell) * c.w);
}

void fill_cells(int x, int y, int w, int h, uint8_t ch, uint8_t attr) {
  Screen& s = S();
  Clip c;
  if (!s.open || !ClipRect(x, y, w, h, &c)) return;
  if (ch == 0) ch = ' ';
  for (int r = c.y; r < c.y + c.h; ++r)
    for (int col = c.x; col < c.x + c.w; ++col) s.cells[r][col] = ScreenCell{ch, attr};
  Paint(c.x, c.y, c.w, c.h);
}

void recolour_cells(int x, int y, int w, int h, uint8_t attr) {
  Screen& s = S();
  Clip c;
  if (!s.open || !ClipRect(x, y, w, h, &c)) return;
  for (int r = c.y; r < c.y + c.h; ++r)
    for (int col = c.x; col < c.x + c.w; ++col) s.cells[r][col].attr = attr;
  Paint(c.x, c.y, c.w, c.h);
}

void move_cells(int x, int y, int w, int h, int to_x, int to_y) {
  Screen& s = S();
  if (!s.open || w < 1 || h < 1) return;
  // Only offsets whose source and destination are both on the screen take part.
  auto range = [](int from, int to, int n, int limit, int* lo, int* hi) {
    long long a = std::max({0LL, -static_cast<long long>(from), -static_cast<long long>(to)});
    long long b = std::min({static_cast<long long>(n), limit - static_cast<long long>(from),
                            limit - static_cast<long long>(to)});
    *lo = static_cast<int>(a);
    *hi = static_cast<int>(std::max(a, b));
  };
  int c0, c1, r0, r1;
  range(x, to_x, w, kScreenColumns, &c0, &c1);
  range(y, to_y, h, kScreenRows, &r0, &r1);
  if (c0 >= c1 || r0 >= r1) return;
  // Walk away from the destination so that no source cell is overwritten before it is read.
  bool rows_up = to_y > y, cols_left = to_y == y && to_x > x;
  for (int i = 0; i < r1 - r0; ++i) {
    int r = rows_up ? r1 - 1 - i : r0 + i;
    for (int k = 0; k < c1 - c0; ++k) {
      int col = cols_left ? c1 - 1 - k : c0 + k;
      s.cells[to_y + r][to_x + col] = s.cells[y + r][x + col];
    }
  }
  Paint(to_x + c0, to_y + r0, c1 - c0, r1 - r0);
}

void write_text(int x, int y, const char* text, uint8_t attr) {
  if (!S().open || !text) return;
  ScreenCell cells[255];
  int n = 0;
  while (n < 255 && text[n]) {
    cells[n] = ScreenCell{ToScreen(static_cast<uint8_t>(text[n])), attr};
    ++n;
  }
  write_cells(x, y, n, 1, cells);
}

void write_field_text(int x, int y, int width, const char* text, int offset, uint8_t attr) {
  if (!S().open || width < 1) return;
  width = std::min(width, 256);
  if (offset < 0) offset = 0;
  size_t len = text ? std::strlen(text) : 0;
  ScreenCell cells[256];
  for (int i = 0; i < width; ++i) {
    size_t at = static_cast<size_t>(offset) + i;
    uint8_t ch = at < len ? static_cast<uint8_t>(text[at]) : ' ';
    cells[i] = ScreenCell{ToScreen(ch), attr};
  }
  write_cells(x, y, width, 1, cells);
}

void write_char(int x, int y, uint8_t ch, uint8_t attr) {
  if (!S().open) return;
  ScreenCell cell{ToScreen(ch), attr};
  write_cells(x, y, 1, 1, &cell);
}

void draw_frame(int x, int y, int w, int h, int style, uint8_t attr) {
  // top-left, top-right, bottom-left, bottom-right, horizontal, vertical
  static constexpr uint8_t kStyles[3][6] = {{' ', ' ', ' ', ' ', ' ', ' '},
                                            {0xDA, 0xBF, 0xC0, 0xD9, 0xC4, 0xB3},
                                            {0xC9, 0xBB, 0xC8, 0xBC, 0xCD, 0xBA}};
  if (!S().open || w < 1 || h < 1) return;
  if (style < 0 || style > 2) style = 1;
  uint8_t f[6];
  std::memcpy(f, kStyles[style], sizeof f);
  if (style == 1) {
    // The single lines are the box characters of the screen code page: "Windows" has Polish
    // letters where the others keep │ and ┐.
    const uint8_t* box = CODE_PAGES[S().code_page].codes + kLetterCount;
    const int corners[6] = {2, 4, 8, 10, 0, 1};
    for (int i = 0; i < 6; ++i) f[i] = box[corners[i]];
  }
  if (h == 1) {
    fill_cells(x, y, w, 1, f[4], attr);
    return;
  }
  if (w == 1) {
    fill_cells(x, y, 1, h, f[5], attr);
    return;
  }
  fill_cells(x, y, 1, 1, f[0], attr);
  fill_cells(x + w - 1, y, 1, 1, f[1], attr);
  fill_cells(x, y + h - 1, 1, 1, f[2], attr);
  fill_cells(x + w - 1, y + h - 1, 1, 1, f[3], attr);
  if (w > 2) {
    fill_cells(x + 1, y, w - 2, 1, f[4], attr);
    fill_cells(x + 1, y + h - 1, w - 2, 1, f[4], attr);
  }
  if (h > 2) {
    fill_cells(x, y + 1, 1, h - 2, f[5], attr);
    fill_cells(x + w - 1, y + 1, 1, h - 2, f[5], attr);
  }
}

void draw_shadow(int x, int y, int w, int h) {
  if (w < 1 || h < 1) return;
  recolour_cells(x + 1, y + h, w, 1, 0x07);
  recolour_cells(x + w, y + 1, 1, h - 1, 0x07);
}

void clear_screen() {
  fill_cells(0, 0, kScreenColumns, kScreenRows, ' ', 0x07);
  set_cursor(0, 0);
}

void screen_flush() {
  if (S().open) S().console->flush();
}

void set_cursor(int col, int row) {
  S().caret_x = col;
  S().caret_y = row;
  PushCaret();
}

void show_cursor() {
  if (++S().caret_count == 1) PushCaret();
}

void hide_cursor() {
  if (S().caret_count-- == 1) PushCaret();
}

int cursor_column() { return S().caret_x; }
int cursor_row() { return S().caret_y; }
int cursor_count() { return S().caret_count; }

void read_key(KeyEvent* ev) {
  Screen& s = S();
  *ev = KeyEvent{0, 0, 0};
  if (!s.open) return;
  s.console->flush();
  for (;;) {
    PostedInput posted;
    if (TakePosted(&posted)) {
      if (!posted.call) {
        *ev = posted.key;
        return;
      }
      posted.call();
      if (!s.open) return;
      s.console->flush();
      continue;
    }
    if (s.idle_work && !s.console->key_pending()) {
      s.idle_work();
      if (!s.open) return;
      s.console->flush();
      if (PostedKeyWaiting()) continue;
    }
    KeyEvent k{};
    if (s.console->next_key(&k, -1) != 1) continue;
    if (is_modifier_scan(k.scan)) continue;
    if (k.scan == kScanEnter && k.shift == kShiftAlt) {
      s.console->toggle_maximised();
      s.console->flush();
      continue;
    }
    if (k.scan == kScanTab) k.ch = 9;
    k.ch = convert_char(s.code_page, data_code_page(), k.ch);
    *ev = k;
    return;
  }
}

void set_idle_work(void (*work)()) { S().idle_work = work; }

bool key_waiting() {
  Screen& s = S();
  if (!s.open) return false;
  s.console->flush();
  return PostedKeyWaiting() || s.console->key_pending();
}

int post_key(const KeyEvent& ev) { return Post(PostedInput{ev, nullptr}); }

int post_ui_call(void (*call)()) { return call ? Post(PostedInput{KeyEvent{}, call}) : -1; }

int posted_key_count() {
  std::lock_guard<std::mutex> g(P().mu);
  return static_cast<int>(P().items.size());
}

void beep() {
  if (S().open) S().console->beep();
}

void set_cell_size(int width, int height) {
  FontChoice f = choose_font(width, height);
  Screen& s = S();
  if (f.width == s.cell_w && f.height == s.cell_h) return;
  s.cell_w = f.width;
  s.cell_h = f.height;
  s.face = f.face;
}

int cell_width() { return S().cell_w; }
int cell_height() { return S().cell_h; }
const char* cell_font_face() { return S().face; }

void set_screen_code_page(int n) {
  if (n < 0 || n >= kCodePageCount) return;
  Screen& s = S();
  s.code_page = n;
  if (s.open) s.console->set_code_page(n);
}

int screen_code_page() { return S().code_page; }
