// The read-ahead worker: reads the next file of a batch while the operator works on the
// current one. The image comes back as a packed DIB block that the loader owns until the
// main window takes it; a loader freed with its image still in it frees the block.
#pragma once

#include <string>

#include "platform/memory_block.h"
#include "platform/worker_thread.h"

class TImageLoader : public TWorkerThread {
 public:
  explicit TImageLoader(std::string fileName) : FileName(std::move(fileName)) {}
  ~TImageLoader() override;

  const std::string FileName;
  // The image read, or 0 when the read failed; ask after WaitFor. The caller owns it then.
  TMemoryHandle TakeImage();

 protected:
  void Execute() override;

 private:
  TMemoryHandle image_ = 0;
};
