// The goods table against SQLite doing the same work in the same run.
//
// Both sides store the same bytes: SQLite keeps the whole stored record as a blob plus the six
// key columns (the keys our key builders make), with one index on each key column. Goods are made
// so that nine in ten have no barcode (the usual case, and the worst for equal keys). SQLite runs
// in two configurations: the same guarantees as ours (journal off, exclusive locking, no sync)
// and WAL with exclusive locking (synchronous=NORMAL: no sync per statement either). One
// statement per record, autocommit, as our table layer writes each record through at once; the
// index pages our table keeps back while it is held alone are written inside the measured time
// (TableFlush at the end of the appends and of each run of updates).
// Repetitions alternate between the engines (the order turns each time); every repetition starts
// in a fresh directory. Printed: the median of each operation and ratios, in one table.
//
//   bench_table_vs_sqlite [N] [--reps R] [--no-check]
//   bench_table_vs_sqlite --scaling N1 N2    per-record rebuild time and peak memory, each size
//                                            rebuilt in a process of its own, medians of five
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/text.h"
#include "db/dbf_format.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_check.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point a) {
  return std::chrono::duration<double>(Clock::now() - a).count();
}

constexpr int kKeys = 6;
constexpr long kUpdates = 500;

struct Goods {
  TOW_RECORD rec;
  std::string blob;         // the record as the data file stores it
  std::string keys[kKeys];  // as the key builders make them
  bool barcode = false;
};

// The stored record of a structure, packed field by field as the table layer does.
std::string StoredRecord(const TOW_RECORD& r) {
  const TABLEDEF& def = TABLE_DEFS[kTableGoods];
  std::string out(1, ' ');
  size_t packed = 0;
  for (int i = 0; i < def.field_count; ++i) {
    const FIELDDEF& f = def.fields[i];
    size_t at = f.struct_offset == kPackedOffset ? packed : f.struct_offset;
    const char* p = reinterpret_cast<const char*>(&r) + at;
    std::string field(static_cast<size_t>(f.length), ' ');
    if (f.type == 'C') PackText(p, f.length, field.data());
    else if (f.type == 'D') PackDate(*reinterpret_cast<const DATE*>(p), field.data());
    else if (f.type == 'L') field[0] = *reinterpret_cast<const int32_t*>(p) ? 'T' : 'F';
    else if (!PackNumber(*reinterpret_cast<const AMOUNT*>(p), f.length, f.decimals, field.data()))
      std::abort();
    out += field;
    packed = at + (f.type == 'C' ? static_cast<size_t>(f.length) + 1 : f.type == 'N' ? 8 : 4);
  }
  return out;
}

// Goods first+1 .. first+n.
std::vector<Goods> MakeGoods(long n, long first = 0) {
  std::mt19937_64 rng(42 + static_cast<uint64_t>(first));
  const char* words[] = {"Róża",   "Tulipan", "Storczyk", "Wino",   "Wódka",
                         "Koniak", "Gerbera", "Lilia",    "Żonkil", "Kalia"};
  std::vector<Goods> g(static_cast<size_t>(n));
  for (long i = 0; i < n; ++i) {
    Goods& x = g[static_cast<size_t>(i)];
    TOW_RECORD& r = x.rec;
    r = TOW_RECORD{};
    r.ID = AMOUNT::FromInt(first + i + 1);
    std::snprintf(r.NAZWA, sizeof r.NAZWA, "%s %06llu", Utf8ToCp1250(words[rng() % 10]).c_str(),
                  static_cast<unsigned long long>(rng() % 1000000));
    const long k = first + i;
    std::snprintf(r.NR, sizeof r.NR, "N%07ld", (k * 7919) % 10000000);
    x.barcode = k % 10 == 0;
    if (x.barcode)
      std::snprintf(r.EAN, sizeof r.EAN, "590%010ld", (k * 7 + 1000000) % 10000000000L);
    r.GTOID = AMOUNT::FromInt(static_cast<long>(rng() % 20) + 1);
    r.CENA = AMOUNT::FromDouble(static_cast<double>(rng() % 100000) / 100.0);
    std::snprintf(r.JMIARY, sizeof r.JMIARY, "szt");
    x.blob = StoredRecord(r);
    for (int k = 0; k < kKeys; ++k) {
      char key[128] = {};
      TABLE_DEFS[kTableGoods].key_builders[k](&r, key);
      x.keys[k] = key;
    }
  }
  return g;
}

