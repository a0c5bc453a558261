// Small images for the local-method tests: hand-written 8-bit pictures, random ones for the
// fast-against-plain comparisons, and a check of the system's failure messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "image/dibunit.h"
#include "platform/errors.h"

namespace local_fixtures {

// An 8-bit gray image from its values, row by row from the top.
inline std::unique_ptr<TDIB> Gray(std::int32_t width, const std::vector<std::uint8_t>& values) {
  auto image = std::make_unique<TDIB>();
  const auto height = width == 0 ? 0 : static_cast<std::int32_t>(values.size()) / width;
  image->Allocate(width, height, df8Bit, 0, 0);
  for (std::int32_t y = 0; y < height; ++y) {
    std::memcpy(image->Row(y), values.data() + y * width, static_cast<std::size_t>(width));
  }
  return image;
}

inline std::unique_ptr<TDIB> Flat(std::int32_t width, std::int32_t height, std::uint8_t value) {
  return Gray(width, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, value));
}

// A blank 8-bit image of the same size, to receive a filter's output.
inline std::unique_ptr<TDIB> BlankOf(const TDIB& image) {
  auto blank = std::make_unique<TDIB>();
  blank->Allocate(image.Width(), image.Height(), df8Bit, 0, 0);
  return blank;
}

// The values of an 8-bit image, row by row from the top.
inline std::vector<std::uint8_t> Pixels(const TDIB& image) {
  std::vector<std::uint8_t> values;
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    values.insert(values.end(), image.Row(y), image.Row(y) + image.Width());
  }
  return values;
}

// The pixels of a 1-bit image as 0 (black) and 1 (white), row by row from the top.
inline std::vector<std::uint8_t> Bits(const TDIB& image) {
  std::vector<std::uint8_t> bits;
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      bits.push_back(static_cast<std::uint8_t>(image.GetPixel(x, y)));
    }
  }
  return bits;
}

// Random values; with few levels the picture is coarse, so that equal values, ties of
// extremes and exact halves of means turn up often.
inline std::unique_ptr<TDIB> RandomGray(std::int32_t width, std::int32_t height, std::uint32_t seed,
                                        bool fewLevels) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> value(0, 255);
  std::uniform_int_distribution<int> level(0, 3);
  std::vector<std::uint8_t> values(static_cast<std::size_t>(width) * height);
  for (auto& v : values)
    v = static_cast<std::uint8_t>(fewLevels ? level(random) * 85 : value(random));
  return Gray(width, values);
}

// Sizes that reach every border case of the filters: single pixels, single rows and columns,
// sizes around the 16-pixel tiles and the 64-row strips of the transposing pass.
struct TSize {
  std::int32_t width, height;
};
inline const std::vector<TSize>& OddSizes() {
  static const std::vector<TSize> sizes = {{1, 1},   {1, 9},   {9, 1},   {2, 2},    {3, 5},
                                           {17, 16}, {16, 31}, {70, 65}, {33, 130}, {129, 3}};
  return sizes;
}

// Window sizes around and beyond an image size, negative ones included.
inline std::vector<std::int32_t> AreasFor(std::int32_t size) {
  return {-3, -2, -1, 0, 1, 2, 3, 4, 7, size - 1, size, size + 1, 2 * size + 5, 1000000};
}

// Calls check(image, areaW, areaH) on random images of every odd size, fine and coarse, each
// window width paired with a spread of heights so that each axis meets every case.
template <class TCheck>
void ForRandomWindows(std::uint32_t seed, TCheck check) {
  for (const TSize& size : OddSizes()) {
    const std::vector<std::int32_t> widths = AreasFor(size.width);
    const std::vector<std::int32_t> heights = AreasFor(size.height);
    for (bool fewLevels : {false, true}) {
      auto image = RandomGray(size.width, size.height, seed++, fewLevels);
      for (std::size_t i = 0; i < widths.size(); ++i) {
        check(*image, widths[i], heights[(i * 5 + 3) % heights.size()]);
      }
    }
  }
}

// Runs operation, expecting an EError with exactly message.
template <class TOperation>
void ExpectError(TOperation&& operation, const char* message, const std::string& reason) {
  try {
    operation();
    ADD_FAILURE() << "no failure: " << reason;
  } catch (const EError& e) {
    EXPECT_STREQ(e.what(), message) << reason;
  }
}

// Runs method on a patterned 6 x 4 image of the format, expecting the 8-bit message and the
// image left exactly as it was.
template <class TMethod>
void ExpectRefusedUntouched(TDIBFormat format, TMethod&& method) {
  TDIB image;
  image.Allocate(6, 4, format, 0, 0);
  for (std::int32_t y = 0; y < 4; ++y) {
    std::memset(image.Row(y), 0x5A + y, static_cast<std::size_t>(image.BytesPerRow()));
  }
  auto before = image.Duplicate();
  ExpectError([&] { method(image); }, kNeeds8Bit, "format " + std::to_string(format));
  ASSERT_EQ(image.BlockSize(), before->BlockSize());
  EXPECT_EQ(
      std::memcmp(image.Block(), before->Block(), static_cast<std::size_t>(image.BlockSize())), 0)
      << "format " << int{format} << " changed";
}

}  // namespace local_fixtures
