// The Posnet register protocols; docs/formats/posnet-register.md.
#include "devices/registers/fcr_posnet.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/codepage.h"

namespace {

constexpr char kEsc = 0x1B;
constexpr uint8_t kFieldSep = 0xFE;
constexpr int kMazovia = 1;
constexpr size_t kAnswerLimit = 1024;
constexpr int kLooks = 25;  // 5 s for each byte of an answer
constexpr int kStepMs = 200;
constexpr char kReset[] = ",a";
constexpr char kResetData[] = "\r\r1\r";

uint8_t g_sequence = 0;

uint8_t Xor(const std::string& text) {
  uint8_t x = 0xFF;
  for (char c : text) x ^= static_cast<uint8_t>(c);
  return x;
}

std::string Hex2(unsigned v) {
  char b[4];
  std::snprintf(b, sizeof b, "%02X", v & 0xFF);
  return b;
}

// The tax group of a letter: A 1, B 2 ..., Z 0; -1 for another letter.
int Group(uint8_t letter) {
  if (letter == 'Z') return 0;
  return letter >= 'A' && letter <= 'Y' ? letter - 'A' + 1 : -1;
}

uint8_t LetterOfGroup(const std::string& text) {
  int64_t g = 0;
  if (Trimmed(text).empty()) return 'Z';
  if (WholeNumber(Trimmed(text).c_str(), &g) != 0 || g > 25) return 0;
  return g == 0 ? 'Z' : static_cast<uint8_t>('A' + g - 1);
}

// A name in the register's characters, without the bytes that separate fields or end frames.
std::string DeviceName(const char* name, const char* forbidden) {
  std::string s = convert_string(kCodePageWindows, kMazovia, name);
  for (char& c : s)
    if (static_cast<uint8_t>(c) < 0x20 || std::strchr(forbidden, c) ||
        static_cast<uint8_t>(c) == kFieldSep)
      c = ' ';
  return s;
}

std::string Number6(int64_t n) {
  char t[24];
  std::snprintf(t, sizeof t, "%06lld", static_cast<long long>(n));
  return t;
}

std::string Fixed(AMOUNT v, int decimals) {
  char t[40];
  std::snprintf(t, sizeof t, "%.*f", decimals, RoundTo(v, decimals).ToDouble());
  return t;
}

}  // namespace

void FCRPOSNET::ResetSequence() { g_sequence = 0; }

std::string FCRPOSNET::Frame(const char* command, const std::string& data) {
  if (std::strcmp(command, kReset) == 0) g_sequence = 0;
  else g_sequence = static_cast<uint8_t>(g_sequence + 1);
  const std::string body = std::string(command) + Hex2(g_sequence) + data;
  return std::string(1, kEsc) + "P" + body + Hex2(Xor(body)) + kEsc + "\\";
}

std::string FCRPOSNET::GoodsData(const RegisterGoods& g, int group) {
  int64_t number = 0, code = 0;
  WholeNumber(g.number, &number);
  std::string d = "\r" + std::to_string(number) + "\r" + DeviceName(g.name, "\\") + "\r" +
                  std::to_string(group) + "\r";
  if (WholeNumber(g.code, &code) == 0 && code != 0) d += std::to_string(code);
  const std::string price = Fixed(g.amount, 2);
  d += "\r0\r" + price + "\r0\r\r\r\r\r\r\r\r\r\r" + price + "\r" + Fixed(g.quantity, 3) + "\r";
  return d;
}

std::vector<std::string> FCRPOSNET::AnswerFields(const std::string& answer) {
  std::string a = answer;
  if (!a.empty() && a.back() == '\\') a.pop_back();
  if (!a.empty() && a.back() == kEsc) a.pop_back();
  std::vector<std::string> f;
  size_t from = 0;
  for (;;) {
    const size_t cr = a.find('\r', from);
    f.push_back(a.substr(from, cr == std::string::npos ? std::string::npos : cr - from));
    if (cr == std::string::npos) return f;
    from = cr + 1;
  }
}

