#include "business/form_edit.h"

#include <cstring>

#include "db/index_page.h"
#include "db/schema.h"
#include "db/records.h"
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

void RestoreTablePlace(const TABLE_PLACE& p) {
  if (p.table < 0) return;
  TableSetIndex(p.table, p.index);
  // The structure may hold what the caller was editing: it comes back as it was.
  if (p.record >= 0) TableGo(p.table, p.record);
  else TableGo(p.table, -1);
  if (!p.structure.empty() && TableRecord(p.table))
    std::memcpy(TableRecord(p.table), p.structure.data(), p.structure.size());
}

bool KeyTaken(int table, int index, const void* record, AMOUNT own_id) {
  char wanted[kMaxKeyLength + 2];
  BuildKey(table, index, record, wanted);
  if (!wanted[0]) return false;
  TABLE_PLACE place = SaveTablePlace(table);
  TableLock(table, false);
  TableSetIndex(table, index);
  bool taken = false;
  const size_t n = std::strlen(wanted);
  char key[kMaxKeyLength + 2];
  for (int rc = TableSeek(table, wanted); rc == 0; rc = TableNext(table)) {
    BuildKey(table, index, TableRecord(table), key);
    if (std::strncmp(key, wanted, n) != 0) break;
    if (std::strcmp(key, wanted) == 0 && CurrentRecordId(table) != own_id) {
      taken = true;
      break;
    }
  }
  RestoreTablePlace(place);
  TableUnlock(table);
  return taken;
}

bool KeyPrefixUsed(int table, int index, const char* prefix) {
  if (!prefix || !prefix[0]) return false;
  TABLE_PLACE place = SaveTablePlace(table);
  TableLock(table, false);
  TableSetIndex(table, index);
  bool used = false;
  if (TableSeek(table, prefix) == 0) {
    char key[kMaxKeyLength + 2];
    BuildKey(table, index, TableRecord(table), key);
    used = std::strncmp(key, prefix, std::strlen(prefix)) == 0;
  }
  RestoreTablePlace(place);
  TableUnlock(table);
  return used;
}

bool StoredRecordGone(int table, AMOUNT id) {
  if (id.IsZero() || FindById(table, id) == 0) return false;
  deleted_meanwhile(table);
  return true;
}

int StoreFormRecord(int table, void* record, AMOUNT* id) {
  const bool is_new = id->IsZero();
  if (is_new) {
    *id = NextRecordId(table);
  } else if (StoredRecordGone(table, *id)) {
    return 1;
  }
  const size_t size = TableRecordSize(table);
  std::memcpy(TableRecord(table), record, size);
  const int rc = is_new ? TableAppend(table) : TableUpdate(table);
  if (rc != 0) {
    if (is_new) *id = AMOUNT();
    return -1;
  }
  std::memcpy(record, TableRecord(table), size);
  return 0;
}
