// Scale to gray: a bi-level image shrunk to 256 grays by counting, for every output pixel,
// the pixels of index 1 in its box of the source.
//
// Output column i covers source columns col[i] to col[i + 1] - 1, output row j source rows
// row[j] to row[j + 1] inclusive (neighbouring boxes share a row), with col[i] = Trunc(i x rx),
// row[j] = Trunc(j x ry) for rx = width / W, ry = height / H in double, and col[W] = width - 1,
// row[H] = height - 1. The level is ones x 255 div total, snapped to black or white when one
// colour fills less than an eighth of the box; an empty box is white. A palette whose entry 0
// is white is counted on the complementary bits and inverted, so 255 is white either way.
//
// Speed: the box counts are differences of running counts of ones taken at the column starts,
// so each source row is counted once, byte run by byte run (eight bytes at a time with the
// processor's bit count), and the row shared by two boxes is reused. Levels come from tables
// built once per box size.
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "viewer/image_transforms.h"

namespace {

// The level rule for a box of total pixels of which ones have index 1, inverted on request.
std::uint8_t BoxLevel(std::int64_t ones, std::int64_t total, bool invert) {
  const std::int64_t zeros = total - ones;
  std::int64_t level;
  if (zeros == 0) {
    level = 255;
  } else if (zeros == total) {
    level = 0;
  } else if (total / 8 > ones) {
    level = 0;
  } else if (total / 8 > zeros) {
    level = 255;
  } else {
    level = ones * 255 / total;
  }
  return static_cast<std::uint8_t>(invert ? 255 - level : level);
}

// Starts of the boxes along one axis: Trunc(k x (extent / count)) for k < count, then the
// last pixel. Kept within the source whatever the rounding.
std::vector<std::int32_t> BoxStarts(std::int32_t extent, std::int32_t count) {
  std::vector<std::int32_t> starts(static_cast<std::size_t>(count) + 1);
  const double ratio = static_cast<double>(extent) / count;
  for (std::int32_t k = 0; k < count; ++k) {
    const double start = static_cast<double>(k) * ratio;
    starts[static_cast<std::size_t>(k)] =
        static_cast<std::int32_t>(std::clamp(start, 0.0, static_cast<double>(extent - 1)));
  }
  starts[static_cast<std::size_t>(count)] = extent - 1;
  return starts;
}

// Levels of every ones count for boxes of one size, built on first use; large boxes (far
// reductions, few output pixels) are computed directly.
class TLevelTables {
 public:
  explicit TLevelTables(bool invert) : invert_(invert), tables_(kLargestTabled + 1) {}
  const std::uint8_t* For(std::int64_t total) {
    if (total > kLargestTabled) return nullptr;
    std::vector<std::uint8_t>& table = tables_[static_cast<std::size_t>(total)];
    if (table.empty()) {
      table.resize(static_cast<std::size_t>(total) + 1);
      for (std::int64_t ones = 0; ones <= total; ++ones) {
        table[static_cast<std::size_t>(ones)] = BoxLevel(ones, total, invert_);
      }
    }
    return table.data();
  }
  std::uint8_t Level(std::int64_t ones, std::int64_t total) {
    const std::uint8_t* table = For(total);
    return table != nullptr ? table[ones] : BoxLevel(ones, total, invert_);
  }

 private:
  static constexpr std::int64_t kLargestTabled = 1024;
  bool invert_;
  std::vector<std::vector<std::uint8_t>> tables_;
};

std::uint64_t LoadWord64(const std::uint8_t* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, 8);
  return word;  // only counted, so the byte order does not matter
}

