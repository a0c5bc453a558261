// Run-length decoding of bitmap pixels. The data is a list of two-byte codes, bottom row
// first: a count n > 0 and a value give n pixels (RLE4 alternates the value's two nibbles);
// a 0 and then 0 ends the row, 1 ends the bitmap, 2 moves right and up by the next two
// bytes, and n >= 3 is followed by n literal pixels padded to an even number of bytes.
// Some writers code whole stored rows, padding included: pixels that fall into a row's
// padding are dropped; only runs beyond the stored row are refused.
// The data is read through a small buffer, so a large file never takes large memory.
#include "image/bmp_rle.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::size_t kBufferSize = 4096;

// The bytes from one offset of the stream to another, one at a time.
class TRunSource {
 public:
  TRunSource(TStream& stream, std::int64_t from, std::int64_t to)
      : stream_(stream), next_(from), end_(to) {}

  // False at the end of the data.
  bool Next(std::uint8_t& byte) {
    if (at_ == filled_ && !Refill()) return false;
    byte = buffer_[at_++];
    return true;
  }

  // The next byte of a code that has begun: the data may not end here.
  std::uint8_t Need() {
    std::uint8_t byte = 0;
    if (!Next(byte)) InvalidBitmap("truncated rows: the run-length data ends inside a code");
    return byte;
  }

 private:
  bool Refill() {
    if (next_ >= end_) return false;
    const auto count = static_cast<std::size_t>(
        std::min<std::int64_t>(end_ - next_, static_cast<std::int64_t>(kBufferSize)));
    stream_.Seek(next_, soBeginning);
    filled_ = stream_.Read(buffer_, count);
    at_ = 0;
    next_ += static_cast<std::int64_t>(filled_);
    return filled_ > 0;
  }

  TStream& stream_;
  std::int64_t next_;
  std::int64_t end_;
  std::uint8_t buffer_[kBufferSize];
  std::size_t at_ = 0;
  std::size_t filled_ = 0;
};

class TRunWriter {
 public:
  TRunWriter(const TBitmapLayout& layout, std::uint8_t* rows, std::int64_t stride)
      : width_(layout.width),
        height_(layout.height),
        four_(layout.pixels == TBitmapPixels::bpRunsOf4),
        capacity_(stride * (four_ ? 2 : 1)),
        rows_(rows),
        stride_(stride) {}

  // Checks that count pixels fit the current row before any is written.
  void Reserve(std::int64_t count) const {
    if (y_ >= height_) {
      InvalidBitmap("run past the last row: pixels after row " + std::to_string(height_));
    }
    if (x_ + count > capacity_) {
      InvalidBitmap("run past the end of row " + std::to_string(y_) + ": " +
                    std::to_string(x_ + count) + " pixels in a row that stores " +
                    std::to_string(capacity_));
    }
  }

  void Put(std::uint8_t index) {
    std::uint8_t* row = rows_ + y_ * stride_;
    if (x_ >= width_) {
      ++x_;  // padding
      return;
    }
    if (four_) {
      row[x_ / 2] |= static_cast<std::uint8_t>(x_ % 2 == 0 ? index << 4 : index & 0x0F);
    } else {
      row[x_] = index;
    }
    ++x_;
  }

  // Rows past the last stay countable without growing: only pixels written there are wrong.
  void EndLine() {
    x_ = 0;
    y_ = std::min(y_ + 1, height_);
  }

  void Move(std::int64_t right, std::int64_t up) {
    if (x_ + right > capacity_) {
      InvalidBitmap("delta past the end of row " + std::to_string(y_) + ": to pixel " +
                    std::to_string(x_ + right) + " in a row that stores " +
                    std::to_string(capacity_));
    }
    x_ += right;
    y_ = std::min(y_ + up, height_);
  }

  bool Complete() const { return y_ >= height_; }
  bool FourBits() const { return four_; }

 private:
  std::int64_t width_;
  std::int64_t height_;
  bool four_;
  std::int64_t capacity_;  // pixels a stored row holds, padding included
  std::uint8_t* rows_;
  std::int64_t stride_;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
};

void EncodedRun(TRunWriter& writer, std::uint8_t count, std::uint8_t value) {
  writer.Reserve(count);
  for (std::uint8_t i = 0; i < count; ++i) {
    const bool high = i % 2 == 0;
    writer.Put(writer.FourBits() ? (high ? value >> 4 : value & 0x0F) : value);
  }
}

// n literal pixels, stored in whole bytes and padded to an even number of bytes.
void LiteralRun(TRunSource& source, TRunWriter& writer, std::uint8_t count) {
  writer.Reserve(count);
  const int bytes = writer.FourBits() ? (count + 1) / 2 : count;
  std::uint8_t byte = 0;
  for (std::uint8_t i = 0; i < count; ++i) {
    if (!writer.FourBits()) {
      writer.Put(source.Need());
      continue;
    }
    if (i % 2 == 0) byte = source.Need();
    writer.Put(i % 2 == 0 ? byte >> 4 : byte & 0x0F);
  }
  if (bytes % 2 != 0) source.Need();
}

}  // namespace

void DecodeBitmapRuns(TStream& stream, std::int64_t start, std::int64_t available,
                      const TBitmapLayout& layout, std::uint8_t* rows, std::int64_t stride) {
  TRunSource source(stream, start + layout.pixelOffset, start + available);
  TRunWriter writer(layout, rows, stride);
  std::uint8_t count = 0;
  while (source.Next(count)) {
    const std::uint8_t value = source.Need();
    if (count > 0) {
      EncodedRun(writer, count, value);
    } else if (value == 0) {
      writer.EndLine();
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      const std::uint8_t right = source.Need();
      writer.Move(right, source.Need());
    } else {
      LiteralRun(source, writer, value);
    }
  }
  // Writers that end the last row and stop there leave out the end-of-bitmap code.
  if (!writer.Complete()) {
    InvalidBitmap("truncated rows: the run-length data ends before the end-of-bitmap code");
  }
}
