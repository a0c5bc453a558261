// Fuzz target: TIFF files, opened as a file would be. Besides the checks every reader gets, an
// image that reads is written again by the TIFF writer (LZW) and read back, which must give
// the same pixels: the reader's formats and colour tables all have a lossless way back.
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (fuzzing::FuzzReader(data, size, &TDIB::IsTIFFStream) != 0) return -1;
  TMemoryStream input(data, size);
  TDIB image;
  try {
    image.LoadFromStream(input, 0);
  } catch (const EError&) {
    return 0;
  }
  TMemoryStream output;
  image.SaveTIFFToStream(output, false, tcLZW, 16);
  output.Seek(0, soBeginning);
  TDIB copy;
  copy.LoadFromStream(output, 0);
  fuzzing::Require(fuzzing::SamePixels(image, copy));
  return 0;
}
