// The Sharp register's file store; docs/formats/sharp-register.md.
#include "devices/registers/fcr_sharp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/text.h"

namespace {

constexpr uint8_t kStx = 0x02, kEot = 0x04, kEnq = 0x05, kAck = 0x06, kCr = 0x0D, kNak = 0x15;
constexpr size_t kTextLimit = 250;
constexpr size_t kRecordLimit = 222;
constexpr size_t kFrameLimit = 100000;  // frames of one answer: more is a register gone wrong
constexpr char kAddress[] = "000001";
// The Polish letters of the program in the order of the register's codes 0xC4 to 0xD5.
constexpr std::string_view kLetters = "ĄĆÓĘŻŹŁŚŃąćóężźłśń"_plv;

// A hex number of a whole text: 0 or -1.
int HexNumber(const std::string& text, int64_t* value) {
  if (text.empty() || text.size() > 15) return -1;
  int64_t v = 0;
  for (char c : text) {
    const int d = c >= '0' && c <= '9'   ? c - '0'
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                         : -1;
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  *value = v;
  return 0;
}

std::string Fit(const char* format, int width, long long value) {
  char b[64];
  std::snprintf(b, sizeof b, format, width, value);
  return static_cast<int>(std::strlen(b)) == width ? std::string(b) : std::string();
}

int Group(uint8_t letter) {
  if (letter == 'Z') return 0;
  return letter >= 'A' && letter <= 'Y' ? letter - 'A' + 1 : -1;
}

// Cuts a record into its fields by the widths of the header.
bool Cut(const std::string& record, const std::vector<int>& widths, std::vector<std::string>* f) {
  size_t at = 0;
  for (int w : widths) {
    if (at + static_cast<size_t>(w) > record.size()) return false;
    f->push_back(record.substr(at, static_cast<size_t>(w)));
    at += static_cast<size_t>(w);
  }
  return true;
}

// The common part of both records: name, price, tax group, quantity and value sold from field from.
int DecodeTail(const std::vector<std::string>& f, size_t from, const TaxRateMap& rates,
               RegisterGoods* g, AMOUNT* sold) {
  std::string bytes;
  for (size_t i = 0; i + 1 < f[from].size(); i += 2) {
    int64_t b = 0;
    if (HexNumber(f[from].substr(i, 2), &b) != 0) return kDevNoAnswer;
    bytes.push_back(static_cast<char>(b));
  }
  int64_t price = 0, group = 0, quantity = 0, value = 0;
  if (HexNumber(f[from + 1], &price) != 0 || HexNumber(f[from + 2], &group) != 0 ||
      HexNumber(f[from + 3], &quantity) != 0 || HexNumber(f[from + 4], &value) != 0)
    return kDevNoAnswer;
  std::string name = Trimmed(FCRSHARP::FromSharp(bytes));
  if (name.size() > 63) name.resize(63);
  SetField(g->name, name);
  g->amount = AMOUNT::FromRaw(price * 100);
  SetField(g->taxRate, group == 0    ? rates.text('Z')
                       : group <= 25 ? rates.text(static_cast<uint8_t>('A' + group - 1))
                                     : "");
  g->quantity = AMOUNT::FromRaw(quantity * 10);
  *sold = AMOUNT::FromRaw(value * 100);
  return kDevOk;
}

std::string EncodeTail(const RegisterGoods& g, const std::vector<int>& w, size_t from,
                       const TaxRateMap& rates) {
  const size_t chars = static_cast<size_t>(w[from]) / 2;
  std::string name = FCRSHARP::ToSharp(g.name);
  name.resize(chars, ' ');
  const int group = Group(rates.letter(TaxRateMap::parse(g.taxRate)));
  const std::string price = Fit("%0*llX", w[from + 1], RoundTo(g.amount, 2).Raw() / 100);
  const std::string tax = Fit("%0*llX", w[from + 2], group);
  const std::string zero1 = Fit("%0*llX", w[from + 3], 0), zero2 = Fit("%0*llX", w[from + 4], 0);
  if (group < 0 || price.empty() || tax.empty() || zero1.empty() || zero2.empty()) return "";
  std::string hex = FCRSHARP::Hex(name);
  hex.resize(static_cast<size_t>(w[from]), '0');
  return hex + price + tax + zero1 + zero2;
}

}  // namespace

unsigned FCRSHARP::FRAME::Checksum(int counter, const std::string& text) {
  unsigned sum = static_cast<unsigned>('0' + counter % 10);
  for (char c : text) sum += static_cast<uint8_t>(c);
  return (256 - sum % 256) % 256;
}

std::string FCRSHARP::FRAME::Make(int counter, const std::string& text) {
  char sum[4];
  std::snprintf(sum, sizeof sum, "%02X", Checksum(counter, text));
  return std::string(1, static_cast<char>(kStx)) + static_cast<char>('0' + counter % 10) + text +
         sum + static_cast<char>(kCr);
}

bool FCRSHARP::FRAME::Text(const std::string& frame, std::string* text) {
  if (frame.size() < 5 || frame[0] != kStx || frame.back() != kCr || frame[1] < '0' ||
      frame[1] > '9')
    return false;
  *text = frame.substr(2, frame.size() - 5);
  char sum[4];
  std::snprintf(sum, sizeof sum, "%02X", Checksum(frame[1] - '0', *text));
  return frame.compare(frame.size() - 3, 2, sum) == 0;
}

int FCRSHARP::PLU::decode(const std::string& record, const FILEHEADER& h, const TaxRateMap& rates,
                          RegisterGoods* g, AMOUNT* sold) const {
  *g = RegisterGoods{};
  std::vector<std::string> f;
  int64_t number = 0;
  if (h.widths.size() != 6 || !Cut(record, h.widths, &f) || WholeNumber(f[0].c_str(), &number) != 0)
    return kDevNoAnswer;
  char text[24];
  std::snprintf(text, sizeof text, "%06lld", static_cast<long long>(number));
  SetField(g->number, text);
  return DecodeTail(f, 1, rates, g, sold);
}

std::string FCRSHARP::PLU::encode(const RegisterGoods& g, const FILEHEADER& h,
                                  const TaxRateMap& rates) const {
  int64_t number = 0;
  if (h.widths.size() != 6 || WholeNumber(g.number, &number) != 0) return "";
  const std::string n = Fit("%0*lld", h.widths[0], number),
                    tail = EncodeTail(g, h.widths, 1, rates);
  return n.empty() || tail.empty() ? "" : n + tail;
}

int FCRSHARP::EAN::decode(const std::string& record, const FILEHEADER& h, const TaxRateMap& rates,
                          RegisterGoods* g, AMOUNT* sold) const {
  *g = RegisterGoods{};
  std::vector<std::string> f;
  int64_t code = 0, number = 0;
  if (h.widths.size() != 7 || !Cut(record, h.widths, &f) || WholeNumber(f[0].c_str(), &code) != 0 ||
      WholeNumber(f[1].c_str(), &number) != 0)
    return kDevNoAnswer;
  // The field keeps leading zeros: an EAN-8 comes back from its last eight digits.
  char text[32];
  std::snprintf(text, sizeof text, code < 100000000 ? "%08lld" : "%013lld",
                static_cast<long long>(code));
  SetField(g->code, text);
  if (number != 0) {
    std::snprintf(text, sizeof text, "%06lld", static_cast<long long>(number));
    SetField(g->number, text);
  }
  return DecodeTail(f, 2, rates, g, sold);
}

std::string FCRSHARP::EAN::encode(const RegisterGoods& g, const FILEHEADER& h,
                                  const TaxRateMap& rates) const {
  int64_t code = 0, number = 0;
  if (h.widths.size() != 7 || WholeNumber(g.code, &code) != 0) return "";
  if (std::strlen(g.number) != 6 || WholeNumber(g.number, &number) != 0) number = 0;
  const std::string c = Fit("%0*lld", h.widths[0], code), n = Fit("%0*lld", h.widths[1], number);
  const std::string tail = EncodeTail(g, h.widths, 2, rates);
  return c.empty() || n.empty() || tail.empty() ? "" : c + n + tail;
}

std::string FCRSHARP::ToSharp(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    const uint8_t c = static_cast<uint8_t>(*p);
    const size_t i = kLetters.find(static_cast<char>(c));
    out.push_back(c < 0x80                      ? static_cast<char>(c)
                  : i != std::string_view::npos ? static_cast<char>(0xC4 + i)
                                                : '?');
  }
  return out;
}

