// Fuzz target: TIFF files, opened as a file would be. Besides the checks every reader gets, a
// small image that reads is written again by the TIFF writer (PackBits) and read back, which
// must give the same pixels: the reader's formats and colour tables all have a lossless way
// back. PackBits rather than LZW: the trip checks our writer's layout, which every compression
// shares, and LZW's 144 KiB coding table per trip would cost a third of the run's time.
// Each input is read once.
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TMemoryStream input(data, size);
  if (!TDIB::IsTIFFStream(input)) return -1;
  TDIB image;
  if (!fuzzing::Load(data, size, image)) return 0;
  fuzzing::CheckImage(image);
  if (!fuzzing::Small(image)) return 0;
  TMemoryStream output;
  image.SaveTIFFToStream(output, false, tcPackBits, 16);
  output.Seek(0, soBeginning);
  TDIB copy;
  copy.LoadFromStream(output, 0);
  fuzzing::Require(fuzzing::SamePixels(image, copy));
  return 0;
}
