#include "uninstaller/winlib_x11.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/text.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

// The font families to try, best first: 13 pixels high, one cell per character.
const char* const kFonts[] = {
    "-misc-fixed-medium-r-semicondensed--13-*-*-*-*-*-iso10646-1",
    "-misc-fixed-medium-r-normal--13-*-*-*-*-*-iso10646-1",
    "-*-*-medium-r-*--13-*-*-*-*-*-iso10646-1",
    "-*-*-medium-r-*--13-*-*-*-*-*-iso8859-2",
    "fixed",
};

enum FontCoding { kFontUnicode, kFontLatin2, kFontAscii };

// Windows-1250 bytes that ISO 8859-2 keeps elsewhere (the other Polish letters share codes).
unsigned char ToLatin2(unsigned char c) {
  switch (c) {
    case 0xB9: return 0xB1;  // ą
    case 0x9C: return 0xB6;  // ś
    case 0x9F: return 0xBC;  // ź
    case 0xA5: return 0xA1;  // Ą
    case 0x8C: return 0xA6;  // Ś
    case 0x8F: return 0xAC;  // Ź
    default: return c;
  }
}

// The Polish letters without their marks, for a font that has nothing better.
unsigned char ToAscii(unsigned char c) {
  static const char kFrom[] =
      "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF";
  static const char kTo[] = "acelnoszzACELNOSZZ";
  const char* at = std::strchr(kFrom, static_cast<char>(c));
  if (c != 0 && at) return static_cast<unsigned char>(kTo[at - kFrom]);
  return c < 0x80 ? c : '?';
}

class X11_DISPLAY : public WL_DISPLAY {
 public:
  explicit X11_DISPLAY(Display* dpy) : dpy_(dpy), screen_(DefaultScreen(dpy)) {
    for (const char* name : kFonts)
      if ((font_ = XLoadQueryFont(dpy_, name)) != nullptr) break;
    if (font_) coding_ = Coding(font_);
    wm_protocols_ = XInternAtom(dpy_, "WM_PROTOCOLS", False);
    wm_delete_ = XInternAtom(dpy_, "WM_DELETE_WINDOW", False);
    // Held keys repeat as presses only: a button must not see releases in between.
    XkbSetDetectableAutoRepeat(dpy_, True, nullptr);
  }
  ~X11_DISPLAY() override {
    destroy();
    if (font_) XFreeFont(dpy_, font_);
    XCloseDisplay(dpy_);
  }
  bool usable() const { return font_ != nullptr; }

  void work_area(int* x, int* y, int* w, int* h) override {
    *x = 0, *y = 0;
    *w = DisplayWidth(dpy_, screen_), *h = DisplayHeight(dpy_, screen_);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    Atom area = XInternAtom(dpy_, "_NET_WORKAREA", True);
    if (area != None &&
        XGetWindowProperty(dpy_, RootWindow(dpy_, screen_), area, 0, 4, False, XA_CARDINAL, &type,
                           &format, &count, &after, &data) == Success &&
        data && format == 32 && count >= 4) {
      const long* v = reinterpret_cast<const long*>(data);
      *x = static_cast<int>(v[0]), *y = static_cast<int>(v[1]);
      *w = static_cast<int>(v[2]), *h = static_cast<int>(v[3]);
    }
    if (data) XFree(data);
  }

  int create(int x, int y, int w, int h, const char* title, const char* class_name,
             const uint32_t* icon) override {
    destroy();
    Window root = RootWindow(dpy_, screen_);
    win_ = XCreateSimpleWindow(dpy_, root, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h),
                               0, BlackPixel(dpy_, screen_), pixel(kColourButtonFace));
    if (!win_) return -1;
    gc_ = XCreateGC(dpy_, win_, 0, nullptr);
    XSetFont(dpy_, gc_, font_->fid);
    XSelectInput(dpy_, win_,
                 ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                     ButtonReleaseMask | StructureNotifyMask);

    // A fixed size at the position asked for.
    XSizeHints* size = XAllocSizeHints();
    size->flags = USPosition | PPosition | PSize | PMinSize | PMaxSize;
    size->x = x, size->y = y;
    size->width = size->min_width = size->max_width = w;
    size->height = size->min_height = size->max_height = h;
    XSetWMNormalHints(dpy_, win_, size);
    XFree(size);
    XWMHints* hints = XAllocWMHints();
    hints->flags = InputHint | StateHint;
    hints->input = True;
    hints->initial_state = NormalState;
    XSetWMHints(dpy_, win_, hints);
    XFree(hints);
    XClassHint* cls = XAllocClassHint();
    std::string res_name = "odvor", res_class = class_name;
    cls->res_name = res_name.data();
    cls->res_class = res_class.data();
    XSetClassHint(dpy_, win_, cls);
    XFree(cls);

