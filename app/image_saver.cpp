// The background saver's work.
#include "app/image_saver.h"

#include "image/dibunit.h"
#include "platform/errors.h"
#include "workflow/output_naming.h"
#include "workflow/output_writer.h"

std::string SaveTargetName(const TSaveRequest& request) {
  const std::string extension = OutputExtension(request.OutputFormat);
  return extension.empty() ? request.FileName : ChangeFileExt(request.FileName, extension);
}

TImageSaver::TImageSaver(TSaveRequest request, TMemoryHandle image)
    : Request(std::move(request)), image_(image) {}

TImageSaver::~TImageSaver() {
  WaitFor();
  TBlockOwner unused(image_);
}

void TImageSaver::Execute() {
  TDIB image;
  image.AssignHandle(image_);
  image_ = 0;
  if (Request.Format) {
    WriteOutput(image, TargetName(), *Request.Format, Request.Overwrite, Request.Uncompressed);
  } else if (!SaveOutput(image, TargetName(), Request.Overwrite, Request.Uncompressed)) {
    throw EError("its extension is none of .tif, .bmp and .png");
  }
}
