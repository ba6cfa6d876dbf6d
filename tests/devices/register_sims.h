// The cash registers' side of their protocols, on pseudo-terminals (device_sim.h): Optimus
// packets, the two Posnet frame kinds, the Sharp file store. Each checks the checksums it
// receives with its own arithmetic and keeps the register's goods and sales, which the tests
// set and look at (under the simulator's lock, or after Stop).
#pragma once

#include <cstdlib>
#include <map>

#include "device_sim.h"

namespace sims {

inline std::string Hex2(unsigned v) {
  char b[4];
  std::snprintf(b, sizeof b, "%02X", v & 0xFF);
  return b;
}

inline std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> f;
  size_t from = 0;
  for (size_t at; (at = s.find(sep, from)) != std::string::npos; from = at + 1)
    f.push_back(s.substr(from, at - from));
  f.push_back(s.substr(from));
  return f;
}

}  // namespace sims

// Optimus: ENQ/ACK, packets with the shifted-XOR checksum, EOT; 0x40 and an error packet for
// the command named in fail_command; TABs before the first data packet.
class OPTIMUS_SIM : public DEVICE_SIM {
 public:
  struct Sale {
    std::string id, name;
    long long value, quantity;  // grosz, thousandths
  };
  std::vector<std::string> plus;  // the register's goods: PLU packets as they were written
  std::vector<Sale> sales;
  std::string vat = "230008000000050099999999";  // A 23, B 8, C 0, D 5, E and F unused
  std::string fail_command;
  long error_number = 0;
  int tabs = 0, tab_ms = 300;

  ~OPTIMUS_SIM() override { Stop(); }
  static std::string Seal(std::string p, char end) {
    p += end;
    unsigned sum = 0;
    for (size_t i = 1; i < p.size(); ++i)
      sum ^= static_cast<unsigned>(static_cast<uint8_t>(p[i])) << ((i - 1) % 9);
    char b[8];
    std::snprintf(b, sizeof b, "%04X", sum & 0xFFFF);
    return p + b;
  }
  std::vector<std::string> Commands() {
    std::lock_guard<std::mutex> g(mu_);
    return commands_;
  }
  int BadChecksums() {
    std::lock_guard<std::mutex> g(mu_);
    return bad_;
  }

 protected:
  void OnByte(uint8_t b) override {
    switch (state_) {
      case kIdle:
        if (b == 0x05) Go(kStart, "\x06");
        return;
      case kStart:
      case kWriting:
        buf_.push_back(static_cast<char>(b));
        if (buf_.size() == (state_ == kStart ? 45u : 84u)) Packet();
        return;
      case kAfterStart:
        if (b == 0x04) Serve();
        return;
      case kServing:
        if (b != 0x06) return;
        if (queue_.empty()) return Go(kFinalEot, "\x04");
        if (tabs > 0) {
          for (int i = 0; i <= tabs; ++i) Later(i < tabs ? "\t" : queue_.front(), (i + 1) * tab_ms);
          tabs = 0;
        } else {
          Send(queue_.front());
        }
        queue_.erase(queue_.begin());
        return;
      case kAfterWrite:
        if (b == 0x04) Go(kIdle, "\x06");
        return;
      case kErrEot:
        if (b == 0x04) Go(kErrAck, "\x05");
        return;
      case kErrAck:
        if (b == 0x06)
          Go(kErrAck2,
             Seal("\x02"
                  "ER" +
                      sims::Hex2(static_cast<unsigned>(error_number)) + std::string(37, ' '),
                  '\x03'));
        return;
      case kErrAck2:
        if (b == 0x06) Go(kFinalEot, "\x04");
        return;
      case kFinalEot:
        if (b == 0x04) state_ = kIdle;
        return;
    }
  }
  void OnIdle() override {
    const auto now = std::chrono::steady_clock::now();
    while (!later_.empty() && later_.front().first <= now) {
      Send(later_.front().second);
      later_.erase(later_.begin());
    }
  }

