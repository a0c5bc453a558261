// The row kernels against the plain per-pixel rule, on every row length around the 16-pixel
// groups and at the extreme levels.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/byte_kernels.h"

TEST(ByteKernels, MapAboveLevelEqualsThePlainRule) {
  std::mt19937 random(3);
  for (int level : {0, 1, 127, 128, 254, 255}) {
    for (std::int32_t width = 0; width <= 50; ++width) {
      std::vector<std::uint8_t> row(width);
      for (auto& value : row)
        value = static_cast<std::uint8_t>(random() % 4 == 0 ? level : random());
      std::vector<std::uint8_t> mapped(width, 99);
      MapAboveLevel(row.data(), mapped.data(), width, static_cast<std::uint8_t>(level), 7, 200);
      for (std::int32_t x = 0; x < width; ++x) {
        ASSERT_EQ(mapped[x], row[x] > level ? 200 : 7) << "level " << level << " x " << x;
      }
    }
  }
}

TEST(ByteKernels, PackNonZeroBitsPutsTheFirstPixelInTheHighBit) {
  std::mt19937 random(5);
  for (std::int32_t width = 0; width <= 50; ++width) {
    std::vector<std::uint8_t> row(width);
    for (auto& value : row) value = static_cast<std::uint8_t>(random() % 3 == 0 ? 0 : random() | 1);
    std::vector<std::uint8_t> packed((width + 7) / 8 + 1, 0);
    PackNonZeroBits(row.data(), packed.data(), width);
    for (std::int32_t x = 0; x < width; ++x) {
      ASSERT_EQ((packed[x / 8] >> (7 - x % 8)) & 1, row[x] != 0) << "width " << width << " x " << x;
    }
    EXPECT_EQ(packed.back() & (0xFF >> (width % 8 == 0 ? 8 : width % 8)), 0)
        << "no bit past the row";
  }
}
