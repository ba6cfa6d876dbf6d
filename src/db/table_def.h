// Table definitions: what the program declares for each table before opening it.
//
// A definition names the data file, its fields in file order, the application's record
// structure (one global structure per table, read and written through the table layer), the
// index file with the key length of each index (NUL included), and one key builder per index.
//
//   struct GROUP { AMOUNT ID; char NAZWA[51]; };
//   const FIELDDEF kFields[] = {{"ID", 'N', 9, 0, offsetof(GROUP, ID)},
//                               {"NAZWA", 'C', 50, 0, offsetof(GROUP, NAZWA)}};
//
// In the record structure a "C" field takes length + 1 bytes (NUL-terminated text in the data
// code page, trailing blanks removed), "D" a DATE, "L" a 32-bit integer 0 or 1, "N" an AMOUNT.
// A field whose structure offset is kPackedOffset is placed right after the previous one, the way
// the structures were laid out originally; real structures give offsetof so that every member
// stays aligned.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int kMaxTables = 20;
inline constexpr int kMaxIndexes = 59;
inline constexpr size_t kPackedOffset = static_cast<size_t>(-1);

struct FIELDDEF {
  const char* name;  // 1 to 10 of A-Z, _ and (not first) 0-9
  char type;         // 'C', 'D', 'L' or 'N'
  int length;
  int decimals;
  size_t struct_offset = kPackedOffset;
};

// Builds the key of one index from a record structure into key (key length bytes).
typedef void (*KEYBUILDER)(const void* record, char* key);

struct TABLEDEF {
  const char* data_file;
  int field_count;
  const FIELDDEF* fields;
  void* record;        // the application's record structure; may be null
  size_t record_size;  // its size (0: as the fields need)
  const char* index_file;
  int index_count;
  const int* key_lengths;
  const KEYBUILDER* key_builders;
};

// Checks the rules of a definition (field names, types, lengths, decimals, index limits, key
// builders present). True when it is sound.
bool CheckTableDef(const TABLEDEF& def);

// Size a field takes in the record structure.
size_t FieldStructSize(const FIELDDEF& f);
