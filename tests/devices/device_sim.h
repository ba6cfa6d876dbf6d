// Simulated devices: a pseudo-terminal whose slave the program opens by its path (named in
// Tamsu.ini as COMn) and whose master a thread of the simulator serves from the device's side.
// SIM_PORT gives the program simulated modem lines (pseudo-terminals have none) and runs the
// protocols' waits twenty times faster.
#pragma once

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "devices/printers/fpr.h"
#include "platform/inifile.h"
#include "support/temp_dir.h"

class DEVICE_SIM {
 public:
  DEVICE_SIM() {
    termios raw{};
    cfmakeraw(&raw);
    char name[128] = "";
    int master = -1;
    if (openpty(&master, &keep_, name, &raw, nullptr) == 0) path_ = name;
    master_ = master;
  }
  virtual ~DEVICE_SIM() {
    Stop();
    if (master_ >= 0) ::close(master_);
    if (keep_ >= 0) ::close(keep_);
  }
  const std::string& path() const { return path_; }
  void Start() {
    running_ = true;
    thread_ = std::thread([this] { Serve(); });
  }
  // Serves what has arrived and stops; the state may be read afterwards.
  void Stop() {
    if (!thread_.joinable()) return;
    running_ = false;
    thread_.join();
  }
  // The device goes away: the program's side sees a hang-up.
  void Unplug() {
    std::lock_guard<std::mutex> g(mu_);
    Hangup();
  }
  void Inject(const std::string& bytes) {
    std::lock_guard<std::mutex> g(mu_);
    Send(bytes);
  }
  std::string Received() {
    std::lock_guard<std::mutex> g(mu_);
    return received_;
  }
  // The line settings as the program left them.
  termios LineSettings() {
    termios t{};
    ::tcgetattr(keep_, &t);
    return t;
  }

  std::atomic<bool> cts{true}, dsr{false}, rts{false}, dtr{false};

 protected:
  // On the simulator's thread with mu_ held: each byte the program sent, and every 5 ms of quiet.
  virtual void OnByte(uint8_t) {}
  virtual void OnIdle() {}
  void Send(const std::string& bytes) {
    if (master_ >= 0 && !bytes.empty()) (void)!::write(master_, bytes.data(), bytes.size());
  }
  void SendByte(uint8_t b) { Send(std::string(1, static_cast<char>(b))); }
  // Unplug from the simulator's own thread (mu_ held).
  void Hangup() {
    ::close(keep_);
    keep_ = -1;
    ::close(master_.exchange(-1));
  }
  std::mutex mu_;

 private:
  void Serve() {
    for (;;) {
      pollfd p{master_, POLLIN, 0};
      if (p.fd < 0 || ::poll(&p, 1, 5) <= 0 || !(p.revents & POLLIN)) {
        if (!running_) return;
        if (p.fd < 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::lock_guard<std::mutex> g(mu_);
        OnIdle();
        continue;
      }
      uint8_t buf[256];
      std::lock_guard<std::mutex> g(mu_);
      const ssize_t n = master_ >= 0 ? ::read(master_, buf, sizeof buf) : -1;
      for (ssize_t i = 0; i < n; ++i) {
        received_.push_back(static_cast<char>(buf[i]));
        OnByte(buf[i]);
      }
    }
  }

  std::atomic<int> master_{-1};
  int keep_ = -1;  // keeps the terminal alive while the program has it closed
  std::string path_, received_;
  std::atomic<bool> running_{false};
  std::thread thread_;
};

class SIM_PORT : public PORTCOM {
 public:
  explicit SIM_PORT(DEVICE_SIM* sim, bool lines = true) : sim_(sim), lines_(lines) {}
  ~SIM_PORT() override {
    if (isOpen()) close();
  }

 protected:
  int rawModem() override {
    return lines_ ? (sim_->cts ? kModemCts : 0) | (sim_->dsr ? kModemDsr : 0) : PORTCOM::rawModem();
  }
  void rawSetModem(int line, bool on) override { (line == kModemRts ? sim_->rts : sim_->dtr) = on; }
  void rawWait(int ms) override { PORTCOM::rawWait(ms / 20); }
  void rawPause(int ms) override { PORTCOM::rawPause(ms / 20); }

 private:
  DEVICE_SIM* sim_;
  bool lines_;
};

// Waits up to 5 s for a condition another thread makes true; whether it is.
inline bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 5000 && !condition(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return condition();
}

// A receipt line in the unit "szt".
inline ReceiptLine Line(const char* name, double price, double quantity, double rate = 23) {
  ReceiptLine l{};
  std::snprintf(l.name, sizeof l.name, "%s", name);
  std::snprintf(l.unit, sizeof l.unit, "szt");
  l.price = AMOUNT::FromDouble(price);
  l.quantity = AMOUNT::FromDouble(quantity);
  l.taxRate = AMOUNT::FromDouble(rate);
  return l;
}

// Every notification but the polls, in order; the answer the polls get.
struct NotifyLog {
  static std::vector<std::pair<int, long>>& Calls() {
    static std::vector<std::pair<int, long>> calls;
    return calls;
  }
  static std::atomic<int>& PollAnswer() {
    static std::atomic<int> answer{0};
    return answer;
  }
  static int Hook(int32_t code, intptr_t argument) {
    if (code == kDevPoll) return PollAnswer();
    Calls().push_back({code, static_cast<long>(argument)});
    return 0;
  }
};

// A configuration file and a lock directory of the test's own, and the log installed.
class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetConfigPath(dir.File("Tamsu.ini"));
    SetSerialLockDirectory(dir.path());
    NotifyLog::Calls().clear();
    NotifyLog::PollAnswer() = 0;
    DEVICE::setNotifyHook(NotifyLog::Hook);
  }
  void TearDown() override {
    DEVICE::setNotifyHook(nullptr);
    SetSerialLockDirectory("");
    SetConfigPath("");
  }
  void NameCom1(const std::string& path) {
    ASSERT_EQ(INIFILE(dir.File("Tamsu.ini")).WriteString("Ports", "COM1", path.c_str()), 0);
  }
  using Calls = std::vector<std::pair<int, long>>;
  TempDir dir;
};