std::string FCRSHARP::FromSharp(const std::string& bytes) {
  std::string out;
  for (char ch : bytes) {
    const uint8_t c = static_cast<uint8_t>(ch);
    if (c >= 0x20 && c < 0x80) out.push_back(ch);
    else if (c >= 0xC4 && c <= 0xD5) out.push_back(kLetters[c - 0xC4]);
    else out.push_back(c == 0 ? ' ' : '?');
  }
  return out;
}

std::string FCRSHARP::Hex(const std::string& bytes) {
  std::string out;
  char b[4];
  for (char c : bytes) {
    std::snprintf(b, sizeof b, "%02X", static_cast<uint8_t>(c));
    out += b;
  }
  return out;
}

bool FCRSHARP::ParseHeader(const std::string& text, FILEHEADER* h) {
  *h = FILEHEADER{};
  if (text.compare(0, 6, "/HDR1/") != 0) return false;
  std::vector<int64_t> v;
  size_t from = 6;
  while (from < text.size()) {
    const size_t slash = text.find('/', from);
    int64_t n = 0;
    if (slash == std::string::npos || HexNumber(text.substr(from, slash - from), &n) != 0)
      return false;
    v.push_back(n);
    from = slash + 1;
  }
  if (v.size() < 5) return false;
  h->number = static_cast<int>(v[0] & 0xFF);
  h->kind = static_cast<int>(v[1]);
  h->capacity = static_cast<long>(v[2]);
  h->count = static_cast<long>(v[3]);
  size_t total = 0;
  for (size_t i = 4; i < v.size(); ++i) {
    if (v[i] < 1 || v[i] > static_cast<int64_t>(kRecordLimit)) return false;
    h->widths.push_back(static_cast<int>(v[i]));
    total += static_cast<size_t>(v[i]);
  }
  const size_t fields = h->kind == 1 ? 6 : h->kind == 2 ? 7 : 0;
  const size_t name = h->kind == 1 ? 1 : 2;
  return fields != 0 && h->widths.size() == fields && total <= kRecordLimit &&
         h->widths[name] % 2 == 0;
}

