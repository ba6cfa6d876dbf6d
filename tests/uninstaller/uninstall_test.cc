// The uninstall steps on a program directory and a home of their own: what goes, what stays,
// what is an error; the shortcut and record forms; the second stage.
#include "uninstaller/uninstall.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/cfile.h"
#include "support/run_shell.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// A program directory, desktop, menu and data folder of their own, and a file outside them all.
class AREA {
 public:
  AREA() {
    for (const char* d : {"prog", "desk", "apps", "data", "other", "tmp"})
      fs::create_directory(At(d));
    places.uninstaller = At("prog/odvor");
    places.program_dir = At("prog");
    places.shortcut_folders[0] = At("desk");
    places.shortcut_folders[1] = At("apps");
    places.record = At("data/Tamsu.uninstall");
    Put("prog/odvor", "odvor");
    Put("other/outside", "keep me");
  }
  ~AREA() { ClearFileFault(); }

  std::string At(const std::string& rel) const { return dir.File(rel); }
  void Put(const std::string& rel, const std::string& bytes) { WriteWholeFile(At(rel), bytes); }
  void Link(const std::string& rel, const std::string& target) {
    fs::create_symlink(target, At(rel));
  }
  bool Has(const std::string& rel) const {
    return fs::symlink_status(At(rel)).type() != fs::file_type::not_found;
  }
  std::string Shortcut(const std::string& program) {
    return "[Desktop Entry]\nType=Application\nExec=\"" + program + "\"\nTerminal=true\n";
  }
  void Prepare(const std::string& words) {
    std::istringstream in(words);
    for (std::string w; in >> w;) {
      size_t at;
      if (w.back() == '/') {
        fs::create_directory(At(w));
      } else if ((at = w.find("=>")) != std::string::npos) {
        const std::string target = w.substr(at + 2);
        Put(w.substr(0, at), Shortcut(target[0] == '/' ? target : At(target)));
      } else if ((at = w.find("->")) != std::string::npos) {
        Link(w.substr(0, at), At(w.substr(at + 2)));
      } else if ((at = w.find('=')) != std::string::npos) {
        // "_" stands for a blank, "@path" for that path of the area; a line feed ends the text.
        std::string text = w.substr(at + 1);
        std::replace(text.begin(), text.end(), '_', ' ');
        if (const size_t a = text.find('@'); a != std::string::npos)
          text = text.substr(0, a) + At(text.substr(a + 1));
        Put(w.substr(0, at), text + "\n");
      }
    }
  }
  void FullInstallation() {
    for (const char* f : kProgramFiles) Put(std::string("prog/") + f, f);
    for (const char* f : kDataFiles) Put(std::string("prog/") + f, f);
    Put("desk/Tamsu.desktop", Shortcut(At("prog/tamsu")));
    Put("apps/Tamsu.desktop", Shortcut(At("prog/tamsu")));
    Put("data/Tamsu.uninstall", "UninstallString=" + At("prog/odvor") + "\n");
  }

  TempDir dir;
  UNINSTALL_PLACES places;
};

