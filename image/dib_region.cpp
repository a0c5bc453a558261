// Region operations on a TDIB in place: shifting rows and columns, resizing the canvas,
// cutting out a rectangle and pasting another image in.
//
// Vacated pixels of a shift take the image's white, so a cut zone never gains black edges.
// Every operation clips to the image: nothing outside a row or the pixel area is touched.
#include <algorithm>
#include <cstring>
#include <vector>

#include "image/dibunit.h"
#include "platform/errors.h"

namespace {

constexpr const char* kShiftLineDepth = "Bit depht not supported for ShiftLine !";

// Rows of 15-bit pixels hold 16-bit words.
std::int32_t PixelBits(const TDIB& image) {
  return image.BitCount() == 15 ? 16 : image.BitCount();
}

// The white value repeated across a byte. 15- and 16-bit pixels have no white index; all
// bits set is white there.
std::uint8_t ShiftFill(const TDIB& image) {
  const std::int32_t white = image.WhiteIndex();
  switch (image.BitCount()) {
    case 1:
      return (white & 1) != 0 ? 0xFF : 0x00;
    case 4:
      return static_cast<std::uint8_t>((white & 15) * 0x11);
    case 8:
    case 24:
      return static_cast<std::uint8_t>(white & 0xFF);
    default:
      return 0xFF;
  }
}

// A horizontal shift split into whole bytes and remaining bits.
struct TRowShift {
  std::int64_t bytes;
  std::int32_t bits;
  bool right;
  std::uint8_t fill;
};

TRowShift RowShiftOf(const TDIB& image, std::int32_t count) {
  const std::int64_t n = count < 0 ? -std::int64_t{count} : count;
  TRowShift shift{0, 0, count > 0, ShiftFill(image)};
  switch (image.BitCount()) {
    case 1:
      shift.bytes = n / 8;
      shift.bits = static_cast<std::int32_t>(n % 8);
      break;
    case 4:
      shift.bytes = n / 2;
      shift.bits = static_cast<std::int32_t>(4 * (n % 2));
      break;
    case 8:
      shift.bytes = n;
      break;
    case 24:
      shift.bytes = 3 * n;
      break;
    default:
      throw EError(kShiftLineDepth);
  }
  // A shift by the whole row or more leaves nothing of it: every byte takes the fill.
  if (shift.bytes >= image.Stride()) shift = {image.Stride(), 0, shift.right, shift.fill};
  return shift;
}

// Shifts all stride bytes of one stored row, padding included.
void ShiftRow(std::uint8_t* row, std::int64_t stride, const TRowShift& shift) {
  const auto kept = static_cast<std::size_t>(stride - shift.bytes);
  const auto vacated = static_cast<std::size_t>(shift.bytes);
  const std::int32_t f = shift.bits;
  if (shift.right) {
    std::memmove(row + vacated, row, kept);
    std::memset(row, shift.fill, vacated);
    if (f == 0) return;
    for (std::int64_t i = stride - 1; i >= 0; --i) {
      const std::uint8_t before = i > 0 ? row[i - 1] : shift.fill;
      row[i] = static_cast<std::uint8_t>(row[i] >> f | before << (8 - f));
    }
  } else {
    std::memmove(row, row + vacated, kept);
    std::memset(row + kept, shift.fill, vacated);
    if (f == 0) return;
    for (std::int64_t i = 0; i < stride; ++i) {
      const std::uint8_t after = i + 1 < stride ? row[i + 1] : shift.fill;
      row[i] = static_cast<std::uint8_t>(row[i] << f | after >> (8 - f));
    }
  }
}

// Sets every bit of a row from bit first up to byte end to the bits of fill.
void FillFromBit(std::uint8_t* row, std::int64_t first, std::int64_t end, std::uint8_t fill) {
  std::int64_t byte = first / 8;
  if (const std::int64_t offset = first % 8; offset != 0) {
    const auto mask = static_cast<std::uint8_t>(0xFF >> offset);
    row[byte] = static_cast<std::uint8_t>((row[byte] & ~mask) | (fill & mask));
    ++byte;
  }
  if (byte < end) std::memset(row + byte, fill, static_cast<std::size_t>(end - byte));
}

// Eight bits of a source row starting at bit position, with only the bits inside
// [first, end) read; the others come out as 0.
std::uint8_t SourceBits(const std::uint8_t* row, std::int64_t position, std::int64_t first,
                        std::int64_t end) {
  const std::int64_t byte = position >> 3;
  const auto offset = static_cast<std::int32_t>(position & 7);
  const std::int64_t firstByte = first >> 3, lastByte = (end - 1) >> 3;
  std::uint32_t value = 0;
  if (byte >= firstByte && byte <= lastByte) value = std::uint32_t{row[byte]} << offset;
  if (offset != 0 && byte + 1 >= firstByte && byte + 1 <= lastByte) {
    value |= std::uint32_t{row[byte + 1]} >> (8 - offset);
  }
  return static_cast<std::uint8_t>(value);
}

// Copies count bits (leftmost pixel in the most significant bit) from source bit from to
// destination bit to; bits of the destination outside the range keep their values.
void CopyBits(const std::uint8_t* source, std::int64_t from, std::uint8_t* destination,
              std::int64_t to, std::int64_t count) {
  if (from % 8 == 0 && to % 8 == 0) {
    const std::int64_t whole = count / 8;
    std::memcpy(destination + to / 8, source + from / 8, static_cast<std::size_t>(whole));
    if (count % 8 == 0) return;
    const auto mask = static_cast<std::uint8_t>(0xFF << (8 - count % 8));
    std::uint8_t& last = destination[to / 8 + whole];
    last = static_cast<std::uint8_t>((last & ~mask) | (source[from / 8 + whole] & mask));
    return;
  }
  const std::int64_t end = to + count;
  for (std::int64_t byte = to / 8; byte * 8 < end; ++byte) {
    const std::int64_t low = std::max(to, byte * 8) - byte * 8;
    const std::int64_t high = std::min(end, byte * 8 + 8) - byte * 8;
    const auto mask = static_cast<std::uint8_t>((0xFF >> low) & (0xFF << (8 - high)));
    const std::uint8_t bits = SourceBits(source, from + byte * 8 - to, from, from + count);
    destination[byte] = static_cast<std::uint8_t>((destination[byte] & ~mask) | (bits & mask));
  }
}

// memmove that skips a row already in place, which a canvas growing in width alone has.
void MoveBytes(std::uint8_t* destination, const std::uint8_t* source, std::int64_t count) {
  if (destination != source) std::memmove(destination, source, static_cast<std::size_t>(count));
}

// Image rows of a pixel area stored bottom-up.
struct TRowSource {
  const std::uint8_t* bits;
  std::int64_t stride;
  std::int32_t height;
  const std::uint8_t* Row(std::int32_t y) const { return bits + (height - 1 - y) * stride; }
};

}  // namespace