int FCRSHARP::ResultCode(long result) {
  switch (result) {
    case 0: return kDevOk;
    case -2: return kDevCancelled;
    case 402: return kDevConfiguration;
    case 604: return kDevBadName;
    case 701: return kDevNoFiscalReport;
    default: return result >= 1 ? kDevHardware : kDevNoAnswer;
  }
}

int FCRSHARP::sendByte(uint8_t byte) {
  for (int t = 0; t < handshakeTries_; ++t) {
    if (port_->lineState(2) == 1 && port_->lineState(3) == 1)
      return port_->writeByte(byte) == kDevOk ? kDevOk : kDevWriteFailed;
    if (DEVICE::notify(kDevPoll, 0) != 0) return kDevCancelled;
    port_->pause(handshakeStepMs_);
  }
  return kDevWriteFailed;
}

int FCRSHARP::waitByte(uint8_t* byte) {
  for (int look = 0;; ++look) {
    const int rc = port_->readByte(byte);
    if (rc == kDevOk) return kDevOk;
    if (rc != kDevNothingReceived || look + 1 >= handshakeTries_) return kDevNoAnswer;
    if (DEVICE::notify(kDevPoll, 0) != 0) return kDevCancelled;
    port_->waitInput(handshakeStepMs_);
  }
}