// The work both engines do, with the inputs drawn once.
struct Work {
  std::vector<Goods> goods;
  std::vector<std::string> id_keys;   // exact ID seeks
  std::vector<std::string> prefixes;  // name prefix seeks
  std::vector<long> plain, coded;     // records to update: without and with a barcode
  bool check = true;
};

enum Op {
  kAppend,
  kSeekId,
  kSeekPrefix,
  kWalk,
  kUpdatePlain,
  kUpdateCoded,
  kRebuild,
  kCheck,
  kPack,
  kOps
};
const char* const kOpNames[kOps] = {"append",
                                    "exact-ID seek",
                                    "name-prefix seek",
                                    "walk in name order",
                                    "update, no barcode",
                                    "update, barcode",
                                    "index rebuild",
                                    "check",
                                    "pack"};

using Times = std::vector<double>;

void Fail(const char* what) {
  std::fprintf(stderr, "failed: %s\n", what);
  std::exit(1);
}

Times Ours(const Work& w) {
  Times t(kOps, 0);
  const long n = static_cast<long>(w.goods.size());
  if (TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]) != 0) Fail("open");
  auto a = Clock::now();
  for (const Goods& g : w.goods) {
    Tow = g.rec;
    if (TableAppend(kTableGoods) != 0) Fail("append");
  }
  // Index pages the appends left waiting in memory are written here, inside the time: SQLite
  // writes its pages at each statement.
  if (TableFlush(kTableGoods) != 0) Fail("flush");
  t[kAppend] = Since(a);
  TableSetIndex(kTableGoods, 0);
  a = Clock::now();
  long found = 0;
  for (const std::string& k : w.id_keys) found += TableSeek(kTableGoods, k.c_str()) == 0;
  t[kSeekId] = Since(a);
  TableSetIndex(kTableGoods, 1);
  a = Clock::now();
  for (const std::string& p : w.prefixes) found += TableSeek(kTableGoods, p.c_str()) == 0;
  t[kSeekPrefix] = Since(a);
  a = Clock::now();
  long walked = 0;
  for (int rc = TableFirst(kTableGoods); rc == 0; rc = TableNext(kTableGoods)) ++walked;
  t[kWalk] = Since(a);
  if (walked != n || found != 2 * n) Fail("seeks or walk");
  for (int pass = 0; pass < 2; ++pass) {
    const std::vector<long>& which = pass == 0 ? w.plain : w.coded;
    a = Clock::now();
    for (long r : which) {
      if (TableGo(kTableGoods, r) != 0) Fail("go");
      Tow.CENA = Tow.CENA + AMOUNT::FromInt(1);
      if (TableUpdate(kTableGoods) != 0) Fail("update");
    }
    if (TableFlush(kTableGoods) != 0) Fail("flush");
    t[pass == 0 ? kUpdatePlain : kUpdateCoded] = Since(a);
  }
  a = Clock::now();
  if (TableRebuildIndexes(kTableGoods) != 0) Fail("rebuild");
  t[kRebuild] = Since(a);
  if (w.check) {
    std::string problem;
    a = Clock::now();
    if (CheckTable(kTableGoods, &problem) != 0) Fail(problem.c_str());
    t[kCheck] = Since(a);
  }
  a = Clock::now();
  if (TablePack(kTableGoods) != 0) Fail("pack");
  t[kPack] = Since(a);
  TableClose(kTableGoods);
  return t;
}

void Exec(sqlite3* db, const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s: %s\n", sql, err);
    std::exit(1);
  }
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) Fail(sql);
  return st;
}

void BindBlob(sqlite3_stmt* st, int i, const std::string& s) {
  sqlite3_bind_blob(st, i, s.data(), static_cast<int>(s.size()), SQLITE_STATIC);
}

const char* kCreateIndexes =
    "CREATE INDEX tow_k0 ON tow(k0); CREATE INDEX tow_k1 ON tow(k1); CREATE INDEX tow_k2 ON "
    "tow(k2);"
    "CREATE INDEX tow_k3 ON tow(k3); CREATE INDEX tow_k4 ON tow(k4); CREATE INDEX tow_k5 ON "
    "tow(k5);";