void TDIB::ShiftLine(std::int32_t row, std::int32_t count) {
  const TRowShift shift = RowShiftOf(*this, count);
  if (row < 0 || row >= Height()) return;
  ShiftRow(Row(row), stride_, shift);
}

void TDIB::ShiftHorizontal(std::int32_t count) {
  const TRowShift shift = RowShiftOf(*this, count);
  if (count == 0) return;
  for (std::int32_t y = 0; y < Height(); ++y) ShiftRow(Row(y), stride_, shift);
}

void TDIB::ShiftVertical(std::int32_t count) {
  const std::int64_t height = Height();
  if (count == 0 || height == 0) return;
  const std::int64_t n = std::min<std::int64_t>(count < 0 ? -std::int64_t{count} : count, height);
  const auto moved = static_cast<std::size_t>((height - n) * stride_);
  const auto vacated = static_cast<std::size_t>(n * stride_);
  // Rows are stored bottom-up: moving the image down moves the bytes toward the start.
  if (count > 0) {
    std::memmove(bits_, bits_ + vacated, moved);
    std::memset(bits_ + moved, ShiftFill(*this), vacated);
  } else {
    std::memmove(bits_ + vacated, bits_, moved);
    std::memset(bits_, ShiftFill(*this), vacated);
  }
}