// Each row prepares the directory and the home, runs the uninstall and lists what must be gone
// and what must stay. The preparation, word by word: "path=text" a file, "path=>target" a
// shortcut to a program (a target in the area unless absolute), "path->target" a symbolic link to
// a path of the area, "path/" a directory.
TEST(Uninstall, RemovesOnlyWhatBelongsToThisInstallation) {
  struct Case {
    const char* name;
    const char* prepare;
    bool data_ticked;
    int rc;
    const char *gone, *kept;  // paths, separated by blanks
  };
  const Case cases[] = {
      {"a shortcut to another installation stays",
       "desk/Tamsu.desktop=>prog/tamsu apps/Tamsu.desktop=>/elsewhere/tamsu", false, 0,
       "desk/Tamsu.desktop", "apps/Tamsu.desktop"},
      {"a shortcut through a linked directory is this installation",
       "via->prog desk/Tamsu.desktop=>via/tamsu", false, 0, "desk/Tamsu.desktop", ""},
      {"a shortcut that cannot be resolved is an error and stays; the rest still goes",
       "desk/Tamsu.desktop=[Desktop_Entry] prog/tamsu=x", false, -1, "prog/tamsu",
       "desk/Tamsu.desktop"},
      {"a record naming another uninstaller stays, and that is no error",
       "data/Tamsu.uninstall=UninstallString=/elsewhere/odvor", false, 0, "",
       "data/Tamsu.uninstall"},
      {"the record naming this uninstaller goes",
       "data/Tamsu.uninstall=UninstallString=@prog/odvor", false, 0, "data/Tamsu.uninstall", ""},
      {"data files stay unless ticked, Tamsu.ini among them",
       "prog/tamsu=1 prog/perlo=1 prog/tamsu-admin=1 prog/Tamsu.txt=1 prog/Tamsu.ini=1 "
       "prog/Gto.dbf=1 prog/Tra.inx=1",
       false, 0, "prog/tamsu prog/perlo prog/tamsu-admin prog/Tamsu.txt",
       "prog/Tamsu.ini prog/Gto.dbf prog/Tra.inx prog/odvor"},
      {"ticked, the data files go too", "prog/Tamsu.ini=1 prog/Gto.dbf=1 prog/Tra.inx=1", true, 0,
       "prog/Tamsu.ini prog/Gto.dbf prog/Tra.inx", "prog/odvor"},
      {"planted links go as links; what they point at stays",
       "prog/tamsu->other/outside prog/Kon.dbf->other prog/perlo->nowhere", true, 0,
       "prog/tamsu prog/Kon.dbf prog/perlo", "other/outside other"},
      {"a directory under a program file's name is a failure, never emptied",
       "prog/perlo/ prog/perlo/inside=x", false, -1, "", "prog/perlo/inside"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AREA t;
    t.Prepare(c.prepare);
    EXPECT_EQ(Uninstall(t.places, c.data_ticked), c.rc);
    std::istringstream gone(c.gone), kept(c.kept);
    for (std::string g; gone >> g;) EXPECT_FALSE(t.Has(g)) << g;
    for (std::string k; kept >> k;) EXPECT_TRUE(t.Has(k)) << k;
    EXPECT_EQ(ReadWholeFile(t.At("other/outside")), "keep me");
  }
}

// The desktop comes from user-dirs.dirs when it names one; a list that cannot be read makes the
// uninstall fail rather than miss a shortcut.
TEST(Uninstall, PlacesFromTheUsersFolders) {
  struct Case {
    const char* user_dirs;  // null: no file; "DIR": a directory in its place (unreadable)
    const char* desktop;    // below home; null: none
    bool unknown;
  } cases[] = {
      {nullptr, "Desktop", false},
      {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Pulpit\"\n", "Pulpit", false},
      {"XDG_DESKTOP_DIR=\"$HOME/\"\n", nullptr, false},
      {"DIR", "Desktop", true},
  };
  const char* names[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};
  std::string saved[3];
  bool had[3];
  for (int i = 0; i < 3; ++i) {
    const char* v = std::getenv(names[i]);
    had[i] = v != nullptr;
    saved[i] = v ? v : "";
  }
  for (const Case& c : cases) {
    AREA a;
    const std::string home = a.At("home");
    fs::create_directories(home + "/.config");
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    if (c.user_dirs && std::string(c.user_dirs) == "DIR")
      fs::create_directory(home + "/.config/user-dirs.dirs");
    else if (c.user_dirs) WriteWholeFile(home + "/.config/user-dirs.dirs", c.user_dirs);
    const UNINSTALL_PLACES p = UninstallPlacesFor(a.At("prog/odvor"));
    EXPECT_EQ(p.shortcut_folders[0], c.desktop ? home + "/" + c.desktop : "");
    EXPECT_EQ(p.shortcut_folders[1], home + "/.local/share/applications");
    EXPECT_EQ(p.record, home + "/.local/share/Tamsu.uninstall");
    EXPECT_EQ(p.program_dir, a.At("prog"));
    EXPECT_EQ(p.folders_unknown, c.unknown);
    EXPECT_EQ(Uninstall(p, false), c.unknown ? -1 : 0);
  }
  for (int i = 0; i < 3; ++i) {
    if (had[i]) setenv(names[i], saved[i].c_str(), 1);
    else unsetenv(names[i]);
  }
}

// Every read and every deletion that fails makes the whole uninstall fail; a second run without
// the fault finishes the work.
TEST(Uninstall, EveryFailedReadOrDeleteFailsTheUninstall) {
  for (int op : {kFileOpOpen, kFileOpRead, kFileOpClose, kFileOpDelete}) {
    long failures = 0;
    for (long n = 1;; ++n) {
      SCOPED_TRACE(testing::Message() << "operation " << op << ", occurrence " << n);
      AREA t;
      t.FullInstallation();
      SetFileFault(op, n, false);
      const int rc = Uninstall(t.places, true);
      ClearFileFault();
      // Success is only right when the fault came after the last operation of that kind, so
      // that everything is gone; after a failure a second run finishes the work.
      if (rc != 0) {
        ++failures;
        EXPECT_EQ(Uninstall(t.places, true), 0);
      }
      for (const char* f : kProgramFiles) EXPECT_FALSE(t.Has(std::string("prog/") + f)) << f;
      for (const char* f : {"desk/Tamsu.desktop", "apps/Tamsu.desktop", "data/Tamsu.uninstall"})
        EXPECT_FALSE(t.Has(f)) << f;
      if (rc == 0) break;
      ASSERT_LT(n, 100);
    }
    EXPECT_GT(failures, 0) << "operation " << op;
  }
  // Without faults nothing of the installation is left but the uninstaller.
  AREA a;
  a.FullInstallation();
  EXPECT_EQ(Uninstall(a.places, true), 0);
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(a.At("prog"))) left.push_back(e.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{"odvor"});
}

