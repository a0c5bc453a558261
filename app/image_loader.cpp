// The read-ahead worker's work: the first page of one file, handed over as a block.
#include "app/image_loader.h"

#include "image/dibunit.h"

TImageLoader::~TImageLoader() {
  WaitFor();
  TBlockOwner unused(image_);
}

TMemoryHandle TImageLoader::TakeImage() {
  const TMemoryHandle image = image_;
  image_ = 0;
  return image;
}

void TImageLoader::Execute() {
  TDIB image;
  image.LoadFromFile(FileName, 0);
  image.OwnsHandle = false;
  image_ = image.GetHandle();
}
