// The archive engine: what it writes is read back byte for byte (and by other ZIP programs in
// the standard form), archives of other programs are read, damaged archives are refused with
// the data left as they were, a fault at any file operation changes nothing, and an archive
// spread over disks joins again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "db/archive/archzip.h"
#include "platform/cfile.h"
#include "platform/removable.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const char* const kFiles[] = {"Gto.dbf", "Tow.dbf", "empty.inx", "Tamsu.ini"};

class RECORDING : public ARCHZIP {
 public:
  int Error(int code, const char* name) override {
    errors.push_back(code);
    names.push_back(name);
    return code == go_on ? 0 : 1;
  }
  int DiskPrompt(int kind, int disk) override {
    prompts.emplace_back(kind, disk);
    if (on_prompt) on_prompt(kind, disk);
    return 0;
  }
  std::vector<int> errors;
  std::vector<std::string> names;
  std::vector<std::pair<int, int>> prompts;
  std::function<void(int, int)> on_prompt;
  int go_on = 0;
};

// Directories standing for the disks of drive A:.
class FAKE_DRIVES : public REMOVABLE_DRIVES {
 public:
  int Find(int drive, std::string* dir) override {
    if (drive != 0 || inserted.empty()) return -1;
    *dir = inserted;
    return 0;
  }
  bool Writable(const std::string&) override { return true; }
  int64_t FreeSpace(const std::string& dir) override {
    int64_t used = 0;
    for (const auto& e : fs::directory_iterator(dir)) used += static_cast<int64_t>(e.file_size());
    return capacity - used;
  }
  int ReadLabel(const std::string& dir, std::string* label) override {
    *label = labels[dir];
    return 0;
  }
  int SetLabel(const std::string& dir, const std::string& label) override {
    labels[dir] = label;
    return 0;
  }
  std::string inserted;
  std::map<std::string, std::string> labels;
  int64_t capacity = 0;
};