int FCRSHARP::sendFrame(const std::string& text, int counter) {
  port_->setLine(1, 2);
  port_->setLine(1, 3);
  port_->purge();
  const std::string call =
      std::string(3, static_cast<char>(kEot)) + kAddress + static_cast<char>(kEnq);
  for (char c : call)
    if (int rc = sendByte(static_cast<uint8_t>(c))) return rc;
  uint8_t b = 0;
  if (int rc = waitByte(&b)) return rc;
  if (b != kAck) return kDevNoAnswer;
  for (char c : FRAME::Make(counter, text.substr(0, kTextLimit)))
    if (int rc = sendByte(static_cast<uint8_t>(c))) return rc;
  if (int rc = waitByte(&b)) return rc;
  return b == kAck ? kDevOk : kDevNoAnswer;
}

int FCRSHARP::receiveFrames(std::vector<std::string>* texts) {
  int bad = 0;
  size_t stray = 0;
  for (;;) {
    uint8_t b = 0;
    if (int rc = waitByte(&b)) return rc;
    if (b == kEot) return kDevOk;
    // Line noise between frames is passed over, but a line that only chatters is no register.
    if (b != kEnq) {
      if (++stray > kTextLimit + 8) return kDevNoAnswer;
      continue;
    }
    stray = 0;
    if (int rc = sendByte(kAck)) return rc;
    std::string frame;
    while (frame.empty() ||
           (frame.back() != static_cast<char>(kCr) && frame.size() < kTextLimit + 8)) {
      if (int rc = waitByte(&b)) return rc;
      if (frame.empty() && b != kStx) return kDevNoAnswer;
      frame.push_back(static_cast<char>(b));
    }
    std::string text;
    if (!FRAME::Text(frame, &text)) {
      if (++bad >= 3) return kDevNoAnswer;
      if (int rc = sendByte(kNak)) return rc;
      continue;
    }
    if (int rc = sendByte(kAck)) return rc;
    if (texts->size() >= kFrameLimit) return kDevNoAnswer;
    texts->push_back(text);
  }
}

int FCRSHARP::run(const std::string& text, std::vector<std::string>* data) {
  errorNumber_ = 0;
  if (int rc = sendFrame(text, 0)) return rc;
  if (int rc = sendByte(kEot)) return rc;
  std::vector<std::string> frames;
  if (int rc = receiveFrames(&frames)) return rc;
  int64_t result = 0;
  const std::string last = frames.empty() ? "" : frames.back();
  const bool negative = !last.empty() && last[0] == '-';
  if (WholeNumber(last.c_str() + (negative ? 1 : 0), &result) != 0) return kDevNoAnswer;
  if (negative) result = -result;
  errorNumber_ = static_cast<long>(result);
  frames.pop_back();
  if (data) *data = std::move(frames);
  return ResultCode(errorNumber_);
}

int FCRSHARP::readHeaders(FILEHEADER* plu, FILEHEADER* ean) {
  std::vector<std::string> frames;
  if (int rc = run("/HDR1/", &frames)) return rc;
  *plu = *ean = FILEHEADER{};
  for (const std::string& f : frames) {
    FILEHEADER h;
    if (!ParseHeader(f, &h)) return kDevTaxRatesUnreadable;
    (h.kind == 1 ? *plu : *ean) = h;
  }
  return plu->number < 0 || ean->number < 0 ? kDevTaxRatesUnreadable : kDevOk;
}

int FCRSHARP::askHeaders(FILEHEADER* plu, FILEHEADER* ean) {
  int rc = run("/10-02/");
  if (rc == kDevOk) rc = readHeaders(plu, ean);
  if (rc == kDevOk) rc = run("/90-00/");
  else if (rc != kDevCancelled) run("/99-00/");
  return rc;
}

