// The Elzab registers through Elzab's programs; docs/formats/elzab-registers.md.
#include "devices/registers/fcr_elzab.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/codepage.h"
#include "devices/device_config.h"
#include "platform/cfiletxt.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/system.h"

namespace {

constexpr char kEmpty[] = "Empty.txt";
constexpr char kSales[] = "Sprzedaz.txt";
constexpr char kKonfig[] = "Konfig.txt";
// The header of every input file: the register number between two comment lines.
constexpr char kHeader[] = "#1\n#\n#\n";

// The file layer stays silent here: the register reports its file errors as its own codes.
class QuietFiles {
 public:
  QuietFiles() : saved_(CFILE::Handler()) { CFILE::SetHandler(nullptr); }
  ~QuietFiles() { CFILE::SetHandler(saved_); }

 private:
  CFILE::HANDLER* saved_;
};

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> f;
  size_t from = 0;
  for (;;) {
    const size_t tab = line.find('\t', from);
    f.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
    if (tab == std::string::npos) return f;
    from = tab + 1;
  }
}

int Whole(const std::string& text, int64_t* value) {
  return WholeNumber(Trimmed(text).c_str(), value);
}

int Decimal(const std::string& text, AMOUNT* value) { return DecimalNumber(text, value); }

// A price beyond any register's (and far below what an AMOUNT holds).
constexpr int64_t kMaxGrosz = 99999999999999;

int64_t Grosz(AMOUNT value) { return RoundTo(value, 2).Raw() / 100; }

}  // namespace

FCRELZAB::~FCRELZAB() { removeTemporaries(); }

int FCRELZAB::ExitCode(int exit) {
  switch (exit) {
    case 0: return kDevOk;
    case 7:
    case 13:
    case 14:
    case 15:
    case 16:
    case 22: return kDevConfiguration;
    case 20:
    case 21: return kDevNoAnswer;
    case 102:
    case 105:
    case 108: return kDevBadName;
    case 103: return kDevBadTaxRate;
    case 109: return kDevBadPrice;
    case 112: return kDevBadQuantity;
    case 201:
    case 209: return kDevNoFiscalReport;
    default: return kDevHardware;
  }
}

int FCRELZAB::StatusCode(const std::vector<std::string>& lines) {
  bool report = false, paper = false, hardware = false;
  for (const std::string& line : lines) {
    const std::vector<std::string> f = Fields(line);
    int64_t index = 0, value = 0;
    if (f.size() < 2 || Whole(f[0], &index) != 0 || Whole(f[1], &value) != 0 || value == 0)
      continue;
    if (index == 12) report = true;
    if (index == 18 || index == 23) paper = true;
    if (index == 19) hardware = true;
  }
  return hardware ? kDevHardware : paper ? kDevNoPaper : report ? kDevNoFiscalReport : kDevOk;
}

int FCRELZAB::ParseTaxRates(const std::vector<std::string>& lines, TaxRateMap* map) {
  if (lines.empty()) return kDevTaxRatesUnreadable;
  map->clear();
  const std::vector<std::string> f = Fields(lines[0]);
  for (size_t i = 0; i < f.size() && i < 9; ++i) {
    AMOUNT rate;
    if (Decimal(f[i], &rate) == 0 && rate >= AMOUNT())
      map->add(rate, static_cast<uint8_t>('1' + i));
  }
  map->add(TaxRateMap::kExempt, '7');
  return kDevOk;
}

std::string FCRELZAB::GoodsLine(const RegisterGoods& g, uint8_t letter, int unit) {
  // A TAB or a line break in a name would cut the line into other fields.
  std::string name = g.name;
  for (char& c : name)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  int64_t number = 0, code = 0;
  WholeNumber(g.number, &number);
  if (WholeNumber(g.code, &code) != 0) code = 0;
  char buf[160];
  std::snprintf(buf, sizeof buf, "$%lld\t%-19.19s\t%c\t%d\t%d\t%d\t%d\t%lld\t%lld\t%d",
                static_cast<long long>(number), name.c_str(), letter, 1, 3, unit, 0,
                static_cast<long long>(code), static_cast<long long>(Grosz(g.amount)), 0);
  return buf;
}