 private:
  enum State {
    kIdle,
    kStart,
    kAfterStart,
    kServing,
    kWriting,
    kAfterWrite,
    kErrEot,
    kErrAck,
    kErrAck2,
    kFinalEot
  };
  void Go(State s, const std::string& bytes) {
    state_ = s;
    Send(bytes);
  }
  void Later(const std::string& bytes, int ms) {
    later_.push_back({std::chrono::steady_clock::now() + std::chrono::milliseconds(ms), bytes});
  }
  void Packet() {
    const std::string p = buf_;
    buf_.clear();
    bad_ += Seal(p.substr(0, p.size() - 5), p[p.size() - 5]) != p;
    if (state_ == kWriting) {
      written_.push_back(p);
      if (p[p.size() - 5] == '\x03') {
        for (const std::string& w : written_) {
          std::erase_if(
              plus, [&](const std::string& old) { return old.substr(4, 18) == w.substr(4, 18); });
          if (w[3] == '1') plus.push_back(w);
        }
        written_.clear();
        state_ = kAfterWrite;
      }
      Send("\x06");
      return;
    }
    command_ = p.substr(1, 3);
    commands_.push_back(command_);
    if (command_ == fail_command) return Go(kErrEot, "\x40");
    Go(command_ == "SI1" ? kWriting : kAfterStart, "\x06");
  }
  void Serve() {
    queue_.clear();
    if (command_ == "SK0")
      queue_.push_back(
          Seal("\x02"
               "VK" +
                   vat,
               '\x03'));
    for (size_t i = 0; command_ == "SI0" && i < plus.size(); ++i)
      queue_.push_back(Seal(plus[i].substr(0, 79), i + 1 == plus.size() ? '\x03' : '\x17'));
    for (const Sale& s : sales) {
      if (command_ != "SU0" && command_ != "SU2") break;
      char b[128];
      std::snprintf(b, sizeof b, "\x02SU%18s%-18s%20lld%20lld%15s", s.id.c_str(), s.name.c_str(),
                    s.value, s.quantity, "");
      queue_.push_back(Seal(b, '\x03'));
    }
    if (command_ == "SU2") sales.clear();
    Go(kServing, "\x05");
  }

  State state_ = kIdle;
  std::string buf_, command_;
  std::vector<std::string> queue_, written_, commands_;
  std::vector<std::pair<std::chrono::steady_clock::time_point, std::string>> later_;
  int bad_ = 0;
};

// Posnet: the ECR frames (letter 0) or those of the newer models (letter 'P' or 'R').
class POSNET_REG_SIM : public DEVICE_SIM {
 public:
  struct Goods {
    std::string name, price, code, stock = "0";
    int group = 1;
    double sold = 0, value = 0;
  };
  explicit POSNET_REG_SIM(char letter = 0) : letter_(letter) {}
  ~POSNET_REG_SIM() override { Stop(); }
  std::map<long, Goods> goods;
  long settings = 78;  // 64 8 4 2
  std::string fail_command;
  long error_number = 0;
  int drop_after = -1;  // the line goes after this many records of a reading

  void Sell(long number, double quantity) {
    std::lock_guard<std::mutex> g(mu_);
    Goods& it = goods.at(number);
    it.sold += quantity;
    it.value += quantity * std::atof(it.price.c_str());
  }
  std::vector<std::string> Bodies() {
    std::lock_guard<std::mutex> g(mu_);
    return bodies_;
  }
  int BadChecksums() {
    std::lock_guard<std::mutex> g(mu_);
    return bad_;
  }

 protected:
  void OnByte(uint8_t b) override {
    if (frame_.empty() && b != 0x1B) return;
    frame_.push_back(static_cast<char>(b));
    if (frame_.size() < 6 || b != '\\' || frame_[frame_.size() - 2] != 0x1B) return;
    const std::string body = frame_.substr(2, frame_.size() - 6),
                      sum = frame_.substr(frame_.size() - 4, 2);
    frame_.clear();
    uint8_t x = 0xFF;
    for (char c : body) x ^= static_cast<uint8_t>(c);
    bad_ += sims::Hex2(x) != sum;
    bodies_.push_back(body);
    letter_ ? New(body) : Ecr(body);
  }

