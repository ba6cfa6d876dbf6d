#include "uninstaller/winlib.h"

#include <algorithm>
#include <cctype>

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Top and left edges in one colour, bottom and right in the other.
void Bevel(WL_DISPLAY* d, int x, int y, int w, int h, uint32_t top_left, uint32_t bottom_right) {
  d->line(x, y, x + w - 2, y, top_left);
  d->line(x, y, x, y + h - 2, top_left);
  d->line(x, y + h - 1, x + w - 1, y + h - 1, bottom_right);
  d->line(x + w - 1, y, x + w - 1, y + h - 1, bottom_right);
}

void Frame(WL_DISPLAY* d, int x, int y, int w, int h, uint32_t rgb) {
  Bevel(d, x, y, w, h, rgb, rgb);
}

// The focus mark: a dotted rectangle.
void DottedRect(WL_DISPLAY* d, int x, int y, int w, int h) {
  for (int i = 0; i < w; i += 2) {
    d->fill(x + i, y, 1, 1, kColourText);
    d->fill(x + i, y + h - 1, 1, 1, kColourText);
  }
  for (int i = 0; i < h; i += 2) {
    d->fill(x, y + i, 1, 1, kColourText);
    d->fill(x + w - 1, y + i, 1, 1, kColourText);
  }
}