int FCRELZAB::ReadExchangeFile(const std::string& path, std::vector<std::string>* lines) {
  QuietFiles quiet;
  lines->clear();
  CFILETXT f;
  f.SetCodePage(kCodePageLatin2);
  if (f.Open(path.c_str(), kOpenExisting, kAccessRead, kShareRead) != 0) return kDevFileOpen;
  char buf[512];
  bool continued = false;  // the rest of a line longer than 511 characters is dropped
  for (;;) {
    const long n = f.ReadLine(buf, sizeof buf);
    if (n < 0) return kDevFileRead;
    if (n == 0) return kDevOk;
    const bool whole = buf[n - 1] == '\n';
    const bool skip = continued;
    continued = !whole;
    if (skip) continue;
    std::string line(buf, static_cast<size_t>(n));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ' ||
                             line.back() == '\t'))
      line.pop_back();
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line[0] == '$') line.erase(0, 1);
    lines->push_back(line);
  }
}

int FCRELZAB::writeFile(const std::string& path, const std::string& text) {
  QuietFiles quiet;
  const std::string tmp = TakeTemporaryName(path);
  if (tmp.empty()) return kDevFileOpen;
  CFILETXT f;
  f.SetCodePage(kCodePageLatin2);
  if (f.Open(tmp.c_str(), kCreateAlways, kAccessWrite, kShareNone) != 0) {
    CFILE::DeleteFile(tmp.c_str());
    return kDevFileOpen;
  }
  bool ok = f.WriteString(text.c_str()) == static_cast<long>(text.size()) && f.Flush() == 0;
  ok = f.Close() == 0 && ok;
  ok = ok && f.Rename(path.c_str(), true) == 0 && SyncDirectoryOf(path) == 0;
  if (!ok) CFILE::DeleteFile(tmp.c_str());
  return ok ? kDevOk : kDevFileWrite;
}

int FCRELZAB::temporary(std::string* path) {
  *path = TakeTemporaryName(cwd_ + "/");
  if (path->empty()) return kDevFileOpen;
  temporaries_.push_back(*path);
  return kDevOk;
}

void FCRELZAB::removeTemporaries() {
  QuietFiles quiet;
  for (const std::string& t : temporaries_) CFILE::DeleteFile(t.c_str());
  temporaries_.clear();
}

int FCRELZAB::run(const char* program, const std::string& input, const std::string& output) {
  if (cancelled() != kDevOk) return kDevCancelled;
  const std::string path = dir_ + "/" + program;
  // With a launcher in front the launcher would start and fail; a missing program is told as such.
  if (!CFILE::Exists(path.c_str())) return kDevNoFile;
  std::vector<std::string> argv;
  for (size_t from = 0; from < launcher_.size();) {
    const size_t space = launcher_.find(' ', from);
    const std::string word =
        launcher_.substr(from, space == std::string::npos ? std::string::npos : space - from);
    if (!word.empty()) argv.push_back(word);
    from = space == std::string::npos ? launcher_.size() : space + 1;
  }
  argv.push_back(path);
  argv.push_back(input);
  if (!output.empty()) argv.push_back(output);
  int exit = 0;
  const int outcome = RunAndWait(
      argv, dir_, waitSeconds_ * 1000, [] { return DEVICE::notify(kDevPoll, 0) != 0; }, &exit);
  switch (outcome) {
    case kRunExited: break;
    case kRunNotFound: return kDevNoFile;
    case kRunNoMemory: return kDevNoMemory;
    case kRunTimedOut: return kDevNoAnswer;  // the program hangs: it lost the register
    case kRunCancelled: DEVICE::notify(kDevCancelled, 0); return kDevCancelled;
    default: errorNumber_ = -2; return kDevHardware;
  }
  const int code = ExitCode(exit);
  if (code == kDevHardware) errorNumber_ = exit;
  if (code != kDevOk) return code;
  return cancelled();
}

int FCRELZAB::finish(int code) {
  return report(code, code == kDevHardware || code == kDevDriverError ? errorNumber_ : 0);
}

