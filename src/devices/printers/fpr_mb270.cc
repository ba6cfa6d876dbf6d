// The MegaByte MB-270 printer protocol; docs/formats/megabyte-mb270.md.
#include "devices/printers/fpr_mb270.h"

#include <cinttypes>
#include <cstdio>

#include "common/text.h"

namespace {

constexpr char kStx = 0x02;
constexpr char kEtx = 0x03;
constexpr char kFs = 0x1C;
constexpr uint8_t kNak = 0x15;
constexpr uint8_t kDc2 = 0x12;
constexpr uint8_t kDc4 = 0x14;
constexpr AMOUNT kQuantityLimit = AMOUNT::FromRaw(9999990);  // 999.999

int HexValue(const std::string& s, size_t at, size_t n, bool* ok) {
  int v = 0;
  for (size_t i = at; i < at + n; ++i) {
    const char c = i < s.size() ? s[i] : 0;
    int d = c >= '0' && c <= '9'   ? c - '0'
            : c >= 'A' && c <= 'F' ? c - 'A' + 10
            : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                   : -1;
    if (d < 0) {
      *ok = false;
      return 0;
    }
    v = v * 16 + d;
  }
  return v;
}

}  // namespace

int FPRMB270::Checksum(const std::string& stx_to_etx) {
  int sum = 0;
  for (char c : stx_to_etx) sum += static_cast<int8_t>(c);
  return sum;
}

std::string FPRMB270::Frame(uint8_t sequence, char letter, const std::string& fields) {
  std::string f;
  f.push_back(kStx);
  f.push_back(static_cast<char>(sequence));
  f.push_back(letter);
  f += fields;
  f.push_back(kEtx);
  char hex[8];
  std::snprintf(hex, sizeof hex, "%04X", Checksum(f) & 0xFFFF);
  f += hex;
  return f.size() > 127 ? std::string() : f;
}

std::string FPRMB270::LineFields(const std::string& name, AMOUNT quantity, uint8_t letter,
                                 AMOUNT price) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%c%-20.20s%c%06" PRId64 "%c%c%c%010" PRId64 "%c%05d", kFs,
                name.c_str(), kFs, Thousandths(quantity), kFs, letter, kFs, Hundredths(price), kFs,
                0);
  return buf;
}

std::string FPRMB270::TotalFields(const std::string& caption, AMOUNT total) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%c%-26s%c%010" PRId64, kFs, caption.c_str(), kFs,
                Hundredths(total));
  return buf;
}

uint32_t FPRMB270::StatusWord(const std::string& a) {
  bool ok = true;
  const uint32_t high = static_cast<uint32_t>(HexValue(a, 4, 4, &ok));
  const uint32_t low = static_cast<uint32_t>(HexValue(a, 9, 4, &ok));
  return high << 16 | low;
}

int FPRMB270::AnswerCode(const std::string& a, uint8_t sequence, char letter) {
  const size_t etx = a.find(kEtx);
  const size_t stx = a.find(kStx);
  if (etx == std::string::npos || stx != 0 || a.size() != etx + 5 || a.size() < 13)
    return kDevNoAnswer;
  bool ok = true;
  const int sum = HexValue(a, etx + 1, 4, &ok);
  if (!ok || sum != (Checksum(a.substr(0, etx + 1)) & 0xFFFF)) return kDevNoAnswer;
  if (static_cast<uint8_t>(a[1]) != sequence || a[2] != letter) return kDevNoAnswer;
  HexValue(a, 4, 4, &ok);
  HexValue(a, 9, 4, &ok);
  if (!ok) return kDevNoAnswer;
  const uint32_t s = StatusWord(a);
  if (s & 0x0F080000) return kDevNoAnswer;
  if (s & 0x00300000) return kDevNoPaper;
  if ((s & 0x00040000) || (s & 0x0007) || (s & 0x0180)) return kDevHardware;
  if (s & 0x40) return kDevBadReceiptValue;
  if (s & 0x38) return kDevDriverError;
  return kDevOk;
}

