#include "business/form_edit.h"

#include <cstring>

#include "db/index_page.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "ui/message_box.h"
#include "ui/record_list.h"
#include "ui/saveunder.h"

namespace {

void BuildKey(int table, int index, const void* record, char* out) {
  const TABLEDEF* def = TableDefinition(table);
  out[0] = 0;
  if (!def || index < 0 || index >= def->index_count) return;
  def->key_builders[index](record, out);
  out[kMaxKeyLength] = 0;
}

}  // namespace

bool form_edit_in_place(int view) { return save_under_used() == 0 && current_view() == view; }

int form_edit_run(ControlRecord* form, bool in_place, DialogCallback callback) {
  int result = -1;
  if (in_place) {
    dlg_draw(form, 0);
    result = dlg_loop(form, 0, callback);
  } else {
    // Over a list the form keeps its cells on the heap: the arena is small.
    form[0].options |= kOptHeap;
    if (dlg_open(form) != 0) return -1;
    result = dlg_loop(form, 0, callback);
  }
  for (int i = 0; form[i].kind != kKindEnd; ++i) form[i].state &= ~kStateFocus;
  if (in_place) dlg_draw(form, 0);
  else window_close();
  return result;
}

TABLE_PLACE SaveTablePlace(int table) {
  TABLE_PLACE p;
  p.table = table;
  p.record = TableRecNo(table);
  p.index = TableGetIndex(table);
  const char* s = static_cast<const char*>(TableRecord(table));
  if (s) p.structure.assign(s, s + TableRecordSize(table));
  return p;
}

int RestoreTablePlace(const TABLE_PLACE& p) {
  if (p.table < 0) return 0;
  int rc = TableSetIndex(p.table, p.index);
  // The structure may hold what the caller was editing: it comes back as it was.
  if (TableGo(p.table, p.record >= 0 ? p.record : -1) != 0) rc = -1;
  if (!p.structure.empty() && TableRecord(p.table))
    std::memcpy(TableRecord(p.table), p.structure.data(), p.structure.size());
  return rc == 0 ? 0 : -1;
}

int KeyTaken(int table, int index, const void* record, AMOUNT own_id) {
  char wanted[kMaxKeyLength + 2];
  BuildKey(table, index, record, wanted);
  if (!wanted[0]) return 0;
  TABLE_PLACE place = SaveTablePlace(table);
  if (TableLock(table, false) != 0) return -1;
  int taken = 0;
  const size_t n = std::strlen(wanted);
  char key[kMaxKeyLength + 2];
  int rc = TableSetIndex(table, index);
  if (rc == 0) {
    for (rc = TableSeek(table, wanted); rc == 0; rc = TableNext(table)) {
      BuildKey(table, index, TableRecord(table), key);
      if (std::strncmp(key, wanted, n) != 0) break;
      if (std::strcmp(key, wanted) == 0 && CurrentRecordId(table) != own_id) {
        taken = 1;
        break;
      }
    }
  }
  if (RestoreTablePlace(place) != 0) rc = -1;
  TableUnlock(table);
  return rc < 0 ? -1 : taken;
}

int KeyPrefixUsed(int table, int index, const char* prefix) {
  if (!prefix || !prefix[0]) return 0;
  TABLE_PLACE place = SaveTablePlace(table);
  if (TableLock(table, false) != 0) return -1;
  int used = 0;
  int rc = TableSetIndex(table, index);
  if (rc == 0) rc = TableSeek(table, prefix);
  if (rc == 0) {
    char key[kMaxKeyLength + 2];
    BuildKey(table, index, TableRecord(table), key);
    used = std::strncmp(key, prefix, std::strlen(prefix)) == 0 ? 1 : 0;
  }
  if (RestoreTablePlace(place) != 0) rc = -1;
  TableUnlock(table);
  return rc < 0 ? -1 : used;
}
