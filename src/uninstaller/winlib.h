// The uninstaller's small window library: one captioned dialog window with owner-drawn
// controls. Everything it draws and every event it gets passes through WL_DISPLAY, so the
// dialog logic runs in tests on a recorded display; the X11 display is in winlib_x11.h.
//
// Controls are windows inside the dialog (relative positions, painted in the dialog's drawable);
// keys go to the focused control first, and what it does not take the dialog uses to move the
// focus: Tab and Enter to the next control (Shift+Tab back), Left and Up to the previous, Right
// and Down to the next, Home to the first, End to the last; Esc and the window's close button
// end the dialog with 0; Alt and a hot letter activate that control. Commands travel up the
// parent chain:
//
//   class MY_VIEW : public VIEW {
//     PUSHBUTTON ok{this, 10, 10, 80, 25, "&Ok", 1};
//     void command(WINDOW* from, int id, int value) override { dialog()->end(id); }
//   };
//   MSDIALOG dlg(display, -1, -1, 200, 100, "Title");  // -1, -1: centred on the work area
//   MY_VIEW view(&dlg, ...);  int result = dlg.run();
//
// Texts are in the data code page (Windows-1250); "&" marks the hot letter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Colours as 0xRRGGBB; the classic system colours of dialogs.
inline constexpr uint32_t kColourButtonFace = 0xD4D0C8;
inline constexpr uint32_t kColourHighlight = 0xFFFFFF;
inline constexpr uint32_t kColourShadow = 0x808080;
inline constexpr uint32_t kColourDarkShadow = 0x404040;
inline constexpr uint32_t kColourText = 0x000000;
inline constexpr uint32_t kColourWindow = 0xFFFFFF;

enum WlEventType {
  kWlPaint = 1,
  kWlKeyPress,
  kWlKeyRelease,
  kWlButtonPress,
  kWlButtonRelease,
  kWlClose
};
enum WlKey {
  kWlKeyOther = 0,
  kWlKeyTab,
  kWlKeyEnter,
  kWlKeyEsc,
  kWlKeySpace,
  kWlKeyLeft,
  kWlKeyRight,
  kWlKeyUp,
  kWlKeyDown,
  kWlKeyHome,
  kWlKeyEnd
};

struct WL_EVENT {
  int type = 0;
  int key = kWlKeyOther;
  char letter = 0;  // the key's letter in lower case, for hot letters
  bool shift = false, alt = false;
  int x = 0, y = 0;  // the pointer, relative to the dialog
};

// What the library needs of a display. One top-level window at a time.
class WL_DISPLAY {
 public:
  virtual ~WL_DISPLAY() = default;
  // The part of the screen free for windows (without panels).
  virtual void work_area(int* x, int* y, int* w, int* h) = 0;
  // Creates and shows the window; the title is in the data code page, class_name names the kind
  // of window to the window manager; icon: 48 x 48 pixels 0xAARRGGBB, or null. 0 or -1.
  virtual int create(int x, int y, int w, int h, const char* title, const char* class_name,
                     const uint32_t* icon) = 0;
  virtual void destroy() = 0;
  virtual void fill(int x, int y, int w, int h, uint32_t rgb) = 0;
  virtual void line(int x1, int y1, int x2, int y2, uint32_t rgb) = 0;
  // Text in the data code page, its cell's top at y.
  virtual void text(int x, int y, const char* s, size_t n, uint32_t rgb) = 0;
  virtual int text_width(const char* s, size_t n) = 0;
  virtual int line_height() = 0;
  virtual void flush() = 0;
  // Waits for the next event; 0, or -1 when the display is gone.
  virtual int next_event(WL_EVENT* ev) = 0;
};

class MSDIALOG;

class WINDOW {
 public:
  WINDOW(WINDOW* parent, int x, int y, int w, int h);
  virtual ~WINDOW();
  WINDOW(const WINDOW&) = delete;
  WINDOW& operator=(const WINDOW&) = delete;

  // The virtual operations events are dispatched to.
  virtual void paint() {}
  virtual bool key_down(const WL_EVENT&) { return false; }  // true when taken
  virtual bool key_up(const WL_EVENT&) { return false; }
  virtual void button_down(int, int) {}  // relative to the window
  virtual void button_up(int, int) {}
  virtual void focus_gained() { invalidate(); }
  virtual void focus_lost() { invalidate(); }
  // A command from a control; the default passes it to the parent.
  virtual void command(WINDOW* from, int id, int value);