// Up to three attempts. An answer ends them and is judged; silence after a written frame tries
// again. A printer that never answers, or answers with something that is not its frame, has
// not confirmed anything: 20 (35 when it kept refusing with NAK).
int FPRMB270::sendFrame(char letter, const std::string& fields) {
  if (!opened_) return kDevInitFailed;
  sequence_ = NextSequence(sequence_);
  const std::string frame = Frame(sequence_, letter, fields);
  if (frame.empty()) return kDevDriverError;
  port_->setLine(1, 2);
  int result = kDevNoAnswer;
  for (int attempt = 0; attempt < 3; ++attempt) {
    bool written = false;
    if (port_->lineState(2) == 0) {
      port_->purge();
      int rc = kDevOk;
      for (char c : frame)
        if ((rc = port_->writeByte(static_cast<uint8_t>(c))) != kDevOk) break;
      written = rc == kDevOk;
      result = written ? kDevNoAnswer : rc;
    } else {
      result = kDevNoAnswer;
    }
    std::string answer;
    uint8_t b;
    bool nak = false;
    if (waitByte(&b, 10, 100, false, false) == kDevOk) {
      for (;;) {
        if (b == kNak) {
          nak = true;
          break;
        }
        if (b != kDc2 && b != kDc4 && answer.size() < 128) answer.push_back(static_cast<char>(b));
        if (waitByte(&b, 2, 50, false, false) != kDevOk) break;
      }
    }
    if (nak) result = kDevNak;
    if (!answer.empty()) return AnswerCode(answer, sequence_, letter);
    if (!written && !nak) return result;
  }
  return result;
}

int FPRMB270::open(int port, const PortSettings* settings) {
  if (port < 1 || port > 9) return report(kDevInitFailed);
  const int rc = port_->open(port, settings ? *settings : PortSettings{});
  if (rc != kDevOk) return report(rc);
  opened_ = 1;
  if (!ratesRead_) ratesRead_ = readTaxRates() == kDevOk;
  return kDevOk;
}

int FPRMB270::close() {
  if (port_->isOpen()) {
    port_->setLine(0, 2);
    port_->close();
  }
  opened_ = 0;
  receiptOpen_ = 0;
  return kDevOk;
}

// The letters of this printer are fixed.
int FPRMB270::readTaxRates() {
  rates_.clear();
  rates_.add(AMOUNT::FromInt(23), 'A');
  rates_.add(AMOUNT::FromInt(8), 'B');
  rates_.add(AMOUNT::FromInt(0), 'C');
  rates_.add(AMOUNT::FromInt(5), 'D');
  rates_.add(TaxRateMap::kExempt, ' ');
  return kDevOk;
}

int FPRMB270::beginReceipt() {
  receiptOpen_ = 0;
  cancelReceipt();
  int rc = sendFrame('*', "");
  if (rc == kDevOk) rc = sendFrame(0x40, "");
  if (rc != kDevOk) return report(rc);
  total_ = AMOUNT();
  receiptOpen_ = 1;
  lines_ = 1;
  return kDevOk;
}

int FPRMB270::addLine(const ReceiptLine& line) {
  const AMOUNT value = RoundTo(line.price * line.quantity, 2);
  if (value.IsZero()) return kDevOk;
  if (!receiptOpen_) return report(kDevDriverError, -1);
  total_ = RoundTo(total_ + value, 2);
  const uint8_t letter = rates_.letter(line.taxRate);
  int refused = kDevOk;
  if (line.price > kFprLimit) refused = kDevBadPrice;
  else if (line.quantity < AMOUNT()) refused = kDevBadQuantity;
  else if (line.quantity > kQuantityLimit) refused = kDevBadQuantity;
  else if (value > kFprLimit) refused = kDevBadValue;
  else if (total_ > kFprLimit) refused = kDevBadReceiptValue;
  else if (letter == 0) refused = kDevBadTaxRate;
  if (refused != kDevOk) {
    cancelReceipt();
    return report(refused, lines_);
  }
  const int rc =
      sendFrame('B', LineFields(deviceText(line.name), line.quantity, letter, line.price));
  if (rc != kDevOk) return report(rc, lines_);
  ++lines_;
  return kDevOk;
}

int FPRMB270::endReceipt() {
  if (!receiptOpen_) return report(kDevDriverError, -2);
  int rc = sendFrame('D', TotalFields(deviceText("Do zapłaty"_pl), total_));
  if (rc == kDevOk) rc = sendFrame('E', "");
  if (rc != kDevOk) {
    cancelReceipt();
    return report(rc);
  }
  receiptOpen_ = 0;
  return kDevOk;
}

int FPRMB270::cancelReceipt() {
  receiptOpen_ = 0;
  total_ = AMOUNT();
  return sendFrame('D', TotalFields(deviceText("Do zapłaty"_pl), total_));
}
