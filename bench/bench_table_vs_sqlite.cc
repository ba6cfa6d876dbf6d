// The goods table against SQLite doing the same work in the same run: appending N goods records
// with the six indexes, N seeks by a name prefix, a walk over all records in name order, and a
// rebuild of the indexes. SQLite gets the same records and six indexes, one statement per record
// in autocommit mode, synchronous=OFF. Prints each time and our time / SQLite's time.
//
//   bench_table_vs_sqlite [N]      (N = 100000 by default)
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "db/schema.h"
#include "db/table.h"
#include "common/codepage.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

struct Goods {
  long id;
  std::string name, number, ean;
  long group;
  double price;
};

std::vector<Goods> MakeGoods(long n) {
  std::mt19937_64 rng(42);
  const char* words[] = {"Róża", "Tulipan", "Storczyk", "Wino", "Wódka", "Koniak", "Gerbera", "Lilia", "Żonkil",
                         "Kalia"};
  std::vector<Goods> g(static_cast<size_t>(n));
  for (long i = 0; i < n; ++i) {
    Goods& x = g[static_cast<size_t>(i)];
    x.id = i + 1;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s %06llu", words[rng() % 10], static_cast<unsigned long long>(rng() % 1000000));
    x.name = buf;
    std::snprintf(buf, sizeof buf, "N%07ld", (i * 7919) % 10000000);
    x.number = buf;
    std::snprintf(buf, sizeof buf, "590%010llu", static_cast<unsigned long long>(rng() % 10000000000ULL));
    x.ean = buf;
    x.group = static_cast<long>(rng() % 20) + 1;
    x.price = static_cast<double>(rng() % 100000) / 100.0;
  }
  return g;
}

struct Times {
  double append, seek, walk, rebuild;
  long walked, found;
};

std::string Upper(std::string s) {
  text_to_upper(s.data());
  return s;
}

Times Ours(const std::vector<Goods>& goods, const std::vector<std::string>& prefixes) {
  Times t{};
  TableOpen(kTableGoods, &TABLE_DEFS[kTableGoods]);
  auto a = Clock::now();
  for (const Goods& g : goods) {
    Tow = TOW_RECORD{};
    Tow.ID = AMOUNT::FromInt(g.id);
    std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "%s", g.name.c_str());
    std::snprintf(Tow.NR, sizeof Tow.NR, "%s", g.number.c_str());
    std::snprintf(Tow.EAN, sizeof Tow.EAN, "%s", g.ean.c_str());
    Tow.GTOID = AMOUNT::FromInt(g.group);
    Tow.CENA = AMOUNT::FromDouble(g.price);
    if (TableAppend(kTableGoods) != 0) std::abort();
  }
  auto b = Clock::now();
  TableSetIndex(kTableGoods, 1);
  for (const std::string& p : prefixes)
    if (TableSeek(kTableGoods, p.c_str()) == 0) ++t.found;
  auto c = Clock::now();
  for (int rc = TableFirst(kTableGoods); rc == 0; rc = TableNext(kTableGoods)) ++t.walked;
  auto d = Clock::now();
  TableRebuildIndexes(kTableGoods);
  auto e = Clock::now();
  TableClose(kTableGoods);
  t.append = Seconds(a, b);
  t.seek = Seconds(b, c);
  t.walk = Seconds(c, d);
  t.rebuild = Seconds(d, e);
  return t;
}

void Exec(sqlite3* db, const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n", err);
    std::abort();
  }
}

const char* kIndexes =
    "CREATE INDEX tow_id ON tow(id);"
    "CREATE INDEX tow_name ON tow(nazwa_upper);"
    "CREATE INDEX tow_group_name ON tow(gtoid, nazwa_upper);"
    "CREATE INDEX tow_nr ON tow(nr_upper);"
    "CREATE INDEX tow_group_nr ON tow(gtoid, nr_upper);"
    "CREATE INDEX tow_ean ON tow(ean);";

Times Sqlite(const std::vector<Goods>& goods, const std::vector<std::string>& prefixes) {
  Times t{};
  sqlite3* db = nullptr;
  sqlite3_open("peer.sqlite", &db);
  Exec(db, "PRAGMA synchronous=OFF;");
  Exec(db,
       "CREATE TABLE tow(id INTEGER, nazwa TEXT, nazwa_upper TEXT, nr TEXT, nr_upper TEXT, ean TEXT, "
       "gtoid INTEGER, cena REAL);");
  Exec(db, kIndexes);
  sqlite3_stmt* ins = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO tow VALUES(?,?,?,?,?,?,?,?)", -1, &ins, nullptr);
  auto a = Clock::now();
  for (const Goods& g : goods) {
    std::string upper = Upper(g.name), nr_upper = Upper(g.number);
    sqlite3_bind_int64(ins, 1, g.id);
    sqlite3_bind_text(ins, 2, g.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(ins, 3, upper.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(ins, 4, g.number.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(ins, 5, nr_upper.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(ins, 6, g.ean.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(ins, 7, g.group);
    sqlite3_bind_double(ins, 8, g.price);
    if (sqlite3_step(ins) != SQLITE_DONE) std::abort();
    sqlite3_reset(ins);
  }
  auto b = Clock::now();
  sqlite3_stmt* seek = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM tow WHERE nazwa_upper >= ? ORDER BY nazwa_upper LIMIT 1", -1, &seek, nullptr);
  for (const std::string& p : prefixes) {
    sqlite3_bind_text(seek, 1, p.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(seek) == SQLITE_ROW) ++t.found;
    sqlite3_reset(seek);
  }
  auto c = Clock::now();
  sqlite3_stmt* walk = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM tow ORDER BY nazwa_upper", -1, &walk, nullptr);
  while (sqlite3_step(walk) == SQLITE_ROW) ++t.walked;
  auto d = Clock::now();
  Exec(db, "REINDEX tow;");
  auto e = Clock::now();
  sqlite3_finalize(ins);
  sqlite3_finalize(seek);
  sqlite3_finalize(walk);
  sqlite3_close(db);
  t.append = Seconds(a, b);
  t.seek = Seconds(b, c);
  t.walk = Seconds(c, d);
  t.rebuild = Seconds(d, e);
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  long n = argc > 1 ? std::atol(argv[1]) : 100000;
  std::vector<Goods> goods = MakeGoods(n);
  std::vector<std::string> prefixes;
  std::mt19937_64 rng(7);
  for (long i = 0; i < n; ++i) prefixes.push_back(Upper(goods[rng() % goods.size()].name.substr(0, 8)));

  std::string dir = (std::filesystem::temp_directory_path() / "tamsu-bench-XXXXXX").string();
  if (!mkdtemp(dir.data()) || chdir(dir.c_str()) != 0) return 1;
  Times ours = Ours(goods, prefixes);
  Times peer = Sqlite(goods, prefixes);
  std::filesystem::remove_all(dir);

  std::printf("%ld goods records, six indexes (both sides); ratio = ours / SQLite\n", n);
  std::printf("%-28s %12s %12s %8s\n", "", "Tamsu [s]", "SQLite [s]", "ratio");
  auto row = [](const char* what, double a, double b) { std::printf("%-28s %12.3f %12.3f %8.2f\n", what, a, b, a / b); };
  row("append (one per statement)", ours.append, peer.append);
  row("seek by name prefix", ours.seek, peer.seek);
  row("walk in name order", ours.walk, peer.walk);
  row("rebuild the indexes", ours.rebuild, peer.rebuild);
  std::printf("found %ld/%ld, walked %ld/%ld\n", ours.found, peer.found, ours.walked, peer.walked);
  return 0;
}