int FCRPOSNET::DecodeRecord(const std::vector<std::string>& f, const TaxRateMap& rates, int kind,
                            RegisterGoods* g) {
  *g = RegisterGoods{};
  int64_t number = 0, code = 0;
  AMOUNT price, stock, sold, value;
  if (f.size() < (kind == kTransferReadSales ? 20u : 8u) ||
      WholeNumber(Trimmed(f[2]).c_str(), &number) != 0 || DecimalNumber(f[5], &price) != 0)
    return kDevNoAnswer;
  SetField(g->number, Number6(number));
  fromDevice(kMazovia, f[3], g->name, sizeof g->name);
  SetField(g->taxRate, rates.text(LetterOfGroup(f[4])));
  if (WholeNumber(Trimmed(f[6]).c_str(), &code) == 0 && code != 0)
    SetField(g->code, std::to_string(code));
  if (kind == kTransferReadSales) {
    if (DecimalNumber(f[18], &sold) != 0 || DecimalNumber(f[19], &value) != 0) return kDevNoAnswer;
    g->quantity = sold;
    g->amount = value;
  } else {
    if (!Trimmed(f[7]).empty() && DecimalNumber(f[7], &stock) != 0) return kDevNoAnswer;
    g->quantity = stock;
    g->amount = price;
  }
  return kDevOk;
}

int FCRPOSNET::ErrorCode(long number) {
  switch (number) {
    case 16:
    case 38:
    case 41:
    case 42:
    case 43: return kDevBadName;
    case 17: return kDevBadQuantity;
    case 18:
    case 39:
    case 54: return kDevBadTaxRate;
    case 19: return kDevBadPrice;
    case 20: return kDevBadReceiptValue;
    case 49: return kDevNoMoreRecords;
    case 50:
    case 91: return kDevNoFiscalReport;
    case 55: return kDevConfiguration;
    case 92: return kDevDuplicateGoods;
    default: return kDevDriverError;
  }
}

// Reads answer bytes up to the end byte (ESC \ when needEsc); 0, 2 or 20.
static int ReadAnswer(PORTCOM* port, bool needEsc, std::string* answer) {
  answer->clear();
  while (answer->size() < kAnswerLimit) {
    uint8_t b = 0;
    for (int look = 0;; ++look) {
      const int rc = port->readByte(&b);
      if (rc == kDevOk) break;
      if (rc != kDevNothingReceived || look + 1 >= kLooks) return kDevNoAnswer;
      if (DEVICE::notify(kDevPoll, 0) != 0) return kDevCancelled;
      port->waitInput(kStepMs);
    }
    answer->push_back(static_cast<char>(b));
    if (b == '\\' && (!needEsc || (answer->size() >= 2 && (*answer)[answer->size() - 2] == kEsc)))
      return kDevOk;
  }
  return kDevNoAnswer;
}

int FCRPOSNET::exchange(const char* command, const std::string& data,
                        std::vector<std::string>* fields) {
  refused_ = false;
  errorNumber_ = 0;
  const std::string frame = Frame(command, data);
  port_->purge();
  for (char c : frame)
    if (port_->writeByte(static_cast<uint8_t>(c)) != kDevOk) return kDevNoAnswer;
  std::string answer;
  if (int rc = ReadAnswer(port_, false, &answer)) return rc;
  std::vector<std::string> f = AnswerFields(answer);
  int64_t number = 0;
  if (f.size() < 2 || WholeNumber(Trimmed(f[1]).c_str(), &number) != 0) return kDevNoAnswer;
  if (number != 0) {
    if (std::strcmp(command, kReset) != 0) {
      std::vector<std::string> ignored;
      exchange(kReset, kResetData, &ignored);
    }
    refused_ = true;
    errorNumber_ = static_cast<long>(number);
    return ErrorCode(errorNumber_);
  }
  if (fields) *fields = std::move(f);
  return kDevOk;
}

