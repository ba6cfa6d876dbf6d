// The Optimus register packets; docs/formats/optimus-register.md.
#include "devices/registers/fcr_optimus.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/codepage.h"

namespace {

constexpr uint8_t kStx = 0x02, kEtx = 0x03, kEot = 0x04, kEnq = 0x05, kAck = 0x06, kTab = 0x09,
                  kNak = 0x15, kEtb = 0x17, kErrorFollows = 0x40;
constexpr int kStepMs = 500;
constexpr int kPolls = 20;  // 10 s for one byte
constexpr int kBusyRestarts = 10;
constexpr int kSendTries = 10;

// A field of a packet without its blanks.
std::string Field(const std::string& packet, size_t at, size_t width) {
  std::string f = packet.substr(at, width);
  while (!f.empty() && f.back() == ' ') f.pop_back();
  size_t start = 0;
  while (start < f.size() && f[start] == ' ') ++start;
  return f.substr(start);
}

// A whole number with an optional minus sign: 0 or -1.
int Signed(const std::string& text, int64_t* value) {
  if (!text.empty() && text[0] == '-') {
    if (WholeNumber(text.c_str() + 1, value) != 0) return -1;
    *value = -*value;
    return 0;
  }
  return WholeNumber(text.c_str(), value);
}

std::string Sealed(std::string packet, uint8_t end) {
  packet.push_back(static_cast<char>(end));
  char sum[8];
  std::snprintf(sum, sizeof sum, "%04X", FCROPTIMUS_TANGO::Checksum(packet + "0000"));
  return packet + sum;
}

}  // namespace

unsigned FCROPTIMUS_TANGO::Checksum(const std::string& packet) {
  unsigned sum = 0;
  // From the byte after STX to the end byte, which stands before the four checksum digits.
  for (size_t i = 1; i + 4 < packet.size(); ++i)
    sum ^= static_cast<unsigned>(static_cast<uint8_t>(packet[i])) << ((i - 1) % 9);
  return sum & 0xFFFF;
}

bool FCROPTIMUS_TANGO::Sound(const std::string& packet) {
  if (packet.size() < 6 || packet[0] != kStx) return false;
  const uint8_t end = static_cast<uint8_t>(packet[packet.size() - 5]);
  if (end != kEtx && end != kEtb) return false;
  char sum[8];
  std::snprintf(sum, sizeof sum, "%04X", Checksum(packet));
  return packet.compare(packet.size() - 4, 4, sum) == 0;
}

int FCROPTIMUS_TANGO::ErrorCode(long number) {
  switch (number) {
    case 5:
    case 8: return kDevBadName;
    case 9: return kDevBadTaxRate;
    case 13:
    case 17: return kDevConfiguration;
    case 14:
    case 20:
    case 22:
    case 24:
    case 33:
    case 34:
    case 37:
    case 38:
    case 39: return kDevHardware;
    case 15: return kDevNoFiscalReport;
    case 21: return kDevBadPrice;
    case 23: return kDevNoPaper;
    default: return kDevDriverError;
  }
}

FCROPTIMUS_TANGO::PKTSTART::PKTSTART(const char* command) {
  bytes_ = Sealed(
      std::string(1, static_cast<char>(kStx)) + std::string(command, 3) + std::string(36, ' '),
      kEtx);
}

FCROPTIMUS_TANGO::PKTPLU::PKTPLU(const RegisterGoods& g, uint8_t letter, bool add) {
  char id[80];
  int64_t number = 0;
  if (g.code[0]) std::snprintf(id, sizeof id, "%18.18s", g.code);
  else {
    WholeNumber(g.number, &number);
    char digits[24];
    std::snprintf(digits, sizeof digits, "%05lld", static_cast<long long>(number));
    std::snprintf(id, sizeof id, "%18s", digits);
  }
  const std::string name = toDevice(kCodePageLatin2, g.name);
  char buf[128];
  const int n = std::snprintf(buf, sizeof buf, "%c%c%c%c%18s%-18.18s%10lld%c%c%5s%2s%2s%-18s", kStx,
                              'D', 'I', add ? '1' : '0', id, name.c_str(),
                              static_cast<long long>(RoundTo(g.amount, 2).Raw() / 100), letter, '0',
                              "11000", "01", "00", "");
  bytes_ = Sealed(std::string(buf, static_cast<size_t>(n < 79 ? n : 79)), kEtb);
}

void FCROPTIMUS_TANGO::PKTPLU::seal(bool last) {
  bytes_ = Sealed(bytes_.substr(0, 79), last ? kEtx : kEtb);
}

