// Niblack's one-pass route; see niblack_rows.h and the row kernels' body.
#include "binarize/simd/niblack_rows.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "binarize/niblack_threshold.h"
#include "binarize/simd/band_columns.h"

namespace {

constexpr std::int64_t kLargestWindow = (1 << 15) - 1;
constexpr double kLargestFactor = (1 << 15) - 1;

// The sums of a run of columns and of their squares, moved right as the run moves: each
// column added and taken away once.
class TRunSums {
 public:
  TRunSums(TSpan run, std::uint32_t sum, std::uint32_t square)
      : run_(run), sum_(sum), square_(square) {}
  void MoveTo(const std::uint32_t* sums, const std::uint32_t* squares, TSpan run) {
    for (; run_.last < run.last; ++run_.last) {
      sum_ += sums[run_.last + 1];
      square_ += squares[run_.last + 1];
    }
    for (; run_.first < run.first; ++run_.first) {
      sum_ -= sums[run_.first];
      square_ -= squares[run_.first];
    }
  }
  std::uint32_t Sum() const { return sum_; }
  std::uint32_t Square() const { return square_; }

 private:
  TSpan run_;
  std::uint32_t sum_, square_;
};

// The sums of the plane's columns and of their squares, and the window sums of one row.
class TNiblackSums {
 public:
  TNiblackSums(const TKeptRows& rows, std::int32_t width, TNiblackWindow window)
      : width_(width),
        columns_(window.columns),
        reach_(window.columns / 2),
        padded_(Padded(width)),
        band_(rows, width, reach_, padded_, true),
        kernels_(RowKernels()),
        sums_(static_cast<std::size_t>(padded_)),
        squares_(sums_.size()) {}

  TColumnBand& Band() { return band_; }
  const std::uint32_t* Sums() const { return sums_.data(); }
  const std::uint32_t* Squares() const { return squares_.data(); }

  // Window sums of every column: full runs by the kernels, then the centred shorter runs at
  // the row's ends.
  void Update() {
    kernels_.windowSums(band_.Sums(), reach_, sums_.data(), padded_);
    kernels_.windowSums(band_.Squares(), reach_, squares_.data(), padded_);
    ShortRuns();
  }

 private:
  // The left end's runs grow from one column; the right end's shrink from the last full run,
  // or go on from the left end's when no run between is full.
  void ShortRuns() {
    const std::uint32_t* columnSums = band_.Sums();
    const std::uint32_t* columnSquares = band_.Squares();
    TRunSums run(TSpan{0, -1}, 0, 0);
    const auto at = [&](std::int32_t x) {
      run.MoveTo(columnSums, columnSquares, NiblackRun(x, columns_, width_));
      sums_[x] = run.Sum();
      squares_[x] = run.Square();
    };
    const std::int32_t leftEnd = std::min(reach_, width_);
    for (std::int32_t x = 0; x < leftEnd; ++x) at(x);
    const std::int32_t rightStart = std::max(reach_, width_ - reach_);
    if (rightStart > leftEnd) {
      const std::int32_t full = rightStart - 1;
      run = TRunSums(NiblackRun(full, columns_, width_), sums_[full], squares_[full]);
    }
    for (std::int32_t x = rightStart; x < width_; ++x) at(x);
  }

  std::int32_t width_, columns_, reach_, padded_;
  TColumnBand band_;
  const TRowKernels& kernels_;
  std::vector<std::uint32_t> sums_, squares_;
};

// Pixels in each column's window for a band of `rows` rows, and their reciprocals; columns
// past the width get windows of one pixel.
void CountWindows(std::int32_t rows, std::int32_t columns, std::int32_t width,
                  std::vector<std::int32_t>& counts, std::vector<float>& reciprocals) {
  // Neighbouring columns mostly share their count: the reciprocal is taken once per run.
  std::int32_t count = 0;
  float reciprocal = 0;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    const auto x = static_cast<std::int32_t>(i);
    const TSpan run = x < width ? NiblackRun(x, columns, width) : TSpan{0, 0};
    counts[i] = rows * (run.last - run.first + 1);
    if (counts[i] != count) {
      count = counts[i];
      reciprocal = WindowReciprocal(count);
    }
    reciprocals[i] = reciprocal;
  }
}

TNiblackDivision DivisionFor(std::int64_t largestWindow) {
  if (largestWindow < kExactRootWindow) return TNiblackDivision::kExactRoot;
  if (largestWindow < kExactMeanWindow) return TNiblackDivision::kExactMean;
  return TNiblackDivision::kCorrected;
}

}  // namespace

bool NiblackRowsByBand(const TPlane& in, const TPlane& out, TNiblackWindow window, double k,
                       std::uint8_t white, std::uint8_t black) {
  const double k256 = std::trunc(k * 256);
  if (!(std::abs(k256) <= kLargestFactor)) return false;
  if (std::int64_t{window.rows} * window.columns > kLargestWindow) return false;

  const std::int32_t width = in.width;
  const auto padded = static_cast<std::size_t>(Padded(width));
  TKeptRows rows(in, window.rows + 1);
  TNiblackSums sums(rows, width, window);
  std::vector<std::int32_t> counts(padded);
  std::vector<float> reciprocals(padded);
  std::vector<std::uint8_t> decided(padded);
  TNiblackRow row{sums.Sums(),
                  sums.Squares(),
                  counts.data(),
                  reciprocals.data(),
                  nullptr,
                  decided.data(),
                  0,
                  static_cast<std::int32_t>(padded),
                  static_cast<std::int32_t>(k256),
                  white,
                  black,
                  DivisionFor(std::int64_t{window.rows} * window.columns)};
  const TRowKernels& kernels = RowKernels();
  std::int32_t countedRows = 0;
  for (std::int32_t y = 0; y < in.height; ++y) {
    sums.Band().MoveTo(NiblackBand(y, window.rows, in.height));
    sums.Update();
    if (sums.Band().Rows() != countedRows) {
      countedRows = sums.Band().Rows();
      CountWindows(countedRows, window.columns, width, counts, reciprocals);
    }
    row.values = rows.Keep(y);
    DecideRow(kernels.niblackRow, row, out.Row(y), width);
  }
  return true;
}