// Running counts of ones of one bi-level row at every column start: counts[i] = ones among
// pixels 0 .. starts[i] - 1. The starts ascend and lie within the row.
void CountAtStarts(const std::uint8_t* row, const std::vector<std::int32_t>& starts,
                   std::int64_t* counts) {
  std::int64_t ones = 0;
  std::size_t byte = 0;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const auto start = static_cast<std::size_t>(starts[i]);
    const std::size_t wholeBytes = start / 8;
    for (; byte + 8 <= wholeBytes; byte += 8) ones += std::popcount(LoadWord64(row + byte));
    for (; byte < wholeBytes; ++byte) {
      ones += row[byte] == 0xFF ? 8 : std::popcount(static_cast<unsigned>(row[byte]));
    }
    const std::size_t bits = start % 8;
    const auto leading = bits == 0 ? 0u : static_cast<unsigned>(row[byte] >> (8 - bits));
    counts[i] = ones + std::popcount(leading);
  }
}

// One output row: the running counts of a band of source rows and the box levels.
class TAntiAliasRun {
 public:
  TAntiAliasRun(const TDibGraphic& source, std::int32_t width, std::int32_t height, bool invert)
      : source_(source),
        cols_(BoxStarts(source.Width(), width)),
        rows_(BoxStarts(source.Height(), height)),
        band_(cols_.size()),
        shared_(cols_.size()),
        scratch_(cols_.size()),
        levels_(invert) {}

  void WriteRow(std::int32_t j, std::uint8_t* out) {
    const std::int32_t first = rows_[static_cast<std::size_t>(j)];
    const std::int32_t last = rows_[static_cast<std::size_t>(j) + 1];
    CountBand(first, last);
    const std::int64_t rowCount = last - first + 1;
    for (std::size_t i = 0; i + 1 < cols_.size(); ++i) {
      const std::int64_t total = rowCount * (cols_[i + 1] - cols_[i]);
      out[i] = levels_.Level(band_[i + 1] - band_[i], total);
    }
  }

 private:
  // band_ = the running counts summed over rows first .. last; the counts of row last are
  // kept, since the next band starts with it.
  void CountBand(std::int32_t first, std::int32_t last) {
    std::vector<std::int64_t>& row = scratch_;
    std::fill(band_.begin(), band_.end(), 0);
    for (std::int32_t r = first; r <= last; ++r) {
      const bool reuse = r == sharedRow_;
      if (!reuse) CountAtStarts(source_.ScanLine(r), cols_, row.data());
      const std::vector<std::int64_t>& counts = reuse ? shared_ : row;
      for (std::size_t i = 0; i < band_.size(); ++i) band_[i] += counts[i];
      if (r == last && !reuse) {
        shared_.swap(row);
        sharedRow_ = r;
      }
    }
  }

  const TDibGraphic& source_;
  std::vector<std::int32_t> cols_, rows_;
  std::vector<std::int64_t> band_, shared_, scratch_;
  std::int32_t sharedRow_ = -1;
  TLevelTables levels_;
};

}  // namespace

void TAntiAliasTransform::Apply(TDibGraphic& graphic) {
  if (graphic.Empty() || graphic.ImageFormat() != gfBilevel) return;
  TImageTransform::Apply(graphic);
}

void TAntiAliasTransform::ApplyOnDest(const TDibGraphic& source, TDibGraphic& dest) {
  if (&source == &dest) {
    Apply(dest);
    return;
  }
  if (source.Empty() || source.ImageFormat() != gfBilevel) {
    dest.Assign(&source);
    return;
  }
  const bool invert = source.Palette().palPalEntry[0].red == 255;
  BeginReports();
  Report(0, 0, 100);
  const std::int32_t width = TargetWidth != 0 ? TargetWidth : source.Width();
  const std::int32_t height = TargetHeight != 0 ? TargetHeight : source.Height();
  dest.NewImage(width, height, gfGray256, nullptr, source.XResolution(), source.YResolution());
  TAntiAliasRun run(source, width, height, invert);
  for (std::int32_t j = 0; j < height; ++j) {
    run.WriteRow(j, dest.ScanLine(j));
    Report(j, 0, height - 1);
  }
  Report(100, 0, 100);
}