FCROPTIMUS_TANGO::PKTPLU FCROPTIMUS_TANGO::PKTPLU::deletion() const {
  std::string b = bytes_.substr(0, 79);
  b[3] = '0';
  return PKTPLU(Sealed(b, kEtb));
}

int FCROPTIMUS_TANGO::PKTPLU::decode(const TaxRateMap& rates, RegisterGoods* g) const {
  *g = RegisterGoods{};
  const std::string id = Field(bytes_, 4, 18);
  int64_t number = 0, price = 0;
  // As in the sale packets: a short identifier is a number, a longer one a code (also of digits).
  if (id.size() < 7 && WholeNumber(id.c_str(), &number) == 0) {
    char text[24];
    std::snprintf(text, sizeof text, "%06lld", static_cast<long long>(number));
    SetField(g->number, text);
  } else {
    SetField(g->code, id);
  }
  fromDevice(kCodePageLatin2, Field(bytes_, 22, 18), g->name, sizeof g->name);
  if (Signed(Field(bytes_, 40, 10), &price) != 0) return kDevNoAnswer;
  g->amount = AMOUNT::FromRaw(price * 100);
  SetField(g->taxRate, rates.text(static_cast<uint8_t>(bytes_[50])));
  return g->taxRate[0] ? kDevOk : kDevBadTaxRate;
}

int FCROPTIMUS_TANGO::PKTSALE::decode(RegisterGoods* s) const {
  *s = RegisterGoods{};
  const std::string id = Field(bytes_, 3, 18);
  int64_t number = 0, value = 0, quantity = 0;
  if (id.size() < 7 && WholeNumber(id.c_str(), &number) == 0) {
    char text[24];
    std::snprintf(text, sizeof text, "%06lld", static_cast<long long>(number));
    SetField(s->number, text);
  } else {
    SetField(s->code, id);
  }
  fromDevice(kCodePageLatin2, Field(bytes_, 21, 18), s->name, sizeof s->name);
  if (Signed(Field(bytes_, 39, 20), &value) != 0 || Signed(Field(bytes_, 59, 20), &quantity) != 0 ||
      value > 99999999999999 || value < -99999999999999 || quantity > 99999999999999 ||
      quantity < -99999999999999)
    return kDevNoAnswer;
  s->amount = AMOUNT::FromRaw(value * 100);
  s->quantity = AMOUNT::FromRaw(quantity * 10);
  return kDevOk;
}

void FCROPTIMUS_TANGO::PKTVAT::decode(TaxRateMap* rates) const {
  rates->clear();
  for (int i = 0; i < 6; ++i) {
    int64_t v = 0;
    if (WholeNumber(bytes_.substr(3 + 4 * i, 4).c_str(), &v) != 0 || v == 9999) continue;
    rates->add(AMOUNT::FromRaw(v * 100), static_cast<uint8_t>('A' + i));
  }
}

long FCROPTIMUS_TANGO::PKTERR::number() const {
  char* end = nullptr;
  const std::string hex = bytes_.substr(3, 2);
  const long n = std::strtol(hex.c_str(), &end, 16);
  return end == hex.c_str() + 2 ? n : -1;
}

int FCROPTIMUS_TANGO::sendByte(uint8_t byte) {
  for (int i = 0; i < kSendTries; ++i) {
    if (port_->lineState(3) == 1)
      return port_->writeByte(byte) == kDevOk ? kDevOk : kDevWriteFailed;
    if (DEVICE::notify(kDevPoll, 0) != 0) return kDevCancelled;
    port_->pause(kStepMs);
  }
  return kDevWriteFailed;
}

int FCROPTIMUS_TANGO::receiveByte(uint8_t* byte) {
  int busy = 0;
  for (int poll = 0;;) {
    const int rc = port_->readByte(byte);
    if (rc == kDevOk) {
      if (*byte != kTab) return kDevOk;
      if (busy < kBusyRestarts) {
        ++busy;
        poll = 0;
        continue;
      }
      // Past its restarts a TAB is only a poll gone by: a register that keeps saying "wait"
      // still runs out of time.
    } else if (rc != kDevNothingReceived) {
      return rc;
    }
    if (++poll >= kPolls) return kDevNothingReceived;
    if (DEVICE::notify(kDevPoll, 0) != 0) return kDevCancelled;
    port_->waitInput(kStepMs);
  }
}

