// The viewer's dialogs over files and text: search, save and open.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/text.h"
#include "platform/cfile.h"
#include "platform/cfiletxt.h"
#include "platform/system.h"
#include "ui/dialog.h"
#include "ui/document/doc_viewer.h"
#include "ui/document/document.h"
#include "ui/feedback.h"
#include "ui/message_box.h"
#include "ui/pick_list.h"
#include "ui/screen.h"
#include "ui/screen_options.h"

namespace {

// What the dialogs remember for the run of the program.
struct VIEWER_MEMORY {
  char search_text[51] = "";
  bool match_case = false;
  bool whole_words = false;
  char open_name[81] = "";
  char open_code_page[16] = "Latin 2";
  char save_code_page[16] = "Latin 2";
  bool save_skip_boxes = false;
};
VIEWER_MEMORY g_mem;

// The dialogs' choice fields of code pages sit at record 4.
constexpr int kCodePageChoice = 4;

int CodePageCallback(ControlRecord* dlg, int code) {
  if (code == kCodePageChoice) choice_field_pick(dlg, code, CODE_PAGE_NAMES);
  return -1;
}

// The search dialog; the chosen start (0 first, 1 next, 2 previous, 3 last), or -1.
int AskSearch() {
  char text[51];
  std::snprintf(text, sizeof text, "%s", g_mem.search_text);
  FieldDescriptor field;
  make_descriptor(&field, 'C', 50, 0, text);
  ControlRecord dlg[10];
  dlg_frame(dlg, 0, 0, 0, 57, 9, "WYSZUKANIE TEKSTU");
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "&Tekst do wyszukania:");
  dlg_field(dlg, 2, 3, 2, 51, 1, &field);
  dlg_check(dlg, 3, 3, 4, "Uwzględniaj wielkość &liter "_pl, g_mem.match_case);
  dlg_check(dlg, 4, 3, 5, "Znajdź tylko całe &wyrazy   "_pl, g_mem.whole_words);
  dlg_button(dlg, 5, 7, 7, " &Pierwszy ");
  dlg_button(dlg, 6, 18, 7, " &Następny "_pl);
  dlg_button(dlg, 7, 29, 7, " Pop&rzedni ");
  dlg_button(dlg, 8, 41, 7, " &Ostatni ");
  dlg_end(dlg, 9);
  const int r = dlg_run(dlg, 2, nullptr);
  if (r < 5) return -1;
  std::snprintf(g_mem.search_text, sizeof g_mem.search_text, "%s", text);
  g_mem.match_case = dlg_checked(dlg, 3);
  g_mem.whole_words = dlg_checked(dlg, 4);
  return r - 5;
}

bool Matches(const char* line, const char* text) {
  return find_text(line, text, g_mem.match_case, g_mem.whole_words) >= 0;
}

// Copies the whole document, character for character, into an open text file.
int CopyDocument(CFILETXT* out, bool skip_boxes) {
  if (doc_seek_line(0) != 0) return -1;
  char piece[4096];
  for (;;) {
    const long n = doc_read_piece(piece, sizeof piece);
    if (n == kDocEnd) return 0;
    if (n < 0) return -1;
    if (skip_boxes) box_to_ascii(piece);
    if (out->WriteString(piece) < 0) return -1;
  }
}

// The old content of the target, byte for byte, in front of the new.
int CopyOldContent(const char* target, CFILE* out) {
  CFILE old;
  if (old.Open(target, kOpenExisting, kAccessRead, kShareReadWrite) != 0) return -1;
  char chunk[16384];
  for (;;) {
    const long n = old.Read(chunk, sizeof chunk);
    if (n < 0) return -1;
    if (n == 0) return 0;
    if (out->Write(chunk, static_cast<size_t>(n)) != n) return -1;
  }
}

}  // namespace

long doc_find(const char* text, bool match_case, bool whole_words, long from, int way) {
  const bool saved_case = g_mem.match_case, saved_words = g_mem.whole_words;
  g_mem.match_case = match_case;
  g_mem.whole_words = whole_words;
  long found = -1;
  char line[kDocLineMax + 1];
  const long lines = doc_lines();
  if (way > 0) {
    if (from < 0) from = 0;
    if (from < lines && doc_seek_line(from) != 0) found = -2;
    for (long i = from; found == -1 && i < lines; ++i) {
      const long n = doc_read_line(line, sizeof line);
      if (n == -1) found = -2;
      else if (n == kDocEnd) break;
      else if (Matches(line, text)) found = i;
    }
  } else {
    // Backwards in blocks read forwards: each block costs one seek.
    constexpr long kBlock = 64;
    std::vector<std::string> block;
    if (from >= lines) from = lines - 1;
    for (long end = from; found == -1 && end >= 0; end -= kBlock) {
      const long start = std::max(0L, end - kBlock + 1);
      block.clear();
      if (doc_seek_line(start) != 0) {
        found = -2;
        break;
      }
      for (long i = start; i <= end; ++i) {
        const long n = doc_read_line(line, sizeof line);
        if (n < 0) {
          found = n == kDocEnd ? found : -2;
          break;
        }
        block.emplace_back(line, static_cast<size_t>(n));
      }
      for (long k = static_cast<long>(block.size()) - 1; found == -1 && k >= 0; --k)
        if (Matches(block[static_cast<size_t>(k)].c_str(), text)) found = start + k;
      if (end - kBlock < 0) break;
    }
  }
  g_mem.match_case = saved_case;
  g_mem.whole_words = saved_words;
  return found;
}

