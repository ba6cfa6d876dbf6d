// The Posnet printer protocol; docs/formats/posnet-printer.md.
#include "devices/printers/fpr_df301.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint8_t kEnq = 0x05;
constexpr uint8_t kDle = 0x10;
constexpr char kStart[] = "\x1bP";
constexpr char kEnd[] = "\x1b\\";
constexpr uint8_t kAnswerEnd = 0x5C;
constexpr int kFrameLimit = 128;
// Every wait of the protocol: a look every 200 ms for up to 10 s.
constexpr int kLooks = 50;
constexpr int kStepMs = 200;

}  // namespace

uint8_t FPRDF301::Checksum(const std::string& body) {
  uint8_t sum = 0xFF;
  for (char c : body) sum ^= static_cast<uint8_t>(c);
  return sum;
}

std::string FPRDF301::Frame(const std::string& body, bool with_checksum) {
  std::string frame = kStart + body;
  if (with_checksum) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", Checksum(body));
    frame += hex;
  }
  frame += kEnd;
  return frame.size() > kFrameLimit ? std::string() : frame;
}

std::string FPRDF301::LineBody(int number, const std::string& name, AMOUNT quantity,
                               const std::string& unit, uint8_t letter, AMOUNT price,
                               AMOUNT value) {
  char buf[256];
  std::snprintf(buf, sizeof buf, "%d$l%-40.40s\r%10s %s\r%c/%s/%s/", number, name.c_str(),
                FormatHundredths(quantity).c_str(), unit.c_str(), letter,
                FormatHundredths(price).c_str(), FormatHundredths(value).c_str());
  return buf;
}

std::string FPRDF301::EndBody(AMOUNT total) {
  return "1;0$e   \r0.00/" + FormatHundredths(total) + "/";
}

int FPRDF301::ParseTaxRates(const char* answer, TaxRateMap* map) {
  int slashes = 0;
  for (const char* p = answer; *p; ++p) slashes += *p == '/';
  const int fields = slashes / 2 - 2;
  if (fields < 1) return kDevTaxRatesUnreadable;
  map->clear();
  const char* p = std::strchr(answer, '/');
  for (int f = 0; f < fields; ++f) {
    const char* next = std::strchr(p + 1, '/');
    char field[32];
    const size_t n = static_cast<size_t>(next - p - 1);
    std::snprintf(field, sizeof field, "%.*s", static_cast<int>(n < 31 ? n : 31), p + 1);
    p = next;
    const uint8_t letter = static_cast<uint8_t>('A' + f);
    const AMOUNT rate = TaxRateMap::parse(field);
    if (rate == AMOUNT::FromInt(101)) continue;  // the letter is not in use
    map->add(rate == AMOUNT::FromInt(100) ? TaxRateMap::kExempt : rate, letter);
  }
  map->add(TaxRateMap::kExempt, 'Z');  // refused when a letter already carries the exempt rate
  return kDevOk;
}

int FPRDF301::ParseErrorNumber(const char* answer, long* number) {
  if (std::strlen(answer) < 6) return -1;
  const char* from = answer + 5;
  char* end = nullptr;
  const long n = std::strtol(from, &end, 10);
  if (end == from) return -1;
  *number = n;
  return 0;
}

int FPRDF301::ErrorCode(long number) {
  switch (number) {
    case 0: return kDevDriverError;
    case 16: return kDevBadName;
    case 17:
    case 32: return kDevBadQuantity;
    case 18:
    case 39: return kDevBadTaxRate;
    case 19: return kDevBadPrice;
    case 20:
    case 27: return kDevBadReceiptValue;
    case 23: return kDevTooManyLines;
    default: return kDevHardware;
  }
}

int FPRDF301::MechanismCode(uint8_t status) {
  if ((status & 0x70) != 0x70) return kDevNoAnswer;
  if (status & 0x01) return kDevHardware;
  if (status & 0x02) return kDevNoPaper;
  return kDevNoAnswer;
}

int FPRDF301::sendFrame(const std::string& frame, bool ack) {
  errorNumber_ = 0;
  if (frame.empty()) return kDevDriverError;  // too long to be a frame: nothing is sent
  for (char c : frame) {
    for (int look = 0;; ++look) {
      const int may = port_->lineState(1);
      if (may == 1) break;
      if (may != 0) return may;  // the port itself failed
      if (look + 1 >= kLooks) return kDevNoAnswer;
      if (DEVICE::notify(kDevPoll, 0) != 0) return kDevCancelled;
      port_->waitInput(kStepMs);  // XON comes in as input
    }
    const int rc = port_->writeByte(static_cast<uint8_t>(c));
    if (rc != kDevOk) return rc;
  }
  if (!ack) return kDevOk;
  // Only what came in is discarded: the frame may still be on its way out.
  port_->purge();
  int rc = port_->writeByte(kEnq);
  if (rc != kDevOk) return rc;
  uint8_t status = 0;
  rc = waitByte(&status, kLooks, kStepMs, true, true);
  if (rc == kDevCancelled) return rc;
  if (rc == kDevOk && (status & 0x60) == 0x60) {
    if (status & 0x04) return kDevOk;
    return askErrorNumber();
  }
  if (port_->writeByte(kDle) != kDevOk) return kDevNoAnswer;
  port_->waitInput(400);
  if (port_->readData(&status) != kDevOk) return kDevNoAnswer;
  return MechanismCode(status);
}

