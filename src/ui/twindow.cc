#include "ui/twindow.h"

#include <algorithm>
#include <cstring>

#include "common/colours.h"
#include "ui/keys.h"
#include "ui/saveunder.h"
#include "ui/screen.h"

namespace {

uint8_t Inverted(uint8_t a) { return static_cast<uint8_t>((a << 4) | (a >> 4)); }

void DrawMenuLine(TWINDOW* w) {
  if (!(w->style & kWinMenuLine)) return;
  fill_cells(w->x, w->y, w->width, 1, ' ', attribute_of(5));
  if (w->menu) {
    menu_layout(w->menu, w->x, w->y, w->width, 1);
    menu_draw(w->menu);
  }
}

void DrawFrame(TWINDOW* w) {
  const Rect f = twindow_frame(w);
  const uint8_t a = attribute_of(6);
  draw_frame(f.x, f.y, f.w, f.h, 2, a);
  if (w->title && *w->title) {
    const int len = static_cast<int>(std::strlen(w->title));
    fill_cells(f.x + (f.w - len - 2) / 2, f.y, len + 2, 1, ' ', a);
    write_text(f.x + (f.w - len) / 2, f.y, w->title, attribute_of(7));
  }
  if (w->style & kWinHScroll)
    draw_scroll_bar(f.x + 2, f.y + f.h - 1, f.w - 4, true, w->hscroll_size, w->hscroll_pos, a);
  if (w->style & kWinVScroll)
    draw_scroll_bar(f.x + f.w - 1, f.y + 1, f.h - 2, false, w->vscroll_size, w->vscroll_pos, a);
}

void DrawStatusLine(TWINDOW* w) {
  if (!(w->style & kWinStatusLine)) return;
  ControlRecord d[3];
  dlg_fill(d, 0, w->x, w->y + w->height - 1, w->width, 1, ' ', 5);
  dlg_control(d, 1, kKindText, 0, 0, ControlData{w->status ? w->status : ""}, 0, 0, 0, 1, 5);
  dlg_end(d, 2);
  dlg_draw(d, 0);
}

void DrawAll(TWINDOW* w) {
  DrawMenuLine(w);
  DrawFrame(w);
  twindow_repaint(w);
  DrawStatusLine(w);
}

}  // namespace

void TWINDOW::paint_client(int x0, int y0, int w, int h) {
  fill_cells(x0, y0, w, h, ' ', attribute_of(6));
}

int TWINDOW::on_menu(int, int) { return 0; }

int TWINDOW::on_key(const KeyEvent& ev) {
  return key_is_esc(ev) || key_is_ctrl_f4(ev) || key_is_alt_f4(ev) ? 1 : 0;
}

void twindow_init(TWINDOW* w, int x, int y, int width, int height) {
  w->open = 0;
  w->style = 0;
  w->menu = nullptr;
  w->status = nullptr;
  w->title = nullptr;
  w->hscroll_size = w->vscroll_size = 1000;
  w->hscroll_pos = w->vscroll_pos = 0;
  if (width < 1 || width > kScreenColumns) width = kScreenColumns;
  if (height < 1 || height > kScreenRows) height = kScreenRows;
  if (x < 0) x = (kScreenColumns - width) / 2;
  if (y < 0) y = (kScreenRows - height) / 2;
  w->x = std::min(x, kScreenColumns - width);
  w->y = std::min(y, kScreenRows - height);
  w->width = width;
  w->height = height;
}

Rect twindow_frame(const TWINDOW* w) {
  Rect r{w->x, w->y, w->width, w->height};
  if (w->style & kWinMenuLine) {
    ++r.y;
    --r.h;
  }
  if (w->style & kWinStatusLine) --r.h;
  return r;
}

Rect twindow_client(const TWINDOW* w) {
  Rect r = twindow_frame(w);
  return Rect{r.x + 1, r.y + 1, r.w - 2, r.h - 2};
}

