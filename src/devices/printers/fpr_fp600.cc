// The Elzab FP-600 printer protocol; docs/formats/elzab-fp600.md.
#include "devices/printers/fpr_fp600.h"

#include "common/codepage.h"

namespace {

constexpr uint8_t kAck = 0x06;
constexpr char kEsc = 0x1B;
constexpr uint8_t kStatusCommand[4] = {0x9B, 0x94, 0x95, 0x96};
constexpr AMOUNT kLimit = AMOUNT::FromRaw(99999999900);       // 9 999 999.99
constexpr AMOUNT kQuantityLimit = AMOUNT::FromRaw(99999900);  // 9 999.99
// Each byte waits for CTS, and each answer byte comes, within 50 looks 100 ms apart.
constexpr int kLooks = 50;
constexpr int kStepMs = 100;

void PutLe32(std::string* out, int64_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

std::string Command(std::initializer_list<uint8_t> bytes) {
  std::string s(1, kEsc);
  for (uint8_t b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

}  // namespace

std::string FPRFP600::PrinterName(const std::string& latin2) {
  std::string n = latin2.substr(0, 28);
  n.resize(28, ' ');
  auto counted = [](uint8_t c) {
    return is_letter_in(kCodePageLatin2, c) || (c >= '0' && c <= '9') || c == '.' || c == ',';
  };
  int count = 0;
  for (char c : n) count += counted(static_cast<uint8_t>(c));
  for (int pass = 0; pass < 2 && count < 10; ++pass)
    for (int i = 27; i >= 0 && count < 10; --i) {
      const uint8_t c = static_cast<uint8_t>(n[i]);
      const bool turn = pass == 0 ? c == ' ' : !counted(c);
      if (!turn) continue;
      n[i] = '.';
      ++count;
    }
  return n;
}

std::string FPRFP600::LineCommand(const std::string& name, AMOUNT quantity, const std::string& unit,
                                  AMOUNT price, uint8_t letter, AMOUNT value) {
  std::string c = Command({0x06});
  c.push_back(quantity < AMOUNT() ? '-' : ' ');
  c += PrinterName(name);
  c.push_back('0');
  PutLe32(&c, Hundredths(Abs(quantity)));
  c.push_back('2');
  std::string u = unit.substr(0, 4);
  u.resize(4, ' ');
  c += u;
  PutLe32(&c, Hundredths(price));
  c.push_back(kEsc);
  c.push_back(static_cast<char>(letter));
  PutLe32(&c, Hundredths(Abs(value)));
  return c;
}

int FPRFP600::StatusCode(uint8_t a, uint8_t b) {
  if ((a & 0x91) || (b & 0x84)) return kDevHardware;
  if (a & 0x40) return kDevDisplay;
  if ((a & 0x02) || (b & 0x01)) return kDevNoAnswer;
  if (a & 0x20) return kDevBadName;
  if (b & 0x42) return kDevNoPaper;
  return kDevOk;
}

int FPRFP600::ParseTaxRates(int version, const uint8_t* bytes, int count, TaxRateMap* map) {
  map->clear();
  if (version == 2 || version == 5) {
    if (count != 4) return kDevTaxRatesUnreadable;
    for (int i = 0; i < 4; ++i)
      if (bytes[i] != 0xFF)
        map->add(AMOUNT::FromInt(static_cast<int8_t>(bytes[i])), static_cast<uint8_t>(i + 1));
  } else {
    if (count != 12) return kDevTaxRatesUnreadable;
    for (int i = 0; i < 5; ++i) {
      if (bytes[2 * i] == 0xFF) continue;
      const int hundredths = bytes[2 * i] << 8 | bytes[2 * i + 1];
      map->add(AMOUNT::FromRaw(hundredths * 100LL), static_cast<uint8_t>(i < 4 ? i + 1 : 6));
    }
  }
  map->add(TaxRateMap::kExempt, 5);
  return kDevOk;
}

int FPRFP600::send(const std::string& bytes) {
  for (char c : bytes) {
    port_->setLine(1, 3);
    int look = 0;
    while (!port_->lineState(3)) {
      if (++look >= kLooks) {
        port_->setLine(0, 3);
        return kDevWriteFailed;
      }
      port_->pause(kStepMs);
    }
    const int rc = port_->writeByte(static_cast<uint8_t>(c));
    port_->setLine(0, 3);
    if (rc != kDevOk) return rc;
  }
  return kDevOk;
}

int FPRFP600::readOne(uint8_t* byte) {
  return waitByte(byte, kLooks, kStepMs, false, false) == kDevOk ? kDevOk : kDevNothingReceived;
}

int FPRFP600::expectAck() {
  uint8_t b;
  return readOne(&b) == kDevOk && b == kAck ? kDevOk : kDevNoAnswer;
}

int FPRFP600::readStatus(int n, uint8_t* status) {
  port_->purge();
  if (send(Command({kStatusCommand[n]})) != kDevOk) return kDevNoAnswer;
  return readOne(status);
}

// A printer that does not even give its status has not done what it was asked.
int FPRFP600::evaluateError() {
  uint8_t a, b;
  if (readStatus(1, &a) != kDevOk || readStatus(2, &b) != kDevOk) return kDevNoAnswer;
  return StatusCode(a, b);
}

int FPRFP600::open(int port, const PortSettings* settings) {
  if (port < 1 || port > 9) return report(kDevInitFailed);
  PortSettings own;
  own.parity = kParityEven;
  int rc = port_->open(port, settings ? *settings : own);
  if (rc != kDevOk) return report(rc);
  port_->setLine(1, 2);
  uint8_t status;
  if (readStatus(1, &status) != kDevOk) return report(kDevInitFailed);
  if (status & 0x08) {  // a receipt left open
    port_->purge();
    rc = send(Command({'%'}));
    if (rc == kDevOk) rc = expectAck();
    if (rc != kDevOk) rc = evaluateError();
  }
  if (rc == kDevOk && !ratesRead_) {
    rc = readTaxRates();
    if (rc == kDevOk) ratesRead_ = 1;
  }
  opened_ = rc == kDevOk;
  return report(rc);
}

int FPRFP600::close() {
  if (port_->isOpen()) {
    port_->setLine(0, 2);
    port_->close();
  }
  opened_ = 0;
  receiptOpen_ = 0;
  return kDevOk;
}

int FPRFP600::readTaxRates() {
  int version = -1;
  port_->purge();
  if (send(Command({0xFF})) == kDevOk && expectAck() == kDevOk) {
    uint8_t v;
    if (readOne(&v) == kDevOk) version = v;
  }
  port_->purge();
  if (send(Command({static_cast<uint8_t>(version == 2 || version == 5 ? 0x70 : 0xD0)})) != kDevOk ||
      expectAck() != kDevOk)
    return kDevTaxRatesUnreadable;
  // The rates follow the ACK; the answer ends when nothing more comes.
  uint8_t bytes[33];
  int count = 0;
  while (count < 33 &&
         waitByte(&bytes[count], count == 0 ? kLooks : 3, kStepMs, false, false) == kDevOk)
    ++count;
  return ParseTaxRates(version, bytes, count, &rates_);
}

int FPRFP600::beginReceipt() {
  if (!opened_) return report(kDevNotInitialised);
  port_->purge();
  int rc = send(Command({'!'}));
  if (rc == kDevOk) rc = expectAck();
  if (rc != kDevOk) rc = evaluateError();
  if (rc != kDevOk) {
    receiptOpen_ = 0;
    return report(rc);
  }
  total_ = AMOUNT();
  lines_ = 0;
  receiptOpen_ = 1;
  return kDevOk;
}

int FPRFP600::addLine(const ReceiptLine& line) {
  if (!opened_ || !receiptOpen_) return report(kDevNotInitialised);
  const AMOUNT value = RoundTo(line.price * line.quantity, 2);
  if (value.IsZero()) return kDevOk;
  ++lines_;
  const uint8_t letter = rates_.letter(line.taxRate);
  int refused = kDevOk;
  if (line.price < AMOUNT() || line.price > kLimit) refused = kDevBadPrice;
  else if (Abs(line.quantity) > kQuantityLimit) refused = kDevBadQuantity;
  else if (Abs(value) > kLimit) refused = kDevBadValue;
  else if (letter == 0) refused = kDevBadTaxRate;
  else if (Abs(total_ + value) > kLimit) refused = kDevBadReceiptValue;
  if (refused != kDevOk) return report(refused, lines_);
  const std::string name = deviceText(line.name);
  const std::string unit = deviceText(line.unit);
  const int rc = send(LineCommand(name, line.quantity, unit, line.price, letter, value));
  if (rc != kDevOk) {
    const int status = evaluateError();
    return report(status != kDevOk ? status : rc, lines_);
  }
  total_ += value;
  return kDevOk;
}

int FPRFP600::endReceipt() {
  if (!opened_ || !receiptOpen_) return report(kDevNotInitialised);
  // The total travels unsigned: a receipt of returns only has none the printer could take.
  if (total_ < AMOUNT()) return report(kDevBadReceiptValue);
  std::string total = Command({0x07});
  PutLe32(&total, Hundredths(total_));
  int rc = send(total);
  if (rc != kDevOk) {
    const int status = evaluateError();
    return report(status != kDevOk ? status : rc);
  }
  port_->purge();
  rc = send(Command({'$'}));
  if (rc == kDevOk) rc = expectAck();
  if (rc != kDevOk) {
    // Only the ACK confirms the end; a status without error bits does not.
    const int status = evaluateError();
    return report(status != kDevOk ? status : kDevNoAnswer);
  }
  receiptOpen_ = 0;
  return kDevOk;
}

int FPRFP600::cancelReceipt() {
  if (!opened_) return kDevNotInitialised;
  receiptOpen_ = 0;
  return send(Command({'#'}));
}