TEST(Uninstall, ShortcutAndRecordForms) {
  AREA a;
  struct Case {
    const char* text;
    int rc;
    const char* program;
  } shortcuts[] = {
      {"[Desktop Entry]\nExec=\"/a b/tamsu\" %f\n", 0, "/a b/tamsu"},
      {"[Desktop Entry]\r\nExec = /opt/x/tamsu --flag\r\n", 0, "/opt/x/tamsu"},
      {"[Desktop Entry]\nExec=\"/q\\\\\"uote\\\\$/100%%/tamsu\"\n", 0, "/q\"uote$/100%/tamsu"},
      {"[Desktop Entry]\nExec=/with\\sblank/tamsu\n", 0, "/with"},
      {"[Desktop Entry]\nExecutable=/x\nTryExec=/y\n", -1, ""},
      {"[Desktop Action New]\nExec=/x/tamsu\n", -1, ""},
      {"[Desktop Entry]\nExec=\"/unterminated\n", -1, ""},
  };
  for (const Case& c : shortcuts) {
    a.Put("desk/Tamsu.desktop", c.text);
    std::string program;
    EXPECT_EQ(ShortcutTarget(a.At("desk/Tamsu.desktop"), &program), c.rc) << c.text;
    if (c.rc == 0) {
      EXPECT_EQ(program, c.program) << c.text;
    }
  }
  std::string none;
  EXPECT_EQ(ShortcutTarget(a.At("desk/none.desktop"), &none), -1);

  struct Record {
    const char* text;  // null: no file
    int rc;
    const char* path;
  } records[] = {
      {nullptr, 0, ""},
      {"UninstallString=/x/odvor\n", 1, "/x/odvor"},
      {"Other=1\nUninstallString=/y/odvor", 1, "/y/odvor"},
      {"Other=1\n", 0, ""},
      {"UninstallString=\n", 0, ""},
  };
  for (const Record& r : records) {
    fs::remove(a.At("data/r"));
    if (r.text) a.Put("data/r", r.text);
    std::string path;
    EXPECT_EQ(RecordedUninstaller(a.At("data/r"), &path), r.rc) << (r.text ? r.text : "none");
    if (r.rc == 1) {
      EXPECT_EQ(path, r.path);
    }
  }
}

