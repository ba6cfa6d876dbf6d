// The document viewer: a full-screen TXTDOCWINDOW over the current document, with its menu
// (" &Plik ", " &Wyszukanie ", " Pomo&c "), scroll bars, the status line with the size of the
// document, text search, saving under a name, opening another file and printing.
//
//   doc_printf(...); doc_view();          // shows, then closes (deletes) the document
//
// The viewer paints only the rows it uncovers and reads only the lines it paints.
#pragma once

#include <cstddef>

#include "ui/twindow.h"

class TXTDOCWINDOW : public TWINDOW {
 public:
  void paint_client(int x, int y, int w, int h) override;
  int on_menu(int bar, int item) override;
  int on_key(const KeyEvent& ev) override;

  MenuBar menu_bar{};
  long top = 0;   // first line shown
  long left = 0;  // first column shown
  char status_text[100] = "";
  char title_text[80] = "";
};

// Sets up a viewer over the current document (which must be measured): the whole screen, the
// menu, title, status line and scroll bars, at line 0, column 0. twindow_run shows it.
void txtdoc_init(TXTDOCWINDOW* w);
// Renews the title, status text and scroll bars after the document changed; redraws when open.
void txtdoc_refresh(TXTDOCWINDOW* w);
// Moves to a line and column, clamped to the document, scrolling the client by the difference.
void doc_goto(TXTDOCWINDOW* w, long line, long column);

// Shows the current document and closes it afterwards; -1 when there is none to show.
int doc_view();

// The text search of the viewer. how: 0 asks with the dialog; kDocSearchForward and
// kDocSearchBackward repeat the last search from the line after / before the top line. 0 when a
// line was found (it becomes the top line), -1 otherwise.
inline constexpr int kDocSearchForward = 1;
inline constexpr int kDocSearchBackward = 2;
int doc_search(TXTDOCWINDOW* w, int how);
// The line where the search finds its text, starting at `from` and going forwards (way 1) or
// backwards (way -1); -1 when none does, -2 on a read error.
long doc_find(const char* text, bool match_case, bool whole_words, long from, int way);

// Saving the current document: the dialog "ZAPIS DOKUMENTU" and its question about an existing
// file; 0 when saved.
int doc_save_dialog();
// Writes the whole current document into `target` in `code_page`, box characters as ASCII when
// asked, appended to the old content or replacing it. The new content is built under a temporary
// name beside the target and renamed over it, so a failure leaves the old file as it was. 0 or -1.
int doc_save(const char* target, int code_page, bool skip_boxes, bool append);
// The dialog "OTWARCIE DOKUMENTU"; on success the viewer goes back to line 0, column 0.
int doc_open_dialog(TXTDOCWINDOW* w);

// Forgets the search text, the dialogs' remembered values (tests).
void DocViewerReset();

// The user manual "Tamsu.txt" beside the program (code page 852) in the viewer; -1 when it
// cannot be shown (the file error has been reported).
int show_manual();