// The top rows are kept (as many as fit) with their first bytes (as many as fit); new columns
// and new bottom rows take fill. Rows are first packed toward the start of the pixel area,
// which never moves a row onto one not yet read, then the block is resized, then rows are
// spread to their new places from the last one back.
void TDIB::ResizeCanvas(std::int32_t newWidth, std::int32_t newHeight, std::uint8_t fill) {
  const std::int32_t width = Width(), height = Height();
  if (infoHeader_ == nullptr || (newWidth == width && newHeight == height)) return;
  if (newWidth < 0 || newHeight < 0) throw EError("Invalid image dimensions");
  const std::int64_t bits = PixelBits(*this);
  const std::int64_t newStride = (std::int64_t{newWidth} * bits + 31) / 32 * 4;
  if (newStride > kMaxPixelBytes || newStride * newHeight > kMaxPixelBytes) {
    throw EError(kImageTooLarge);
  }

  const std::int64_t oldStride = stride_, kept = std::min(height, newHeight);
  const std::int64_t rowBytes = std::min(oldStride, newStride);
  const std::int64_t oldOffset = bits_ - static_cast<std::uint8_t*>(block_);
  const std::int64_t newOffset =
      palette_ + 4 * std::int64_t{paletteCount_} - static_cast<std::uint8_t*>(block_);
  // Stored row i of the kept rows is old stored row height - kept + i.
  auto* base = static_cast<std::uint8_t*>(block_);
  for (std::int64_t i = 0; i < kept; ++i) {
    MoveBytes(base + newOffset + i * rowBytes, base + oldOffset + (height - kept + i) * oldStride,
              rowBytes);
  }
  ResizeBlock(newWidth, newHeight, BitCount(), paletteCount_);

  const std::int64_t added = newHeight - kept;
  for (std::int64_t i = kept - 1; i >= 0; --i) {
    std::uint8_t* row = bits_ + (added + i) * newStride;
    MoveBytes(row, bits_ + i * rowBytes, rowBytes);
    if (newWidth > width) FillFromBit(row, width * bits, newStride, fill);
  }
  std::memset(bits_, fill, static_cast<std::size_t>(added * newStride));
}

// The result is the part of the rectangle inside the image; a rectangle that misses the
// image entirely leaves a 0 x 0 image of the same format.
void TDIB::Crop(const TRect& rect) {
  const std::int64_t left = std::max(rect.Left, 0), top = std::max(rect.Top, 0);
  const std::int64_t right = std::min(rect.Right, Width() - 1);
  const std::int64_t bottom = std::min(rect.Bottom, Height() - 1);
  if (left > right || top > bottom) {
    ResizeCanvas(0, 0, 0);
    return;
  }
  const auto width = static_cast<std::int32_t>(right - left + 1);
  const auto height = static_cast<std::int32_t>(bottom - top + 1);
  // Checked before anything moves, so that a refused crop leaves the image whole.
  TRowShift shift{};
  if (left > 0) shift = RowShiftOf(*this, static_cast<std::int32_t>(-left));
  // Only the kept rows are moved up and shifted left; the rest is cut off below.
  if (top > 0) {
    const std::int64_t keptFrom = Height() - 1 - bottom;
    std::memmove(bits_ + (Height() - height) * std::int64_t{stride_}, bits_ + keptFrom * stride_,
                 static_cast<std::size_t>(height) * stride_);
  }
  if (left > 0) {
    for (std::int32_t y = 0; y < height; ++y) ShiftRow(Row(y), stride_, shift);
  }
  ResizeCanvas(width, height, 0);
}

// Pixels that would land outside this image are left out. Images with pixels of the same
// size are copied bit for bit, others pixel by pixel with the value as it is.
void TDIB::Paste(const TDIB& source, std::int32_t x, std::int32_t y) {
  const std::int64_t firstColumn = std::max<std::int64_t>(0, -std::int64_t{x});
  const std::int64_t firstRow = std::max<std::int64_t>(0, -std::int64_t{y});
  const std::int64_t endColumn = std::min<std::int64_t>(source.Width(), std::int64_t{Width()} - x);
  const std::int64_t endRow = std::min<std::int64_t>(source.Height(), std::int64_t{Height()} - y);
  if (firstColumn >= endColumn || firstRow >= endRow) return;

  const std::int64_t bits = PixelBits(*this);
  if (PixelBits(source) != bits) {
    for (auto i = static_cast<std::int32_t>(firstRow); i < endRow; ++i) {
      for (auto j = static_cast<std::int32_t>(firstColumn); j < endColumn; ++j) {
        SetPixel(x + j, y + i, source.GetPixel(j, i));
      }
    }
    return;
  }
  // Pasting an image into itself reads the image as it was before the paste.
  std::vector<std::uint8_t> snapshot;
  TRowSource rows{source.Bits(), source.Stride(), source.Height()};
  if (&source == this) {
    snapshot.assign(bits_, bits_ + std::int64_t{Height()} * stride_);
    rows.bits = snapshot.data();
  }
  for (auto i = static_cast<std::int32_t>(firstRow); i < endRow; ++i) {
    CopyBits(rows.Row(i), firstColumn * bits, Row(y + i), (x + firstColumn) * bits,
             (endColumn - firstColumn) * bits);
  }
}