int FCRPOSNET::fail(int code, intptr_t text) {
  if (code == kDevDuplicateGoods) return report(code, text);
  return report(code, code == kDevDriverError ? errorNumber_ : 0);
}

int FCRPOSNET::open(int port, const PortSettings* settings) {
  if (port < 1 || port > 9) return report(kDevInitFailed);
  int rc = port_->open(port, settings ? *settings : PortSettings{});
  if (rc != kDevOk) return report(rc);
  loadConfiguredTaxRates();
  rc = exchange(kReset, kResetData, nullptr);
  opened_ = rc == kDevOk;
  if (!opened_) port_->close();
  return fail(rc);
}

int FCRPOSNET::close() {
  if (port_->isOpen()) port_->close();
  kind_ = kTransferNone;
  opened_ = 0;
  return kDevOk;
}

int FCRPOSNET::beginTransfer(int kind) {
  if (int rc = guard(kTransferNone)) return rc;
  kind_ = kTransferNone;
  first_ = 1;
  counter_ = 0;
  if (kind < kTransferSendGoods || kind > kTransferReadSales) return fail(kDevDriverError);
  std::vector<std::string> f;
  int rc = exchange(kReset, kResetData, nullptr);
  if (rc == kDevOk) rc = exchange("*a", "\r", &f);
  int64_t s = 0;
  if (rc == kDevOk && (f.size() < 3 || WholeNumber(Trimmed(f[2]).c_str(), &s) != 0))
    rc = kDevNoAnswer;
  settings_ = static_cast<int32_t>(s);
  if (rc == kDevOk && kind == kTransferSendGoods && !(s != 0 && (s & 64) && (s & 2) && (s & 4))) {
    char data[40];
    std::snprintf(data, sizeof data, "%c%d%c%d%c", '\r', static_cast<int>(s | 64 | 8 | 2 | 4), '\r',
                  secondSettings_, '\r');
    rc = exchange(")b", data, nullptr);
  }
  if (rc == kDevOk && kind == kTransferReadSales && !((s & 8) && (s & 4))) rc = kDevConfiguration;
  if (rc != kDevOk) return fail(rc);
  kind_ = kind;
  return kDevOk;
}

int FCRPOSNET::endTransfer() {
  if (int rc = guard(kTransferNone)) return rc;
  kind_ = kTransferNone;
  return kDevOk;
}

int FCRPOSNET::abortTransfer() {
  if (!opened_) return kDevNotInitialised;
  kind_ = kTransferNone;
  return exchange(kReset, kResetData, nullptr);
}

int FCRPOSNET::validateGoods(const RegisterGoods& g) {
  int64_t number = 0;
  if (WholeNumber(g.number, &number) != 0 || number < 1 || number > 32000) return kDevBadName;
  if (std::strlen(g.code) > 13 || (g.code[0] && !AllDigits(g.code))) return kDevBadName;
  if (Group(rates_.letter(TaxRateMap::parse(g.taxRate))) < 0) return kDevBadTaxRate;
  return kDevOk;
}

int FCRPOSNET::sendGoods(const RegisterGoods& g) {
  if (int rc = guard(kTransferSendGoods)) return rc;
  if (int rc = validateGoods(g)) return report(rc);
  int64_t number = 0;
  WholeNumber(g.number, &number);
  int rc = exchange("(a", "\r" + std::to_string(number) + "\r", nullptr);
  if (rc != kDevOk && !refused_) return fail(rc);
  const std::string data = GoodsData(g, Group(rates_.letter(TaxRateMap::parse(g.taxRate))));
  rc = exchange("&a", data, nullptr);
  if (rc != kDevOk && refused_) rc = exchange("%a", data, nullptr);
  return fail(rc, reinterpret_cast<intptr_t>(g.name));
}