  virtual bool focusable() const { return false; }
  virtual char hot_letter() const { return 0; }
  // What a hot letter does (a button presses itself).
  virtual void activate() {}

  void show(bool on);
  bool visible() const;  // shown, and every parent too
  bool has_focus() const;
  void focus();
  void invalidate();
  int abs_x() const;
  int abs_y() const;
  bool contains(int ax, int ay) const;  // absolute dialog coordinates
  MSDIALOG* dialog();
  WL_DISPLAY* display();
  const char* class_name() const { return class_name_; }

  WINDOW* parent;
  std::vector<WINDOW*> children;
  int x, y, w, h;

 protected:
  const char* class_name_ = "WINLIB";
  bool shown_ = true;
};

// The client area: the button-face background, and the controls.
class VIEW : public WINDOW {
 public:
  using WINDOW::WINDOW;
  void paint() override;
};

// A top-level captioned window running its own modal loop. x, y of -1 centre it on the work
// area (never at a negative position). The owner, when given, is disabled while it runs.
class MSDIALOG : public WINDOW {
 public:
  MSDIALOG(WL_DISPLAY* display, int x, int y, int w, int h, const char* title,
           const uint32_t* icon = nullptr, MSDIALOG* owner = nullptr);
  // Shows the window and dispatches events until end(); the code given to end, or -1 when the
  // window could not be made or the display went away.
  int run();
  void end(int code);

  // Focus among the visible focusable controls, in the order they were made.
  void set_focus(WINDOW* w);
  WINDOW* focused() const { return focus_; }
  void move_focus(int step);  // +1 next, -1 previous (wrapping)
  void focus_end(bool last);
  // The control that gets the mouse until the button is released.
  void capture(WINDOW* w) { capture_ = w; }
  void invalidate_all() { dirty_ = true; }
  bool enabled() const { return enabled_; }
  WL_DISPLAY* screen() const { return display_; }

 private:
  void dispatch(const WL_EVENT& ev);
  void paint_tree(WINDOW* w);
  void collect_focusable(WINDOW* w, std::vector<WINDOW*>* out);
  WINDOW* hot_control(WINDOW* w, char letter);

  WL_DISPLAY* display_;
  const char* title_;
  const uint32_t* icon_;
  MSDIALOG* owner_;
  WINDOW* focus_ = nullptr;
  WINDOW* capture_ = nullptr;
  WINDOW* key_target_ = nullptr;  // the control that took the last key down
  bool dirty_ = true;
  bool enabled_ = true;
  bool running_ = false;
  int result_ = -1;
};

// Owner-drawn and focusable: pressed by Enter or Space (activates when the key is released over
// it) or by the mouse (activates when the button is released inside it).
class BUTTONBASE : public WINDOW {
 public:
  BUTTONBASE(WINDOW* parent, int x, int y, int w, int h, const char* text, int id);
  bool key_down(const WL_EVENT& ev) override;
  bool key_up(const WL_EVENT& ev) override;
  void button_down(int x, int y) override;
  void button_up(int x, int y) override;
  void focus_lost() override;
  bool focusable() const override { return visible(); }
  char hot_letter() const override;

  const char* text;
  int id;

 protected:
  bool pressed_ = false;
};

class PUSHBUTTON : public BUTTONBASE {
 public:
  using BUTTONBASE::BUTTONBASE;
  void paint() override;
  void activate() override;  // sends command(id, 0)
};

// Toggles, then sends command(id, new state).
class CHECKBOX : public BUTTONBASE {
 public:
  using BUTTONBASE::BUTTONBASE;
  void paint() override;
  void activate() override;
  bool checked = false;
};

// Text wrapped at blanks to the window's width.
class STATICTEXT : public WINDOW {
 public:
  STATICTEXT(WINDOW* parent, int x, int y, int w, int h, const char* text);
  void paint() override;
  void set_text(const char* t);
  std::string text;
};

// A 48 x 48 picture of pixels 0xAARRGGBB (alpha 0 shows the background).
class STATICICON : public WINDOW {
 public:
  STATICICON(WINDOW* parent, int x, int y, const uint32_t* pixels);
  void paint() override;
  const uint32_t* pixels;
};

// Draws a label with its hot letter underlined; the width it took.
int draw_label(WL_DISPLAY* d, int x, int y, const char* label, uint32_t rgb);
int label_width(WL_DISPLAY* d, const char* label);
// The lines of a text wrapped at blanks to a width (a word too long stays whole on its line).
std::vector<std::string> wrap_text(WL_DISPLAY* d, const std::string& text, int width);
