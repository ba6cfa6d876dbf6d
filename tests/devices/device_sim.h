// Simulated devices for the device tests: a pseudo-terminal whose slave the program opens by
// path (named in Tamsu.ini as COM1) and whose master a thread of the simulator serves, speaking
// the device's side of a protocol. Modem lines, which pseudo-terminals lack, are simulated in
// memory through SIM_PORT, which also runs the protocols' waits twenty times faster.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "devices/device.h"
#include "devices/port.h"
#include "platform/serial_port.h"
#include "shell/inifile.h"
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
    if (keep_ >= 0) ::close(keep_);
    keep_ = -1;
    ::close(master_.exchange(-1));
  }
  // The line settings of the terminal as the program left them.
  termios LineSettings() {
    termios t{};
    ::tcgetattr(keep_, &t);
    return t;
  }
  std::string Received() {
    std::lock_guard<std::mutex> g(mu_);
    return received_;
  }

  // The simulated modem lines (SIM_PORT reads and sets them).
  std::atomic<bool> cts{true}, dsr{false}, rts{false}, dtr{false};

 protected:
  // Called on the simulator's thread, with mu_ held, for every byte the program sent.
  virtual void OnByte(uint8_t b) = 0;
  // Called on the simulator's thread, with mu_ held, after every 5 ms without input.
  virtual void OnIdle() {}
  // Device-side writes, from OnByte.
  void Send(const std::string& bytes) {
    if (master_ >= 0 && !bytes.empty()) (void)!::write(master_, bytes.data(), bytes.size());
  }
  void SendByte(uint8_t b) { Send(std::string(1, static_cast<char>(b))); }
  std::mutex mu_;

 private:
  void Serve() {
    for (;;) {
      pollfd p{master_, POLLIN, 0};
      const bool more = p.fd >= 0 && ::poll(&p, 1, 5) > 0 && (p.revents & POLLIN);
      if (!more) {
        if (!running_) return;
        if (p.fd < 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::lock_guard<std::mutex> g(mu_);
        OnIdle();
        continue;
      }
      uint8_t buf[256];
      std::lock_guard<std::mutex> g(mu_);
      const ssize_t n = master_ >= 0 ? ::read(master_, buf, sizeof buf) : -1;
      if (n <= 0) continue;
      for (ssize_t i = 0; i < n; ++i) {
        received_.push_back(static_cast<char>(buf[i]));
        OnByte(buf[i]);
      }
    }
  }

  std::atomic<int> master_{-1};
  int keep_ = -1;  // keeps the terminal alive while the program has it closed
  std::string path_;
  std::string received_;
  std::atomic<bool> running_{false};
  std::thread thread_;
};

// PORTCOM on the simulator's pseudo-terminal: the real termios code, the simulator's modem
// lines, waits scaled down.
class SIM_PORT : public PORTCOM {
 public:
  explicit SIM_PORT(DEVICE_SIM* sim, bool lines = true) : sim_(sim), lines_(lines) {}
  ~SIM_PORT() override {
    if (isOpen()) close();
  }

 protected:
  int rawModem() override {
    if (!lines_) return PORTCOM::rawModem();
    return (sim_->cts ? kModemCts : 0) | (sim_->dsr ? kModemDsr : 0);
  }
  void rawSetModem(int line, bool on) override {
    if (line == kModemRts) sim_->rts = on;
    if (line == kModemDtr) sim_->dtr = on;
  }
  void rawWait(int ms) override { PORTCOM::rawWait(ms / 20); }
  void rawPause(int ms) override { PORTCOM::rawPause(ms / 20); }

 private:
  DEVICE_SIM* sim_;
  bool lines_;
};

// Every notification the devices give, in order; a chosen answer to the cancellation poll.
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
  // The codes reported, polls left out.
  static std::vector<int> Codes() {
    std::vector<int> codes;
    for (auto& c : Calls()) codes.push_back(c.first);
    return codes;
  }
};

// A configuration file naming the simulator's terminal as COM1, a lock directory of the test's
// own, and the notification log installed.
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
  TempDir dir;
};