int doc_search(TXTDOCWINDOW* w, int how) {
  int start;
  if (how == 0) {
    start = AskSearch();
    if (start < 0) return -1;
  } else {
    start = how == kDocSearchForward ? 1 : 2;
  }
  if (!g_mem.search_text[0]) {
    beep();
    return -1;
  }
  const long lines = doc_lines();
  const long from = start == 0 ? 0 : start == 1 ? w->top + 1 : start == 2 ? w->top - 1 : lines - 1;
  const int way = start <= 1 ? 1 : -1;
  long found = -1;
  if (from >= 0 && from < lines) {
    wait_window(0);
    found = doc_find(g_mem.search_text, g_mem.match_case, g_mem.whole_words, from, way);
    wait_window(2);
  }
  if (found >= 0) {
    doc_goto(w, found, 0);
    return 0;
  }
  if (found == -1) message("Tekst \"%.40s\" nieznaleziony."_pl, g_mem.search_text);
  return -1;
}

int doc_save(const char* target, int code_page, bool skip_boxes, bool append) {
  if (!doc_is_open() || !target || !*target) return -1;
  const std::string temp = TakeTemporaryName(target);
  if (temp.empty()) {
    message("Nie można utworzyć pliku tymczasowego\nw katalogu pliku %s."_pl, target);
    return -1;
  }
  std::vector<char> buffer(16 * 1024);
  CFILETXT out(buffer.data(), buffer.size());
  out.SetCodePage(code_page);
  int rc = out.Open(temp.c_str(), kOpenExisting, kAccessWrite, kShareNone);
  if (rc == 0 && append && CFILE::Exists(target)) rc = CopyOldContent(target, &out);
  if (rc == 0) rc = CopyDocument(&out, skip_boxes);
  if (rc == 0) rc = out.Flush();
  if (out.Close() != 0) rc = -1;
  if (rc == 0) rc = out.Rename(target, true);
  if (rc != 0) {
    CFILE::DeleteFile(temp.c_str());
    return -1;
  }
  // The rename itself must reach the disk before the save counts as done.
  SyncDirectoryOf(target);
  return 0;
}

int doc_save_dialog() {
  if (!doc_is_open()) return -1;
  char name[81] = "";
  FieldDescriptor fd_name, fd_code_page;
  make_descriptor(&fd_name, 'C', 80, 0, name);
  make_descriptor(&fd_code_page, 'C', 11, 0, g_mem.save_code_page);
  ControlRecord dlg[8];
  dlg_frame(dlg, 0, 0, 0, 58, 9, "ZAPIS DOKUMENTU");
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "Na&zwa pliku tekstowego, do którego zapisać dokument:"_pl);
  dlg_field(dlg, 2, 3, 2, 52, 1, &fd_name);
  dlg_label(dlg, 3, 4, 4, "&Polskie litery:");
  dlg_choice(dlg, kCodePageChoice, 20, 4, 11, 1, &fd_code_page);
  dlg_check(dlg, 5, 3, 5, "Pomiń znaki &tabelek    "_pl, g_mem.save_skip_boxes);
  dlg_button(dlg, 6, 27, 7, " &Ok ");
  dlg_end(dlg, 7);
  const int r = dlg_run(dlg, 2, CodePageCallback);
  g_mem.save_skip_boxes = dlg_checked(dlg, 5);
  if (r != 6 || !name[0]) return -1;
  bool append = false;
  if (CFILE::Exists(name)) {
    const int answer = message_box(
        1, "%s",
        "Plik o podanej nazwie już istnieje.\n          Czy można go?\t &Zastąpić \t &Dołączyć \t &Pozostawić "_pl);
    if (answer != 1 && answer != 2) return -1;
    append = answer == 2;
  }
  wait_window(0);
  const int rc = doc_save(name, table_value(CODE_PAGE_NAMES, g_mem.save_code_page),
                          g_mem.save_skip_boxes, append);
  wait_window(2);
  return rc;
}

int doc_open_dialog(TXTDOCWINDOW* w) {
  FieldDescriptor fd_name, fd_code_page;
  make_descriptor(&fd_name, 'C', 80, 0, g_mem.open_name);
  make_descriptor(&fd_code_page, 'C', 11, 0, g_mem.open_code_page);
  ControlRecord dlg[7];
  dlg_frame(dlg, 0, 0, 0, 58, 8, "OTWARCIE DOKUMENTU");
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "Na&zwa pliku tekstowego, z którego odczytać dokument:"_pl);
  dlg_field(dlg, 2, 3, 2, 52, 1, &fd_name);
  dlg_label(dlg, 3, 4, 4, "&Polskie litery:");
  dlg_choice(dlg, kCodePageChoice, 20, 4, 11, 1, &fd_code_page);
  dlg_button(dlg, 5, 27, 6, " &Ok ");
  dlg_end(dlg, 6);
  int rc = -1;
  // File names on this system are case-sensitive: the name is taken as typed.
  if (dlg_run(dlg, 2, CodePageCallback) == 5 && g_mem.open_name[0])
    rc = doc_open_file(g_mem.open_name, table_value(CODE_PAGE_NAMES, g_mem.open_code_page));
  if (rc == 0) {
    w->top = w->left = 0;
    txtdoc_refresh(w);
  }
  twindow_repaint(w);
  return rc;
}

void DocViewerReset() { g_mem = VIEWER_MEMORY{}; }