void draw_scroll_bar(int x, int y, int n, bool horizontal, int size, int position, uint8_t attr) {
  if (n < 1) return;
  const int t = std::max(n - 2, 0);
  const int k = std::min(t, std::max(1, t * size / 1000));
  const int start = std::min(t - k, std::max(0, (t - k) * position / 1000));
  auto cell = [&](int i, uint8_t ch, uint8_t a) {
    if (horizontal) fill_cells(x + i, y, 1, 1, ch, a);
    else fill_cells(x, y + i, 1, 1, ch, a);
  };
  cell(0, horizontal ? 27 : 24, Inverted(attr));
  for (int i = 0; i < t; ++i) cell(1 + i, (i >= start && i < start + k) ? 0xB2 : 0xB0, attr);
  if (n > 1) cell(n - 1, horizontal ? 26 : 25, Inverted(attr));
}

void twindow_repaint(TWINDOW* w) {
  const Rect c = twindow_client(w);
  if (c.w > 0 && c.h > 0) w->paint_client(c.x, c.y, c.w, c.h);
}

void twindow_scroll(TWINDOW* w, int rows, int columns) {
  const Rect c = twindow_client(w);
  if (c.w < 1 || c.h < 1 || (rows == 0 && columns == 0)) return;
  if (rows != 0 && columns != 0) {
    twindow_repaint(w);
    return;
  }
  if (rows != 0) {
    const int n = std::min(std::abs(rows), c.h);
    if (rows > 0) {
      move_cells(c.x, c.y + n, c.w, c.h - n, c.x, c.y);
      w->paint_client(c.x, c.y + c.h - n, c.w, n);
    } else {
      move_cells(c.x, c.y, c.w, c.h - n, c.x, c.y + n);
      w->paint_client(c.x, c.y, c.w, n);
    }
  } else {
    const int n = std::min(std::abs(columns), c.w);
    if (columns > 0) {
      move_cells(c.x + n, c.y, c.w - n, c.h, c.x, c.y);
      w->paint_client(c.x + c.w - n, c.y, n, c.h);
    } else {
      move_cells(c.x, c.y, c.w - n, c.h, c.x + n, c.y);
      w->paint_client(c.x, c.y, n, c.h);
    }
  }
}

void twindow_set_style(TWINDOW* w, uint32_t style, bool redraw) {
  w->style = style;
  if (redraw && w->open) DrawAll(w);
}

void twindow_set_title(TWINDOW* w, const char* title, bool redraw) {
  w->title = title;
  if (redraw && w->open) DrawFrame(w);
}

void twindow_set_status(TWINDOW* w, const char* status, bool redraw) {
  w->status = status;
  if (redraw && w->open) DrawStatusLine(w);
}

void twindow_set_menu(TWINDOW* w, MenuBar* menu, bool redraw) {
  w->menu = menu;
  if (redraw && w->open) DrawMenuLine(w);
}

void twindow_set_hscroll(TWINDOW* w, int size, int position, bool redraw) {
  w->hscroll_size = size;
  w->hscroll_pos = position;
  if (redraw && w->open && (w->style & kWinHScroll)) {
    const Rect f = twindow_frame(w);
    draw_scroll_bar(f.x + 2, f.y + f.h - 1, f.w - 4, true, size, position, attribute_of(6));
  }
}

void twindow_set_vscroll(TWINDOW* w, int size, int position, bool redraw) {
  w->vscroll_size = size;
  w->vscroll_pos = position;
  if (redraw && w->open && (w->style & kWinVScroll)) {
    const Rect f = twindow_frame(w);
    draw_scroll_bar(f.x + f.w - 1, f.y + 1, f.h - 2, false, size, position, attribute_of(6));
  }
}

int twindow_run(TWINDOW* w) {
  const bool save = w->style & kWinSaveUnder;
  if (save && save_under(w->x, w->y, w->width, w->height, (w->style & kWinSaveOnHeap) ? 1 : 0) != 0)
    return -1;
  w->open = 1;
  DrawAll(w);
  for (;;) {
    KeyEvent ev;
    read_key(&ev);
    int bar, item;
    KeyEvent leaving;
    if (menu_session(w->menu, ev, &bar, &item, &leaving)) {
      if (w->on_menu(bar, item) != 0) break;
      if (leaving.scan != 0 && w->on_key(leaving) != 0) break;
    } else if (w->on_key(ev) != 0) {
      break;
    }
  }
  if (save) restore_under();
  w->open = 0;
  return 0;
}