 private:
  void Answer(const std::string& cmd, long error, const std::vector<std::string>& fields = {}) {
    if (letter_) {
      std::string text = error ? "#E" + std::to_string(error) : cmd;
      for (size_t i = 0; !error && i < fields.size(); ++i) text += (i ? "\t" : "") + fields[i];
      uint8_t x = 0xFF;
      for (char c : text) x ^= static_cast<uint8_t>(c);
      Send("\x1b" + std::string(1, letter_) + text + sims::Hex2(x) + "\x1b\\");
      return;
    }
    std::string a = "\x1bP" + cmd + "\r" + std::to_string(error);
    for (const std::string& f : fields) a += "\r" + f;
    Send(a + "\x1b\\");
  }
  std::vector<std::string> Record(long n, const Goods& g) {
    char sold[32], value[32];
    std::snprintf(sold, sizeof sold, "%.3f", g.sold);
    std::snprintf(value, sizeof value, "%.2f", g.value);
    std::vector<std::string> f = {std::to_string(n), g.name, std::to_string(g.group),
                                  g.price,           g.code, g.stock};
    f.resize(16);
    f.push_back(sold);
    f.push_back(value);
    return f;
  }
  bool Drop() {
    if (drop_after == 0) {
      Hangup();
      return true;
    }
    if (drop_after > 0) --drop_after;
    return false;
  }
  void Ecr(const std::string& body) {
    const std::string cmd = body.substr(0, 2), data = body.size() > 4 ? body.substr(4) : "";
    const std::vector<std::string> d = sims::Split(data, '\r');
    const long n = d.size() > 1 ? std::atol(d[1].c_str()) : 0;
    if (cmd == fail_command) return Answer(cmd, error_number);
    if (cmd == "*a") return Answer(cmd, 0, {std::to_string(settings)});
    if (cmd == ")b") settings = n;
    if (cmd == "(k") at_ = goods.begin();
    if (cmd == "(k" || cmd == "(l") {
      if (cmd == "(l" && at_ != goods.end()) ++at_;
      if (Drop()) return;
      return at_ == goods.end() ? Answer(cmd, 49) : Answer(cmd, 0, Record(at_->first, at_->second));
    }
    if ((cmd == "(a" || cmd == "&a") && !goods.count(n)) return Answer(cmd, 16);
    if (cmd == "&a" || cmd == "%a")
      goods[n] = Goods{d[2], d[6], d[4], d[18], std::atoi(d[3].c_str())};
    if (cmd == "'a") goods.erase(n);
    if (cmd == "(m" && goods.count(n)) goods[n].sold = goods[n].value = 0;
    Answer(cmd, 0);
  }
  void New(const std::string& body) {
    const std::string cmd = body.substr(0, 2);
    if (cmd == fail_command) return Answer(cmd, error_number);
    const std::vector<std::string> f = sims::Split(body, '\xFE');
    if (cmd == "$b" || cmd == "$r") {
      long n = cmd == "$b"    ? std::atol(body.c_str() + 2)
               : f.size() > 1 ? std::atol(f[1].c_str())
                              : 0;
      for (const auto& [number, g] : goods) {
        if (cmd == "$r" && g.sold == 0) continue;
        if (--n > 0) continue;
        char grosz[32], thousandths[32];
        std::snprintf(grosz, sizeof grosz, "%.0f",
                      (cmd == "$b" ? std::atof(g.price.c_str()) : g.value) * 100);
        std::snprintf(thousandths, sizeof thousandths, "%.0f",
                      (cmd == "$b" ? std::atof(g.stock.c_str()) : g.sold) * 1000);
        return Answer(
            cmd, 0,
            {std::to_string(number), g.name, g.code, grosz, thousandths, std::to_string(g.group)});
      }
      return Answer(cmd, 0);
    }
    if (cmd == "#p") {  // FE 1 FE number TAB name LF code LF price TAB quantity TAB ... group FE
      const std::vector<std::string> t = sims::Split(f[2], '\t');
      const std::vector<std::string> l = sims::Split(t[1], '\n');
      char price[32];
      std::snprintf(price, sizeof price, "%.2f", std::atof(l[2].c_str()) / 100);
      goods[std::atol(t[0].c_str())] = Goods{l[0], price, l[1], "0", f[f.size() - 2][0] - '0'};
    }
    const long n = f.size() > 1 ? std::atol(f[1].c_str()) : 0;
    if (cmd == "#d") goods.erase(n);
    if (cmd == "#z" && goods.count(n)) goods[n].sold = goods[n].value = 0;
    Answer(cmd, 0);
  }

  char letter_;
  std::string frame_;
  std::vector<std::string> bodies_;
  std::map<long, Goods>::iterator at_ = goods.end();
  int bad_ = 0;
};

// Sharp: calls EOT EOT EOT 000001 ENQ, frames STX digit text checksum CR answered ACK; after a
// function frame and EOT the register sends its frames (ENQ, ACK, frame, ACK ...) and EOT, the
// last frame its result. PLU records: number 6, name 32 (16 characters in hex), price 8, tax
// group 2, quantity sold 8, value sold 8; EAN records: code 13, number 6, then as PLU.
class SHARP_SIM : public DEVICE_SIM {
 public:
  struct Rec {
    long long number = 0, code = 0;
    std::string name;  // the register's bytes
    long long price = 0, tax = 1, sold = 0, value = 0;
  };
  std::map<long long, Rec> plu, ean;    // by number, by code
  std::map<std::string, long> results;  // a function's result (0 when not named)
  long capacity = 100;
  bool corrupt_once = false;

  ~SHARP_SIM() override { Stop(); }
  std::vector<std::string> Functions() {
    std::lock_guard<std::mutex> g(mu_);
    return functions_;
  }
  int BadChecksums() {
    std::lock_guard<std::mutex> g(mu_);
    return bad_;
  }
  static std::string Frame(int counter, const std::string& text) {
    unsigned sum = static_cast<unsigned>('0' + counter);
    for (char c : text) sum += static_cast<uint8_t>(c);
    return "\x02" + std::to_string(counter) + text + sims::Hex2((256 - sum % 256) % 256) + "\r";
  }

