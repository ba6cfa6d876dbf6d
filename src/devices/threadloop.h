// THREADLOOP: the base of the program's one kind of worker thread, a loop that runs beside the
// user-interface thread until it is told to stop (the barcode scanner watcher is one).
//
// The subclass gives the procedure; the procedure loops on waitStop, which is also where a
// suspended worker rests:
//
//   static uint32_t Watch(THREADLOOP* t) {
//     while (!t->waitStop(50)) { /* read the port, post the keys */ }
//     return 0;
//   }
//   THREADPROC threadProc() override { return Watch; }
//
// start runs a worker when none runs; after stop, the next start waits for the old worker to
// end before it starts the new one, so there is never more than one. Suspending is cooperative:
// the worker stops at its next waitStop until resumed. A subclass whose procedure uses its own
// members calls finish() first thing in its destructor: the worker must end before they go.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class THREADLOOP {
 public:
  typedef uint32_t (*THREADPROC)(THREADLOOP* self);

  THREADLOOP() = default;
  virtual ~THREADLOOP();
  THREADLOOP(const THREADLOOP&) = delete;
  THREADLOOP& operator=(const THREADLOOP&) = delete;

  // 0, or -1 when the system refused a thread.
  virtual int start();
  // Signals the stop; the worker ends at its next waitStop.
  virtual int stop();
  virtual int suspend();
  virtual int resume();
  virtual THREADPROC threadProc() = 0;

  // For the worker: waits up to ms (longer while suspended); true once the stop is signalled.
  bool waitStop(int ms);
  // True while a worker runs (started and its procedure not yet returned).
  bool running();

 protected:
  // Signals the stop and waits for the worker to end.
  void finish();

 private:
  std::mutex mu_;
  std::condition_variable cv_;
  bool stop_ = false;
  bool suspended_ = false;
  bool ended_ = true;
  std::thread thread_;
};
