// The installation and Odvor as a user meets them: `cmake --install` into a temporary program
// directory with a temporary home, then the installed odvor driven through its window under Xvfb
// (xdotool), until its second stage has removed it.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/run_shell.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

template <class DONE>
bool WaitUntil(DONE done, int ms = 15000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < end);
  return false;
}

bool Exists(const std::string& path) {
  return fs::symlink_status(path).type() != fs::file_type::not_found;
}

std::string Trim(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

bool Have(const char* program) {
  int status = 0;
  RunShell(std::string("command -v ") + program + " >/dev/null 2>&1", &status);
  return status == 0;
}

class InstalledOdvor : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Have("cmake")) GTEST_SKIP() << "cmake is not installed";
    fs::create_directories(home + "/Desktop");
    fs::create_directories(tmp);
    env = "env -u DESTDIR -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u DISPLAY HOME=" + home +
          " TMPDIR=" + tmp + " ";
    int status = 0;
    RunShell(env + "cmake --install " TAMSU_BUILD_DIR " --prefix " + prefix + " >/dev/null 2>&1",
             &status);
    ASSERT_EQ(status, 0);
    for (const char* p : {"tamsu", "perlo", "tamsu-admin", "odvor"})
      ASSERT_TRUE(Exists(prefix + "/" + p)) << p;
    for (const std::string& f : Registered()) ASSERT_TRUE(Exists(f)) << f;
    // Data beside the programs, and a planted link to a file outside in place of a program.
    WriteWholeFile(prefix + "/Tamsu.ini", "[Tamsu]\n");
    WriteWholeFile(prefix + "/Gto.dbf", "data");
    WriteWholeFile(outside, "keep me");
    fs::remove(prefix + "/tamsu-admin");
    fs::create_symlink(outside, prefix + "/tamsu-admin");
  }

  std::vector<std::string> Registered() const {
    return {home + "/Desktop/Tamsu.desktop", home + "/.local/share/applications/Tamsu.desktop",
            home + "/.local/share/Tamsu.uninstall"};
  }

  // What every finished uninstall leaves: no programs, shortcuts or record, the file behind the
  // planted link untouched, no copy in the temporary folder, nothing from the sanitizers.
  void ExpectUninstalled() {
    EXPECT_TRUE(WaitUntil([&] { return !Exists(prefix + "/odvor"); }))
        << "the second stage never ran";
    for (const char* p : {"tamsu", "perlo", "tamsu-admin"})
      EXPECT_FALSE(Exists(prefix + "/" + p)) << p;
    for (const std::string& f : Registered()) EXPECT_FALSE(Exists(f)) << f;
    EXPECT_EQ(ReadWholeFile(outside), "keep me");
    EXPECT_TRUE(WaitUntil([&] { return fs::is_empty(tmp); })) << "the copy stayed in " << tmp;
    EXPECT_EQ(ReadWholeFile(errors), "");
  }

  TempDir dir;
  const std::string home = dir.File("home"), prefix = dir.File("inst"), tmp = dir.File("tmp"),
                    outside = dir.File("outside"), errors = dir.File("odvor.err");
  std::string env;
};

TEST_F(InstalledOdvor, WindowUnderXvfbRemovesEverythingWithTheDataTicked) {
  if (!Have("Xvfb") || !Have("xdotool")) GTEST_SKIP() << "Xvfb and xdotool are needed";
  const std::string number_file = dir.File("display");
  const std::string pid_text = RunShell("Xvfb -displayfd 1 -screen 0 800x600x24 -nolisten tcp >" +
                                        number_file + " 2>/dev/null & echo $!");
  const pid_t xvfb = static_cast<pid_t>(std::stol("0" + Trim(pid_text)));
  struct Stop {
    pid_t pid;
    ~Stop() {
      if (pid > 0) kill(pid, SIGTERM);
    }
  } stop{xvfb};
  if (!WaitUntil([&] { return ReadWholeFile(number_file).find('\n') != std::string::npos; }, 10000))
    GTEST_SKIP() << "Xvfb cannot start";
  const std::string display = ":" + Trim(ReadWholeFile(number_file));
  const std::string xdo = "DISPLAY=" + display + " timeout 20 xdotool ";

  RunShell("cd / && " + env + "DISPLAY=" + display + " ASAN_OPTIONS=detect_leaks=1 " + prefix +
           "/odvor >/dev/null 2>" + errors + " &");
  const std::string win =
      Trim(RunShell(xdo + "search --sync --onlyvisible --class MSDIALOG 2>/dev/null | head -1"));
  ASSERT_FALSE(win.empty()) << "no window " << ReadWholeFile(errors);
  EXPECT_EQ(Trim(RunShell(xdo + "getwindowname " + win)), "Tamsu - program deinstalacyjny");

  // Screenshots of the dialog for a look by eye: build/test/odvor_window*.png.
  auto shoot = [&](const char* name) {
    if (!Have("import")) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    RunShell("DISPLAY=" + display + " import -window " + win + " " TAMSU_BUILD_DIR "/" + name);
  };
  // The check box ticked with the mouse, "&Usuń" by its hot letter.
  RunShell(xdo + "mousemove --window " + win + " 100 65 click 1");
  shoot("odvor_window.png");
  RunShell(xdo + "key alt+u");
  ASSERT_TRUE(WaitUntil([&] { return !Exists(prefix + "/tamsu"); }));
  EXPECT_TRUE(Exists(prefix + "/odvor"));  // until the dialog has ended
  shoot("odvor_window_done.png");
  RunShell(xdo + "key Return");  // "&Koniec"

  ExpectUninstalled();
  EXPECT_FALSE(Exists(prefix + "/Tamsu.ini"));
  EXPECT_TRUE(WaitUntil([&] { return !Exists(prefix); })) << "the empty directory stayed";
}

}  // namespace
