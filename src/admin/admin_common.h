// What the tamsu-admin verbs share: messages in UTF-8, and the run inside the data directory with
// the engine's events and file errors printed on the verb's error stream.
#pragma once

#include <cstdio>
#include <string>

#include "platform/cfile.h"

// A text in the data code page, as one line in UTF-8.
void Say(FILE* f, const std::string& data_text);

// Works inside the data directory and puts everything back on the way out: closes what
// `before_close` closes (may be null), then the database and the tables, forgets the handlers
// and goes back to the directory it came from. Messages go to err while it lasts.
class IN_DATA_DIRECTORY {
 public:
  IN_DATA_DIRECTORY(const char* dir, FILE* err, void (*before_close)() = nullptr);
  ~IN_DATA_DIRECTORY();
  IN_DATA_DIRECTORY(const IN_DATA_DIRECTORY&) = delete;
  IN_DATA_DIRECTORY& operator=(const IN_DATA_DIRECTORY&) = delete;
  bool ok() const { return ok_; }

 private:
  class PRINT_FILE_ERROR : public CFILE::HANDLER {
   public:
    void Report(const char* name, int op, int kind, int err) override;
  };
  PRINT_FILE_ERROR handler_;
  void (*before_close_)();
  std::string saved_;
  bool ok_ = false;
};
