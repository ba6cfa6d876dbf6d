#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "calculator/perlo_browser.h"
#include "calculator/perlo_money.h"
#include "calculator/perlo_screen.h"
#include "platform/inifile.h"
#include "shell/reset.h"
#include "support/program_state.h"
#include "support/temp_dir.h"

namespace {

std::string g_config_path;

class ResetBeforeEachTest : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    std::remove(g_config_path.c_str());
    RestartState();
  }
};

}  // namespace

const std::string& TestConfigPath() { return g_config_path; }

void RestartState() {
  ResetProgramState();
  PerloScreenReset();
  PerloBrowserReset();
  PerloResetSeparators();
  SetConfigPath(g_config_path);
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  TempDir config;
  g_config_path = config.File("Tamsu.ini");
  ::testing::UnitTest::GetInstance()->listeners().Append(new ResetBeforeEachTest);
  return RUN_ALL_TESTS();
}
