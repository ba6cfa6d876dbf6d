#include "db/table_def.h"

#include <cstring>

size_t FieldStructSize(const FIELDDEF& f) {
  switch (f.type) {
    case 'C': return static_cast<size_t>(f.length) + 1;
    case 'D': return 4;
    case 'L': return 4;
    default: return 8;
  }
}

namespace {

bool NameValid(const char* name) {
  if (!name) return false;
  size_t n = std::strlen(name);
  if (n < 1 || n > 10) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = name[i];
    bool ok = (c >= 'A' && c <= 'Z') || c == '_' || (i > 0 && c >= '0' && c <= '9');
    if (!ok) return false;
  }
  return true;
}

bool FieldValid(const FIELDDEF& f) {
  if (!NameValid(f.name)) return false;
  switch (f.type) {
    case 'C': return f.length >= 1 && f.length <= 254 && f.decimals == 0;
    case 'D': return f.length == 8 && f.decimals == 0;
    case 'L': return f.length == 1 && f.decimals == 0;
    case 'N':
      return f.length >= 1 && f.length <= 19 &&
             (f.decimals == 0 ||
              (f.decimals >= 1 && f.decimals <= 15 && f.decimals <= f.length - 2));
    default: return false;
  }
}

}  // namespace

bool CheckTableDef(const TABLEDEF& def) {
  if (!def.data_file || !*def.data_file || def.field_count < 1 || !def.fields) return false;
  int record_length = 1;
  for (int i = 0; i < def.field_count; ++i) {
    if (!FieldValid(def.fields[i])) return false;
    for (int j = 0; j < i; ++j)
      if (std::strcmp(def.fields[i].name, def.fields[j].name) == 0) return false;
    record_length += def.fields[i].length;
  }
  // The header and the record length are 16-bit numbers in the file.
  if (record_length > 65535 || 32 * def.field_count + 33 > 65535) return false;
  if (def.index_count < 0 || def.index_count > kMaxIndexes) return false;
  if (def.index_count > 0) {
    if (!def.index_file || !*def.index_file || !def.key_lengths || !def.key_builders) return false;
    for (int i = 0; i < def.index_count; ++i)
      if (def.key_lengths[i] < 2 || def.key_lengths[i] > 100 || !def.key_builders[i]) return false;
  }
  if (def.record) {
    // Explicit offsets must keep each field inside the structure.
    for (int i = 0; i < def.field_count; ++i) {
      const FIELDDEF& f = def.fields[i];
      if (f.struct_offset != kPackedOffset && def.record_size != 0 &&
          f.struct_offset + FieldStructSize(f) > def.record_size)
        return false;
    }
  }
  return true;
}
