// scripts/run.sh started from another folder, on programs already built (a stand-in tamsu that
// prints its argument): the data directory named by the caller lies in the caller's folder.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_shell.h"
#include "support/temp_dir.h"

namespace {

TEST(RunScript, ARelativeDataDirectoryLiesInTheCallersFolder) {
  TempDir caller;
  const std::string programs = caller.File("programs");
  ASSERT_EQ(::mkdir(programs.c_str(), 0755), 0);
  WriteWholeFile(programs + "/tamsu", "#!/bin/sh\necho \"$1\"\n");
  ASSERT_EQ(::chmod((programs + "/tamsu").c_str(), 0755), 0);
  int status = -1;
  const std::string out = RunShell("cd '" + caller.path() + "' && TAMSU_PROGRAMS=programs " +
                                       TAMSU_SOURCE_DIR "/scripts/run.sh mydata 2>&1",
                                   &status);
  EXPECT_EQ(status, 0) << out;
  const std::string data = (std::filesystem::canonical(caller.path()) / "mydata").string();
  EXPECT_EQ(out, data + "\n");
  EXPECT_TRUE(std::filesystem::is_directory(data));
  EXPECT_FALSE(std::filesystem::exists(TAMSU_SOURCE_DIR "/mydata"));
}

}  // namespace
