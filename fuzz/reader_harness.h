// The body every reader's fuzz target shares: the input is opened as a file would be
// (LoadFromStream with its format detection), and an image that reads without error is
// checked whole: every pixel row and colour-table entry is touched (so the sanitizers see any
// row outside the block), and, when it is small, it is written as a bitmap and as PNG and read
// back, which must give the same pixels. A refusal with the system's message is a sound
// answer; anything else (a crash, a sanitizer report, another exception, a round trip that
// differs) is a finding.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/dibunit.h"
#include "image/streams.h"
#include "platform/errors.h"

namespace fuzzing {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

// Every byte of a small image; of a large one the first and last byte of every row, which
// is where a row outside the block shows.
inline std::uint32_t TouchEveryByte(const TDIB& image) {
  std::uint32_t sum = 0;
  const bool whole = image.BlockSize() <= (1 << 20);
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.Row(y);
    const std::int32_t last = image.BytesPerRow() - 1;
    if (!whole && last >= 0) sum += row[0] + row[last];
    for (std::int32_t i = 0; whole && i <= last; ++i) sum += row[i];
  }
  for (std::int32_t i = 0; i < image.PaletteCount(); ++i) sum += image.GetPaletteEntry(i);
  return sum;
}

// Compares the pixels only: the bits after the last pixel of a 1 or 4-bit row are none.
inline bool SamePixels(const TDIB& a, const TDIB& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.BytesPerRow() != b.BytesPerRow()) {
    return false;
  }
  std::int64_t bits = std::int64_t{a.Width()} * (a.BitCount() == 15 ? 16 : a.BitCount());
  auto whole = static_cast<std::size_t>(bits / 8);
  int rest = static_cast<int>(bits % 8);
  auto mask = static_cast<std::uint8_t>(0xFF00 >> rest);
  for (std::int32_t y = 0; y < a.Height(); ++y) {
    if (std::memcmp(a.Row(y), b.Row(y), whole) != 0) return false;
    if (rest != 0 && ((a.Row(y)[whole] ^ b.Row(y)[whole]) & mask) != 0) return false;
  }
  return true;
}

inline void CheckRoundTrip(TDIB& image, void (TDIB::*write)(TStream&)) {
  TMemoryStream stream;
  (image.*write)(stream);
  stream.Seek(0, soBeginning);
  TDIB copy;
  copy.LoadFromStream(stream, 0);
  Require(SamePixels(image, copy));
}

// Round trips are made of images up to this many bytes: a small file may declare a large
// picture, whose trips (three encoders, three decoders) would take the bounded run's time and
// find nothing a small picture would not.
inline constexpr std::int32_t kRoundTripBytes = 1 << 16;

inline bool Small(const TDIB& image) {
  return image.BlockSize() <= kRoundTripBytes;
}

// Reads the input as a file would be read; false when the reader refused it with the
// system's message.
inline bool Load(const std::uint8_t* data, std::size_t size, TDIB& image) {
  TMemoryStream stream(data, size);
  try {
    image.LoadFromStream(stream, 0);
  } catch (const EError&) {
    return false;
  }
  return true;
}

// The checks every image that reads gets.
inline void CheckImage(TDIB& image) {
  volatile std::uint32_t sink = TouchEveryByte(image);
  (void)sink;
  if (!Small(image)) return;
  CheckRoundTrip(image, &TDIB::SaveBMPToStream);
  // PNG widens 5-5-5 words to truecolour, so only the other formats come back byte for byte.
  if (image.Format() != df15Bit && image.Format() != df16Bit) {
    CheckRoundTrip(image, &TDIB::SavePNGToStream);
  }
}

// accepts tells whether the input belongs to this target's reader; others are rejected, so
// that the corpus stays with one format.
inline int FuzzReader(const std::uint8_t* data, std::size_t size, bool (*accepts)(TStream&)) {
  TMemoryStream stream(data, size);
  if (!accepts(stream)) return -1;
  TDIB image;
  if (Load(data, size, image)) CheckImage(image);
  return 0;
}

inline bool IsJPEGCandidate(TStream& stream) {
  return !TDIB::IsBMPStream(stream) && !TDIB::IsTIFFStream(stream) && !TDIB::IsPNGStream(stream);
}

}  // namespace fuzzing
