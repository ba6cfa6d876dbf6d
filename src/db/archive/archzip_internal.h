// Inside the archive engine.
#pragma once

#include "platform/cfile.h"

// The engine tells its own errors through ARCHZIP::Error with the codes the user knows; the file
// layer's handler stays silent meanwhile so that nothing is told twice.
class MUTED_FILE_ERRORS {
 public:
  MUTED_FILE_ERRORS() : saved_(CFILE::Handler()) { CFILE::SetHandler(nullptr); }
  ~MUTED_FILE_ERRORS() { CFILE::SetHandler(saved_); }
  MUTED_FILE_ERRORS(const MUTED_FILE_ERRORS&) = delete;
  MUTED_FILE_ERRORS& operator=(const MUTED_FILE_ERRORS&) = delete;

 private:
  CFILE::HANDLER* saved_;
};