void FCROPTIMUS_TANGO::lineReset() {
  port_->writeByte(kEot);
  port_->setLine(0, 2);
  port_->setLine(0, 3);
  port_->pause(5000);
  port_->setLine(1, 2);
  port_->setLine(1, 3);
  port_->pause(1000);
  port_->purge();
}

int FCROPTIMUS_TANGO::sendPacket(const std::string& packet) {
  for (char c : packet)
    if (int rc = sendByte(static_cast<uint8_t>(c))) return rc;
  uint8_t answer = 0;
  if (int rc = receiveByte(&answer)) return rc;
  if (answer == kAck) return kDevOk;
  return answer == kErrorFollows ? errorPacket() : kDevNoAnswer;
}

int FCROPTIMUS_TANGO::receivePacket(int length, std::string* packet) {
  packet->clear();
  uint8_t b = 0;
  if (int rc = receiveByte(&b)) return rc;
  if (b == kEot) return kDevNoMoreRecords;
  if (b == kNak) return kDevNoAnswer;  // the register refused the exchange
  if (b != kStx) return kDevNoAnswer;
  packet->push_back(static_cast<char>(b));
  while (static_cast<int>(packet->size()) < length) {
    if (int rc = receiveByte(&b)) return rc;
    packet->push_back(static_cast<char>(b));
  }
  return Sound(*packet) ? kDevOk : kDevNoAnswer;
}

int FCROPTIMUS_TANGO::errorPacket() {
  uint8_t b = 0;
  if (int rc = sendByte(kEot)) return rc;
  if (int rc = receiveByte(&b)) return rc;
  if (b != kEnq) return kDevNoAnswer;
  if (int rc = sendByte(kAck)) return rc;
  std::string bytes;
  if (receivePacket(47, &bytes) != kDevOk) return kDevNoAnswer;
  sendByte(kAck);
  receiveByte(&b);
  sendByte(kEot);
  errorNumber_ = PKTERR(bytes).number();
  return ErrorCode(errorNumber_);
}

int FCROPTIMUS_TANGO::readExchange(const char* command, int length, std::vector<std::string>* out) {
  port_->purge();
  uint8_t b = 0;
  if (int rc = sendByte(kEnq)) return rc;
  if (receiveByte(&b) != kDevOk || b != kAck) return kDevNothingReceived;
  if (int rc = sendPacket(PKTSTART(command).data())) return rc;
  if (int rc = sendByte(kEot)) return rc;
  if (int rc = receiveByte(&b)) return rc;
  if (b != kEnq) return kDevOk;  // nothing to give
  int rc = kDevOk;
  for (long n = 1;; ++n) {
    if ((rc = cancelled()) != kDevOk) break;
    if ((rc = sendByte(kAck)) != kDevOk) break;
    std::string packet;
    if ((rc = receivePacket(length, &packet)) != kDevOk) break;
    if (out) out->push_back(packet);
    DEVICE::notify(kDevProgress, n);
  }
  sendByte(kEot);
  return rc == kDevNoMoreRecords ? kDevOk : rc;
}

int FCROPTIMUS_TANGO::writeExchange(std::vector<PKTPLU>& packets) {
  if (packets.empty()) return kDevOk;
  uint8_t b = 0;
  port_->purge();
  if (int rc = sendByte(kEnq)) return rc;
  if (receiveByte(&b) != kDevOk || b != kAck) return kDevNothingReceived;
  if (int rc = sendPacket(PKTSTART("SI1").data())) return rc;
  for (size_t i = 0; i < packets.size(); ++i) {
    if (int rc = cancelled()) return rc;
    packets[i].seal(i + 1 == packets.size());
    if (int rc = sendPacket(packets[i].data())) return rc;
    DEVICE::notify(kDevProgress, static_cast<long>(i + 1));
  }
  sendByte(kEot);
  receiveByte(&b);
  return kDevOk;
}

int FCROPTIMUS_TANGO::fail(int code) {
  return report(code, code == kDevDriverError || code == kDevHardware ? errorNumber_ : 0);
}

int FCROPTIMUS_TANGO::open(int port, const PortSettings* settings) {
  if (port < 1 || port > 9) return report(kDevInitFailed);
  int rc = port_->open(port, settings ? *settings : PortSettings{});
  if (rc != kDevOk) return report(rc);
  if (port_->lineState(2) != 1 || port_->lineState(3) != 1) rc = kDevNoAnswer;
  std::vector<std::string> packets;
  if (rc == kDevOk) {
    lineReset();
    rc = readExchange("SK0", 32, &packets);
  }
  if (rc == kDevOk && packets.empty()) rc = kDevTaxRatesUnreadable;
  if (rc == kDevOk) PKTVAT(packets[0]).decode(&rates_);
  opened_ = rc == kDevOk;
  if (!opened_) port_->close();
  return fail(rc);
}

