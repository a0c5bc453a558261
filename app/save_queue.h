// The background saves of the main window: one saver at a time, each new save waiting for
// the one before. A save that fails is never silent: its failure is kept, with the file name
// and the image it belonged to, until the window takes it to tell the operator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/image_saver.h"

struct TSaveFailure {
  std::string FileName;           // the name the saver was writing
  std::string Reason;             // the writer's message
  std::uint64_t ImageSerial = 0;  // which opened image the result belonged to
};

// "<file> could not be written: <reason>", and, when another image is open by now, that
// this page's result was not saved.
std::string SaveFailureText(const TSaveFailure& failure, bool imageStillOpen);

class TSaveQueue {
 public:
  ~TSaveQueue() { WaitForSave(); }

  // Waits for the running save, then starts writing image (taken over) with request. The
  // previous save's failure, if any, is kept for TakeFailures.
  void Start(const TSaveRequest& request, TMemoryHandle image, std::uint64_t imageSerial);
  // Waits for the running save (exit, or an image coming back that is being saved).
  void WaitForSave();
  // Whether a save is running now.
  bool Running() const;
  // The failures of finished saves not yet taken, oldest first; each is given out once.
  std::vector<TSaveFailure> TakeFailures();

 private:
  void Collect();

  TWorkerPtr<TImageSaver> saver_;
  std::uint64_t serial_ = 0;
  std::vector<TSaveFailure> failures_;
};
