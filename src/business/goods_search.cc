#include "business/goods_search.h"

#include <cstdio>
#include <cstring>

#include "business/form_edit.h"
#include "business/goods_form.h"
#include "business/goods_rules.h"
#include "business/record_form.h"
#include "common/codepage.h"
#include "common/text.h"
#include "db/schema.h"
#include "db/table.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/record_list.h"

namespace {

struct SEARCH_KIND {
  int dialog_width;
  const char* label;
  int field_x;
  int field_width;
  int index;
  const char* question;
};

const SEARCH_KIND kByNumber = {
    27, "Nr:", 7,
    16, 3,     "Brak towaru o podanym numerze.\n    Czy chcesz dodać nowy?\t &Tak \t &Nie "_pl};
const SEARCH_KIND kByBarcode = {
    34,
    "Kod kreskowy:",
    17,
    13,
    5,
    "Brak towaru o podanym kodzie kreskowym.\n        Czy chcesz dodać nowy?\t &Tak \t &Nie "_pl};

// Asks for the text; false on Esc or an empty text.
bool AskText(const SEARCH_KIND& k, char* text) {
  FieldDescriptor field;
  make_descriptor(&field, 'C', k.field_width, 0, text);
  ControlRecord d[4];
  dlg_frame(d, 0, 0, 0, k.dialog_width, 3, "WYSZUKANIE TOWARU");
  dlg_center(d);
  dlg_label(d, 1, 3, 1, k.label);
  dlg_field(d, 2, k.field_x, 1, k.field_width, 1, &field);
  // Enter in the only field ends the question.
  d[2].options |= kOptClosing;
  dlg_end(d, 3);
  if (dlg_run(d, 2, nullptr) < 0) return false;
  return text[0] != 0;
}

// The text in the goods field the search looks at.
const char* Field(const SEARCH_KIND& k) { return &k == &kByNumber ? Tow.NR : Tow.EAN; }

int Find(const SEARCH_KIND& k) {
  char text[32] = "";
  if (!AskText(k, text)) return -1;
  if (TableLock(kTableGoods, false) != 0) return -1;
  const long was = TableRecNo(kTableGoods);
  const int order = TableGetIndex(kTableGoods);
  // The index holds its keys in capitals.
  char key[32];
  std::snprintf(key, sizeof key, "%s", text);
  text_to_upper(key);
  int rc = TableSetIndex(kTableGoods, k.index);
  if (rc == 0) rc = TableSeek(kTableGoods, key);
  if (rc == 0 && std::strcmp(Field(k), text) != 0) rc = kTableEnd;
  if (rc != 0 && TableGo(kTableGoods, was) != 0) rc = -1;
  if (TableSetIndex(kTableGoods, order) != 0) rc = -1;
  TableUnlock(kTableGoods);
  if (rc == 0) return 0;
  if (rc < 0) return -1;  // reported; no offer of a new goods for a search that failed
  if (message_box(1, "%s", k.question) != 1) return -1;
  TOW_RECORD fresh = NewGoodsRecord();
  form_copy_text(&k == &kByNumber ? fresh.NR : fresh.EAN, sizeof fresh.NR, text);
  return goods_form_edit(fresh, form_edit_in_place(kViewGoods));
}

}  // namespace

int FindGoodsByNumber() { return Find(kByNumber); }
int FindGoodsByBarcode() { return Find(kByBarcode); }