int FCRELZAB::open(int port, const PortSettings* settings) {
  if (port < 1 || port > 9) return report(kDevInitFailed);
  const INIFILE ini(ConfigPath());
  const char* section = DeviceSection(kDeviceRegister);
  dir_ = DirectoryOf(ExecutablePath());
  ini.GetString(section, "ElzabDirectory", &dir_);
  launcher_.clear();
  ini.GetString(section, "ElzabLauncher", &launcher_);
  waitSeconds_ = 300;
  ini.GetInt(section, "ElzabTimeout", &waitSeconds_);
  if (waitSeconds_ < 1) waitSeconds_ = 1;
  cwd_ = CanonicalPath(".");
  const std::string real = CanonicalPath(dir_);
  if (cwd_.empty() || real.empty()) return report(kDevNoFile);
  dir_ = real;
  char konfig[160];
  std::snprintf(konfig, sizeof konfig, "$%d\tCOM%d:%d:MUX0:1\t%d\t%s\n", registerNumber_, port,
                settings ? settings->baud : 9600, timeout_, name());
  int rc = writeFile(dir_ + "/" + kKonfig, konfig);
  if (rc == kDevOk) rc = writeFile(cwd_ + "/" + kEmpty, kHeader);
  std::string out;
  if (rc == kDevOk) rc = temporary(&out);
  if (rc == kDevOk) rc = run("Opodatek.exe", cwd_ + "/" + kEmpty, out);
  if (rc == kDevOk) {
    std::vector<std::string> lines;
    rc = ReadExchangeFile(out, &lines) == kDevOk ? ParseTaxRates(lines, &rates_)
                                                 : kDevTaxRatesUnreadable;
  }
  removeTemporaries();
  opened_ = rc == kDevOk;
  return finish(rc);
}

int FCRELZAB::close() {
  removeTemporaries();
  kind_ = kTransferNone;
  opened_ = 0;
  return kDevOk;
}

int FCRELZAB::readStatus() {
  std::string out;
  int rc = temporary(&out);
  if (rc == kDevOk) rc = run("Ostatus.exe", cwd_ + "/" + kEmpty, out);
  std::vector<std::string> lines;
  if (rc == kDevOk) rc = ReadExchangeFile(out, &lines);
  if (rc == kDevOk) {
    rc = StatusCode(lines);
    if (rc == kDevHardware) errorNumber_ = -1;
  }
  return rc;
}

int FCRELZAB::readUnits() {
  unitCount_ = 0;
  std::memset(units_, 0, sizeof units_);
  std::string out;
  int rc = temporary(&out);
  if (rc == kDevOk) rc = run("Ojednost.exe", cwd_ + "/" + kEmpty, out);
  std::vector<std::string> lines;
  if (rc == kDevOk) rc = ReadExchangeFile(out, &lines);
  if (rc != kDevOk) return rc;
  for (const std::string& line : lines) {
    const std::vector<std::string> f = Fields(line);
    int64_t index = 0;
    if (f.size() < 2 || Whole(f[0], &index) != 0 || index < 1 || index > kUnits)
      return kDevFileRead;
    SetField(units_[index - 1], Trimmed(f[1]));
    if (index > unitCount_) unitCount_ = static_cast<int>(index);
  }
  return kDevOk;
}

int FCRELZAB::unitIndex(const char* unit) const {
  for (int i = 0; i < kUnits; ++i)
    if (units_[i][0] && std::strcmp(units_[i], unit) == 0) return i + 1;
  return 0;
}

