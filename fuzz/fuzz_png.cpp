// Fuzz target: PNG files, opened as a file would be.
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzing::FuzzReader(data, size, &TDIB::IsPNGStream);
}
