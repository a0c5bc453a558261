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
// Speed: column and row starts are tables made once per run. A box's count is the difference
// of two running counts of ones taken at column starts, so each source row is counted once:
// its whole bytes by a table of bit counts per byte (a byte of 255 counts eight at once), the
// leading pixels of a start's own byte by a second table. The row shared by two boxes is
// counted once for both. Levels come from tables built once per box size.
#include <algorithm>
#include <functional>
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
  // The table of boxes of total pixels, or null when such boxes are computed directly.
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
  std::uint8_t Level(std::int64_t ones, std::int64_t total) const {
    return BoxLevel(ones, total, invert_);
  }

 private:
  static constexpr std::int64_t kLargestTabled = 1024;
  bool invert_;
  std::vector<std::vector<std::uint8_t>> tables_;
};

// Pixels of index 1 in a byte, and among its first k pixels.
struct TBitCounts {
  std::uint8_t all[256];
  std::uint8_t leading[256][8];
};
constexpr TBitCounts kBitCounts = [] {
  TBitCounts counts{};
  for (int value = 0; value < 256; ++value) {
    for (int k = 0; k < 8; ++k) {
      int ones = 0;
      for (int bit = 0; bit < k; ++bit) ones += (value >> (7 - bit)) & 1;
      counts.leading[value][k] = static_cast<std::uint8_t>(ones);
    }
    counts.all[value] = static_cast<std::uint8_t>(counts.leading[value][7] + (value & 1));
  }
  return counts;
}();

// The box counts of one output row at a time. For every source row the running count of
// ones at each column start is the count of the whole bytes before it (a running sum over
// the row, eight pixels per table look-up) plus the leading pixels of its own byte. A box's
// count is the difference of two running counts summed over its rows; the last row of a box
// is the first of the next, so its counts are kept. Count is 32 bits unless the source holds
// 2^32 pixels or more.
template <typename Count>
class TAntiAliasRun {
 public:
  TAntiAliasRun(const TDibGraphic& source, std::int32_t width, std::int32_t height, bool invert)
      : source_(source), rows_(BoxStarts(source.Height(), height)), levels_(invert) {
    const std::vector<std::int32_t> cols = BoxStarts(source.Width(), width);
    for (std::size_t i = 0; i < cols.size(); ++i) {
      startByte_.push_back(cols[i] / 8);
      startBit_.push_back(static_cast<std::uint8_t>(cols[i] % 8));
      if (i + 1 < cols.size()) colWidth_.push_back(cols[i + 1] - cols[i]);
    }
    maxColWidth_ = *std::max_element(colWidth_.begin(), colWidth_.end());
    bytePrefix_.resize(static_cast<std::size_t>(source.BytesPerRow()) + 1);
    band_.resize(cols.size());
    shared_.resize(cols.size());
  }

  void WriteRow(std::int32_t j, std::uint8_t* out) {
    const std::int32_t first = rows_[static_cast<std::size_t>(j)];
    const std::int32_t last = rows_[static_cast<std::size_t>(j) + 1];
    CountBand(first, last);
    const std::int64_t rowCount = last - first + 1;
    tableByWidth_.resize(static_cast<std::size_t>(maxColWidth_) + 1);
    bool tabled = true;
    for (std::int32_t w = 0; w <= maxColWidth_; ++w) {
      tableByWidth_[static_cast<std::size_t>(w)] = levels_.For(rowCount * w);
      tabled = tabled && tableByWidth_[static_cast<std::size_t>(w)] != nullptr;
    }
    if (tabled) {
      for (std::size_t i = 0; i < colWidth_.size(); ++i) {
        out[i] = tableByWidth_[static_cast<std::size_t>(colWidth_[i])][band_[i + 1] - band_[i]];
      }
    } else {
      for (std::size_t i = 0; i < colWidth_.size(); ++i) {
        out[i] = levels_.Level(band_[i + 1] - band_[i], rowCount * colWidth_[i]);
      }
    }
  }

 private:
  // band_ = the running counts summed over the source rows first .. last.
  void CountBand(std::int32_t first, std::int32_t last) {
    std::int32_t r = first;
    if (sharedRow_ == first) {
      band_ = shared_;
    } else {
      CountRow<false>(r, last == first);
    }
    for (++r; r <= last; ++r) CountRow<true>(r, r == last);
    sharedRow_ = last;
  }

  // Running counts of source row r at every column start (the pixels of index 1 before
  // it), added to band_ (or stored, for the band's first row) and kept in shared_ when the
  // next band starts with this row.
  template <bool kAdd>
  void CountRow(std::int32_t r, bool keep) {
    const std::uint8_t* row = source_.ScanLine(r);
    std::uint32_t ones = 0;
    for (std::size_t k = 0; k + 1 < bytePrefix_.size(); ++k) {
      bytePrefix_[k] = ones;
      ones += kBitCounts.all[row[k]];
    }
    for (std::size_t i = 0; i < startByte_.size(); ++i) {
      const std::int32_t byte = startByte_[i];
      const Count count =
          bytePrefix_[static_cast<std::size_t>(byte)] + kBitCounts.leading[row[byte]][startBit_[i]];
      if constexpr (kAdd) {
        band_[i] += count;
      } else {
        band_[i] = count;
      }
      if (keep) shared_[i] = count;
    }
  }

  const TDibGraphic& source_;
  std::vector<std::int32_t> rows_;
  std::vector<std::int32_t> startByte_, colWidth_;
  std::vector<std::uint8_t> startBit_;
  std::int32_t maxColWidth_ = 0;
  std::vector<std::uint32_t> bytePrefix_;
  std::vector<Count> band_, shared_;
  std::int32_t sharedRow_ = -1;
  std::vector<const std::uint8_t*> tableByWidth_;
  TLevelTables levels_;
};

template <typename Count>
void ScaleToGray(const TDibGraphic& source, TDibGraphic& dest, bool invert,
                 const std::function<void(std::int32_t)>& rowDone) {
  TAntiAliasRun<Count> run(source, dest.Width(), dest.Height(), invert);
  for (std::int32_t j = 0; j < dest.Height(); ++j) {
    run.WriteRow(j, dest.ScanLine(j));
    rowDone(j);
  }
}

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
  const auto rowDone = [this, height](std::int32_t j) { Report(j, 0, height - 1); };
  if (std::int64_t{source.Width()} * source.Height() < (std::int64_t{1} << 32)) {
    ScaleToGray<std::uint32_t>(source, dest, invert, rowDone);
  } else {
    ScaleToGray<std::uint64_t>(source, dest, invert, rowDone);
  }
  Report(100, 0, 100);
}
