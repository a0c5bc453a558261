// Packed DIB blocks built by hand for the display graphic's tests: a header, a colour table
// and rows exactly as the bytes say, so that lying and short blocks can be made too.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "image/dibunit.h"
#include "platform/memory_block.h"

struct TTestBlock {
  TBitmapInfoHeader header{40, 1, 1, 1, 8, 0, 0, 0, 0, 0, 0};
  std::vector<std::uint8_t> table;  // colour table bytes (blue, green, red, 0 per entry)
  std::vector<std::uint8_t> data;   // rows (or compressed data), bottom row first

  // Sets the colour table from 0xRRGGBB colours.
  void SetColors(const std::vector<std::uint32_t>& colors) {
    table.clear();
    for (std::uint32_t c : colors) {
      table.insert(table.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                                 static_cast<std::uint8_t>(c >> 16), 0});
    }
  }
};

// The block's bytes in a fresh memory block of exactly their size (plus extra bytes).
inline TMemoryHandle MakeBlock(const TTestBlock& layout, std::size_t extra = 0) {
  const std::size_t size = sizeof layout.header + layout.table.size() + layout.data.size() + extra;
  TMemoryHandle handle = BlockAlloc(size);
  TBlockLock lock(handle);
  std::uint8_t* out = lock.Address();
  std::memcpy(out, &layout.header, sizeof layout.header);
  if (!layout.table.empty()) std::memcpy(out + 40, layout.table.data(), layout.table.size());
  if (!layout.data.empty()) {
    std::memcpy(out + 40 + layout.table.size(), layout.data.data(), layout.data.size());
  }
  return handle;
}

// Owns a test block for the length of a test.
struct TOwnedBlock {
  explicit TOwnedBlock(TMemoryHandle h) : owner(h) {}
  TBlockOwner owner;
  TMemoryHandle Get() const { return owner.Get(); }
};
