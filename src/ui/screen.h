// The character screen: 80 columns by 25 rows of cells, every output operation on them, the
// caret, the screen code page, and key input. Coordinates are (column, row) from the top left;
// rectangles are (x, y, width, height) in cells. Every write changes the buffer and paints the
// changed cells, in runs of equal attribute, through the console backend (platform/console.h);
// the terminal sends what changed once per turn of the key loop (read_key, key_waiting) or on
// screen_flush. Writes are clipped to the screen; a rectangle narrower or lower than one cell is
// ignored. While the screen is closed the operations do nothing and read_key returns an
// all-zero event.
//
// Texts are in the data code page (10, Windows-1250) and are converted to the screen code page
// on the way out; read_key converts the other way. Fills and double frames are screen bytes as
// given; single frames take the box characters of the screen code page.
#pragma once

#include <cstdint>
#include <string>

#include "common/cell.h"

class CONSOLE;

inline constexpr int kScreenColumns = 80;
inline constexpr int kScreenRows = 25;

// Opens on the console kind chosen with console_select (the terminal unless a test chose the
// headless one). Hides the caret, clears the screen, sets the colour mode "Auto"; 0 or -1.
int screen_open();
// Names the configuration file and section of the window geometry ("Console"): the cell size
// request is read from "CharWidth" and "CharHeight" at opening, and the geometry keys are written
// back at closing. Without it (tests) nothing is read or written.
void screen_set_config(const std::string& path, const char* section);
// The same on a given console, which the screen then owns.
int screen_open_on(CONSOLE* console);
void screen_close();
bool screen_is_open();
CONSOLE* screen_console();
// Closes the screen if open and puts every screen global (save-under stack, colour mode, screen
// code page, caret, cell size) back to its start value.
void ScreenReset();

int screen_columns();
int screen_rows();

void write_cells(int x, int y, int w, int h, const ScreenCell* cells);
// Cells outside the screen are left as they are in the destination.
void read_cells(int x, int y, int w, int h, ScreenCell* cells);
// Character 0 stands for the space.
void fill_cells(int x, int y, int w, int h, uint8_t ch, uint8_t attr);
void recolour_cells(int x, int y, int w, int h, uint8_t attr);
// Overlapping source and destination are allowed (scrolling).
void move_cells(int x, int y, int w, int h, int to_x, int to_y);
// At most 255 characters.
void write_text(int x, int y, const char* text, uint8_t attr);
// Exactly width cells (at most 256) from character number offset of the text, padded with
// spaces; an offset past the end shows only spaces.
void write_field_text(int x, int y, int width, const char* text, int offset, uint8_t attr);
void write_char(int x, int y, uint8_t ch, uint8_t attr);
// Style 0 blank, 1 single, 2 double (any other counts as 1). The interior is left alone.
void draw_frame(int x, int y, int w, int h, int style, uint8_t attr);
// The row below the rectangle (shifted one column right) and the column at its right (from the
// second row) turn light grey on black; their characters stay.
void draw_shadow(int x, int y, int w, int h);
// Spaces in 0x07 everywhere; the caret to (0,0).
void clear_screen();
// Sends what was painted to the device now.
void screen_flush();

// The caret's visibility is counted: it shows while the counter is at least 1. The counter is
// 0 after screen_open.
void set_cursor(int col, int row);
void show_cursor();
void hide_cursor();
int cursor_column();
int cursor_row();
int cursor_count();

// Waits for the next key; its character converted to the data code page. Alt+Enter is taken
// by the screen (it toggles the maximised window) and never returned.
void read_key(KeyEvent* ev);
// Work done while the program waits for the user: read_key calls it before it waits for a key
// that is not there yet (the program writes what its tables kept back). Null: none.
void set_idle_work(void (*work)());
// True when a key is pending; never blocks.
bool key_waiting();
// The key queue of other threads (the barcode scanner's watcher types into it). Callable from
// any thread while the screen is open; read_key takes what was posted, in order, before it
// looks at the keyboard. A key is posted as read_key gives it: the character in the data code
// page. 0 when queued, -1 when the queue holds kPostedKeyCapacity entries already (the poster
// tries again later; nothing is dropped) or no screen is open. Closing the screen empties it.
inline constexpr int kPostedKeyCapacity = 4096;
int post_key(const KeyEvent& ev);
// Queues a call that read_key makes on its own thread when it reaches it (before the keys
// posted after it): how another thread gets a message shown. 0 or -1 as for post_key.
int post_ui_call(void (*call)());
// Keys and calls posted and not yet taken.
int posted_key_count();
void beep();

// Applies the font choice of ui/font.h; the current cell size in pixels.
void set_cell_size(int width, int height);
int cell_width();
int cell_height();
const char* cell_font_face();

// Outside 0..10 the current one stays.
void set_screen_code_page(int n);
int screen_code_page();
