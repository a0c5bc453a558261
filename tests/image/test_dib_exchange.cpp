// Handing images over as packed DIB blocks: who frees the block, how a block is read.
#include <gtest/gtest.h>

#include <cstring>

#include "image/dibunit.h"
#include "platform/errors.h"

namespace {

// A packed 8-bit block of 3 x 2 pixels with the given biClrUsed and colour-table entries;
// the pixel rows follow the table directly and hold 1, 2, 3 (bottom) and 4, 5, 6 (top).
TMemoryHandle EightBitBlock(std::uint32_t clrUsed, std::int32_t entries) {
  const std::int32_t offset = 40 + 4 * entries;
  TMemoryHandle handle = BlockAlloc(static_cast<std::size_t>(offset + 2 * 4));
  auto* block = static_cast<std::uint8_t*>(BlockLock(handle));
  TBitmapInfoHeader header{40, 3, 2, 1, 8, 0, 8, 0, 0, clrUsed, clrUsed};
  std::memcpy(block, &header, sizeof header);
  const std::uint8_t rows[8] = {1, 2, 3, 0, 4, 5, 6, 0};
  std::memcpy(block + offset, rows, sizeof rows);
  BlockUnlock(handle);
  return handle;
}

TMemoryHandle HandedOut(bool ownsHandle) {
  TDIB image;
  image.Allocate(4, 3, df8Bit, 0, 0);
  image.SetPixel(2, 1, 99);
  image.OwnsHandle = ownsHandle;
  return image.GetHandle();
}

}  // namespace

TEST(DibExchange, HandOverFollowsOwnsHandle) {
  const TMemoryHandle kept = HandedOut(false);
  ASSERT_TRUE(BlockIsValid(kept)) << "not owned: the block outlives the image";
  EXPECT_EQ(BlockLockCount(kept), 0) << "and is left unlocked";
  {
    TDIB receiver;
    receiver.AssignHandle(kept);
    EXPECT_EQ(receiver.Handle(), kept) << "the same block, not a copy";
    EXPECT_EQ(receiver.LockCount(), 1);
    EXPECT_EQ(receiver.GetPixel(2, 1), 99);
  }
  EXPECT_FALSE(BlockIsValid(kept)) << "a receiver that owns the block frees it";

  const TMemoryHandle freed = HandedOut(true);
  EXPECT_FALSE(BlockIsValid(freed)) << "owned: freed with the image";
}

TEST(DibExchange, AssignHandleReadsTheColourTableLength) {
  struct TCase {
    std::uint32_t clrUsed;
    std::int32_t entries;
    const char* reason;
  };
  const TCase cases[] = {
      {16, 16, "biClrUsed 16: rows follow 16 entries"},
      {0, 256, "biClrUsed 0: the full table of 256"},
      {300, 256, "biClrUsed beyond 256 counts as the full table"},
  };
  for (const TCase& c : cases) {
    TDIB image;
    image.AssignHandle(EightBitBlock(c.clrUsed, c.entries));
    EXPECT_EQ(image.PaletteCount(), c.entries) << c.reason;
    EXPECT_EQ(image.Bits() - static_cast<std::uint8_t*>(image.Block()), 40 + 4 * c.entries)
        << c.reason;
    EXPECT_EQ(image.GetPixel(0, 0), 4) << "top row last in the block: " << c.reason;
    EXPECT_EQ(image.GetPixel(2, 1), 3) << c.reason;
  }
}

TEST(DibExchange, AssignHandleZeroOrAgainIsHarmless) {
  TDIB image;
  image.Allocate(2, 2, df8Bit, 0, 0);
  image.SetPixel(1, 1, 42);
  const TMemoryHandle handle = image.Handle();
  image.AssignHandle(handle);
  ASSERT_TRUE(BlockIsValid(handle)) << "its own block is re-read, not freed";
  EXPECT_EQ(image.GetPixel(1, 1), 42);
  EXPECT_EQ(image.LockCount(), 1);

  image.AssignHandle(0);
  EXPECT_EQ(image.Width(), 0);
  EXPECT_EQ(image.GetHandle(), 0u);
  EXPECT_FALSE(BlockIsValid(handle)) << "replacing an owned block frees it";
}

TEST(DibExchange, RefusedBlockIsFreedOnlyWhenOwned) {
  for (bool owns : {false, true}) {
    const TMemoryHandle handle = EightBitBlock(0, 256);
    auto* header = static_cast<TBitmapInfoHeader*>(BlockLock(handle));
    header->biHeight = 1000;  // rows would reach past the block's end
    BlockUnlock(handle);
    TDIB image;
    image.OwnsHandle = owns;
    EXPECT_THROW(image.AssignHandle(handle), EError);
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(BlockIsValid(handle), !owns);
    if (!owns) {
      EXPECT_EQ(BlockLockCount(handle), 0);
      BlockFree(handle);
    }
  }
}