int FCRELZAB::beginTransfer(int kind) {
  if (int rc = guard(kTransferNone)) return rc;
  if (kind_ != kTransferNone) abortTransfer();
  counter_ = sent_ = 0;
  next_ = 0;
  lines_.clear();
  goodsOfSales_.clear();
  int rc = kind < kTransferSendGoods || kind > kTransferReadSales ? kDevDriverError : readStatus();
  if (rc == kDevOk && kind == kTransferSendGoods) {
    unitCount_ = 0;
    std::memset(units_, 0, sizeof units_);
    goodsText_ = kHeader;
    rc = temporary(&goodsFile_);
  }
  if (rc == kDevOk && kind == kTransferReadGoods) {
    std::string out;
    rc = readUnits();
    if (rc == kDevOk) rc = temporary(&out);
    if (rc == kDevOk) rc = run("Towarmax.exe", cwd_ + "/" + kEmpty, out);
    if (rc == kDevOk) rc = ReadExchangeFile(out, &lines_);
  }
  if (rc == kDevOk && kind == kTransferReadSales) {
    std::string sorted, numbers, goods;
    rc = run("Osprzed.exe", cwd_ + "/" + kEmpty, cwd_ + "/" + kSales);
    if (rc == kDevOk) rc = temporary(&sorted);
    if (rc == kDevOk) rc = run("Sortpak.exe", cwd_ + "/" + kSales, sorted);
    if (rc == kDevOk) rc = ReadExchangeFile(sorted, &lines_);
    std::string list = kHeader;
    for (size_t i = 0; rc == kDevOk && i < lines_.size(); ++i) {
      int64_t number = 0;
      if (Whole(Fields(lines_[i])[0], &number) != 0) rc = kDevFileRead;
      else list += "$" + std::to_string(number) + "\n";
    }
    if (rc == kDevOk && !lines_.empty()) {
      rc = readUnits();
      if (rc == kDevOk) rc = temporary(&numbers);
      if (rc == kDevOk) rc = writeFile(numbers, list);
      if (rc == kDevOk) rc = temporary(&goods);
      if (rc == kDevOk) rc = run("Otowar.exe", numbers, goods);
      std::vector<std::string> found;
      if (rc == kDevOk) rc = ReadExchangeFile(goods, &found);
      for (size_t i = 0; rc == kDevOk && i < found.size(); ++i) {
        int64_t number = 0;
        if (Whole(Fields(found[i])[0], &number) != 0) rc = kDevFileRead;
        else goodsOfSales_[number] = found[i];
      }
    }
  }
  if (rc != kDevOk) {
    removeTemporaries();
    lines_.clear();
    goodsOfSales_.clear();
    return finish(rc);
  }
  kind_ = kind;
  return kDevOk;
}

int FCRELZAB::validateGoods(const RegisterGoods& g) {
  if (kind_ == kTransferSendGoods && g.unit[0] && !unitIndex(g.unit) && unitCount_ < kUnits)
    SetField(units_[unitCount_++], g.unit);
  int64_t number = 0;
  if (g.unit[0] && !unitIndex(g.unit)) return kDevBadName;
  if (WholeNumber(g.number, &number) != 0 || number <= 0) return kDevBadName;
  if (std::strlen(g.code) >= 14) return kDevBadName;
  if (rates_.letter(TaxRateMap::parse(g.taxRate)) == 0) return kDevBadTaxRate;
  return kDevOk;
}

int FCRELZAB::sendGoods(const RegisterGoods& g) {
  if (int rc = guard(kTransferSendGoods)) return rc;
  if (int rc = validateGoods(g)) return report(rc);
  goodsText_ += GoodsLine(g, rates_.letter(TaxRateMap::parse(g.taxRate)), unitIndex(g.unit)) + "\n";
  ++sent_;
  return kDevOk;
}

int FCRELZAB::GoodsFromLine(const std::string& line, const TaxRateMap& rates,
                            const char (&units)[kUnits][10], RegisterGoods* g) {
  const std::vector<std::string> f = Fields(line);
  int64_t number = 0, unit = 0, code = 0, price = 0;
  if (f.size() < 9 || Whole(f[0], &number) != 0 || Whole(f[5], &unit) != 0 ||
      Whole(f[8], &price) != 0 || f[2].size() != 1 || price > kMaxGrosz)
    return kDevFileRead;
  char text[24];
  std::snprintf(text, sizeof text, "%06lld", static_cast<long long>(number));
  SetField(g->number, text);
  SetField(g->name, Trimmed(f[1]));
  SetField(g->taxRate, rates.text(static_cast<uint8_t>(f[2][0])));
  if (unit >= 1 && unit <= kUnits) SetField(g->unit, units[unit - 1]);
  if (Whole(f[7], &code) == 0 && code > 0) SetField(g->code, Trimmed(f[7]));
  g->amount = AMOUNT::FromRaw(price * 100);
  return kDevOk;
}

int FCRELZAB::SaleFromLine(const std::string& line, int64_t* number, AMOUNT* quantity,
                           AMOUNT* grosz) {
  const std::vector<std::string> f = Fields(line);
  if (f.size() < 3 || Whole(f[0], number) != 0 || Decimal(f[1], quantity) != 0 ||
      Decimal(f[2], grosz) != 0)
    return kDevFileRead;
  return kDevOk;
}