int FCRPOSNET::record(std::vector<std::string>* fields) {
  const int rc = exchange(first_ ? "(k" : "(l", "\r", fields);
  if (rc == kDevOk) first_ = 0;
  return rc;
}

int FCRPOSNET::readGoods(RegisterGoods* g) {
  if (int rc = guard(kTransferReadGoods)) return rc;
  if (int rc = cancelled()) return rc;
  std::vector<std::string> f;
  int rc = record(&f);
  if (rc == kDevOk) rc = DecodeRecord(f, rates_, kind_, g);
  if (rc == kDevOk) DEVICE::notify(kDevProgress, ++counter_);
  return fail(rc);
}

int FCRPOSNET::readSale(RegisterGoods* s) {
  if (int rc = guard(kTransferReadSales)) return rc;
  if (int rc = cancelled()) return rc;
  std::vector<std::string> f;
  int rc = record(&f);
  if (rc == kDevOk) rc = DecodeRecord(f, rates_, kind_, s);
  if (rc == kDevOk) DEVICE::notify(kDevProgress, ++counter_);
  return fail(rc);
}

int FCRPOSNET::readAll(std::vector<long>* numbers) {
  first_ = 1;
  counter_ = 0;
  for (;;) {
    if (int rc = cancelled()) return rc;
    std::vector<std::string> f;
    RegisterGoods g;
    int rc = record(&f);
    if (rc == kDevNoMoreRecords) return kDevOk;
    if (rc == kDevOk) rc = DecodeRecord(f, rates_, kTransferReadGoods, &g);
    if (rc != kDevOk) return rc;
    numbers->push_back(std::atol(g.number));
    DEVICE::notify(kDevProgress, ++counter_);
  }
}

int FCRPOSNET::deleteGoods() {
  if (int rc = guard(kTransferNone)) return rc;
  std::vector<long> numbers;
  int rc = readAll(&numbers);
  for (size_t i = 0; rc == kDevOk && i < numbers.size(); ++i) {
    if ((rc = cancelled()) != kDevOk) break;
    rc = exchange("'a", "\r" + std::to_string(numbers[i]) + "\r", nullptr);
  }
  return fail(rc == kDevNoMoreRecords ? kDevOk : rc);
}

int FCRPOSNET::deleteSales() {
  if (int rc = guard(kTransferNone)) return rc;
  std::vector<long> numbers;
  int rc = readAll(&numbers);
  // The sales read are cleared goods by goods: a sale made meanwhile stays in the register.
  for (size_t i = 0; rc == kDevOk && i < numbers.size(); ++i) {
    if ((rc = cancelled()) != kDevOk) break;
    rc = exchange("(m", "\r" + std::to_string(numbers[i]) + "\r", nullptr);
  }
  return fail(rc == kDevNoMoreRecords ? kDevOk : rc);
}

int FCRPOSNET::fiscalReport() { return guard(kTransferNone); }

int FCRPOSNET::display(const char*) { return guard(kTransferNone); }

// The newer models.

std::string FCRPSNT2::Frame(char letter, const std::string& body) {
  return std::string(1, kEsc) + letter + body + Hex2(Xor(body)) + kEsc + "\\";
}

std::string FCRPSNT2::GoodsBody(const RegisterGoods& g, int group, bool longForm) {
  int64_t number = 0, code = 0;
  WholeNumber(g.number, &number);
  if (WholeNumber(g.code, &code) != 0) code = 0;
  const std::string fe(1, static_cast<char>(kFieldSep));
  char codeText[24];
  std::snprintf(codeText, sizeof codeText, "%013lld", static_cast<long long>(code));
  std::string b = "#p5" + fe + "1" + fe + std::to_string(number) + "\t" + DeviceName(g.name, "\\") +
                  "\n" + codeText + "\n" + std::to_string(RoundTo(g.amount, 2).Raw() / 100) + "\t" +
                  std::to_string(RoundTo(g.quantity, 3).Raw() / 10) + "\t";
  const std::string groupText(1, static_cast<char>('0' + group));
  if (longForm)
    b += "0\t0" + fe + "0" + fe + "1" + fe + "00\t11\t11" + fe + "0" + fe + groupText + fe;
  else b += "0" + fe + groupText + fe;
  return b;
}

