// One saver at a time, with its failure kept for the operator.
#include "app/save_queue.h"

#include <utility>

#include "platform/memory_block.h"

std::string SaveFailureText(const TSaveFailure& failure, bool imageStillOpen) {
  std::string text = failure.FileName + " could not be written: " + failure.Reason;
  if (!imageStillOpen) text += "\nThe result of that page was not saved.";
  return text;
}

void TSaveQueue::Start(const TSaveRequest& request, TMemoryHandle image,
                       std::uint64_t imageSerial) {
  TBlockOwner owner(image);
  WaitForSave();
  auto saver = MakeWorker<TImageSaver>(request, owner.Release());
  saver->Start();
  saver_ = std::move(saver);
  serial_ = imageSerial;
}

void TSaveQueue::WaitForSave() {
  if (!saver_) return;
  saver_->WaitFor();
  Collect();
}

bool TSaveQueue::Running() const {
  return saver_ && !saver_->Finished();
}

std::vector<TSaveFailure> TSaveQueue::TakeFailures() {
  if (saver_ && saver_->Finished()) Collect();
  return std::exchange(failures_, {});
}

// Frees a finished saver, keeping its failure.
void TSaveQueue::Collect() {
  if (saver_->Failed()) {
    failures_.push_back({saver_->TargetName(), saver_->FailureMessage(), serial_});
  }
  saver_.reset();
}
