// The base of the background workers (the read-ahead loader, the saver): a thread object
// created suspended, started once by its owner, waited for and freed by it, never by itself.
// What a worker does is its Execute, run on the thread. A failure of Execute ends the thread
// quietly and is kept for the owner to ask about; it never leaves the thread.
//
// The owner fills a worker's fields before Start and reads its results only after WaitFor;
// that wait is the only synchronization a worker needs.
//
// Freeing a worker waits for its thread. A derived class whose Execute uses members of its
// own must not lose them while Execute still runs, and C++ destroys them before this base:
// hold workers in a TWorkerPtr (MakeWorker), which waits before anything is destroyed.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

class TWorkerThread {
 public:
  TWorkerThread() = default;
  virtual ~TWorkerThread();
  TWorkerThread(const TWorkerThread&) = delete;
  TWorkerThread& operator=(const TWorkerThread&) = delete;

  // Runs Execute on a new thread. Throws EError when the worker was started before, and
  // EOSError when the system gives no thread.
  void Start();
  // Returns when Execute has ended; at once when the worker was never started.
  void WaitFor();
  // Whether Execute has ended.
  bool Finished() const { return finished_.load(std::memory_order_acquire); }

  // Whether Execute ended with an exception, and its message text (a fixed text for an
  // exception that carries none). Ask after WaitFor.
  bool Failed() const;
  std::string FailureMessage() const;

  // Asks Execute to end early; a worker that looks at Terminated stops at its next check.
  void Terminate() { terminated_.store(true, std::memory_order_release); }
  bool Terminated() const { return terminated_.load(std::memory_order_acquire); }

 protected:
  // The work, on the worker's thread.
  virtual void Execute() = 0;

 private:
  void Run() noexcept;

  std::mutex threadMutex_;  // Start and WaitFor may race when two threads call them
  std::thread thread_;
  bool started_ = false;
  std::atomic<bool> finished_{false};
  std::atomic<bool> terminated_{false};
  mutable std::mutex failureMutex_;
  std::optional<std::string> failure_;
};

// Frees a worker after waiting for it.
struct TWorkerDelete {
  void operator()(TWorkerThread* worker) const;
};

template <typename TWorker>
using TWorkerPtr = std::unique_ptr<TWorker, TWorkerDelete>;

// A new worker, not started yet.
template <typename TWorker, typename... TArgs>
TWorkerPtr<TWorker> MakeWorker(TArgs&&... args) {
  return TWorkerPtr<TWorker>(new TWorker(std::forward<TArgs>(args)...));
}
