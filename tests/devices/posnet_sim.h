// The Posnet printer's side of its protocol: frames ESC P ... ESC \ with their checksums checked,
// the status byte on ENQ, the mechanism byte on DLE, the tax rates on "0#s" and the error number
// on "0#n". How it answers each frame is the test's choice.
#pragma once

#include <cstdio>
#include <functional>

#include "device_sim.h"

class POSNET_SIM : public DEVICE_SIM {
 public:
  enum Answer { kAccept, kRefuse, kPaperOut, kSilent, kGarbage };
  // The answer to the ENQ after a frame, by the frame's body.
  std::function<Answer(const std::string& body)> judge;
  long error_number = 0;
  // 18 slashes: 7 rate fields, A 23, B 8, C 0, D 5, E exempt, F and G unused.
  std::string rates = "/23.00/8.00/0.00/5.00/100.00/101.00/101.00/0/0/0/0/0/0/0/0/0/0/";
  // XOFF together with the status byte of the frame with this body; XON after 100 ms of quiet.
  std::string xoff_after;

  ~POSNET_SIM() override { Stop(); }
  // The bodies received, without start bytes, checksum and end bytes.
  std::vector<std::string> Frames() {
    std::lock_guard<std::mutex> g(mu_);
    return frames_;
  }
  int BadChecksums() {
    std::lock_guard<std::mutex> g(mu_);
    return bad_checksums_;
  }
  // Bytes that came while the printer had said XOFF, and whether it said XON again.
  std::pair<int, bool> Flow() {
    std::lock_guard<std::mutex> g(mu_);
    return {while_stopped_, xon_sent_};
  }

 protected:
  void OnByte(uint8_t b) override {
    if (stopped_) ++while_stopped_;
    if (!in_frame_) {
      in_frame_ = b == 0x1B;
      frame_.clear();
      if (b == 0x10 && kDleAnswers[last_]) SendByte(kDleAnswers[last_]);
      if (b != 0x05) return;
      std::string answer(kEnqAnswers[last_] ? 1 : 0, static_cast<char>(kEnqAnswers[last_]));
      if (last_ == kAccept && !xoff_after.empty() && last_body_ == xoff_after) {
        answer += '\x13';  // in one write: there before the next frame starts
        stopped_ = true;
        idle_ = 0;
      }
      Send(answer);
      return;
    }
    frame_.push_back(static_cast<char>(b));
    if (frame_.size() >= 3 && frame_[frame_.size() - 2] == 0x1B && b == '\\') {
      in_frame_ = false;
      Frame(frame_.substr(1, frame_.size() - 3));
    }
  }
  void OnIdle() override {
    if (stopped_ && ++idle_ > 20) {
      SendByte(0x11);
      stopped_ = false;
      xon_sent_ = true;
    }
  }

 private:
  // By Answer: the ENQ status byte (0 none) and the DLE mechanism byte.
  static constexpr uint8_t kEnqAnswers[5] = {0x64, 0x60, 0x10, 0, 0x41};
  static constexpr uint8_t kDleAnswers[5] = {0x70, 0x70, 0x72, 0, 0x41};

  void Frame(std::string body) {
    if (body != "0#s" && body != "0#n" && body.size() >= 2) {
      uint8_t x = 0xFF;
      for (size_t i = 0; i + 2 < body.size(); ++i) x ^= static_cast<uint8_t>(body[i]);
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02X", x);
      bad_checksums_ += body.substr(body.size() - 2) != hex;
      body.resize(body.size() - 2);
    }
    frames_.push_back(body);
    if (body == "0#s") Send("\x1bP1#X" + rates + "\x1b\\");
    if (body == "0#n") Send("\x1bP1#E" + std::to_string(error_number) + "\x1b\\");
    last_ = judge ? judge(body) : kAccept;
    last_body_ = body;
  }

  bool in_frame_ = false, stopped_ = false, xon_sent_ = false;
  std::string frame_, last_body_;
  std::vector<std::string> frames_;
  Answer last_ = kAccept;
  int bad_checksums_ = 0, idle_ = 0, while_stopped_ = 0;
};
