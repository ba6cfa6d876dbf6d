// Record search: the view's search menu (F7), the text search "WYSZUKANIE TEKSTU" and its repeat
// keys (Shift+F7 forwards, Ctrl+F7 backwards). The text and the three options live for the whole
// run. A found record is current in the view's table with its related records re-read; when
// nothing is found the record current before stays current.
//
//   // main window:
//   if (key F7)        found = record_search(view) == 0;
//   if (key Shift+F7)  found = search_again(view, kSearchForward) == 0;
//   if (key Ctrl+F7)   found = search_again(view, kSearchBackward) == 0;
//   if (found) { /* show the current record */ }
#pragma once

inline constexpr int kSearchForward = 1;
inline constexpr int kSearchBackward = -1;

// Text search modes.
inline constexpr int kTextSearchAsk = 0;       // the dialog, whose buttons choose start and way
inline constexpr int kTextSearchNext = 2;      // from the next record forwards, last text
inline constexpr int kTextSearchPrevious = 3;  // from the previous record backwards, last text

// F7: the view's search menu (groups: the text search at once), then the chosen search. 0 when a
// record was found (it is current), -1 otherwise.
int record_search(int view);
// Shift+F7 (kSearchForward) and Ctrl+F7 (kSearchBackward) with the last text and options.
int search_again(int view, int direction);
// 0 when found, -1 otherwise ("Tekst "..." nieznaleziony." when the end was reached).
int text_search(int view, int mode);

// The search state, for the dialog and for tests.
struct SEARCH_STATE {
  char text[51];
  bool match_case;
  bool whole_words;
  bool skip_related;
  int menu_choice[4];  // per view, the last item of its search menu
};
SEARCH_STATE& search_state();
void ResetRecordSearch();

// Whether the current record of the view (with its related records loaded unless skipped)
// contains the text under the options.
bool record_matches(int view, const char* text, bool match_case, bool whole_words,
                    bool skip_related);
