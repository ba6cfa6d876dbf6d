// Backup and restore of a database of about 200 MB (data and index files written by the table
// layer), measured side by side with gzip -6 and gzip -d over the same files in the same run.
// Prints the times, the sizes and their ratios; `bench_backup SCALE` changes the size (1.0 is
// about 200 MB).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "db/archive/archzip.h"
#include "db/archive/backup.h"
#include "db/dbtable.h"
#include "db/schema.h"
#include "db/table.h"

namespace fs = std::filesystem;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Run(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
}

// The tables filled without their indexes (one write per record), then opened with them: the
// missing index files are built from the records as on any open.
void MakeDatabase(double scale) {
  std::mt19937 g(7);
  const long positions = static_cast<long>(560000 * scale), transactions = positions / 10;
  const long goods = static_cast<long>(14000 * scale),
             contractors = static_cast<long>(3500 * scale);
  TABLEDEF bare[kSchemaTableCount];
  for (int t = 0; t < kSchemaTableCount; ++t) {
    bare[t] = TABLE_DEFS[t];
    bare[t].index_count = 0;
    if (TableOpen(t, &bare[t]) != 0) std::exit(1);
  }
  const DATE first = DateFromYmd(2021, 1, 1);
  for (long i = 1; i <= goods; ++i) {
    Tow = TOW_RECORD{};
    Tow.ID = AMOUNT::FromInt(i);
    std::snprintf(Tow.NAZWA, sizeof Tow.NAZWA, "Towar %ld rozmiar %ld", i, i % 7);
    std::snprintf(Tow.NR, sizeof Tow.NR, "TW%06ld", i);
    std::snprintf(Tow.EAN, sizeof Tow.EAN, "590%010ld", i * 37);
    std::snprintf(Tow.RODZAJ, sizeof Tow.RODZAJ, "T");
    std::snprintf(Tow.JMIARY, sizeof Tow.JMIARY, "szt.");
    Tow.GTOID = AMOUNT::FromInt(1 + i % 40);
    Tow.CENA = AMOUNT::FromRaw(static_cast<int64_t>(g() % 5000000) * 100);
    Tow.VATID = AMOUNT::FromInt(12);
    Tow.STAN = AMOUNT::FromInt(g() % 500);
    if (TableAppend(kTableGoods) != 0) std::exit(1);
  }
  for (long i = 1; i <= contractors; ++i) {
    Kon = KON_RECORD{};
    Kon.ID = AMOUNT::FromInt(i);
    std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "Firma Handlowa %ld sp. z o.o.", i);
    std::snprintf(Kon.ADRES, sizeof Kon.ADRES, "ul. Długa %ld", i % 200);
    std::snprintf(Kon.MIASTO, sizeof Kon.MIASTO, "Miasto %ld", i % 90);
    std::snprintf(Kon.NIP, sizeof Kon.NIP, "%03ld-%03ld-00-00", i % 1000, i / 1000);
    if (TableAppend(kTableContractors) != 0) std::exit(1);
  }
  for (long i = 1; i <= transactions; ++i) {
    Tra = TRA_RECORD{};
    Tra.ID = AMOUNT::FromInt(i);
    Tra.RODZAJ[0] = i % 3 ? 'S' : 'D';
    Tra.KONID = AMOUNT::FromInt(1 + static_cast<long>(g() % contractors));
    Tra.DATAMAG = Tra.DATATRA = first + static_cast<DATE>(i * 1800 / transactions);
    std::snprintf(Tra.DOKMAGTYP, sizeof Tra.DOKMAGTYP, "%s", i % 3 ? "WZ" : "PZ");
    std::snprintf(Tra.DOKMAGNR, sizeof Tra.DOKMAGNR, "%06ld", i);
    Tra.SUMA = Tra.GOT = AMOUNT::FromRaw(static_cast<int64_t>(g() % 100000000) * 100);
    if (TableAppend(kTableTransactions) != 0) std::exit(1);
  }
  for (long i = 0; i < positions; ++i) {
    Poz = POZ_RECORD{};
    const long t = 1 + i / 10;
    Poz.RODZAJ[0] = t % 3 ? 'S' : 'D';
    Poz.DATAMAG = Poz.DATATRA = first + static_cast<DATE>(t * 1800 / transactions);
    Poz.TRAID = AMOUNT::FromInt(t);
    Poz.TOWID = AMOUNT::FromInt(1 + static_cast<long>(g() % goods));
    Poz.ILOSC = AMOUNT::FromInt(1 + g() % 50);
    Poz.CENA = AMOUNT::FromRaw(static_cast<int64_t>(g() % 5000000) * 100);
    Poz.VATID = AMOUNT::FromInt(12);
    if (TableAppend(kTablePositions) != 0) std::exit(1);
  }
  CloseDatabase();
  if (OpenDatabase() != 0) std::exit(1);
  CloseDatabase();
}