    // The title in UTF-8, both as the old and the new property.
    std::string utf8 = Cp1250ToUtf8(title);
    char* list[1] = {utf8.data()};
    XTextProperty prop;
    if (Xutf8TextListToTextProperty(dpy_, list, 1, XUTF8StringStyle, &prop) == Success) {
      XSetWMName(dpy_, win_, &prop);
      XFree(prop.value);
    }
    Atom utf8_string = XInternAtom(dpy_, "UTF8_STRING", False);
    XChangeProperty(dpy_, win_, XInternAtom(dpy_, "_NET_WM_NAME", False), utf8_string, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(utf8.data()),
                    static_cast<int>(utf8.size()));
    Atom dialog = XInternAtom(dpy_, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(dpy_, win_, XInternAtom(dpy_, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&dialog), 1);
    if (icon) {
      // Format 32 properties travel as longs.
      std::vector<long> data = {48, 48};
      for (int i = 0; i < 48 * 48; ++i) data.push_back(static_cast<long>(icon[i]));
      XChangeProperty(dpy_, win_, XInternAtom(dpy_, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                      PropModeReplace, reinterpret_cast<unsigned char*>(data.data()),
                      static_cast<int>(data.size()));
    }
    XSetWMProtocols(dpy_, win_, &wm_delete_, 1);
    XMapRaised(dpy_, win_);
    XFlush(dpy_);
    return 0;
  }

  void destroy() override {
    if (!win_) return;
    XFreeGC(dpy_, gc_);
    XDestroyWindow(dpy_, win_);
    XFlush(dpy_);
    win_ = 0;
  }

  void fill(int x, int y, int w, int h, uint32_t rgb) override {
    if (w <= 0 || h <= 0) return;
    XSetForeground(dpy_, gc_, pixel(rgb));
    XFillRectangle(dpy_, win_, gc_, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
  }

  void line(int x1, int y1, int x2, int y2, uint32_t rgb) override {
    XSetForeground(dpy_, gc_, pixel(rgb));
    XDrawLine(dpy_, win_, gc_, x1, y1, x2, y2);
  }

  void text(int x, int y, const char* s, size_t n, uint32_t rgb) override {
    XSetForeground(dpy_, gc_, pixel(rgb));
    const int base = y + font_->ascent;
    if (coding_ == kFontUnicode) {
      std::vector<XChar2b> wide = Wide(s, n);
      XDrawString16(dpy_, win_, gc_, x, base, wide.data(), static_cast<int>(wide.size()));
    } else {
      std::string bytes = Narrow(s, n);
      XDrawString(dpy_, win_, gc_, x, base, bytes.data(), static_cast<int>(bytes.size()));
    }
  }

  int text_width(const char* s, size_t n) override {
    if (coding_ == kFontUnicode) {
      std::vector<XChar2b> wide = Wide(s, n);
      return XTextWidth16(font_, wide.data(), static_cast<int>(wide.size()));
    }
    std::string bytes = Narrow(s, n);
    return XTextWidth(font_, bytes.data(), static_cast<int>(bytes.size()));
  }

  int line_height() override { return font_->ascent + font_->descent; }

  void flush() override { XFlush(dpy_); }

  int next_event(WL_EVENT* ev) override {
    for (;;) {
      XEvent e;
      XNextEvent(dpy_, &e);
      *ev = WL_EVENT{};
      switch (e.type) {
        case Expose:
          if (e.xexpose.count != 0) continue;
          ev->type = kWlPaint;
          return 0;
        case MapNotify:
          // The dialog takes the keyboard when it appears, with or without a window manager.
          XSetInputFocus(dpy_, win_, RevertToParent, CurrentTime);
          continue;
        case KeyPress:
        case KeyRelease: {
          KeySym sym = NoSymbol;
          char buf[8];
          XLookupString(&e.xkey, buf, sizeof buf, &sym, nullptr);
          ev->type = e.type == KeyPress ? kWlKeyPress : kWlKeyRelease;
          ev->shift = (e.xkey.state & ShiftMask) != 0;
          ev->alt = (e.xkey.state & Mod1Mask) != 0;
          ev->key = KeyOf(sym, &ev->shift);
          if (sym >= XK_a && sym <= XK_z) ev->letter = static_cast<char>(sym);
          if (sym >= XK_A && sym <= XK_Z) ev->letter = static_cast<char>(sym - XK_A + 'a');
          return 0;
        }
        case ButtonPress:
        case ButtonRelease:
          if (e.xbutton.button != Button1) continue;
          ev->type = e.type == ButtonPress ? kWlButtonPress : kWlButtonRelease;
          ev->x = e.xbutton.x, ev->y = e.xbutton.y;
          return 0;
        case ClientMessage:
          if (e.xclient.message_type != wm_protocols_ ||
              static_cast<Atom>(e.xclient.data.l[0]) != wm_delete_)
            continue;
          ev->type = kWlClose;
          return 0;
        default: continue;
      }
    }
  }

 private:
  static int KeyOf(KeySym sym, bool* shift) {
    switch (sym) {
      case XK_ISO_Left_Tab: *shift = true; return kWlKeyTab;
      case XK_Tab: return kWlKeyTab;
      case XK_Return:
      case XK_KP_Enter: return kWlKeyEnter;
      case XK_Escape: return kWlKeyEsc;
      case XK_space: return kWlKeySpace;
      case XK_Left:
      case XK_KP_Left: return kWlKeyLeft;
      case XK_Right:
      case XK_KP_Right: return kWlKeyRight;
      case XK_Up:
      case XK_KP_Up: return kWlKeyUp;
      case XK_Down:
      case XK_KP_Down: return kWlKeyDown;
      case XK_Home:
      case XK_KP_Home: return kWlKeyHome;
      case XK_End:
      case XK_KP_End: return kWlKeyEnd;
      default: return kWlKeyOther;
    }
  }

  FontCoding Coding(XFontStruct* font) {
    auto property = [&](const char* name) {
      unsigned long value = 0;
      std::string text;
      if (XGetFontProperty(font, XInternAtom(dpy_, name, False), &value) && value) {
        char* s = XGetAtomName(dpy_, static_cast<Atom>(value));
        if (s) {
          text = s;
          XFree(s);
        }
      }
      return text;
    };
    const std::string registry = property("CHARSET_REGISTRY");
    const std::string encoding = property("CHARSET_ENCODING");
    if (registry == "ISO10646" || registry == "iso10646") return kFontUnicode;
    if ((registry == "ISO8859" || registry == "iso8859") && encoding == "2") return kFontLatin2;
    return kFontAscii;
  }

  std::vector<XChar2b> Wide(const char* s, size_t n) const {
    std::vector<XChar2b> out;
    for (size_t i = 0; i < n; ++i) {
      const auto c = static_cast<unsigned char>(s[i]);
      const unsigned cp = c < 0x80 ? c : text_detail::kCp1250High[c - 0x80];
      out.push_back(
          XChar2b{static_cast<unsigned char>(cp >> 8), static_cast<unsigned char>(cp & 0xFF)});
    }
    return out;
  }

  std::string Narrow(const char* s, size_t n) const {
    std::string out(s, n);
    for (char& c : out) {
      const auto b = static_cast<unsigned char>(c);
      c = static_cast<char>(coding_ == kFontLatin2 ? ToLatin2(b) : ToAscii(b));
    }
    return out;
  }

  unsigned long pixel(uint32_t rgb) {
    auto it = colours_.find(rgb);
    if (it != colours_.end()) return it->second;
    XColor c{};
    c.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 257);
    c.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257);
    c.blue = static_cast<unsigned short>((rgb & 0xFF) * 257);
    c.flags = DoRed | DoGreen | DoBlue;
    unsigned long p =
        XAllocColor(dpy_, DefaultColormap(dpy_, screen_), &c)
            ? c.pixel
            : (rgb > 0x7FFFFF ? WhitePixel(dpy_, screen_) : BlackPixel(dpy_, screen_));
    colours_[rgb] = p;
    return p;
  }

  Display* dpy_;
  int screen_;
  Window win_ = 0;
  GC gc_ = nullptr;
  XFontStruct* font_ = nullptr;
  FontCoding coding_ = kFontAscii;
  Atom wm_protocols_, wm_delete_;
  std::map<uint32_t, unsigned long> colours_;
};

}  // namespace

WL_DISPLAY* x11_display_open() {
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return nullptr;
  auto* d = new X11_DISPLAY(dpy);
  if (!d->usable()) {  // not even the "fixed" font: no way to write a word
    delete d;
    return nullptr;
  }
  return d;
}

void x11_display_close(WL_DISPLAY* display) { delete display; }
