#include "platform/cfile.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "common/text.h"
#include "platform/cfile_testing.h"
#include "support/temp_dir.h"

namespace {

struct Report {
  std::string name;
  int operation, kind, error;
};

class Recorder : public CFILE::HANDLER {
 public:
  void Report(const char* name, int op, int kind, int err) override {
    seen.push_back({name, op, kind, err});
  }
  std::vector<::Report> seen;
};

class CfileTest : public ::testing::Test {
 protected:
  void SetUp() override { CFILE::SetHandler(&recorder); }
  void TearDown() override {
    CFILE::SetHandler(nullptr);
    ClearFileFault();
  }
  Recorder recorder;
  TempDir dir;
};

// Runs fn in a child process and returns its exit status.
template <typename Fn>
int InChild(Fn fn) {
  pid_t pid = fork();
  if (pid == 0) _exit(fn());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

TEST_F(CfileTest, ReadsWritesSeeksAndSizes) {
  CFILE f;
  std::string name = dir.File("a.dat");
  ASSERT_EQ(f.Open(name.c_str(), kCreateNew, kAccessReadWrite, kShareNone), 0);
  EXPECT_EQ(f.Write("hello world", 11), 11);
  EXPECT_EQ(f.Size(), 11);
  EXPECT_EQ(f.Seek(6, SEEK_SET), 6);
  char buf[16] = {};
  EXPECT_EQ(f.Read(buf, 16), 5);
  EXPECT_STREQ(buf, "world");
  EXPECT_EQ(f.Tell(), 11);
  EXPECT_EQ(f.SetSize(5), 0);
  EXPECT_EQ(f.Size(), 5);
  EXPECT_EQ(f.Close(), 0);
  EXPECT_EQ(f.Close(), 0);  // closing a closed file succeeds
  EXPECT_EQ(ReadWholeFile(name), "hello");
  EXPECT_TRUE(recorder.seen.empty());

  // Create-new refuses an existing file; truncate-existing empties it.
  EXPECT_EQ(f.Open(name.c_str(), kCreateNew, kAccessReadWrite, kShareNone), -1);
  ASSERT_EQ(recorder.seen.size(), 1u);
  EXPECT_EQ(recorder.seen[0].operation, kFileOpOpen);
  EXPECT_EQ(recorder.seen[0].kind, kFileErrSystem);
  ASSERT_EQ(f.Open(name.c_str(), kTruncateExisting, kAccessReadWrite, kShareNone), 0);
  EXPECT_EQ(f.Size(), 0);
}

TEST_F(CfileTest, ReportsMissingNameAndClosedFile) {
  CFILE f;
  EXPECT_EQ(f.Open("", kOpenAlways, kAccessReadWrite, kShareNone), -1);
  char c;
  EXPECT_EQ(f.Read(&c, 1), -1);
  ASSERT_EQ(recorder.seen.size(), 2u);
  EXPECT_EQ(recorder.seen[0].kind, kFileErrNoName);
  EXPECT_EQ(recorder.seen[1].operation, kFileOpRead);
  EXPECT_EQ(recorder.seen[1].kind, kFileErrClosed);
}

TEST_F(CfileTest, ErrorMessagesFollowTheHouseForm) {
  EXPECT_EQ(FileErrorMessage("Tow.dbf", kFileOpOpen, kFileErrNoName, 0),
            std::string("Błąd przy próbie otwarcia pliku Tow.dbf.\n\nBrak nazwy pliku."_pl));
  EXPECT_EQ(
      FileErrorMessage("", kFileOpWrite, kFileErrClosed, 0),
      std::string("Błąd przy próbie zapisu pliku.\n\nPróba operacji na zamkniętym pliku."_pl));
  EXPECT_EQ(FileErrorMessage("x", kFileOpRead, kFileErrNoMemory, 0),
            std::string("Błąd przy próbie odczytu pliku x."_pl));
  // The common system errors in Polish; others in the system's words, on one line.
  const struct {
    int error;
    const char* text;
  } kPolish[] = {{EBUSY, "Plik jest używany przez inny program."},
                 {ENOSPC, "Brak miejsca na dysku."},
                 {EACCES, "Brak uprawnień do pliku."},
                 {EROFS, "Dysk jest tylko do odczytu."},
                 {ENOENT, "Plik nie istnieje."}};
  for (const auto& c : kPolish)
    EXPECT_EQ(FileErrorMessage("x", kFileOpDelete, kFileErrSystem, c.error),
              "Błąd przy próbie usunięcia pliku x.\n\n"_pl + Utf8ToCp1250(c.text));
  std::string sys = FileErrorMessage("x", kFileOpDelete, kFileErrSystem, ENAMETOOLONG);
  EXPECT_EQ(sys.rfind("Błąd przy próbie usunięcia pliku x.\n\n"_pl, 0), 0u);
  EXPECT_GT(sys.size(), std::string("Błąd przy próbie usunięcia pliku x.\n\n"_pl).size());
  EXPECT_EQ(sys.find('\n', sys.size() - 3), std::string::npos);
  EXPECT_STREQ(FileOperationText(17),
               "Błąd przy próbie sprawdzenia możliwości otwarcia wymaganej liczby plików"_pl);
}

TEST_F(CfileTest, ExclusiveOpenRefusesASecondProgram) {
  std::string name = dir.File("Tow.dbf");
  CFILE mine;
  ASSERT_EQ(mine.Open(name.c_str(), kOpenAlways, kAccessReadWrite, kShareNone), 0);
  int status = InChild([&] {
    CFILE theirs;
    return theirs.Open(name.c_str(), kOpenExisting, kAccessReadWrite, kShareReadWrite) == -1 ? 0
                                                                                             : 1;
  });
  EXPECT_EQ(status, 0);
  mine.Close();
  status = InChild([&] {
    CFILE theirs;
    return theirs.Open(name.c_str(), kOpenExisting, kAccessReadWrite, kShareNone) == 0 ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
}

TEST_F(CfileTest, SharedOpensCoexistAndAWriterLockRefusesAReaderAtOnce) {
  std::string name = dir.File("Tra.dbf");
  CFILE mine;
  ASSERT_EQ(mine.Open(name.c_str(), kOpenAlways, kAccessReadWrite, kShareReadWrite), 0);
  ASSERT_EQ(mine.Lock(0, 65, true), 0);
  int status = InChild([&] {
    CFILE theirs;
    if (theirs.Open(name.c_str(), kOpenExisting, kAccessReadWrite, kShareReadWrite) != 0) return 1;
    if (theirs.Lock(0, 65, false) != -1) return 2;  // refused, without waiting
    if (theirs.Lock(65, 10, true) != 0) return 3;   // another range is free
    return 0;
  });
  EXPECT_EQ(status, 0);
  ASSERT_EQ(mine.Unlock(0, 65), 0);
  ASSERT_EQ(mine.Lock(0, 65, false), 0);
  status = InChild([&] {
    CFILE theirs;
    if (theirs.Open(name.c_str(), kOpenExisting, kAccessReadWrite, kShareReadWrite) != 0) return 1;
    if (theirs.Lock(0, 65, false) != 0) return 2;  // readers share
    if (theirs.Lock(0, 65, true) != -1) return 3;  // a writer is refused
    return 0;
  });
  EXPECT_EQ(status, 0);
}

TEST_F(CfileTest, TemporaryNamesAreTakenInOrderAndAtomically) {
  std::string base = dir.File("Tamsu.ini");
  EXPECT_EQ(TakeTemporaryName(base), dir.File("000001.tmp"));
  // The first name now exists, so the next one is number 2.
  EXPECT_EQ(TakeTemporaryName(base), dir.File("000002.tmp"));
  EXPECT_TRUE(CFILE::Exists(dir.File("000002.tmp").c_str()));
  TempDir cwd(true);
  EXPECT_EQ(TakeTemporaryName(""), "000001.tmp");
  // A directory that takes no new file: no name, and when asked the failure is reported.
  EXPECT_EQ(TakeTemporaryName(dir.File("gone/x")), "");
  EXPECT_TRUE(recorder.seen.empty());
  EXPECT_EQ(TakeTemporaryName(dir.File("gone/x"), true), "");
  ASSERT_EQ(recorder.seen.size(), 1u);
  EXPECT_EQ(recorder.seen[0].name, dir.File("gone/000001.tmp"));
  EXPECT_EQ(recorder.seen[0].operation, kFileOpOpen);
  EXPECT_EQ(recorder.seen[0].error, ENOENT);
}

TEST_F(CfileTest, ByteRangeLocksWorkInATemporaryDirectory) {
  EXPECT_EQ(CheckFileSharing(dir.File("x")), 0);
  EXPECT_FALSE(CFILE::Exists(dir.File("000001.tmp").c_str()));
  EXPECT_EQ(CheckFileSharing("/nonexistent-dir/x"), -1);
}

TEST_F(CfileTest, CheckHandlesLeavesNothingBehind) {
  TempDir cwd(true);
  EXPECT_EQ(CFILE::CheckHandles(2), 0);
  EXPECT_FALSE(CFILE::Exists("000001.tmp"));
  SetFileFault(kFileOpOpen, 3, false);  // the name is taken by the first open
  EXPECT_EQ(CFILE::CheckHandles(2), -1);
  ASSERT_EQ(recorder.seen.size(), 1u);
  EXPECT_EQ(recorder.seen[0].operation, kFileOpCheckHandles);
  EXPECT_FALSE(CFILE::Exists("000001.tmp"));
}

TEST_F(CfileTest, InjectedFaultsFailTheChosenOperation) {
  CFILE f;
  std::string name = dir.File("f.dat");
  ASSERT_EQ(f.Open(name.c_str(), kCreateAlways, kAccessReadWrite, kShareNone), 0);
  SetFileFault(kFileOpWrite, 2, false);
  EXPECT_EQ(f.Write("a", 1), 1);
  EXPECT_EQ(f.Write("b", 1), -1);
  EXPECT_EQ(f.Write("c", 1), 1);  // once only
  SetFileFault(kFileOpWrite, 1, true);
  EXPECT_EQ(f.Write("d", 1), -1);
  EXPECT_EQ(f.Write("e", 1), -1);
  ClearFileFault();
  EXPECT_EQ(f.Size(), 2);
  ASSERT_EQ(recorder.seen.size(), 3u);
  EXPECT_EQ(recorder.seen[0].error, EIO);
}

TEST_F(CfileTest, RenameCopyAndDelete) {
  std::string a = dir.File("a"), b = dir.File("b"), c = dir.File("c");
  WriteWholeFile(a, "one");
  WriteWholeFile(b, "two");
  CFILE f;
  ASSERT_EQ(f.Open(a.c_str(), kOpenExisting, kAccessRead, kShareRead), 0);
  EXPECT_EQ(f.Copy(c.c_str()), 0);
  EXPECT_EQ(ReadWholeFile(c), "one");
  f.Close();
  EXPECT_EQ(f.Rename(b.c_str(), false), -1);  // the target exists
  EXPECT_EQ(ReadWholeFile(b), "two");
  EXPECT_EQ(f.Rename(b.c_str(), true), 0);
  EXPECT_EQ(ReadWholeFile(b), "one");
  EXPECT_FALSE(CFILE::Exists(a.c_str()));
  EXPECT_EQ(f.Delete(), 0);
  EXPECT_FALSE(CFILE::Exists(b.c_str()));
  EXPECT_EQ(CFILE::DeleteFile(b.c_str()), -1);
}

// The memory file system keeps what a power loss keeps; the disk-space fault fails a write
// that does not fit and leaves what fits. Replace leaves the old file or the new one.
TEST_F(CfileTest, PowerLossKeepsFlushedDataAndNamesOnly) {
  MEMORY_FILESYSTEM* fs = UseMemoryFileSystem();
  CFILE f;
  ASSERT_EQ(f.Open("a", kCreateAlways, kAccessReadWrite, kShareNone), 0);
  ASSERT_EQ(f.Write("old", 3), 3);
  ASSERT_EQ(f.Flush(), 0);
  ASSERT_EQ(CFILE::FlushDirectory("a"), 0);
  ASSERT_EQ(f.Write("er", 2), 2);  // never flushed
  f.Close();
  WriteWholeFile(dir.File("real"), "");  // the real disk is out of sight
  EXPECT_FALSE(CFILE::Exists(dir.File("real").c_str()));
  CFILE n;
  ASSERT_EQ(n.Open("b", kCreateAlways, kAccessReadWrite, kShareNone), 0);
  ASSERT_EQ(n.Write("new", 3), 3);
  n.Close();
  fs->PowerLoss();
  std::string bytes;
  EXPECT_TRUE(fs->Contents("a", &bytes));
  EXPECT_EQ(bytes, "old");
  EXPECT_FALSE(CFILE::Exists("b"));  // its name was never flushed

  ASSERT_EQ(n.Open("b", kCreateAlways, kAccessReadWrite, kShareNone), 0);
  ASSERT_EQ(n.Write("new", 3), 3);
  n.Close();
  ASSERT_EQ(CFILE::Replace("b", "a"), 0);
  fs->PowerLoss();
  EXPECT_TRUE(fs->Contents("a", &bytes));
  EXPECT_EQ(bytes, "new");
  EXPECT_FALSE(CFILE::Exists("b"));

  SetDiskSpace(4);
  ASSERT_EQ(f.Open("a", kOpenExisting, kAccessReadWrite, kShareNone), 0);
  ASSERT_EQ(f.Seek(0, SEEK_END), 3);
  EXPECT_EQ(f.Write("123456", 6), -1);
  ASSERT_FALSE(recorder.seen.empty());
  EXPECT_EQ(recorder.seen.back().error, ENOSPC);
  EXPECT_EQ(f.Size(), 7);
  EXPECT_EQ(f.SetSize(2), 0);  // shrinking gives the space back
  EXPECT_EQ(f.Seek(0, SEEK_SET), 0);
  EXPECT_EQ(f.Write("abcdef", 6), 6);
  f.Close();
  StopMemoryFileSystem();
}

}  // namespace
