#include "devices/threadloop.h"

#include <chrono>
#include <system_error>

THREADLOOP::~THREADLOOP() { finish(); }

int THREADLOOP::start() {
  std::unique_lock<std::mutex> lk(mu_);
  if (thread_.joinable()) {
    if (!ended_ && !stop_) return 0;
    // Asked to stop or ended: the old worker goes completely before a new one comes.
    stop_ = true;
    cv_.notify_all();
    lk.unlock();
    thread_.join();
    lk.lock();
  }
  stop_ = false;
  suspended_ = false;
  ended_ = false;
  const THREADPROC proc = threadProc();
  try {
    thread_ = std::thread([this, proc] {
      proc(this);
      std::lock_guard<std::mutex> g(mu_);
      ended_ = true;
    });
  } catch (const std::system_error&) {
    ended_ = true;
    return -1;
  }
  return 0;
}

int THREADLOOP::stop() {
  std::lock_guard<std::mutex> g(mu_);
  stop_ = true;
  cv_.notify_all();
  return 0;
}

int THREADLOOP::suspend() {
  std::lock_guard<std::mutex> g(mu_);
  if (thread_.joinable() && !ended_) suspended_ = true;
  return 0;
}

int THREADLOOP::resume() {
  std::lock_guard<std::mutex> g(mu_);
  suspended_ = false;
  cv_.notify_all();
  return 0;
}

bool THREADLOOP::waitStop(int ms) {
  std::unique_lock<std::mutex> lk(mu_);
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!stop_) {
    if (suspended_) {
      cv_.wait(lk);
      continue;
    }
    if (cv_.wait_until(lk, until) == std::cv_status::timeout) return stop_;
  }
  return true;
}

bool THREADLOOP::running() {
  std::lock_guard<std::mutex> g(mu_);
  return thread_.joinable() && !ended_;
}

// A worker cannot be ended from outside without leaving what it holds (a port, a lock) in an
// unknown state, so finishing waits for it; workers look at the stop every few milliseconds.
void THREADLOOP::finish() {
  // Not the subclass's stop: that may itself finish first.
  THREADLOOP::stop();
  if (thread_.joinable()) thread_.join();
}