// The label without its "&" marks ("&&" is one "&"), and the index of the hot letter or -1.
std::string StripHot(const char* label, int* hot) {
  std::string out;
  *hot = -1;
  for (const char* p = label; *p; ++p) {
    if (*p == '&' && p[1]) {
      ++p;
      if (*p != '&' && *hot < 0) *hot = static_cast<int>(out.size());
    }
    out += *p;
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// WINDOW

WINDOW::WINDOW(WINDOW* parent_window, int x_, int y_, int w_, int h_)
    : parent(parent_window), x(x_), y(y_), w(w_), h(h_) {
  if (parent) parent->children.push_back(this);
}

WINDOW::~WINDOW() {
  if (parent) {
    auto& c = parent->children;
    c.erase(std::remove(c.begin(), c.end(), this), c.end());
    MSDIALOG* d = dialog();
    if (d && d->focused() == this) d->set_focus(nullptr);
    if (d) d->capture(nullptr);
  }
}

void WINDOW::command(WINDOW* from, int id, int value) {
  if (parent) parent->command(from, id, value);
}

void WINDOW::show(bool on) {
  if (shown_ == on) return;
  shown_ = on;
  invalidate();
  MSDIALOG* d = dialog();
  if (!on && d && d->focused() == this) d->move_focus(+1);
  if (!on && d && d->focused() == this) d->set_focus(nullptr);
}

bool WINDOW::visible() const { return shown_ && (!parent || parent->visible()); }

bool WINDOW::has_focus() const {
  const WINDOW* top = this;
  while (top->parent) top = top->parent;
  return static_cast<const MSDIALOG*>(top)->focused() == this;
}

void WINDOW::focus() {
  if (MSDIALOG* d = dialog()) d->set_focus(this);
}

void WINDOW::invalidate() {
  if (MSDIALOG* d = dialog()) d->invalidate_all();
}

int WINDOW::abs_x() const { return parent ? parent->abs_x() + x : 0; }
int WINDOW::abs_y() const { return parent ? parent->abs_y() + y : 0; }

bool WINDOW::contains(int ax, int ay) const {
  return ax >= abs_x() && ay >= abs_y() && ax < abs_x() + w && ay < abs_y() + h;
}

MSDIALOG* WINDOW::dialog() {
  WINDOW* top = this;
  while (top->parent) top = top->parent;
  return static_cast<MSDIALOG*>(top);
}

WL_DISPLAY* WINDOW::display() { return dialog()->screen(); }

void VIEW::paint() { display()->fill(abs_x(), abs_y(), w, h, kColourButtonFace); }

// ---------------------------------------------------------------------------------------------
// MSDIALOG

MSDIALOG::MSDIALOG(WL_DISPLAY* display, int x_, int y_, int w_, int h_, const char* title,
                   const uint32_t* icon, MSDIALOG* owner)
    : WINDOW(nullptr, x_, y_, w_, h_),
      display_(display),
      title_(title),
      icon_(icon),
      owner_(owner) {
  class_name_ = "MSDIALOG";
}

int MSDIALOG::run() {
  if (x < 0 || y < 0) {
    int ax = 0, ay = 0, aw = 0, ah = 0;
    display_->work_area(&ax, &ay, &aw, &ah);
    x = std::max(0, ax + (aw - w) / 2);
    y = std::max(0, ay + (ah - h) / 2);
  }
  if (display_->create(x, y, w, h, title_, class_name_, icon_) != 0) return -1;
  if (owner_) owner_->enabled_ = false;
  if (!focus_) move_focus(+1);
  running_ = true;
  result_ = -1;
  dirty_ = true;
  while (running_) {
    if (dirty_) {
      dirty_ = false;
      paint_tree(this);
      display_->flush();
    }
    WL_EVENT ev;
    if (display_->next_event(&ev) != 0) {
      result_ = -1;
      break;
    }
    dispatch(ev);
  }
  running_ = false;
  if (owner_) owner_->enabled_ = true;
  display_->destroy();
  return result_;
}

void MSDIALOG::end(int code) {
  result_ = code;
  running_ = false;
}

void MSDIALOG::set_focus(WINDOW* w) {
  if (w == focus_) return;
  WINDOW* old = focus_;
  focus_ = w;
  if (old) old->focus_lost();
  if (w) w->focus_gained();
}

void MSDIALOG::collect_focusable(WINDOW* w, std::vector<WINDOW*>* out) {
  for (WINDOW* c : w->children) {
    if (!c->visible()) continue;
    if (c->focusable()) out->push_back(c);
    collect_focusable(c, out);
  }
}

void MSDIALOG::move_focus(int step) {
  std::vector<WINDOW*> list;
  collect_focusable(this, &list);
  if (list.empty()) return;
  const int n = static_cast<int>(list.size());
  auto at = std::find(list.begin(), list.end(), focus_);
  int i;
  if (at == list.end()) i = step > 0 ? 0 : n - 1;
  else i = ((static_cast<int>(at - list.begin()) + step) % n + n) % n;
  set_focus(list[static_cast<size_t>(i)]);
}

void MSDIALOG::focus_end(bool last) {
  std::vector<WINDOW*> list;
  collect_focusable(this, &list);
  if (!list.empty()) set_focus(last ? list.back() : list.front());
}

WINDOW* MSDIALOG::hot_control(WINDOW* w, char letter) {
  for (WINDOW* c : w->children) {
    if (!c->visible()) continue;
    if (c->focusable() && c->hot_letter() == letter) return c;
    if (WINDOW* found = hot_control(c, letter)) return found;
  }
  return nullptr;
}

void MSDIALOG::paint_tree(WINDOW* w) {
  if (!w->visible()) return;
  w->paint();
  for (WINDOW* c : w->children) paint_tree(c);
}

namespace {
// The innermost visible window at a point of the dialog.
WINDOW* Hit(WINDOW* w, int ax, int ay) {
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
    if ((*it)->visible() && (*it)->contains(ax, ay)) return Hit(*it, ax, ay);
  return w;
}
}  // namespace

void MSDIALOG::dispatch(const WL_EVENT& ev) {
  if (ev.type == kWlPaint) {
    dirty_ = true;
    return;
  }
  if (!enabled_) return;
  switch (ev.type) {
    case kWlClose: end(0); break;
    case kWlKeyPress:
      if (focus_ && focus_->key_down(ev)) {
        key_target_ = focus_;
        break;
      }
      key_target_ = nullptr;
      if (ev.alt) {
        if (WINDOW* hot = ev.letter ? hot_control(this, Lower(ev.letter)) : nullptr) {
          set_focus(hot);
          hot->activate();
        }
        break;
      }
      switch (ev.key) {
        case kWlKeyTab: move_focus(ev.shift ? -1 : +1); break;
        case kWlKeyEnter:
        case kWlKeyRight:
        case kWlKeyDown: move_focus(+1); break;
        case kWlKeyLeft:
        case kWlKeyUp: move_focus(-1); break;
        case kWlKeyHome: focus_end(false); break;
        case kWlKeyEnd: focus_end(true); break;
        case kWlKeyEsc: end(0); break;
        default: break;
      }
      break;
    case kWlKeyRelease:
      // The control that took the key down hears it go up, even if the focus moved meanwhile.
      if (key_target_) {
        WINDOW* t = key_target_;
        key_target_ = nullptr;
        t->key_up(ev);
      }
      break;
    case kWlButtonPress: {
      WINDOW* t = Hit(this, ev.x, ev.y);
      if (t == this) break;
      if (t->focusable()) set_focus(t);
      capture_ = t;
      t->button_down(ev.x - t->abs_x(), ev.y - t->abs_y());
      break;
    }
    case kWlButtonRelease: {
      WINDOW* t = capture_;
      capture_ = nullptr;
      if (t) t->button_up(ev.x - t->abs_x(), ev.y - t->abs_y());
      break;
    }
    default: break;
  }
}

// ---------------------------------------------------------------------------------------------
// Controls

BUTTONBASE::BUTTONBASE(WINDOW* parent_window, int x_, int y_, int w_, int h_, const char* label,
                       int command_id)
    : WINDOW(parent_window, x_, y_, w_, h_), text(label), id(command_id) {}

bool BUTTONBASE::key_down(const WL_EVENT& ev) {
  if (ev.alt || (ev.key != kWlKeyEnter && ev.key != kWlKeySpace)) return false;
  pressed_ = true;
  invalidate();
  return true;
}

bool BUTTONBASE::key_up(const WL_EVENT& ev) {
  if (!pressed_ || (ev.key != kWlKeyEnter && ev.key != kWlKeySpace)) return false;
  pressed_ = false;
  invalidate();
  if (has_focus()) activate();
  return true;
}

void BUTTONBASE::button_down(int, int) {
  pressed_ = true;
  invalidate();
}

void BUTTONBASE::button_up(int px, int py) {
  const bool was = pressed_;
  pressed_ = false;
  invalidate();
  if (was && px >= 0 && py >= 0 && px < w && py < h) activate();
}

void BUTTONBASE::focus_lost() {
  pressed_ = false;
  WINDOW::focus_lost();
}

char BUTTONBASE::hot_letter() const {
  int hot;
  std::string plain = StripHot(text, &hot);
  return hot < 0 ? 0 : Lower(plain[static_cast<size_t>(hot)]);
}

void PUSHBUTTON::paint() {
  WL_DISPLAY* d = display();
  const int ax = abs_x(), ay = abs_y();
  d->fill(ax, ay, w, h, kColourButtonFace);
  int shift = 0;
  if (pressed_) {
    Frame(d, ax, ay, w, h, kColourText);
    Frame(d, ax + 1, ay + 1, w - 2, h - 2, kColourShadow);
    shift = 1;
  } else {
    int bx = ax, by = ay, bw = w, bh = h;
    if (has_focus()) {  // the default button's black rim
      Frame(d, ax, ay, w, h, kColourText);
      ++bx, ++by, bw -= 2, bh -= 2;
    }
    Bevel(d, bx, by, bw, bh, kColourHighlight, kColourDarkShadow);
    Bevel(d, bx + 1, by + 1, bw - 2, bh - 2, kColourButtonFace, kColourShadow);
  }
  const int lw = label_width(d, text);
  const int lh = d->line_height();
  draw_label(d, ax + (w - lw) / 2 + shift, ay + (h - lh) / 2 + shift, text, kColourText);
  if (has_focus()) DottedRect(d, ax + 4, ay + 4, w - 8, h - 8);
}

void PUSHBUTTON::activate() { command(this, id, 0); }

void CHECKBOX::paint() {
  WL_DISPLAY* d = display();
  const int ax = abs_x(), ay = abs_y();
  const int box = 13, bx = ax, by = ay + (h - box) / 2;
  d->fill(ax, ay, w, h, kColourButtonFace);
  d->fill(bx, by, box, box, pressed_ ? kColourButtonFace : kColourWindow);
  Bevel(d, bx, by, box, box, kColourShadow, kColourHighlight);
  Bevel(d, bx + 1, by + 1, box - 2, box - 2, kColourDarkShadow, kColourButtonFace);
  if (checked) {
    // A tick three pixels thick: down to the right, then up to the right.
    for (int t = 0; t < 3; ++t) {
      d->line(bx + 3, by + 5 + t, bx + 5, by + 7 + t, kColourText);
      d->line(bx + 5, by + 7 + t, bx + 9, by + 3 + t, kColourText);
    }
  }
  const int lx = bx + box + 5, lh = d->line_height();
  const int lw = draw_label(d, lx, ay + (h - lh) / 2, text, kColourText);
  if (has_focus()) DottedRect(d, lx - 2, ay + (h - lh) / 2 - 1, lw + 4, lh + 2);
}

void CHECKBOX::activate() {
  checked = !checked;
  invalidate();
  command(this, id, checked ? 1 : 0);
}

STATICTEXT::STATICTEXT(WINDOW* parent_window, int x_, int y_, int w_, int h_, const char* t)
    : WINDOW(parent_window, x_, y_, w_, h_), text(t) {}

void STATICTEXT::set_text(const char* t) {
  text = t;
  invalidate();
}

void STATICTEXT::paint() {
  WL_DISPLAY* d = display();
  const int ax = abs_x(), ay = abs_y(), lh = d->line_height();
  d->fill(ax, ay, w, h, kColourButtonFace);
  int row = 0;
  for (const std::string& line : wrap_text(d, text, w)) {
    if (row > 0 && (row + 1) * lh > h) break;  // the lines that fit, at least the first
    d->text(ax, ay + row * lh, line.data(), line.size(), kColourText);
    ++row;
  }
}

STATICICON::STATICICON(WINDOW* parent_window, int x_, int y_, const uint32_t* icon)
    : WINDOW(parent_window, x_, y_, 48, 48), pixels(icon) {}

void STATICICON::paint() {
  WL_DISPLAY* d = display();
  const int ax = abs_x(), ay = abs_y();
  // Runs of one colour per row; transparent pixels leave the background.
  for (int row = 0; row < 48; ++row) {
    int col = 0;
    while (col < 48) {
      const uint32_t p = pixels[row * 48 + col];
      int end = col + 1;
      while (end < 48 && pixels[row * 48 + end] == p) ++end;
      if (p >> 24) d->fill(ax + col, ay + row, end - col, 1, p & 0xFFFFFF);
      col = end;
    }
  }
}

int label_width(WL_DISPLAY* d, const char* label) {
  int hot;
  std::string plain = StripHot(label, &hot);
  return d->text_width(plain.data(), plain.size());
}

int draw_label(WL_DISPLAY* d, int x, int y, const char* label, uint32_t rgb) {
  int hot;
  std::string plain = StripHot(label, &hot);
  d->text(x, y, plain.data(), plain.size(), rgb);
  if (hot >= 0) {
    const int ux = x + d->text_width(plain.data(), static_cast<size_t>(hot));
    const int uw = d->text_width(plain.data() + hot, 1);
    const int uy = y + d->line_height() - 1;
    d->line(ux, uy, ux + uw - 1, uy, rgb);
  }
  return d->text_width(plain.data(), plain.size());
}

std::vector<std::string> wrap_text(WL_DISPLAY* d, const std::string& text, int width) {
  std::vector<std::string> lines;
  std::string line;
  bool any = false;
  size_t i = 0;
  while (i <= text.size()) {
    if (i == text.size() || text[i] == '\n') {
      lines.push_back(line);
      line.clear();
      any = false;
      ++i;
      continue;
    }
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    size_t end = text.find_first_of(" \n", i);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(i, end - i);
    const std::string joined = any ? line + " " + word : word;
    if (any && d->text_width(joined.data(), joined.size()) > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = joined;
    }
    any = true;
    i = end;
  }
  return lines;
}