uintmax_t Size(const std::string& dir, const char* const* files, int n, const char* suffix = "") {
  uintmax_t total = 0;
  for (int i = 0; i < n; ++i) total += fs::file_size(dir + "/" + files[i] + suffix);
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
  char templ[] = "/tmp/bench_backup_XXXXXX";
  if (!mkdtemp(templ)) return 1;
  const std::string dir = templ;
  fs::create_directories(dir + "/dane");
  fs::create_directories(dir + "/odtworzone");
  fs::current_path(dir + "/dane");
  const char* const* files = BACKUP_FILES + 1;  // the ten table files
  const int n = kBackupFileCount - 1;
  MakeDatabase(scale);
  const uintmax_t data = Size(".", files, n);

  // The engine at the program's level 5, the program's own member form.
  ARCHZIP z;
  auto t0 = std::chrono::steady_clock::now();
  if (z.CreateArchive((dir + "/Tamsu.zip").c_str(), files, n) != 0) return 1;
  const double backup = Seconds(t0);
  const uintmax_t archive = fs::file_size(dir + "/Tamsu.zip");
  t0 = std::chrono::steady_clock::now();
  if (z.ExtractArchive((dir + "/Tamsu.zip").c_str(), files, n, (dir + "/odtworzone").c_str()) != 0)
    return 1;
  const double restore = Seconds(t0);
  for (int i = 0; i < n; ++i)
    if (std::system(
            ("cmp -s " + std::string(files[i]) + " " + dir + "/odtworzone/" + files[i]).c_str()) !=
        0) {
      std::fprintf(stderr, "%s restored differs\n", files[i]);
      return 1;
    }

  // The peer: gzip -6 of the same files into one stream each, and back, flushed like the archive.
  std::string list;
  for (int i = 0; i < n; ++i) list += std::string(" ") + files[i];
  t0 = std::chrono::steady_clock::now();
  Run("for f in" + list + "; do gzip -6 -c $f > " + dir + "/$f.gz; done; sync -f " + dir);
  const double gzip = Seconds(t0);
  const uintmax_t gzipped = Size(dir, files, n, ".gz");
  t0 = std::chrono::steady_clock::now();
  Run("for f in" + list + "; do gzip -d -c " + dir + "/$f.gz > " + dir +
      "/odtworzone/$f; done; sync -f " + dir);
  const double gunzip = Seconds(t0);

  std::printf("database: %.1f MB in 10 files\n", data / 1e6);
  std::printf("backup  (ARCHZIP level 5): %6.2f s  %7.1f MB/s  archive %.1f MB\n", backup,
              data / 1e6 / backup, archive / 1e6);
  std::printf("gzip -6                  : %6.2f s  %7.1f MB/s  files   %.1f MB\n", gzip,
              data / 1e6 / gzip, gzipped / 1e6);
  std::printf("restore (ARCHZIP)        : %6.2f s  %7.1f MB/s\n", restore, data / 1e6 / restore);
  std::printf("gzip -d                  : %6.2f s  %7.1f MB/s\n", gunzip, data / 1e6 / gunzip);
  std::printf("ratios: backup/gzip time %.2f, archive/gzip size %.3f, restore/gunzip time %.2f\n",
              backup / gzip, static_cast<double>(archive) / gzipped, restore / gunzip);
  fs::current_path("/");
  fs::remove_all(dir);
  return 0;
}