int FCRSHARP::readFiles(int kind, FILEHEADER* plu, FILEHEADER* ean) {
  goods_.clear();
  int rc = run("/10-02/");
  if (rc == kDevOk) rc = readHeaders(plu, ean);
  for (const FILEHEADER* h : {plu, ean}) {
    if (rc != kDevOk) break;
    char text[64];
    if (kind == kTransferReadSales)
      std::snprintf(text, sizeof text, "/20-02/%02X////010000000000/", h->number);
    else std::snprintf(text, sizeof text, "/20-00/%02X/////", h->number);
    std::vector<std::string> records;
    rc = run(text, &records);
    const PLU pluRecord;
    const EAN eanRecord;
    const DATA& data = h->kind == 1 ? static_cast<const DATA&>(pluRecord) : eanRecord;
    for (size_t i = 0; rc == kDevOk && i < records.size(); ++i) {
      RegisterGoods g;
      AMOUNT sold;
      if ((rc = data.decode(records[i], *h, rates_, &g, &sold)) != kDevOk) break;
      if (kind == kTransferReadSales) g.amount = sold;
      else g.quantity = AMOUNT();
      goods_.push_back(g);
      DEVICE::notify(kDevProgress, static_cast<long>(goods_.size()));
    }
    (h->kind == 1 ? pluCount_ : eanCount_) = static_cast<long>(records.size());
  }
  if (rc == kDevOk) rc = run("/90-00/");
  else if (rc != kDevCancelled) run("/99-00/");
  return rc;
}

int FCRSHARP::writeFiles(const FILEHEADER& plu, const FILEHEADER& ean, bool deleted) {
  std::vector<std::string> pluRecords, eanRecords;
  const PLU pluRecord;
  const EAN eanRecord;
  for (RegisterGoods g : goods_) {
    if (deleted) {
      g.name[0] = 0;
      g.amount = AMOUNT();
    }
    const bool byCode = g.code[0] != 0;
    const std::string r =
        byCode ? eanRecord.encode(g, ean, rates_) : pluRecord.encode(g, plu, rates_);
    if (r.empty()) return kDevBadPrice;
    (byCode ? eanRecords : pluRecords).push_back(r);
  }
  if (static_cast<long>(pluRecords.size()) > plu.capacity ||
      static_cast<long>(eanRecords.size()) > ean.capacity)
    return kDevTooManyLines;
  int rc = run("/10-00/");
  int counter = 1;
  long sent = 0;
  for (int file = 0; rc == kDevOk && file < 2; ++file) {
    const FILEHEADER& h = file == 0 ? plu : ean;
    const std::vector<std::string>& records = file == 0 ? pluRecords : eanRecords;
    if (records.empty()) continue;
    char head[128];
    int n = std::snprintf(head, sizeof head, "/HDR1/%02X/%02X/%04lX/%04lX/", h.number, h.kind,
                          h.capacity, static_cast<long>(records.size()));
    for (int w : h.widths)
      n += std::snprintf(head + n, sizeof head - static_cast<size_t>(n), "%02X/", w);
    rc = sendFrame(head, counter++ % 10);
    for (size_t i = 0; rc == kDevOk && i < records.size(); ++i) {
      if ((rc = cancelled()) != kDevOk) break;
      rc = sendFrame(records[i], counter++ % 10);
      DEVICE::notify(kDevProgress, ++sent);
    }
  }
  if (rc == kDevOk) rc = run("/90-00/");
  else if (rc != kDevCancelled) run("/99-00/");
  return rc;
}

int FCRSHARP::finish(int code) {
  if (!notifySwitch_) return code;
  return report(code, code == kDevHardware ? errorNumber_ : 0);
}

int FCRSHARP::open(int port, const PortSettings* settings) {
  if (port < 1 || port > 9) return finish(kDevInitFailed);
  const int rc = port_->open(port, settings ? *settings : PortSettings{});
  if (rc != kDevOk) return finish(rc);
  loadConfiguredTaxRates();
  opened_ = 1;
  return kDevOk;
}

int FCRSHARP::close() {
  if (port_->isOpen()) {
    port_->setLine(0, 2);
    port_->setLine(0, 3);
    port_->close();
  }
  goods_.clear();
  kind_ = kTransferNone;
  opened_ = 0;
  return kDevOk;
}

