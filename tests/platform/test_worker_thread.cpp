// The worker-thread base: created suspended, started once, waited for, its failure kept, and
// freed only after its thread has ended.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/errors.h"
#include "platform/worker_thread.h"

namespace {

// A latch the test opens to let a worker go on, so that "still running" is certain without
// any timing.
class TGate {
 public:
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    opened_.notify_all();
  }
  void Pass() {
    std::unique_lock lock(mutex_);
    opened_.wait(lock, [this] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

// Waits at a gate, then fills a vector of its own: a worker with members Execute uses.
class TFiller : public TWorkerThread {
 public:
  explicit TFiller(TGate& gate) : gate_(gate) {}
  std::vector<int> values;
  std::thread::id ranOn;

 protected:
  void Execute() override {
    ranOn = std::this_thread::get_id();
    gate_.Pass();
    for (int i = 0; i < 1000; ++i) values.push_back(i);
  }

 private:
  TGate& gate_;
};

// Throws what it is given.
class TThrower : public TWorkerThread {
 public:
  explicit TThrower(int kind) : kind_(kind) {}

 protected:
  void Execute() override {
    if (kind_ == 1) throw EError("Bit depht not allowed");
    if (kind_ == 2) throw std::runtime_error("No such file or directory");
    if (kind_ == 3) throw 42;
  }

 private:
  int kind_;
};

// Runs until told to stop.
class TStoppable : public TWorkerThread {
 protected:
  void Execute() override {
    while (!Terminated()) std::this_thread::yield();
  }
};

TEST(WorkerThread, NothingRunsBeforeStartAndEverythingIsDoneAfterWaitFor) {
  TGate gate;
  auto worker = MakeWorker<TFiller>(gate);
  worker->WaitFor();  // never started: returns at once
  EXPECT_FALSE(worker->Finished());
  EXPECT_TRUE(worker->values.empty()) << "created suspended";
  worker->Start();
  EXPECT_FALSE(worker->Finished()) << "held at the gate";
  gate.Open();
  worker->WaitFor();
  EXPECT_TRUE(worker->Finished());
  EXPECT_EQ(worker->values.size(), 1000u);
  EXPECT_NE(worker->ranOn, std::this_thread::get_id()) << "Execute runs on its own thread";
  EXPECT_FALSE(worker->Failed());
  worker->WaitFor();  // a second wait is harmless
}

TEST(WorkerThread, AFailureIsKeptNeverThrown) {
  struct TCase {
    int kind;
    bool failed;
    const char* message;
    const char* why;
  } cases[] = {
      {0, false, "", "no failure"},
      {1, true, "Bit depht not allowed", "the system's own text"},
      {2, true, "No such file or directory", "any standard exception"},
      {3, true, "Unknown error", "an exception without a text gets a fixed one"},
  };
  for (const auto& c : cases) {
    auto worker = MakeWorker<TThrower>(c.kind);
    worker->Start();
    worker->WaitFor();
    EXPECT_TRUE(worker->Finished()) << c.why;
    EXPECT_EQ(worker->Failed(), c.failed) << c.why;
    EXPECT_EQ(worker->FailureMessage(), c.message) << c.why;
  }
}

TEST(WorkerThread, StartingTwiceIsRefused) {
  auto worker = MakeWorker<TThrower>(0);
  worker->Start();
  EXPECT_THROW(worker->Start(), EError);
  worker->WaitFor();
  EXPECT_THROW(worker->Start(), EError) << "also after it ended";
}

TEST(WorkerThread, FreeingARunningWorkerWaitsForIt) {
  TGate gate;
  auto worker = MakeWorker<TFiller>(gate);
  worker->Start();
  std::thread opener([&] { gate.Open(); });
  worker.reset();  // must not free the vector while Execute still fills it
  opener.join();
}

// A worker with no members of its own, freed through its base: the base destructor waits.
// It is freed only once Execute runs: a worker destroyed before its thread reached Execute
// has lost its own part already, which is why owners hold workers in a TWorkerPtr.
std::atomic<bool> plainDone{false};
TGate* plainGate = nullptr;
TGate* plainStarted = nullptr;
class TPlain : public TWorkerThread {
 protected:
  void Execute() override {
    plainStarted->Open();
    plainGate->Pass();
    plainDone = true;
  }
};

TEST(WorkerThread, TheBaseDestructorWaitsToo) {
  TGate gate, started;
  plainGate = &gate;
  plainStarted = &started;
  std::thread opener;
  {
    TPlain worker;
    worker.Start();
    started.Pass();
    opener = std::thread([&] { gate.Open(); });
  }
  EXPECT_TRUE(plainDone);
  opener.join();
}

TEST(WorkerThread, TerminateStopsAWorkerThatLooksAtIt) {
  auto worker = MakeWorker<TStoppable>();
  EXPECT_FALSE(worker->Terminated());
  worker->Start();
  worker->Terminate();
  worker->WaitFor();
  EXPECT_TRUE(worker->Terminated());
  EXPECT_TRUE(worker->Finished());
}

}  // namespace
