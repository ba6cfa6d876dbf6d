#include "platform/headless.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/glyphs.h"
#include "platform/keydecode.h"

namespace {
HEADLESS_CONSOLE* g_current = nullptr;
}

HEADLESS_CONSOLE* headless_current() { return g_current; }

HEADLESS_CONSOLE::HEADLESS_CONSOLE() {
  for (auto& row : grid_)
    for (auto& c : row) c = ScreenCell{' ', 0x07};
}

HEADLESS_CONSOLE::~HEADLESS_CONSOLE() {
  if (g_current == this) g_current = nullptr;
}

int HEADLESS_CONSOLE::open() {
  is_open = true;
  g_current = this;
  return 0;
}

void HEADLESS_CONSOLE::close() {
  is_open = false;
  if (g_current == this) g_current = nullptr;
}

void HEADLESS_CONSOLE::paint_run(int x, int y, const ScreenCell* cells, int n) {
  if (y < 0 || y >= kRows || n <= 0) return;
  PaintRecord rec{x, y, n, cells[0].attr, {}};
  for (int i = 0; i < n; ++i) {
    rec.chars.push_back(static_cast<char>(cells[i].ch));
    if (x + i >= 0 && x + i < kColumns) grid_[y][x + i] = cells[i];
  }
  paints.push_back(std::move(rec));
}

void HEADLESS_CONSOLE::set_caret(int col, int row, bool visible) {
  caret_x = col;
  caret_y = row;
  caret_visible = visible;
}

int HEADLESS_CONSOLE::next_key(KeyEvent* ev, int timeout_ms) {
  std::unique_lock<std::mutex> lock(mu_);
  const auto ready = [this] { return !keys_.empty() || woken_; };
  if (!ready() && timeout_ms != 0 && idle_wait_ms_ > 0) {
    const int wait = timeout_ms > 0 ? std::min(timeout_ms, idle_wait_ms_) : idle_wait_ms_;
    cv_.wait_for(lock, std::chrono::milliseconds(wait), ready);
  }
  if (!keys_.empty()) {
    *ev = keys_.front();
    keys_.pop_front();
    return 1;
  }
  if (woken_ || timeout_ms == 0) {
    woken_ = false;
    return 0;
  }
  *ev = KeyEvent{0, kScanF4, kShiftCtrl};
  return 1;
}

bool HEADLESS_CONSOLE::key_pending() {
  std::lock_guard<std::mutex> lock(mu_);
  return !keys_.empty();
}

void HEADLESS_CONSOLE::wake() {
  std::lock_guard<std::mutex> lock(mu_);
  woken_ = true;
  cv_.notify_all();
}

void HEADLESS_CONSOLE::push_key(uint8_t ch, uint8_t scan, uint32_t shift) {
  std::lock_guard<std::mutex> lock(mu_);
  keys_.push_back(KeyEvent{ch, scan, shift});
  cv_.notify_all();
}

void HEADLESS_CONSOLE::type_bytes(std::string_view bytes) {
  for (const KeyEvent& ev : decode_all(bytes, code_page_)) push_key(ev.ch, ev.scan, ev.shift);
}

std::string HEADLESS_CONSOLE::row_text(int y) const {
  if (y < 0 || y >= kRows) return {};
  return cells_to_utf8(code_page_, grid_[y], kColumns);
}

std::string HEADLESS_CONSOLE::screen_text() const {
  std::string out;
  for (int y = 0; y < kRows; ++y) out += row_text(y) + "\n";
  return out;
}

std::string HEADLESS_CONSOLE::row_attrs(int y) const {
  std::string out;
  if (y < 0 || y >= kRows) return out;
  char hex[3];
  for (int x = 0; x < kColumns; ++x) {
    std::snprintf(hex, sizeof hex, "%02X", grid_[y][x].attr);
    out += hex;
  }
  return out;
}