int FCROPTIMUS_TANGO::close() {
  if (port_->isOpen()) port_->close();
  goods_.clear();
  sales_.clear();
  kind_ = kTransferNone;
  opened_ = 0;
  return kDevOk;
}

int FCROPTIMUS_TANGO::beginTransfer(int kind) {
  if (int rc = guard(kTransferNone)) return rc;
  goods_.clear();
  sales_.clear();
  next_ = 0;
  kind_ = kTransferNone;
  std::vector<std::string> packets;
  int rc = kDevOk;
  if (kind == kTransferReadGoods) rc = readExchange("SI0", 84, &packets);
  else if (kind == kTransferReadSales) rc = readExchange("SU0", 99, &packets);
  else if (kind != kTransferSendGoods) rc = kDevDriverError;
  for (const std::string& p : packets) {
    if (kind == kTransferReadGoods) goods_.emplace_back(p);
    RegisterGoods s;
    if (kind == kTransferReadSales && rc == kDevOk && (rc = PKTSALE(p).decode(&s)) == kDevOk)
      sales_.push_back(s);
  }
  if (rc != kDevOk) return fail(rc);
  kind_ = kind;
  return kDevOk;
}

int FCROPTIMUS_TANGO::validateGoods(const RegisterGoods& g) {
  int64_t number = 0;
  const size_t code = std::strlen(g.code);
  if (std::strlen(g.name) > 18) return kDevBadName;
  if (code == 0 && (WholeNumber(g.number, &number) != 0 || number > 16000)) return kDevBadName;
  if (code != 0 && ((code != 8 && code != 13) || !AllDigits(g.code))) return kDevBadName;
  // A tax letter every packet carries, with a code as without one.
  if (rates_.letter(TaxRateMap::parse(g.taxRate)) == 0) return kDevBadTaxRate;
  if (g.amount < AMOUNT() || RoundTo(g.amount, 2) > AMOUNT::FromInt(99999999)) return kDevBadPrice;
  return kDevOk;
}

int FCROPTIMUS_TANGO::sendGoods(const RegisterGoods& g) {
  if (int rc = guard(kTransferSendGoods)) return rc;
  if (int rc = validateGoods(g)) return report(rc);
  goods_.emplace_back(g, rates_.letter(TaxRateMap::parse(g.taxRate)), true);
  return kDevOk;
}

int FCROPTIMUS_TANGO::readGoods(RegisterGoods* g) {
  if (int rc = guard(kTransferReadGoods)) return rc;
  if (next_ >= goods_.size()) return kDevNoMoreRecords;
  return report(goods_[next_++].decode(rates_, g));
}

int FCROPTIMUS_TANGO::readSale(RegisterGoods* s) {
  if (int rc = guard(kTransferReadSales)) return rc;
  if (next_ >= sales_.size()) return kDevNoMoreRecords;
  *s = sales_[next_++];
  return kDevOk;
}

int FCROPTIMUS_TANGO::endTransfer() {
  if (int rc = guard(kTransferNone)) return rc;
  const int rc = kind_ == kTransferNone        ? kDevDriverError
                 : kind_ == kTransferSendGoods ? writeExchange(goods_)
                                               : kDevOk;
  goods_.clear();
  sales_.clear();
  kind_ = kTransferNone;
  return fail(rc);
}

int FCROPTIMUS_TANGO::abortTransfer() {
  if (!opened_) return kDevNotInitialised;
  lineReset();
  goods_.clear();
  sales_.clear();
  kind_ = kTransferNone;
  return kDevOk;
}

int FCROPTIMUS_TANGO::deleteGoods() {
  if (int rc = guard(kTransferNone)) return rc;
  lineReset();
  std::vector<std::string> packets;
  int rc = readExchange("SI0", 84, &packets);
  std::vector<PKTPLU> deletions;
  for (const std::string& p : packets) deletions.push_back(PKTPLU(p).deletion());
  if (rc == kDevOk) rc = writeExchange(deletions);
  return fail(rc);
}

int FCROPTIMUS_TANGO::deleteSales() {
  if (int rc = guard(kTransferNone)) return rc;
  lineReset();
  return fail(readExchange("SU2", 99, nullptr));
}

int FCROPTIMUS_TANGO::fiscalReport() { return guard(kTransferNone); }

int FCROPTIMUS_TANGO::display(const char*) { return guard(kTransferNone); }
