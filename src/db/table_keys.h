// Inside the table layer: reading all records in large pieces and collecting their keys, for
// the index build, the pack and the table check.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "db/db_events.h"
#include "db/index_build.h"
#include "db/table_slot.h"

// Reads every record in large pieces and hands each to fn(record number, raw bytes);
// fn's non-zero answer stops the reading and is returned. A record the file cannot give whole is
// reported as out of the file, like a single read of it; *failed (when given) then receives the
// first record not handed over.
template <typename Fn>
int ForEachRecord(TABLESLOT& s, Fn fn, long* failed = nullptr) {
  const size_t per_read = std::max<size_t>(1, (size_t{64} << 10) / s.record_length);
  std::vector<char> block(per_read * s.record_length);
  for (long n = 0; n < s.count;) {
    const size_t take = std::min(per_read, static_cast<size_t>(s.count - n));
    const int64_t at =
        static_cast<int64_t>(s.header_length) + static_cast<int64_t>(n) * s.record_length;
    long got = s.data.ReadAt(at, block.data(), take * s.record_length);
    if (got < 0 || got != static_cast<long>(take * s.record_length)) {
      const long whole = got < 0 ? 0 : got / static_cast<long>(s.record_length);
      if (failed) *failed = n + whole;
      return got < 0 ? -1 : SlotEvent(s, kDbEvBadRecordNumber, n + whole);
    }
    for (size_t k = 0; k < take; ++k, ++n) {
      int rc = fn(n, block.data() + k * s.record_length);
      if (rc != 0) return rc;
    }
  }
  return 0;
}

// Adds the keys of one stored record (unpacked into the slot's spare structure) under the record
// number it gets in the index. 0 or -1.
int AddRecordKeys(TABLESLOT& s, const char* raw, long number, KEYSORTER& keys);
