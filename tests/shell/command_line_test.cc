#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, QuotedDirectoryWithABlankIsOneArgument) {
  SetCommandLine("C:\\Tamsu\\Tamsu.exe \"C:\\Dane firmy\\2014\"");
  EXPECT_STREQ(CommandLineArgument(0), "C:\\Tamsu\\Tamsu.exe");
  EXPECT_STREQ(CommandLineArgument(1), "C:\\Dane firmy\\2014");
  EXPECT_STREQ(CommandLineArgument(2), "");
  EXPECT_STREQ(CommandLineArgument(50), "");
}

TEST(CommandLineTest, OnlyTheLastBlankOfARunSeparates) {
  EXPECT_EQ(SplitCommandLine("a  b"), std::string("a \0b\0\0", 6));
  EXPECT_EQ(SplitCommandLine("a\"x y\"z"), std::string("ax yz\0\0", 7));
  EXPECT_EQ(SplitCommandLine("\"a  b\" c"), std::string("a  b\0c\0\0", 8));
  EXPECT_EQ(SplitCommandLine(""), std::string("\0\0", 2));
  SetCommandLine("prog   dir");
  EXPECT_STREQ(CommandLineArgument(0), "prog  ");
  EXPECT_STREQ(CommandLineArgument(1), "dir");
  ResetCommandLine();
  EXPECT_STREQ(CommandLineArgument(0), "");
  EXPECT_STREQ(CommandLineArgument(1), "");
}

TEST(CommandLineTest, ArgvIsCarriedOverQuoted) {
  char a0[] = "/usr/bin/tamsu", a1[] = "/home/jan/Dane firmy", a2[] = "x\"y";
  char* argv[] = {a0, a1, a2};
  SetCommandLineFromArgv(3, argv);
  EXPECT_STREQ(CommandLineArgument(0), "/usr/bin/tamsu");
  EXPECT_STREQ(CommandLineArgument(1), "/home/jan/Dane firmy");
  EXPECT_STREQ(CommandLineArgument(2), "xy");
}

}  // namespace
