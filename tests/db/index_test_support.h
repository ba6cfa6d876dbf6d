// Helpers of the index file tests: an event recorder and a fixture with a fresh directory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/db_events.h"
#include "db/index_check.h"
#include "db/index_file.h"
#include "support/temp_dir.h"

struct SeenEvent {
  int code;
  std::string text;
  long number;
};

inline std::vector<SeenEvent>& SeenEvents() {
  static std::vector<SeenEvent> seen;
  return seen;
}

inline int RecordEvent(int code, const char* text, long number) {
  SeenEvents().push_back({code, text, number});
  return 0;
}

// Codes of the events seen, 15 left out unless asked for.
inline std::vector<int> EventCodes(bool with_not_found = false) {
  std::vector<int> codes;
  for (const SeenEvent& e : SeenEvents())
    if (with_not_found || e.code != kDbEvNotFound) codes.push_back(e.code);
  return codes;
}

class IndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDbEvents();
    SeenEvents().clear();
    SetEventHandler(RecordEvent);
  }
  void TearDown() override {
    ResetDbEvents();
    ClearFileFault();
  }
  // Fails the test when the checker finds a fault.
  void ExpectSound(INDEXFILE* ix, long records = -1) {
    INDEXCHECK check;
    EXPECT_EQ(CheckIndexFile(ix, records, &check), 0)
        << check.problem << " (index " << check.index << ")";
  }
  std::string Name() const { return dir.File("Tow.inx"); }

  TempDir dir;
};

// All record numbers of an index in walking order, forwards.
inline std::vector<long> WalkForward(INDEXFILE* ix, int index) {
  std::vector<long> out;
  long rec;
  for (int rc = FirstKey(ix, index, &rec); rc == 0; rc = NextKey(ix, index, &rec))
    out.push_back(rec);
  return out;
}