Times Sqlite(const Work& w, bool wal) {
  Times t(kOps, 0);
  const long n = static_cast<long>(w.goods.size());
  sqlite3* db = nullptr;
  if (sqlite3_open("peer.sqlite", &db) != SQLITE_OK) Fail("sqlite open");
  Exec(db,
       wal ? "PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
           : "PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
  Exec(db, "CREATE TABLE tow(rec BLOB, k0 BLOB, k1 BLOB, k2 BLOB, k3 BLOB, k4 BLOB, k5 BLOB);");
  Exec(db, kCreateIndexes);
  sqlite3_stmt* ins = Prepare(db, "INSERT INTO tow VALUES(?,?,?,?,?,?,?)");
  auto a = Clock::now();
  for (const Goods& g : w.goods) {
    BindBlob(ins, 1, g.blob);
    for (int k = 0; k < kKeys; ++k) BindBlob(ins, k + 2, g.keys[k]);
    if (sqlite3_step(ins) != SQLITE_DONE) Fail("insert");
    sqlite3_reset(ins);
  }
  t[kAppend] = Since(a);
  long found = 0;
  sqlite3_stmt* by_id = Prepare(db, "SELECT rec FROM tow WHERE k0 = ?");
  a = Clock::now();
  for (const std::string& k : w.id_keys) {
    BindBlob(by_id, 1, k);
    if (sqlite3_step(by_id) == SQLITE_ROW && sqlite3_column_bytes(by_id, 0) > 0) ++found;
    sqlite3_reset(by_id);
  }
  t[kSeekId] = Since(a);
  sqlite3_stmt* by_prefix = Prepare(db, "SELECT rec FROM tow WHERE k1 >= ? ORDER BY k1 LIMIT 1");
  a = Clock::now();
  for (const std::string& p : w.prefixes) {
    BindBlob(by_prefix, 1, p);
    if (sqlite3_step(by_prefix) == SQLITE_ROW && sqlite3_column_bytes(by_prefix, 0) > 0) ++found;
    sqlite3_reset(by_prefix);
  }
  t[kSeekPrefix] = Since(a);
  sqlite3_stmt* walk = Prepare(db, "SELECT rec FROM tow ORDER BY k1");
  a = Clock::now();
  long walked = 0;
  while (sqlite3_step(walk) == SQLITE_ROW) walked += sqlite3_column_bytes(walk, 0) > 0;
  t[kWalk] = Since(a);
  if (walked != n || found != 2 * n) Fail("sqlite seeks or walk");
  sqlite3_stmt* get = Prepare(db, "SELECT rec FROM tow WHERE rowid = ?");
  sqlite3_stmt* upd =
      Prepare(db, "UPDATE tow SET rec=?, k0=?, k1=?, k2=?, k3=?, k4=?, k5=? WHERE rowid = ?");
  for (int pass = 0; pass < 2; ++pass) {
    const std::vector<long>& which = pass == 0 ? w.plain : w.coded;
    a = Clock::now();
    for (long r : which) {
      const Goods& g = w.goods[static_cast<size_t>(r)];
      sqlite3_bind_int64(get, 1, r + 1);
      if (sqlite3_step(get) != SQLITE_ROW) Fail("sqlite get");
      std::string rec(static_cast<const char*>(sqlite3_column_blob(get, 0)),
                      static_cast<size_t>(sqlite3_column_bytes(get, 0)));
      sqlite3_reset(get);
      rec[rec.size() - 1] ^= 1;  // a changed price
      BindBlob(upd, 1, rec);
      for (int k = 0; k < kKeys; ++k) BindBlob(upd, k + 2, g.keys[k]);
      sqlite3_bind_int64(upd, 8, r + 1);
      if (sqlite3_step(upd) != SQLITE_DONE) Fail("sqlite update");
      sqlite3_reset(upd);
    }
    t[pass == 0 ? kUpdatePlain : kUpdateCoded] = Since(a);
  }
  Exec(db,
       "DROP INDEX tow_k0; DROP INDEX tow_k1; DROP INDEX tow_k2; DROP INDEX tow_k3; DROP INDEX "
       "tow_k4; "
       "DROP INDEX tow_k5;");
  a = Clock::now();
  Exec(db, kCreateIndexes);
  t[kRebuild] = Since(a);
  if (w.check) {
    a = Clock::now();
    Exec(db, "PRAGMA integrity_check;");
    t[kCheck] = Since(a);
  }
  for (sqlite3_stmt* st : {ins, by_id, by_prefix, walk, get, upd}) sqlite3_finalize(st);
  a = Clock::now();
  Exec(db, "VACUUM;");
  t[kPack] = Since(a);
  sqlite3_close(db);
  return t;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A fresh directory for one run, removed afterwards.
template <typename F>
Times InFreshDir(F run) {
  std::string dir = (std::filesystem::temp_directory_path() / "tamsu-bench-XXXXXX").string();
  if (!mkdtemp(dir.data())) Fail("mkdtemp");
  std::string back = std::filesystem::current_path().string();
  if (chdir(dir.c_str()) != 0) Fail("chdir");
  Times t = run();
  if (chdir(back.c_str()) != 0) Fail("chdir back");
  std::filesystem::remove_all(dir);
  return t;
}

int Compare(long n, int reps, bool check) {
  Work w;
  w.goods = MakeGoods(n);
  w.check = check;
  std::mt19937_64 rng(7);
  for (long i = 0; i < n; ++i) {
    w.id_keys.push_back(w.goods[rng() % w.goods.size()].keys[0]);
    w.prefixes.push_back(w.goods[rng() % w.goods.size()].keys[1].substr(0, 8));
  }
  while (static_cast<long>(w.plain.size()) < std::min(kUpdates, n * 9 / 10) ||
         static_cast<long>(w.coded.size()) < std::min(kUpdates, n / 10)) {
    long r = static_cast<long>(rng() % static_cast<uint64_t>(n));
    std::vector<long>& to = w.goods[static_cast<size_t>(r)].barcode ? w.coded : w.plain;
    if (static_cast<long>(to.size()) < kUpdates) to.push_back(r);
  }

  const int engines = 3;
  std::vector<std::vector<Times>> runs(engines);
  for (int rep = 0; rep < reps; ++rep) {
    for (int k = 0; k < engines; ++k) {
      int e = (rep + k) % engines;  // the engine that goes first turns each time
      runs[e].push_back(InFreshDir([&] { return e == 0 ? Ours(w) : Sqlite(w, e == 2); }));
      std::fprintf(stderr, "repetition %d, engine %d done\n", rep + 1, e);
    }
  }
  Times med[engines];
  for (int e = 0; e < engines; ++e) {
    med[e].assign(kOps, 0);
    for (int op = 0; op < kOps; ++op) {
      std::vector<double> v;
      for (const Times& t : runs[e]) v.push_back(t[op]);
      med[e][op] = Median(v);
    }
  }
  std::printf(
      "%ld goods (%ld with a barcode), six indexes on both sides; medians of %d runs in seconds\n",
      n, (n + 9) / 10, reps);
  std::printf(
      "A = SQLite journal off, exclusive, synchronous off; B = SQLite WAL, exclusive, synchronous "
      "normal\n");
  std::printf("updates: %zu goods without and %zu with a barcode\n", w.plain.size(),
              w.coded.size());
  std::printf("%-22s %10s %10s %10s %8s %8s\n", "", "Tamsu", "SQLite A", "SQLite B", "ours/A",
              "ours/B");
  for (int op = 0; op < kOps; ++op) {
    if (op == kCheck && !check) continue;
    std::printf("%-22s %10.4f %10.4f %10.4f %8.2f %8.2f\n", kOpNames[op], med[0][op], med[1][op],
                med[2][op], med[0][op] / med[1][op], med[0][op] / med[2][op]);
  }
  if (check) std::printf("ours: check / rebuild %.2f\n", med[0][kCheck] / med[0][kRebuild]);
  std::printf("ours: pack / rebuild %.2f\n", med[0][kPack] / med[0][kRebuild]);
  std::printf("ours: update without / with a barcode %.2f\n",
              (med[0][kUpdatePlain] / static_cast<double>(w.plain.size())) /
                  (med[0][kUpdateCoded] / static_cast<double>(w.coded.size())));
  return 0;
}

// --- Rebuild scaling: a table of N goods written straight into the data file, its index rebuilt
// in a child process whose peak memory the kernel reports.

// User and system time of this process: on a machine shared with others the wall clock tells
// more about them than about us.
double CpuSeconds() {
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
         static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

int RebuildChild(const char* dir) {
  if (chdir(dir) != 0) return 1;
  if (TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]) != 0) return 1;  // builds the missing index
  const double cpu_before = CpuSeconds();
  auto a = Clock::now();
  if (TableRebuildIndexes(kTableGoods) != 0) return 1;
  const double took = Since(a), cpu = CpuSeconds() - cpu_before;
  TableClose(kTableGoods);
  // The peak resident size of this process image (VmHWM starts afresh at exec; the rusage
  // maximum would carry the parent's over).
  long hwm_kb = 0;
  if (FILE* st = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, st))
      if (std::strncmp(line, "VmHWM:", 6) == 0) hwm_kb = std::atol(line + 6);
    std::fclose(st);
  }
  std::printf("%.6f %.6f %ld\n", took, cpu, hwm_kb);
  return 0;
}