std::string Random(size_t n, unsigned seed) {
  std::mt19937 g(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(g());
  return s;
}

int Sh(const std::string& command) { return std::system(command.c_str()); }

class ArchzipTest : public ::testing::Test {
 protected:
  ArchzipTest() : dir(true) {}
  void SetUp() override {
    fs::create_directory("src");
    fs::create_directory("data");
    WriteWholeFile("src/Gto.dbf", std::string(70000, ' ') + "Kwiaty");
    WriteWholeFile("src/Tow.dbf", Random(150000, 1));
    WriteWholeFile("src/empty.inx", "");
    WriteWholeFile("src/Tamsu.ini", "[Tamsu]\nNet=0\n");
    ResetData();
  }
  void TearDown() override { ClearFileFault(); }
  // The names and contents of the data directory, in short.
  std::string Data() {
    std::map<std::string, size_t> files;
    for (const auto& e : fs::directory_iterator("data"))
      files[e.path().string()] = std::hash<std::string>()(ReadWholeFile(e.path()));
    std::string all;
    for (const auto& [name, hash] : files) all += name + "=" + std::to_string(hash) + ";";
    return all;
  }
  void ResetData() {
    for (const char* f : kFiles)
      WriteWholeFile(std::string("data/") + f, std::string("stare ") + f);
  }
  void ExpectRestored() {
    for (const char* f : kFiles)
      EXPECT_EQ(ReadWholeFile(std::string("data/") + f), ReadWholeFile(std::string("src/") + f))
          << f;
  }
  TempDir dir;
  RECORDING z;
};

TEST_F(ArchzipTest, RoundTripInBothFormsIsByteExactAndKeepsTimes) {
  fs::last_write_time("src/Gto.dbf", fs::last_write_time("src/Gto.dbf") - std::chrono::hours(30));
  ASSERT_EQ(z.CreateArchive("own.zip", kFiles, 4, "src"), 0);
  // The program's own members are zlib streams (level 5: 78 5E) under method 8.
  const std::string own = ReadWholeFile("own.zip");
  EXPECT_EQ(own.substr(30 + 7, 2), "\x78\x5E");
  ASSERT_EQ(z.ExtractArchive("own.zip", kFiles, 4, "data"), 0);
  ExpectRestored();
  EXPECT_EQ(z.Extracted().size(), 4u);
  const auto diff = fs::last_write_time("data/Gto.dbf") - fs::last_write_time("src/Gto.dbf");
  EXPECT_LE(std::chrono::abs(diff), std::chrono::seconds(2));

  z.SetStandardMembers(true);
  ASSERT_EQ(z.CreateArchive("std.zip", kFiles, 4, "src"), 0);
  EXPECT_EQ(Sh("unzip -tq std.zip >/dev/null"), 0);
  EXPECT_EQ(Sh("python3 -c \"import zipfile,sys; z=zipfile.ZipFile('std.zip'); "
               "sys.exit(z.testzip() is not None or "
               "z.read('Tow.dbf')!=open('src/Tow.dbf','rb').read())\""),
            0);
  // The own form is a valid archive whose members zlib reads.
  EXPECT_EQ(Sh("python3 -c \"import zipfile,zlib,sys,struct; f=open('own.zip','rb').read(); "
               "z=zipfile.ZipFile('own.zip'); "
               "i=z.getinfo('Tow.dbf'); o=i.header_offset; n,e=struct.unpack('<HH',f[o+26:o+30]); "
               "d=zlib.decompress(f[o+30+n+e:o+30+n+e+i.compress_size]); "
               "sys.exit(d!=open('src/Tow.dbf','rb').read())\""),
            0);
  WriteWholeFile("data/Tow.dbf", "inny");
  ASSERT_EQ(z.ExtractArchive("std.zip", kFiles, 4, "data"), 0);
  ExpectRestored();
  EXPECT_TRUE(z.errors.empty());
}

TEST_F(ArchzipTest, ArchivesOfOtherProgramsAreRead) {
  // Python's zipfile (raw deflate, a stored member, other names around ours, lower-case name).
  ASSERT_EQ(Sh("cd src && python3 -c \"import zipfile; "
               "z=zipfile.ZipFile('../py.zip','w',zipfile.ZIP_DEFLATED); "
               "z.write('Gto.dbf'); z.write('Tow.dbf'); z.write('empty.inx', "
               "compress_type=zipfile.ZIP_STORED); "
               "z.write('Tamsu.ini','tamsu.ini'); z.writestr('inne.txt','x')\""),
            0);
  ASSERT_EQ(z.ExtractArchive("py.zip", kFiles, 4, "data"), 0);
  ExpectRestored();
  EXPECT_FALSE(fs::exists("data/inne.txt"));
  // Info-ZIP's zip.
  WriteWholeFile("data/Gto.dbf", "inny");
  ASSERT_EQ(Sh("cd src && zip -q ../info.zip Gto.dbf Tow.dbf empty.inx Tamsu.ini"), 0);
  ASSERT_EQ(z.ExtractArchive("info.zip", kFiles, 4, "data"), 0);
  ExpectRestored();
}

TEST_F(ArchzipTest, DamagedArchivesAreRefusedAndChangeNothing) {
  ASSERT_EQ(z.CreateArchive("good.zip", kFiles, 4, "src"), 0);
  const std::string good = ReadWholeFile("good.zip");
  const size_t central = good.size() - 22 - (4 * 46 + 7 + 7 + 9 + 9);  // first central header
  // 3 GB of zeros in 3 MB: one sync-flushed 16 MB block repeated, then a final empty block.
  ASSERT_EQ(
      Sh("python3 -c \"import zipfile,zlib,struct; c=zlib.compressobj(9,zlib.DEFLATED,-15); "
         "x=c.compress(bytes(1<<24))+c.flush(zlib.Z_SYNC_FLUSH); d=x*192+b'\\x03\\x00'; "
         "z=zipfile.ZipFile('bomb.zip','w'); i=zipfile.ZipInfo('Gto.dbf'); i.compress_type=8; "
         "z.writestr(i,b''); z.close(); f=open('bomb.zip','rb').read(); n=len('Gto.dbf'); "
         "lh=bytearray(f[:30+n]); struct.pack_into('<III',lh,14,0,len(d),1000); "
         "cd=bytearray(f[30+n+2:-22]); struct.pack_into('<III',cd,16,0,len(d),1000); "
         "struct.pack_into('<I',cd,42,0); "
         "end=bytearray(f[-22:]); struct.pack_into('<II',end,12,len(cd),30+n+len(d)); "
         "open('bomb.zip','wb').write(bytes(lh)+d+bytes(cd)+bytes(end))\""),
      0);
  ASSERT_EQ(Sh("python3 -c \"import zipfile; z=zipfile.ZipFile('up.zip','w'); "
               "z.writestr('../Gto.dbf','x'); z.close(); "
               "z=zipfile.ZipFile('abs.zip','w'); z.writestr('/etc/Gto.dbf','x'); z.close()\""),
            0);
  auto patched = [&](size_t at, uint32_t value) {
    std::string s = good;
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(value >> (8 * i));
    return s;
  };
  auto le32 = [&](size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(good[at + i]);
    return v;
  };
  struct CASE {
    const char* what;
    std::string bytes;  // empty: the file is already there
    const char* file;
    int code;
  };
  const CASE cases[] = {
      {"bad CRC", patched(central + 16, le32(central + 16) ^ 1), "bad.zip", kArchErrCrc},
      {"truncated", good.substr(0, good.size() / 2), "cut.zip", kArchErrFormat},
      {"declared larger", patched(central + 24, le32(central + 24) + 1), "big.zip",
       kArchErrDecompress},
      {"declared smaller", patched(central + 24, le32(central + 24) - 1), "small.zip",
       kArchErrDecompress},
      {"compressed size past the directory", patched(central + 20, 0x7FFFFFFF), "csize.zip",
       kArchErrFormat},
      {"a name with ../", "", "up.zip", kArchErrFormat},
      {"an absolute name", "", "abs.zip", kArchErrFormat},
      {"a member inflating to 3 GB", "", "bomb.zip", kArchErrDecompress},
      {"no archive at all", "PK\x05\x06 to nie jest archiwum", "junk.zip", kArchErrFormat},
  };
  const std::string before = Data();
  for (const CASE& c : cases) {
    if (!c.bytes.empty()) WriteWholeFile(c.file, c.bytes);
    z.errors.clear();
    EXPECT_EQ(z.ExtractArchive(c.file, kFiles, 4, "data"), -1) << c.what;
    ASSERT_FALSE(z.errors.empty()) << c.what;
    EXPECT_EQ(z.errors[0], c.code) << c.what;
    EXPECT_EQ(Data(), before) << c.what;  // no file replaced, no temporary file left
  }
  // "Tak" to a damaged member leaves that one out and restores the others.
  z.go_on = kArchErrCrc;
  ASSERT_EQ(z.ExtractArchive("bad.zip", kFiles, 4, "data"), 0);
  EXPECT_EQ(ReadWholeFile("data/Gto.dbf"), "stare Gto.dbf");
  EXPECT_EQ(ReadWholeFile("data/Tow.dbf"), ReadWholeFile("src/Tow.dbf"));
}

TEST_F(ArchzipTest, AFaultAtAnyFileOperationLeavesOldFilesAndNoTemporaryOnes) {
  z.SetLevel(1);  // an archive that the one made in the loop can be told from
  ASSERT_EQ(z.CreateArchive("old.zip", kFiles, 4, "src"), 0);
  z.SetLevel(5);
  const std::string old_archive = ReadWholeFile("old.zip");
  const std::string before = Data();
  for (int op : {kFileOpRead, kFileOpWrite, kFileOpOpen, kFileOpSeek, kFileOpFlush, kFileOpRename,
                 kFileOpSize}) {
    for (long n = 1;; ++n) {
      WriteWholeFile("old.zip", old_archive);
      ResetData();
      SetFileFault(op, n, false);
      const int created = z.CreateArchive("old.zip", kFiles, 4, "src");
      const bool tripped = FileFaultTripped();
      ClearFileFault();
      SetFileFault(op, n, false);
      const int extracted = z.ExtractArchive("old.zip", kFiles, 4, "data");
      const bool tripped2 = FileFaultTripped();
      ClearFileFault();
      if (tripped) {
        EXPECT_EQ(created, -1) << op << " " << n;
        EXPECT_EQ(ReadWholeFile("old.zip"), old_archive) << op << " " << n;
      }
      if (tripped2) {
        EXPECT_EQ(extracted, -1) << op << " " << n;
        EXPECT_EQ(Data(), before) << op << " " << n;
      }
      for (const auto& e : fs::directory_iterator("."))
        EXPECT_NE(e.path().extension(), ".tmp") << op << " " << n;
      if (!tripped && !tripped2) break;
    }
  }
}

TEST_F(ArchzipTest, AMissingFileIsAskedAboutAndLeftOut) {
  fs::remove("src/Tamsu.ini");
  EXPECT_EQ(z.CreateArchive("a.zip", kFiles, 4, "src"), -1);
  EXPECT_EQ(z.errors, std::vector<int>{kArchErrMissing});
  EXPECT_FALSE(fs::exists("a.zip"));
  z.go_on = kArchErrMissing;
  ASSERT_EQ(z.CreateArchive("a.zip", kFiles, 4, "src"), 0);
  ZIPDIRECTORY zd;
  CFILE f;
  ASSERT_EQ(f.Open("a.zip", kOpenExisting, kAccessRead, kShareRead), 0);
  ASSERT_EQ(ReadZipDirectory(f, &zd), 0);
  EXPECT_EQ(zd.entries.size(), 3u);
}

TEST_F(ArchzipTest, AnArchiveSpreadOverDisksJoinsAgain) {
  FAKE_DRIVES drives;
  SetRemovableDrives(&drives);
  drives.capacity = 4096 + 70000;  // three or four disks for this archive
  std::vector<std::string> disks;
  for (int i = 1; i <= 6; ++i) {
    disks.push_back(dir.File("dysk" + std::to_string(i)));
    fs::create_directory(disks.back());
  }
  ASSERT_EQ(z.CreateArchive("Tamsu.zip", kFiles, 4, "src"), 0);
  // Disk 2 is first answered with disk 1 again: the engine asks once more.
  int asked_for_two = 0;
  z.on_prompt = [&](int, int n) {
    if (n == 2 && asked_for_two++ == 0) drives.inserted = disks[0];
    else drives.inserted = disks[static_cast<size_t>(n - 1)];
  };
  ASSERT_EQ(z.WriteToDisks("Tamsu.zip", "A:\\Tamsu.zip"), 0) << testing::PrintToString(z.errors);
  int used = 0;
  while (fs::exists(disks[static_cast<size_t>(used)] + "/Tamsu.zip")) ++used;
  ASSERT_GE(used, 3);
  EXPECT_EQ(std::count(z.prompts.begin(), z.prompts.end(), std::make_pair(kPromptDisk, 2)), 2);
  for (int i = 0; i < used; ++i)
    EXPECT_EQ(drives.labels[disks[static_cast<size_t>(i)]], "PKBACK# 00" + std::to_string(i + 1));
  EXPECT_EQ(ReadWholeFile(disks[0] + "/Tamsu.zip").substr(0, 4), "PK\x07\x08");

  z.prompts.clear();
  z.on_prompt = [&](int kind, int n) {
    drives.inserted = disks[static_cast<size_t>(kind == kPromptLastDisk ? used - 1 : n - 1)];
  };
  ASSERT_EQ(z.ReadFromDisks("A:\\Tamsu.zip", "joined.zip"), 0);
  EXPECT_EQ(z.prompts.front(), std::make_pair(kPromptLastDisk, 0));
  EXPECT_EQ(z.prompts.size(), static_cast<size_t>(used));
  EXPECT_EQ(ReadWholeFile("joined.zip"), ReadWholeFile("Tamsu.zip"));
  ASSERT_EQ(z.ExtractArchive("joined.zip", kFiles, 4, "data"), 0);
  ExpectRestored();

  // An empty drive asks "Brak dyskietki"; Wyjście stops.
  z.go_on = 0;
  z.errors.clear();
  z.on_prompt = [&](int, int) { drives.inserted.clear(); };
  EXPECT_EQ(z.WriteToDisks("Tamsu.zip", "A:"), -1);
  EXPECT_EQ(z.errors, std::vector<int>{kArchErrNoDisk});
}

}  // namespace
