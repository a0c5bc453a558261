// The background saver: writes one processed image while the operator moves on. It owns the
// image block it is given and frees it on every path. The output format replaces the name's
// extension (0 ".tif", 1 ".bmp", 2 ".png"; any other value keeps it); the file is written by
// the format of the final extension through the same safe replacement as every other writer,
// so an existing output is never lost when writing fails. A name whose extension is none of
// the three writes nothing, which counts as a failure, unless the request names the format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/memory_block.h"
#include "platform/worker_thread.h"

struct TSaveRequest {
  std::string FileName;
  std::int32_t OutputFormat = 0;  // 0 TIFF, 1 BMP, 2 PNG; other values keep the extension
  bool Overwrite = true;          // false: an existing TIFF receives a further page
  bool Uncompressed = false;
  // The format to write whatever the final extension says; none: by the extension.
  std::optional<std::int32_t> Format;
};

// The final name a request writes.
std::string SaveTargetName(const TSaveRequest& request);

class TImageSaver : public TWorkerThread {
 public:
  // Takes over image.
  TImageSaver(TSaveRequest request, TMemoryHandle image);
  ~TImageSaver() override;

  const TSaveRequest Request;
  std::string TargetName() const { return SaveTargetName(Request); }

 protected:
  void Execute() override;

 private:
  TMemoryHandle image_;
};