 protected:
  void OnByte(uint8_t b) override {
    switch (state_) {
      case kIdle:
        if (b == 0x05) Go(kFrame, "\x06");
        if (b == 0x04 && pending_) Respond();
        return;
      case kFrame:
        buf_.push_back(static_cast<char>(b));
        if (b == '\r') Received();
        return;
      case kTxEnq:
        if (b == 0x06) {
          std::string f = Frame(0, tx_.front());
          if (corrupt_once) f[f.size() - 2] ^= 1;
          corrupt_once = false;
          Go(kTxFrame, f);
        }
        return;
      case kTxFrame:
        if (b == 0x06) tx_.erase(tx_.begin());
        if (b == 0x06 || b == 0x15) Go(tx_.empty() ? kIdle : kTxEnq, tx_.empty() ? "\x04" : "\x05");
        return;
    }
  }

 private:
  enum State { kIdle, kFrame, kTxEnq, kTxFrame };
  void Go(State s, const std::string& bytes) {
    state_ = s;
    Send(bytes);
  }
  std::string Render(const Rec& r, bool isEan) {
    char b[128];
    std::string name = r.name;
    name.resize(16, ' ');
    std::string hex;
    for (char c : name) hex += sims::Hex2(static_cast<uint8_t>(c));
    std::snprintf(b, sizeof b, "%s%08llX%02llX%08llX%08llX", hex.c_str(), r.price, r.tax, r.sold,
                  r.value);
    char key[32];
    if (isEan) std::snprintf(key, sizeof key, "%013lld%06lld", r.code, r.number);
    else std::snprintf(key, sizeof key, "%06lld", r.number);
    return key + std::string(b);
  }
  Rec Parse(const std::string& t, bool isEan) {
    Rec r;
    size_t at = 0;
    if (isEan) r.code = std::atoll(t.substr(0, 13).c_str()), at = 13;
    r.number = std::atoll(t.substr(at, 6).c_str());
    for (size_t i = 0; i < 32; i += 2)
      r.name.push_back(
          static_cast<char>(std::strtol(t.substr(at + 6 + i, 2).c_str(), nullptr, 16)));
    while (!r.name.empty() && r.name.back() == ' ') r.name.pop_back();
    r.price = std::strtoll(t.substr(at + 38, 8).c_str(), nullptr, 16);
    r.tax = std::strtoll(t.substr(at + 46, 2).c_str(), nullptr, 16);
    return r;
  }
  void Received() {
    const std::string f = buf_;
    buf_.clear();
    state_ = kIdle;
    if (f.size() < 5) return;
    const std::string text = f.substr(2, f.size() - 5);
    bad_ += Frame(f[1] - '0', text) != f;
    Send("\x06");
    const bool header = text.rfind("/HDR1/", 0) == 0 && text.size() > 6;
    if (text[0] == '/' && !header) {
      functions_.push_back(text);
      pending_ = true;
      return;
    }
    if (header) file_ = std::strtol(text.substr(6, 2).c_str(), nullptr, 16);
    else incoming_.push_back({file_, text});
  }
  void Respond() {
    pending_ = false;
    const std::string fn = functions_.back();
    tx_.clear();
    char h[96];
    if (fn == "/HDR1/") {
      std::snprintf(h, sizeof h, "/HDR1/10/01/%04lX/%04lX/06/20/08/02/08/08/", capacity,
                    static_cast<long>(plu.size()));
      tx_.push_back(h);
      std::snprintf(h, sizeof h, "/HDR1/11/02/%04lX/%04lX/0D/06/20/08/02/08/08/", capacity,
                    static_cast<long>(ean.size()));
      tx_.push_back(h);
    }
    if (fn.rfind("/20-0", 0) == 0) {
      const bool isEan = fn.substr(7, 2) == "11";
      for (const auto& [k, r] : isEan ? ean : plu) tx_.push_back(Render(r, isEan));
    }
    if (fn == "/10-00/") incoming_.clear();
    if (fn == "/90-00/") {
      for (const auto& [file, t] : incoming_) {
        Rec r = Parse(t, file == 0x11);
        auto& store = file == 0x11 ? ean : plu;
        const long long key = file == 0x11 ? r.code : r.number;
        if (r.name.empty()) store.erase(key);
        else store[key] = r;
      }
      incoming_.clear();
    }
    tx_.push_back(std::to_string(results.count(fn) ? results[fn] : 0));
    Go(kTxEnq, "\x05");
  }

  State state_ = kIdle;
  bool pending_ = false;
  std::string buf_;
  long file_ = 0;
  std::vector<std::pair<long, std::string>> incoming_;
  std::vector<std::string> tx_, functions_;
  int bad_ = 0;
};
