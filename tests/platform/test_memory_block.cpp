// Relocatable memory blocks: zero-filled allocation, counted locks, resizing that keeps the
// content, address-to-handle lookup, and hand-over of a handle to another thread.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/errors.h"
#include "platform/memory_block.h"

TEST(MemoryBlock, AllocatesZeroFilledAndCountsLocks) {
  TBlockOwner block(BlockAlloc(64));
  auto* bytes = static_cast<unsigned char*>(BlockLock(block.Get()));
  EXPECT_EQ(BlockLock(block.Get()), bytes) << "a second lock pins the same address";
  EXPECT_EQ(BlockLockCount(block.Get()), 2);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(bytes[i], 0);
  EXPECT_EQ(BlockHandleOf(bytes), block.Get());
  BlockUnlock(block.Get());
  BlockUnlock(block.Get());
  EXPECT_EQ(BlockLockCount(block.Get()), 0);
  EXPECT_EQ(BlockHandleOf(bytes), 0u) << "an unlocked block has no address to look up";
}

TEST(MemoryBlock, ResizeKeepsContentAndZeroFillsGrowth) {
  TBlockOwner block(BlockAlloc(4));
  std::memcpy(BlockLock(block.Get()), "abcd", 4);
  EXPECT_THROW(BlockReAlloc(block.Get(), 8), EOSError) << "a locked block cannot move";
  BlockUnlock(block.Get());
  BlockReAlloc(block.Get(), 4096);
  auto* bytes = static_cast<unsigned char*>(BlockLock(block.Get()));
  EXPECT_EQ(std::memcmp(bytes, "abcd", 4), 0);
  for (int i = 4; i < 4096; ++i) ASSERT_EQ(bytes[i], 0) << "growth at " << i;
  BlockUnlock(block.Get());
  BlockReAlloc(block.Get(), 2);
  EXPECT_EQ(BlockSize(block.Get()), 2u);
}

TEST(MemoryBlock, DeadHandlesAreRefusedWithTheSystemText) {
  TMemoryHandle handle = BlockAlloc(1);
  BlockFree(handle);
  EXPECT_FALSE(BlockIsValid(handle));
  EXPECT_THROW(BlockLock(handle), EOSError);
  EXPECT_THROW(BlockSize(handle), EOSError);
}

TEST(MemoryBlock, HandleCrossesThreadsWithoutCopying) {
  TMemoryHandle handle = 0;
  std::thread producer([&handle] {
    handle = BlockAlloc(16);
    std::memcpy(BlockLock(handle), "from the loader", 16);
    BlockUnlock(handle);
  });
  producer.join();
  TBlockOwner owner(handle);
  EXPECT_STREQ(static_cast<const char*>(BlockLock(handle)), "from the loader");
  BlockUnlock(handle);
}