int FCRSHARP::beginTransfer(int kind) {
  if (int rc = guard(kTransferNone)) return rc;
  goods_.clear();
  pluCount_ = eanCount_ = 0;
  next_ = 0;
  kind_ = kTransferNone;
  FILEHEADER plu, ean;
  int rc = kDevOk;
  if (kind == kTransferReadGoods || kind == kTransferReadSales) rc = readFiles(kind, &plu, &ean);
  else if (kind != kTransferSendGoods) rc = kDevDriverError;
  if (rc != kDevOk) {
    goods_.clear();
    return finish(rc);
  }
  kind_ = kind;
  return kDevOk;
}

int FCRSHARP::validateGoods(const RegisterGoods& g) {
  int64_t value = 0;
  const bool sixDigits = std::strlen(g.number) == 6 && WholeNumber(g.number, &value) == 0;
  const size_t code = std::strlen(g.code);
  if (!sixDigits && code == 0) return kDevBadName;
  if (code != 0 && (code > 13 || !AllDigits(g.code))) return kDevBadName;
  if (Group(rates_.letter(TaxRateMap::parse(g.taxRate))) < 0) return kDevBadTaxRate;
  if (g.amount < AMOUNT() || RoundTo(g.amount, 2) > AMOUNT::FromDouble(999999.99))
    return kDevBadPrice;
  return kDevOk;
}

int FCRSHARP::sendGoods(const RegisterGoods& g) {
  if (int rc = guard(kTransferSendGoods)) return rc;
  if (int rc = validateGoods(g)) return finish(rc);
  goods_.push_back(g);
  ++(g.code[0] ? eanCount_ : pluCount_);
  return kDevOk;
}

int FCRSHARP::readGoods(RegisterGoods* g) {
  if (int rc = guard(kTransferReadGoods)) return rc;
  if (next_ >= goods_.size()) return kDevNoMoreRecords;
  *g = goods_[next_++];
  return kDevOk;
}

int FCRSHARP::readSale(RegisterGoods* s) {
  if (int rc = guard(kTransferReadSales)) return rc;
  if (next_ >= goods_.size()) return kDevNoMoreRecords;
  *s = goods_[next_++];
  return kDevOk;
}

int FCRSHARP::endTransfer() {
  if (int rc = guard(kTransferNone)) return rc;
  int rc = kind_ == kTransferNone ? kDevDriverError : kDevOk;
  if (rc == kDevOk && kind_ == kTransferSendGoods && !goods_.empty()) {
    FILEHEADER plu, ean;
    rc = askHeaders(&plu, &ean);
    if (rc == kDevOk) rc = writeFiles(plu, ean, false);
  }
  goods_.clear();
  kind_ = kTransferNone;
  return finish(rc);
}

int FCRSHARP::abortTransfer() {
  goods_.clear();
  kind_ = kTransferNone;
  port_->setLine(0, 2);
  port_->setLine(0, 3);
  return opened_ ? kDevOk : kDevNotInitialised;
}

int FCRSHARP::deleteGoods() {
  if (int rc = guard(kTransferNone)) return rc;
  FILEHEADER plu, ean;
  int rc = readFiles(kTransferReadGoods, &plu, &ean);
  if (rc == kDevOk && !goods_.empty()) rc = writeFiles(plu, ean, true);
  goods_.clear();
  return finish(rc);
}

int FCRSHARP::deleteSales() {
  if (int rc = guard(kTransferNone)) return rc;
  int rc = run("/32-01/0120/");
  if (rc == kDevOk) rc = run("/32-01/0109/");
  return finish(rc);
}

int FCRSHARP::fiscalReport() {
  if (int rc = guard(kTransferNone)) return rc;
  return finish(run("/32-01/0100/"));
}

int FCRSHARP::display(const char* text) {
  if (int rc = guard(kTransferNone)) return rc;
  std::string shown = text;
  if (shown.size() > 30) shown.resize(30);
  return finish(run("/92-00/" + Hex(ToSharp(shown.c_str())) + "/"));
}