void WriteTable(const std::string& dir, long n) {
  std::string back = std::filesystem::current_path().string();
  if (chdir(dir.c_str()) != 0) Fail("chdir");
  if (TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]) != 0) Fail("open");
  TableClose(kTableGoods);
  std::remove("Tow.inx");
  FILE* f = std::fopen("Tow.dbf", "r+b");
  uint8_t head[32];
  if (!f || std::fread(head, 1, 32, f) != 32) Fail("dbf");
  DBFHEADER h = DecodeDbfHeader(head);
  h.record_count = static_cast<uint32_t>(n);
  EncodeDbfHeader(h, head);
  std::fseek(f, 0, SEEK_SET);
  std::fwrite(head, 1, 32, f);
  std::fseek(f, h.header_length, SEEK_SET);
  // Made in slices to keep this process small as well.
  for (long done = 0; done < n;) {
    long part = std::min(n - done, 100000L);
    for (const Goods& g : MakeGoods(part, done)) std::fwrite(g.blob.data(), 1, g.blob.size(), f);
    done += part;
  }
  std::fputc(kDbfEndMark, f);
  std::fclose(f);
  if (chdir(back.c_str()) != 0) Fail("chdir back");
}

int Scaling(const char* self, long n1, long n2) {
  // Five rebuilds of each size, the sizes taking turns so that a slow spell of the machine does
  // not fall on one of them only; medians of the times, the largest peak.
  constexpr int kReps = 5;
  std::vector<double> per[2], per_cpu[2];
  long rss[2] = {};
  const long sizes[2] = {n1, n2};
  std::string dirs[2];
  for (int k = 0; k < 2; ++k) {
    dirs[k] = (std::filesystem::temp_directory_path() / "tamsu-bench-XXXXXX").string();
    if (!mkdtemp(dirs[k].data())) Fail("mkdtemp");
    WriteTable(dirs[k], sizes[k]);
  }
  for (int rep = 0; rep < kReps; ++rep) {
    for (int k = 0; k < 2; ++k) {
      int pipe_fd[2];
      if (pipe(pipe_fd) != 0) Fail("pipe");
      pid_t pid = fork();
      if (pid == 0) {
        dup2(pipe_fd[1], 1);
        execl(self, self, "--rebuild-child", dirs[k].c_str(), static_cast<char*>(nullptr));
        _exit(127);
      }
      close(pipe_fd[1]);
      char buf[64] = {};
      ssize_t got = read(pipe_fd[0], buf, sizeof buf - 1);
      close(pipe_fd[0]);
      int status = 0;
      waitpid(pid, &status, 0);
      double took = 0, cpu = 0;
      long kb = 0;
      if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
          std::sscanf(buf, "%lf %lf %ld", &took, &cpu, &kb) != 3)
        Fail("rebuild child");
      per[k].push_back(took / static_cast<double>(sizes[k]) * 1e6);
      per_cpu[k].push_back(cpu / static_cast<double>(sizes[k]) * 1e6);
      rss[k] = std::max(rss[k], kb);
    }
  }
  for (const std::string& dir : dirs) std::filesystem::remove_all(dir);
  std::printf("%-12s %16s %16s %16s   (medians of %d)\n", "goods", "rebuild [us/rec]",
              "CPU [us/rec]", "peak RSS [MB]", kReps);
  for (int k = 0; k < 2; ++k)
    std::printf("%-12ld %16.2f %16.2f %16.1f\n", sizes[k], Median(per[k]), Median(per_cpu[k]),
                static_cast<double>(rss[k]) / 1024);
  std::printf("per-record growth %ld -> %ld: %.2f (CPU %.2f)\n", n1, n2,
              Median(per[1]) / Median(per[0]), Median(per_cpu[1]) / Median(per_cpu[0]));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--rebuild-child") == 0) return RebuildChild(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "--scaling") == 0) {
    std::string self = std::filesystem::canonical("/proc/self/exe").string();
    return Scaling(self.c_str(), std::atol(argv[2]), std::atol(argv[3]));
  }
  long n = 100000;
  int reps = 5;
  bool check = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--reps") == 0 && i + 1 < argc) reps = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--no-check") == 0) check = false;
    else if ((n = std::atol(argv[i])) <= 0) {
      std::fprintf(stderr, "usage: %s [N] [--reps R] [--no-check] | --scaling N1 N2\n", argv[0]);
      return 2;
    }
  }
  return Compare(n, reps, check);
}