int FCRPSNT2::DecodeRecord(const std::string& payload, const TaxRateMap& rates, int kind,
                           RegisterGoods* g) {
  *g = RegisterGoods{};
  if (payload.empty()) return kDevNoMoreRecords;
  std::vector<std::string> f;
  size_t from = 0;
  for (;;) {
    const size_t tab = payload.find('\t', from);
    f.push_back(payload.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
    if (tab == std::string::npos) break;
    from = tab + 1;
  }
  int64_t number = 0, code = 0;
  AMOUNT grosz, thousandths;
  if (f.size() < 6 || WholeNumber(Trimmed(f[0]).c_str(), &number) != 0 ||
      DecimalNumber(f[3], &grosz) != 0 || DecimalNumber(f[4], &thousandths) != 0)
    return kDevNoAnswer;
  SetField(g->number, Number6(number));
  fromDevice(kMazovia, f[1], g->name, sizeof g->name);
  if (WholeNumber(Trimmed(f[2]).c_str(), &code) == 0 && code != 0)
    SetField(g->code, std::to_string(code));
  g->amount = grosz / 100;
  g->quantity = thousandths / 1000;
  SetField(g->taxRate, rates.text(LetterOfGroup(f[5])));
  // A goods record tells the stock, a sales record the quantity sold: both in the same field.
  (void)kind;
  return kDevOk;
}

int FCRPSNT2::ErrorCode(long number) {
  switch (number) {
    case 8: return kDevNoFiscalReport;
    case 20:
    case 111:
    case 112:
    case 116:
    case 123: return kDevBadName;
    case 113:
    case 122: return kDevDuplicateGoods;
    case 118: return kDevBadPrice;
    default: return kDevDriverError;
  }
}

int FCRPSNT2::exchange2(const std::string& body, std::string* payload) {
  refused_ = false;
  errorNumber_ = 0;
  const std::string frame = Frame(modelLetter(), body);
  port_->purge();
  for (char c : frame)
    if (port_->writeByte(static_cast<uint8_t>(c)) != kDevOk) return kDevNoAnswer;
  std::string a;
  if (int rc = ReadAnswer(port_, true, &a)) return rc;
  // ESC, the letter, the text, two checksum digits, ESC \.
  if (a.size() < 8 || a[0] != kEsc || a[1] != modelLetter()) return kDevNoAnswer;
  const std::string text = a.substr(2, a.size() - 6);
  if (a.compare(a.size() - 4, 2, Hex2(Xor(text))) != 0) return kDevNoAnswer;
  if (text.compare(0, 2, "#E") == 0) {
    int64_t number = 0;
    if (WholeNumber(Trimmed(text.substr(2)).c_str(), &number) != 0 || number == 0)
      return kDevNoAnswer;
    refused_ = true;
    errorNumber_ = static_cast<long>(number);
    return ErrorCode(errorNumber_);
  }
  if (text.compare(0, 2, body, 0, 2) != 0) return kDevNoAnswer;
  *payload = text.substr(2);
  return kDevOk;
}

int FCRPSNT2::open(int port, const PortSettings* settings) {
  if (port < 1 || port > 9) return report(kDevInitFailed);
  int rc = port_->open(port, settings ? *settings : PortSettings{});
  if (rc != kDevOk) return report(rc);
  loadConfiguredTaxRates();
  std::string status;
  rc = exchange2("$s", &status);
  opened_ = rc == kDevOk;
  if (!opened_) port_->close();
  return fail(rc);
}

int FCRPSNT2::beginTransfer(int kind) {
  if (int rc = guard(kTransferNone)) return rc;
  kind_ = kTransferNone;
  if (kind < kTransferSendGoods || kind > kTransferReadSales) return fail(kDevDriverError);
  n_ = 1;
  counter_ = 0;
  kind_ = kind;
  return kDevOk;
}

int FCRPSNT2::abortTransfer() {
  if (!opened_) return kDevNotInitialised;
  kind_ = kTransferNone;
  return kDevOk;
}

int FCRPSNT2::sendGoods(const RegisterGoods& g) {
  if (int rc = guard(kTransferSendGoods)) return rc;
  if (int rc = validateGoods(g)) return report(rc);
  std::string payload;
  const int group = Group(rates_.letter(TaxRateMap::parse(g.taxRate)));
  return fail(exchange2(GoodsBody(g, group, longPluFormat() != 0), &payload),
              reinterpret_cast<intptr_t>(g.name));
}

int FCRPSNT2::readNumbered(int kind, RegisterGoods* g) {
  char body[32];
  if (kind == kTransferReadGoods) std::snprintf(body, sizeof body, "$b%ld\t", n_);
  else std::snprintf(body, sizeof body, "$r5%c%ld\t", static_cast<char>(kFieldSep), n_);
  std::string payload;
  int rc = exchange2(body, &payload);
  if (rc == kDevOk) rc = DecodeRecord(payload, rates_, kind, g);
  if (rc == kDevOk) ++n_;
  return rc;
}

int FCRPSNT2::readGoods(RegisterGoods* g) {
  if (int rc = guard(kTransferReadGoods)) return rc;
  if (int rc = cancelled()) return rc;
  const int rc = readNumbered(kTransferReadGoods, g);
  if (rc == kDevOk) DEVICE::notify(kDevProgress, ++counter_);
  return fail(rc);
}

int FCRPSNT2::readSale(RegisterGoods* s) {
  if (int rc = guard(kTransferReadSales)) return rc;
  if (int rc = cancelled()) return rc;
  const int rc = readNumbered(kTransferReadSales, s);
  if (rc == kDevOk) DEVICE::notify(kDevProgress, ++counter_);
  return fail(rc);
}

int FCRPSNT2::readAll2(int kind, std::vector<long>* numbers) {
  n_ = 1;
  counter_ = 0;
  for (;;) {
    if (int rc = cancelled()) return rc;
    RegisterGoods g;
    const int rc = readNumbered(kind, &g);
    if (rc == kDevNoMoreRecords) return kDevOk;
    if (rc != kDevOk) return rc;
    numbers->push_back(std::atol(g.number));
    DEVICE::notify(kDevProgress, ++counter_);
  }
}

int FCRPSNT2::deleteGoods() {
  if (int rc = guard(kTransferNone)) return rc;
  std::vector<long> numbers;
  int rc = readAll2(kTransferReadGoods, &numbers);
  for (size_t i = 0; rc == kDevOk && i < numbers.size(); ++i) {
    if ((rc = cancelled()) != kDevOk) break;
    std::string payload;
    char body[32];
    std::snprintf(body, sizeof body, "#d5%c%ld\t", static_cast<char>(kFieldSep), numbers[i]);
    rc = exchange2(body, &payload);
  }
  return fail(rc);
}

int FCRPSNT2::deleteSales() {
  if (int rc = guard(kTransferNone)) return rc;
  std::vector<long> numbers;
  int rc = readAll2(kTransferReadSales, &numbers);
  for (size_t i = 0; rc == kDevOk && i < numbers.size(); ++i) {
    if ((rc = cancelled()) != kDevOk) break;
    std::string payload;
    char body[32];
    std::snprintf(body, sizeof body, "#z5%c%ld\t", static_cast<char>(kFieldSep), numbers[i]);
    rc = exchange2(body, &payload);
  }
  return fail(rc);
}
