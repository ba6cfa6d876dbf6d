#include "shell/startup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "shell/command_line.h"
#include "support/temp_dir.h"

namespace {

std::string Cwd() { return std::filesystem::current_path().string(); }

TEST(StartupTest, QuotedDataDirectoryWithABlankBecomesCurrent) {
  TempDir dir;
  std::string data = dir.File("Dane firmy");
  ASSERT_EQ(mkdir(data.c_str(), 0755), 0);
  std::string before = Cwd();
  SetCommandLine("tamsu \"" + data + "\"");
  ASSERT_EQ(EnterDataDirectory(), 0);
  EXPECT_EQ(Cwd(), std::filesystem::canonical(data).string());
  EXPECT_EQ(SavedDirectory(), before);
  RestoreSavedDirectory();
  EXPECT_EQ(Cwd(), before);
}

TEST(StartupTest, MissingDirectoryLeavesTheCurrentOne) {
  const std::string before = Cwd();
  for (const char* line : {"tamsu /nonexistent/tamsu-data", "tamsu"}) {
    SetCommandLine(line);
    ASSERT_EQ(EnterDataDirectory(), 0);
    EXPECT_EQ(Cwd(), before) << line;
  }
}

}  // namespace