// What the install script writes, Odvor reads back: the program path survives the quoting for
// blanks, quotes, dollars, percent signs and backslashes.
TEST(Uninstall, InstallScriptShortcutAndRecordReadBack) {
  int status = 0;
  RunShell("command -v cmake >/dev/null", &status);
  if (status != 0) GTEST_SKIP() << "cmake is not installed";
  AREA a;
  const std::string odd = a.At("pro g$\"`%\\x");
  fs::create_directories(odd);
  fs::create_directories(a.At("home/Desktop"));
  // The odd path travels in the environment, where no shell quoting can spoil it.
  setenv("ODVOR_TEST_PREFIX", odd.c_str(), 1);
  setenv("ODVOR_TEST_HOME", a.At("home").c_str(), 1);
  RunShell(
      "env -u DESTDIR -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME=\"$ODVOR_TEST_HOME\" "
      "cmake \"-DCMAKE_INSTALL_PREFIX=$ODVOR_TEST_PREFIX\" -P " TAMSU_SOURCE_DIR
      "/packaging/register.cmake >/dev/null 2>&1",
      &status);
  unsetenv("ODVOR_TEST_PREFIX");
  unsetenv("ODVOR_TEST_HOME");
  ASSERT_EQ(status, 0);
  for (const char* s :
       {"home/Desktop/Tamsu.desktop", "home/.local/share/applications/Tamsu.desktop"}) {
    std::string program;
    ASSERT_EQ(ShortcutTarget(a.At(s), &program), 0) << s;
    EXPECT_EQ(program, odd + "/tamsu") << s;
  }
  std::string named;
  ASSERT_EQ(RecordedUninstaller(a.At("home/.local/share/Tamsu.uninstall"), &named), 1);
  EXPECT_EQ(named, odd + "/odvor");
}

// The second stage waits for the first, then removes the uninstaller (only when it is the same
// program), its directory when empty, and its own copy in the temporary folder.
TEST(Uninstall, SecondStage) {
  struct Case {
    const char* name;
    const char* uninstaller;  // its bytes; the copy holds "odvor"
    bool other_file, process_handle;
    int rc;
    bool uninstaller_gone, dir_gone, copy_gone;
  } cases[] = {
      {"the same program in an otherwise empty directory", "odvor", false, true, 0, true, true,
       true},
      {"another file keeps the directory", "odvor", true, true, 0, true, false, true},
      {"a different program is not touched", "other", false, true, 0, false, false, true},
      {"a handle that is no process: nothing happens", "odvor", false, false, -1, false, false,
       false},
  };
  const char* saved = std::getenv("TMPDIR");
  const std::string saved_tmp = saved ? saved : "";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AREA t;
    fs::create_directory(t.At("inst"));
    t.Put("inst/odvor", c.uninstaller);
    if (c.other_file) t.Put("inst/Gto.dbf", "");
    t.Put("tmp/DelAbc123", "odvor");
    setenv("TMPDIR", t.At("tmp").c_str(), 1);
    int handle;
    pid_t child = 0;
    if (c.process_handle) {
      child = fork();
      if (child == 0) _exit(0);
      handle = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
      ASSERT_GE(handle, 0);
    } else {
      handle = ::open(t.At("other/outside").c_str(), O_RDONLY);
    }
    const std::string copy = fs::canonical(t.At("tmp/DelAbc123"));
    EXPECT_EQ(SecondStage(std::to_string(handle).c_str(), t.At("inst/odvor").c_str(), copy), c.rc);
    if (child) waitpid(child, nullptr, 0);
    if (!c.process_handle) close(handle);
    EXPECT_EQ(!t.Has("inst/odvor"), c.uninstaller_gone);
    EXPECT_EQ(!t.Has("inst"), c.dir_gone);
    EXPECT_EQ(!t.Has("tmp/DelAbc123"), c.copy_gone);
    if (saved) setenv("TMPDIR", saved_tmp.c_str(), 1);
    else unsetenv("TMPDIR");
  }
  EXPECT_EQ(SecondStage("x", "/a", "/b"), -1);
  EXPECT_EQ(SecondStage("3", "relative/odvor", "/b"), -1);
}

}  // namespace
