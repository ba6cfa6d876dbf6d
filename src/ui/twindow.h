// TWINDOW: a framed window with an optional menu line on top, a status line at the bottom,
// scroll bars in its frame, a title, and a client area painted by the subclass. twindow_run
// shows it and runs its key loop until one of the slots answers nonzero.
//
//   class LIST_WINDOW : public TWINDOW {
//     void paint_client(int x, int y, int w, int h) override;   // absolute cells
//     int on_key(const KeyEvent& ev) override;                 // nonzero closes
//   };
//   LIST_WINDOW w; twindow_init(&w, -1, -1, 60, 15);
//   twindow_set_style(&w, kWinSaveUnder | kWinVScroll, false);
//   twindow_run(&w);
#pragma once

#include <cstdint>

#include "common/cell.h"
#include "ui/controls.h"
#include "ui/menubar.h"

inline constexpr uint32_t kWinMenuLine = 1;
inline constexpr uint32_t kWinStatusLine = 2;
inline constexpr uint32_t kWinHScroll = 4;
inline constexpr uint32_t kWinVScroll = 8;
inline constexpr uint32_t kWinSaveUnder = 16;
inline constexpr uint32_t kWinSaveOnHeap = 32;

class TWINDOW {
 public:
  virtual ~TWINDOW() = default;
  // Paints a part of the client area (absolute screen cells); the default fills it with spaces
  // in colour element 6.
  virtual void paint_client(int x, int y, int w, int h);
  // A menu command (bar, item), or (-1, -1) when the menu was left; nonzero closes the window.
  virtual int on_menu(int bar, int item);
  // A key the menu did not take; nonzero closes. The default closes on Esc, Ctrl+F4, Alt+F4.
  virtual int on_key(const KeyEvent& ev);

  int32_t open = 0;
  int32_t x = 0, y = 0, width = 80, height = 25;
  uint32_t style = 0;
  MenuBar* menu = nullptr;
  const char* status = nullptr;
  const char* title = nullptr;
  int32_t hscroll_size = 1000, hscroll_pos = 0;  // per mille
  int32_t vscroll_size = 1000, vscroll_pos = 0;
};

void twindow_init(TWINDOW* w, int x, int y, int width, int height);
// 0, or -1 when the background cannot be saved.
int twindow_run(TWINDOW* w);
void twindow_set_style(TWINDOW* w, uint32_t style, bool redraw);
void twindow_set_title(TWINDOW* w, const char* title, bool redraw);
void twindow_set_status(TWINDOW* w, const char* status, bool redraw);
void twindow_set_menu(TWINDOW* w, MenuBar* menu, bool redraw);
void twindow_set_hscroll(TWINDOW* w, int size, int position, bool redraw);
void twindow_set_vscroll(TWINDOW* w, int size, int position, bool redraw);
// The window without its menu and status rows, and that inset by one cell.
Rect twindow_frame(const TWINDOW* w);
Rect twindow_client(const TWINDOW* w);
// Positive rows move the content up, positive columns move it left; the uncovered strip is
// painted through paint_client. Both nonzero repaint the whole client.
void twindow_scroll(TWINDOW* w, int rows, int columns);
void twindow_repaint(TWINDOW* w);
// A scroll bar of length n drawn at (x, y) running right (horizontal) or down.
void draw_scroll_bar(int x, int y, int n, bool horizontal, int size, int position, uint8_t attr);