int FCRELZAB::readGoods(RegisterGoods* g) {
  if (int rc = guard(kTransferReadGoods)) return rc;
  if (next_ >= lines_.size()) return kDevNoMoreRecords;
  if (int rc = cancelled()) return rc;
  *g = RegisterGoods{};
  if (int rc = GoodsFromLine(lines_[next_++], rates_, units_, g)) return report(rc);
  DEVICE::notify(kDevProgress, ++counter_);
  return kDevOk;
}

int FCRELZAB::readSale(RegisterGoods* s) {
  if (int rc = guard(kTransferReadSales)) return rc;
  if (next_ >= lines_.size()) return kDevNoMoreRecords;
  if (int rc = cancelled()) return rc;
  *s = RegisterGoods{};
  int64_t number = 0;
  AMOUNT quantity, grosz;
  if (SaleFromLine(lines_[next_++], &number, &quantity, &grosz) != kDevOk)
    return report(kDevFileRead);
  const auto goods = goodsOfSales_.find(number);
  if (goods != goodsOfSales_.end() && GoodsFromLine(goods->second, rates_, units_, s) != kDevOk)
    return report(kDevFileRead);
  char text[24];
  std::snprintf(text, sizeof text, "%06lld", static_cast<long long>(number));
  SetField(s->number, text);
  s->amount = grosz / 100;
  s->quantity = quantity;
  DEVICE::notify(kDevProgress, ++counter_);
  return kDevOk;
}

int FCRELZAB::endTransfer() {
  if (int rc = guard(kTransferNone)) return rc;
  int rc = kind_ == kTransferNone ? kDevDriverError : kDevOk;
  if (rc == kDevOk && kind_ == kTransferSendGoods && sent_ > 0) {
    std::string units = kHeader, unitsFile, out;
    for (int i = 0; i < unitCount_; ++i) {
      char line[24];
      std::snprintf(line, sizeof line, "$%02d\t%-4s\n", i + 1, units_[i]);
      units += line;
    }
    rc = temporary(&unitsFile);
    if (rc == kDevOk) rc = writeFile(unitsFile, units);
    if (rc == kDevOk) rc = writeFile(goodsFile_, goodsText_);
    if (rc == kDevOk) rc = run("Zjednost.exe", unitsFile);
    if (rc == kDevOk) rc = temporary(&out);
    if (rc == kDevOk) rc = run("Zbptowar.exe", goodsFile_, out);
  }
  if (rc == kDevOk && kind_ == kTransferReadSales) rc = run("Zdataakt.exe", cwd_ + "/" + kEmpty);
  abortTransfer();
  return finish(rc);
}

int FCRELZAB::abortTransfer() {
  removeTemporaries();
  lines_.clear();
  goodsOfSales_.clear();
  goodsText_.clear();
  kind_ = kTransferNone;
  return opened_ ? kDevOk : kDevNotInitialised;
}

int FCRELZAB::deleteGoods() {
  if (int rc = guard(kTransferNone)) return rc;
  std::string out, file;
  std::vector<std::string> lines;
  int rc = temporary(&out);
  if (rc == kDevOk) rc = run("Towarmax.exe", cwd_ + "/" + kEmpty, out);
  if (rc == kDevOk) rc = ReadExchangeFile(out, &lines);
  if (rc == kDevOk && !lines.empty()) {
    std::string text = kHeader;
    for (const std::string& line : lines) text += "$" + line + "\n";
    rc = temporary(&file);
    if (rc == kDevOk) rc = writeFile(file, text);
    if (rc == kDevOk) rc = run("Ktowar.exe", file);
  }
  removeTemporaries();
  return finish(rc);
}

int FCRELZAB::deleteSales() {
  if (int rc = guard(kTransferNone)) return rc;
  const int rc = run("Ksprop.exe", cwd_ + "/" + kEmpty);
  if (rc == kDevOk) {
    QuietFiles quiet;
    const std::string sales = cwd_ + "/" + kSales;
    if (CFILE::Exists(sales.c_str())) CFILE::DeleteFile(sales.c_str());
  }
  return finish(rc);
}

int FCRELZAB::fiscalReport() { return guard(kTransferNone); }

int FCRELZAB::display(const char*) { return guard(kTransferNone); }
