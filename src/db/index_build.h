// Building a whole index file from sorted keys, bottom up, in bounded memory.
//
// KEYSORTER takes the keys of every index of a table in record order and gives them back per
// index in key order, equal keys by record number. Keys wait in memory up to a budget; beyond it
// they are sorted and written out in runs to a scratch file beside the data, and merged when
// read back. WriteSortedIndexFile then writes the trees page by page from the sorted keys.
//
// The file written is byte for byte the one AddKey makes when it is given the keys of index 0 in
// key order, then those of index 1, and so on, starting from a fresh file: that is the order the
// pages are numbered in, the way they are split (the new page in front taking half the entries
// plus one), and their links. So a rebuilt file is one the program could have written itself, and
// the keys of each leaf chain come out exactly as a walk of the old file gave them.
//
//   KEYSORTER keys(2, lengths, "Tow.dbf");
//   keys.Add(0, "KOD1", 0); ...                  // record order
//   if (keys.Finish() == 0) WriteSortedIndexFile(&ix, "000001.tmp", keys, 2, lengths);
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/index_file.h"

// A key in sorting form: each byte replaced by its collation weight in the data code page. The
// weights are a permutation of the byte values with 0 for NUL, so plain byte comparison of two
// such keys is the comparison of the keys, and the key comes back from them exactly.
void SortWeights(const uint8_t* key, int n, uint8_t* out);
// From weights back to the key bytes in the given code page (data code page or code page 852).
void KeyFromWeights(const uint8_t* weights, int n, int code_page, uint8_t* out);

// Memory for keys waiting to be sorted, all indexes together (tests make it small to force runs).
void SetKeySortBudget(size_t bytes);
void ResetKeySortBudget();

class KEYSORTER {
 public:
  // The scratch file, when one is needed, takes a temporary name in the directory of near_path.
  KEYSORTER(int index_count, const int* key_lengths, const std::string& near_path);
  ~KEYSORTER();
  KEYSORTER(const KEYSORTER&) = delete;
  KEYSORTER& operator=(const KEYSORTER&) = delete;

  // The key text of one index for a record; records come in ascending order. 0 or -1 (the
  // scratch file failed, reported by the file layer).
  int Add(int index, const char* text, uint32_t record);
  // No more keys: the last keys in memory are sorted. 0 or -1.
  int Finish();
  // Reading one index back in key order: Rewind, then Next until it gives 0 (the end), 1 (an
  // entry) or -1 (a failed read of the scratch file, reported). *weights points at key length
  // bytes of collation weights (see SortWeights), valid until the next call.
  int Rewind(int index);
  int Next(const uint8_t** weights, uint32_t* record);
  long Count(int index) const { return count_[index]; }

 private:
  struct RUN {
    int64_t offset;
    long count;
  };
  struct SOURCE {  // one sorted run being read, or the keys still in memory
    bool in_memory = false;
    std::vector<uint8_t> buffer;
    size_t at = 0, filled = 0;  // entries in the buffer: the next one, how many
    int64_t next_offset = 0;
    long left = 0;  // entries not yet in the buffer (runs) or not yet taken (memory)
    const uint8_t* head = nullptr;
  };
  int Spill();
  void SortMemory(int index);
  int Advance(SOURCE& src);

  int index_count_;
  int key_length_[kMaxIndexCount];
  long count_[kMaxIndexCount] = {};
  std::string near_;
  std::string scratch_name_;
  CFILE scratch_;
  int64_t scratch_end_ = 0;
  size_t held_ = 0;
  // Per index: the entries in memory (collation weights of the key, then the record number
  // big-endian, so that plain byte comparison gives the order), their sorted order, the runs.
  std::vector<uint8_t> memory_[kMaxIndexCount];
  std::vector<uint32_t> order_[kMaxIndexCount];
  std::vector<RUN> runs_[kMaxIndexCount];
  // Reading.
  int reading_ = -1;
  std::vector<SOURCE> sources_;
  std::vector<uint8_t> last_;
};

// Writes a whole index file under name (created, never an existing one's contents) from the
// sorted keys and leaves it closed; the caller flushes nothing: it is flushed here. 0, -1 (the
// file layer failed, reported) or an event code (reported).
int WriteSortedIndexFile(const char* name, KEYSORTER& keys, int index_count,
                         const int* key_lengths);
