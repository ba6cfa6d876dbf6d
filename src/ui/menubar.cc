#include "ui/menubar.h"

#include <algorithm>

#include "ui/keys.h"
#include "ui/saveunder.h"
#include "ui/screen.h"

namespace {

ControlRecord* PullDown(MenuBar* m, int i) {
  if (i < 1 || i > menu_bar_count(m)) return nullptr;
  ControlRecord* pd = m->bars[i];
  return (pd && pd[0].kind != kKindEnd && pd[1].kind != kKindEnd) ? pd : nullptr;
}

ControlRecord* Open(MenuBar* m, int i) {
  ControlRecord* pd = PullDown(m, i);
  if (!pd) return nullptr;
  Rect r = dlg_rect(pd, 0);
  if (save_under(r.x, r.y, r.w, r.h, 0) != 0) return nullptr;
  dlg_set_focus(pd, -1, false);
  dlg_draw(pd, 0);
  return pd;
}

void Close(ControlRecord** pd) {
  if (*pd) restore_under();
  *pd = nullptr;
}

bool IsScan(const KeyEvent& ev, uint8_t a, uint8_t b) {
  return key_is_scan(ev, a) || key_is_scan(ev, b);
}

}  // namespace

int menu_bar_count(const MenuBar* menu) {
  if (!menu || !menu->bars || !menu->bars[0]) return 0;
  return dlg_count(menu->bars[0]) - 1;
}

void menu_layout(MenuBar* menu, int x, int y, int w, int h) {
  if (!menu || !menu->bars || !menu->bars[0]) return;
  ControlRecord* bar = menu->bars[0];
  if (w < 1 || w > kScreenColumns) w = kScreenColumns;
  if (h < 1 || h > kScreenRows) h = 1;
  x = std::clamp(x, 0, kScreenColumns - w);
  y = std::clamp(y, 0, kScreenRows - h);
  bar[0].x = x;
  bar[0].y = y;
  bar[0].width = w;
  bar[0].height = h;
  const int n = menu_bar_count(menu);
  int col = 1;
  for (int i = 1; i <= n; ++i) {
    bar[i].x = col;
    bar[i].y = 0;
    int tw, th;
    text_size(bar[i].data.text, &tw, &th);
    col += tw;
    ControlRecord* pd = menu->bars[i];
    if (!pd || pd[0].kind == kKindEnd) continue;
    pd[0].state |= kStateShadow;
    int rows = 0;
    for (int k = 1; pd[k].kind != kKindEnd; ++k) {
      pd[k].x = 1;
      pd[k].y = k;
      ++rows;
    }
    int first_w = 0, first_h = 0;
    if (rows > 0) {
      if (pd[1].kind == kKindText) text_size(pd[1].data.text, &first_w, &first_h);
      else first_w = pd[1].width;
    }
    pd[0].width = first_w + 2;
    pd[0].height = rows + 2;
    pd[0].x = std::max(0, std::min(x + bar[i].x, kScreenColumns - 2 - pd[0].width));
    pd[0].y = y + 1;
  }
}

void menu_draw(MenuBar* menu) {
  if (menu && menu->bars && menu->bars[0]) dlg_draw(menu->bars[0], 0);
}

int menu_session(MenuBar* m, const KeyEvent& first, int* bar, int* item, KeyEvent* leaving) {
  *leaving = KeyEvent{0, 0, 0};
  if (menu_bar_count(m) < 1) return 0;
  ControlRecord* b = m->bars[0];
  int cur;
  bool open = false;
  if (key_has_alt_only(first) && first.ch != 0) {
    cur = dlg_hot_control(b, first.ch);
    if (cur < 1) return 0;
    open = true;
  } else if (key_is_enter(first) || first.ch == '/' || key_is_scan(first, kScanF10)) {
    cur = dlg_can_focus(b, m->current) ? m->current : dlg_first(b, false);
    if (cur < 1) return 0;
  } else {
    return 0;
  }
  cur = dlg_set_focus(b, cur, true);
  ControlRecord* pd = open ? Open(m, cur) : nullptr;

  auto finish = [&](int chosen_bar, int chosen_item) {
    Close(&pd);
    dlg_set_state(b, cur, kStateFocus, false, true);
    m->current = cur;
    *bar = chosen_bar;
    *item = chosen_item;
    return 1;
  };
  auto switch_to = [&](int next) {
    if (next < 1) return;
    const bool had = pd != nullptr;
    Close(&pd);
    cur = dlg_set_focus(b, next, true);
    if (had) pd = Open(m, cur);
  };

  for (;;) {
    KeyEvent ev;
    read_key(&ev);
    if (key_is_ctrl_f4(ev)) {
      *leaving = ev;
      return finish(-1, -1);
    } else if (IsScan(ev, kScanHome, kScanPgUp)) {
      if (pd) dlg_first(pd, true);
      else switch_to(dlg_first(b, false));
    } else if (IsScan(ev, kScanEnd, kScanPgDn)) {
      if (pd) dlg_last(pd, true);
      else switch_to(dlg_last(b, false));
    } else if (key_is_scan(ev, kScanUp)) {
      if (pd) dlg_previous(pd, true);
    } else if (key_is_scan(ev, kScanDown)) {
      if (pd) dlg_next(pd, true);
      else pd = Open(m, cur);
    } else if (key_is_scan(ev, kScanLeft) || key_is_scan(ev, kScanRight)) {
      const bool had = pd != nullptr;
      Close(&pd);
      cur = key_is_scan(ev, kScanLeft) ? dlg_previous(b, true) : dlg_next(b, true);
      if (had) pd = Open(m, cur);
    } else if (key_is_enter(ev)) {
      if (!pd) pd = Open(m, cur);
      else if (dlg_focused(pd) >= 1) return finish(cur, dlg_focused(pd));
    } else if (key_is_esc(ev)) {
      if (pd) Close(&pd);
      else return finish(-1, -1);
    } else if (ev.ch != 0) {
      if (!pd) {
        int h = dlg_hot_control(b, ev.ch);
        if (h >= 1) {
          switch_to(h);
          if (!pd) pd = Open(m, cur);
        }
      } else {
        int h = key_has_alt_only(ev) ? dlg_hot_control(b, ev.ch) : -1;
        if (h >= 1) {
          switch_to(h);
        } else if ((h = dlg_hot_control(pd, ev.ch)) >= 1) {
          dlg_set_focus(pd, h, true);
          return finish(cur, h);
        }
      }
    }
  }
}

int menu_handle_key(MenuBar* menu, const KeyEvent& ev, int* bar, int* item) {
  KeyEvent leaving;
  return menu_session(menu, ev, bar, item, &leaving);
}

void menu_set_disabled(MenuBar* menu, int bar, int item, bool on) {
  if (bar >= 1 && bar <= menu_bar_count(menu) && menu->bars[bar])
    dlg_set_state(menu->bars[bar], item, kStateDisabled, on, false);
}

void menu_set_marked(MenuBar* menu, int bar, int item, bool on) {
  if (bar >= 1 && bar <= menu_bar_count(menu) && menu->bars[bar])
    dlg_set_state(menu->bars[bar], item, kStateChecked, on, false);
}
