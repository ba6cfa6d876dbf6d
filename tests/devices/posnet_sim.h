// The Posnet printer's side of its protocol: frames ESC P ... ESC \ with their checksums, the
// status byte on ENQ, the mechanism byte on DLE, the tax rates on "0#s" and the error number on
// "0#n". How it answers each frame is the test's choice.
#pragma once

#include <functional>

#include "device_sim.h"

class POSNET_SIM : public DEVICE_SIM {
 public:
  enum Answer { kAccept, kRefuse, kPaperOut, kSilent, kGarbage };
  // The answer to the ENQ after a frame, by its body; called on the simulator's thread.
  std::function<Answer(const std::string& body)> judge;
  long error_number = 0;  // the answer to "0#n"
  // The fields of the answer to "0#s": 18 slashes make 7 rate fields (A to G).
  std::string rates = "/23.00/8.00/0.00/5.00/100.00/101.00/101.00/0/0/0/0/0/0/0/0/0/0/";
  // XOFF right after the status byte of the frame with this body, XON once the line has been
  // quiet for a while.
  std::string xoff_after;

  ~POSNET_SIM() override { Stop(); }

  // The bodies of the frames received, without start, checksum and end bytes.
  std::vector<std::string> Frames() {
    std::lock_guard<std::mutex> g(mu_);
    return frames_;
  }
  int BadChecksums() {
    std::lock_guard<std::mutex> g(mu_);
    return bad_checksums_;
  }
  // Bytes that came while the printer had said XOFF.
  int BytesWhileStopped() {
    std::lock_guard<std::mutex> g(mu_);
    return while_stopped_;
  }
  bool XonSent() {
    std::lock_guard<std::mutex> g(mu_);
    return xon_sent_;
  }

 protected:
  void OnByte(uint8_t b) override {
    if (stopped_) ++while_stopped_;
    if (!in_frame_) {
      if (b == 0x1B) in_frame_ = true, frame_.clear();
      else if (b == 0x05) AnswerEnq();
      else if (b == 0x10) AnswerDle();
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
  void Frame(std::string body) {
    if (body != "0#s" && body != "0#n" && body.size() >= 2) {
      const std::string sum = body.substr(body.size() - 2);
      body.resize(body.size() - 2);
      char hex[3];
      uint8_t x = 0xFF;
      for (char c : body) x ^= static_cast<uint8_t>(c);
      std::snprintf(hex, sizeof hex, "%02X", x);
      if (sum != hex) ++bad_checksums_;
    }
    frames_.push_back(body);
    if (body == "0#s") Send("\x1bP1#X" + rates + "\x1b\\");
    if (body == "0#n") Send("\x1bP1#E" + std::to_string(error_number) + "\x1b\\");
    last_ = judge ? judge(body) : kAccept;
    last_body_ = body;
  }
  void AnswerEnq() {
    switch (last_) {
      case kAccept:
        if (!xoff_after.empty() && last_body_ == xoff_after) {
          Send("\x64\x13");  // one write: the XOFF is there before the next frame starts
          stopped_ = true;
          idle_ = 0;
        } else {
          SendByte(0x64);
        }
        break;
      case kRefuse: SendByte(0x60); break;
      case kPaperOut: SendByte(0x10); break;
      case kGarbage: SendByte(0x41); break;
      case kSilent: break;
    }
  }
  void AnswerDle() {
    if (last_ == kPaperOut) SendByte(0x72);
    if (last_ == kGarbage) SendByte(0x41);
    if (last_ == kAccept || last_ == kRefuse) SendByte(0x70);
  }

  bool in_frame_ = false;
  std::string frame_;
  std::vector<std::string> frames_;
  std::string last_body_;
  Answer last_ = kAccept;
  int bad_checksums_ = 0;
  bool stopped_ = false;
  bool xon_sent_ = false;
  int idle_ = 0;
  int while_stopped_ = 0;
};
