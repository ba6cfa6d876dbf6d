// One fixture for the document, viewer and printing tests: a headless screen, a fresh current
// directory (temporary documents go there) with its own Tamsu.ini, and a clean current document.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/text.h"
#include "platform/cfile.h"
#include "platform/inifile.h"
#include "support/temp_dir.h"
#include "support/ui_fixture.h"
#include "ui/document/doc_viewer.h"
#include "ui/document/document.h"
#include "ui/screen.h"

class DocumentTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    DocumentReset();
    DocViewerReset();
    SetConfigPath(dir.File("Tamsu.ini"));
  }
  void TearDown() override {
    ClearFileFault();
    DocumentReset();
    DocViewerReset();
    SetConfigPath("");
    UiTest::TearDown();
  }
  // A temporary document of n lines "Linia 0" ... "Linia n-1".
  static void Lines(long n) {
    for (long i = 0; i < n; ++i) doc_printf("Linia %ld\n", i);
  }
  // The text of the screen in UTF-8 shows Polish letters as they are.
  static std::string U(const char* cp1250) { return Cp1250ToUtf8(cp1250); }

  TempDir dir{true};
};
