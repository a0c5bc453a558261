// Niblack's one-pass route; see niblack_rows.h and the row kernels' body.
#include "binarize/simd/niblack_rows.h"

#include <cmath>
#include <vector>

#include "binarize/niblack_threshold.h"
#include "binarize/simd/band_columns.h"

namespace {

constexpr std::int64_t kLargestWindow = (1 << 15) - 1;
constexpr double kLargestFactor = (1 << 15) - 1;

// The sums of the plane's columns and of their squares, and the window sums of one row.
class TNiblackSums {
 public:
  TNiblackSums(const TKeptRows& rows, std::int32_t width, TNiblackWindow window)
      : width_(width),
        columns_(window.columns),
        padded_(Padded(width)),
        prefixLength_(Padded(padded_ + columns_)),
        band_(rows, width, prefixLength_, true),
        kernels_(RowKernels()),
        prefix_(static_cast<std::size_t>(prefixLength_ + 1)),
        squarePrefix_(prefix_.size()),
        sums_(static_cast<std::size_t>(padded_ + columns_)),
        squares_(sums_.size()) {}

  TColumnBand& Band() { return band_; }
  const std::uint32_t* Sums() const { return sums_.data(); }
  const std::uint32_t* Squares() const { return squares_.data(); }

  // Window sums of every column: full runs by the kernels, the centred shorter runs at the
  // row's ends one by one.
  void Update() {
    kernels_.prefixSums(band_.Sums(), prefix_.data() + 1, prefixLength_);
    kernels_.prefixSums(band_.Squares(), squarePrefix_.data() + 1, prefixLength_);
    const std::int32_t reach = columns_ / 2;
    kernels_.differences(prefix_.data(), columns_, sums_.data() + reach, padded_);
    kernels_.differences(squarePrefix_.data(), columns_, squares_.data() + reach, padded_);
    auto shortRun = [&](std::int32_t x) {
      const TSpan run = NiblackRun(x, columns_, width_);
      sums_[x] = prefix_[run.last + 1] - prefix_[run.first];
      squares_[x] = squarePrefix_[run.last + 1] - squarePrefix_[run.first];
    };
    for (std::int32_t x = 0; x < reach; ++x) shortRun(x);
    for (std::int32_t x = width_ - reach; x < width_; ++x) shortRun(x);
  }

 private:
  std::int32_t width_, columns_, padded_, prefixLength_;
  TColumnBand band_;
  const TRowKernels& kernels_;
  std::vector<std::uint32_t> prefix_, squarePrefix_, sums_, squares_;
};

// Pixels in each column's window for a band of `rows` rows, and their reciprocals; columns
// past the width get windows of one pixel.
void CountWindows(std::int32_t rows, std::int32_t columns, std::int32_t width,
                  std::vector<std::int32_t>& counts, std::vector<float>& reciprocals) {
  for (std::size_t i = 0; i < counts.size(); ++i) {
    const auto x = static_cast<std::int32_t>(i);
    const TSpan run = x < width ? NiblackRun(x, columns, width) : TSpan{0, 0};
    counts[i] = rows * (run.last - run.first + 1);
    reciprocals[i] = WindowReciprocal(counts[i]);
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
