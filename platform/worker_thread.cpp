// The worker-thread base: start once, wait, keep Execute's failure on the thread.
#include "platform/worker_thread.h"

#include <exception>
#include <system_error>

#include "platform/errors.h"

namespace {

constexpr const char* kAlreadyStarted = "The thread has already been started";
constexpr const char* kUnknownFailure = "Unknown error";

}  // namespace

TWorkerThread::~TWorkerThread() {
  WaitFor();
}

void TWorkerThread::Start() {
  std::lock_guard lock(threadMutex_);
  if (started_) throw EError(kAlreadyStarted);
  try {
    thread_ = std::thread(&TWorkerThread::Run, this);
  } catch (const std::system_error& error) {
    throw EOSError(error.code().value());
  }
  started_ = true;
}

void TWorkerThread::WaitFor() {
  std::lock_guard lock(threadMutex_);
  if (thread_.joinable()) thread_.join();
}

bool TWorkerThread::Failed() const {
  std::lock_guard lock(failureMutex_);
  return failure_.has_value();
}

std::string TWorkerThread::FailureMessage() const {
  std::lock_guard lock(failureMutex_);
  return failure_.value_or(std::string());
}

void TWorkerThread::Run() noexcept {
  std::optional<std::string> failure;
  try {
    Execute();
  } catch (const std::exception& error) {
    failure = error.what();
  } catch (...) {
    failure = kUnknownFailure;
  }
  {
    std::lock_guard lock(failureMutex_);
    failure_ = std::move(failure);
  }
  finished_.store(true, std::memory_order_release);
}

void TWorkerDelete::operator()(TWorkerThread* worker) const {
  if (worker == nullptr) return;
  worker->WaitFor();
  delete worker;
}