int FPRDF301::readAnswer(char* buffer) {
  int n = 0;
  buffer[0] = 0;
  while (n < kFrameLimit) {
    uint8_t b;
    const int rc = waitByte(&b, kLooks, kStepMs, true, true);
    if (rc != kDevOk) return rc;
    buffer[n++] = static_cast<char>(b);
    buffer[n] = 0;
    if (b == kAnswerEnd) return kDevOk;
  }
  return kDevNoAnswer;
}

int FPRDF301::askErrorNumber() {
  port_->purge();
  if (sendFrame(Frame("0#n", false), false) != kDevOk) return kDevNoAnswer;
  char answer[kFrameLimit + 1];
  long number = 0;
  if (readAnswer(answer) != kDevOk || ParseErrorNumber(answer, &number) != 0) return kDevNoAnswer;
  errorNumber_ = number == 0 ? -1 : number;
  return ErrorCode(number);
}

int FPRDF301::open(int port, const PortSettings* settings) {
  if (port < 1 || port > 9) return report(kDevInitFailed);
  int rc = port_->open(port, settings ? *settings : PortSettings{});
  if (rc != kDevOk) return report(rc);
  cancelReceipt();
  rc = sendFrame(Frame("1#e", true), true);
  if (rc == kDevOk && !ratesRead_) {
    rc = readTaxRates();
    if (rc == kDevOk) ratesRead_ = 1;
  }
  opened_ = rc == kDevOk;
  return report(rc, errorNumber_);
}

int FPRDF301::close() {
  if (port_->isOpen()) port_->close();
  opened_ = 0;
  receiptOpen_ = 0;
  return kDevOk;
}

int FPRDF301::readTaxRates() {
  port_->purge();
  if (sendFrame(Frame("0#s", false), false) != kDevOk) return kDevTaxRatesUnreadable;
  char answer[kFrameLimit + 1];
  if (readAnswer(answer) != kDevOk) return kDevTaxRatesUnreadable;
  return ParseTaxRates(answer, &rates_);
}

int FPRDF301::beginReceipt() {
  if (!opened_) return report(kDevNotInitialised);
  if (receiptOpen_) cancelReceipt();
  const int rc = sendFrame(Frame("0$h", true), true);
  if (rc != kDevOk) return report(rc, errorNumber_);
  lines_ = 1;
  receiptOpen_ = 1;
  total_ = AMOUNT();
  return kDevOk;
}

int FPRDF301::addLine(const ReceiptLine& line) {
  if (!opened_ || !receiptOpen_) return report(kDevNotInitialised);
  const AMOUNT value = RoundTo(line.price * line.quantity, 2);
  if (value.IsZero()) return kDevOk;
  const uint8_t letter = rates_.letter(line.taxRate);
  total_ = RoundTo(total_ + value, 2);
  int refused = kDevOk;
  if (line.price > kFprLimit) refused = kDevBadPrice;
  else if (Abs(line.quantity) > kFprLimit) refused = kDevBadQuantity;
  else if (Abs(value) > kFprLimit) refused = kDevBadValue;
  else if (lines_ > 255) refused = kDevTooManyLines;
  else if (letter == 0) refused = kDevBadTaxRate;
  else if (total_ > kFprLimit) refused = kDevBadReceiptValue;
  if (refused != kDevOk) {
    cancelReceipt();
    return report(refused, lines_);
  }
  const int number = RoundTo(line.quantity, 2) < AMOUNT() ? 0 : lines_;
  const std::string body = LineBody(number, deviceText(line.name), line.quantity,
                                    deviceText(line.unit), letter, line.price, Abs(value));
  const int rc = sendFrame(Frame(body, true), true);
  if (rc != kDevOk) {
    const long error = errorNumber_;
    cancelReceipt();
    return report(rc, rc == kDevHardware || rc == kDevDriverError ? error : lines_);
  }
  ++lines_;
  return kDevOk;
}

int FPRDF301::endReceipt() {
  if (!opened_ || !receiptOpen_) return report(kDevNotInitialised);
  const int rc = sendFrame(Frame(EndBody(total_), true), true);
  receiptOpen_ = 0;
  if (rc != kDevOk) {
    const long error = errorNumber_;
    cancelReceipt();
    return report(rc, error);
  }
  return kDevOk;
}

int FPRDF301::cancelReceipt() {
  receiptOpen_ = 0;
  return sendFrame(Frame("0$e", true), false);
}
