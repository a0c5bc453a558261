// Uniform-error level, estimated from the 2 x 2 blocks of the image.
//
// For a level t the shares of pixels (alpha), of pixel pairs inside a block (beta) and of
// whole blocks (gamma) lying above t give x = sqrt((beta^2 - gamma) / (alpha^2 - beta)); a
// bisection over 0..255 moves up while x >= 1 and the level is the last one probed.
// Dunn, Harwood and Davis, "Local estimation of the uniform error threshold" (1984).
#include <array>
#include <cmath>

#include "binarize/global_threshold.h"
#include "platform/errors.h"

namespace {

// Per gray value, as suffix sums: entry k covers the values k..255.
struct TBlockTables {
  std::array<std::uint64_t, 257> pixels{}, pairs{}, blocks{};
};

// How often each gray value is a block's least, second, third and greatest value. The four
// ranks count into tables of their own, so the equal values of a flat block do not wait on
// one another.
using TRankCounts = std::array<std::array<std::uint64_t, 256>, 4>;

void AddBlock(TRankCounts& ranks, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
  // Sorting network, a <= b <= c <= d afterwards. The exchange is arithmetic, not a branch
  // (which the compiler makes of std::min / std::max here): noisy blocks would mispredict.
  auto order = [](std::int32_t& low, std::int32_t& high) {
    const std::int32_t difference = high - low;
    const std::int32_t swap = difference & (difference >> 31);  // negative when out of order
    low += swap;
    high -= swap;
  };
  order(a, b);
  order(c, d);
  order(a, c);
  order(b, d);
  order(b, c);
  ++ranks[0][a];
  ++ranks[1][b];
  ++ranks[2][c];
  ++ranks[3][d];
}

// Each value counts once per pixel, is the smaller member of the 3, 2, 1 or 0 pairs it forms
// with the larger values of its block, and stands for a whole block when it is the least.
TBlockTables SuffixTables(const TRankCounts& ranks) {
  TBlockTables tables;
  for (std::size_t v = 256; v-- > 0;) {
    const std::uint64_t least = ranks[0][v], second = ranks[1][v], third = ranks[2][v];
    tables.pixels[v] = tables.pixels[v + 1] + least + second + third + ranks[3][v];
    tables.pairs[v] = tables.pairs[v + 1] + 3 * least + 2 * second + third;
    tables.blocks[v] = tables.blocks[v + 1] + least;
  }
  return tables;
}

// The blocks with even top-left corner; a last odd column or row is left out.
TBlockTables CollectBlocks(const TDIB& image) {
  TRankCounts ranks{};
  const std::int32_t width = image.Width();
  for (std::int32_t y = 0; y + 1 < image.Height(); y += 2) {
    const std::uint8_t* upper = image.Row(y);
    const std::uint8_t* lower = image.Row(y + 1);
    for (std::int32_t x = 0; x + 1 < width; x += 2) {
      AddBlock(ranks, upper[x], upper[x + 1], lower[x], lower[x + 1]);
    }
  }
  return SuffixTables(ranks);
}

double Share(const std::array<std::uint64_t, 257>& table, std::int32_t t) {
  return static_cast<double>(table[static_cast<std::size_t>(t + 1)]) /
         static_cast<double>(table[0]);
}

// Whether the level lies above the probe t (x >= 1). A quotient without a real
// root (negative, as dithered input gives) counts like a zero denominator: x < 1.
bool LevelAbove(const TBlockTables& tables, std::int32_t t) {
  const double alpha = Share(tables.pixels, t);
  const double beta = Share(tables.pairs, t);
  const double gamma = Share(tables.blocks, t);
  const double d = alpha * alpha - beta;
  if (d == 0) return false;
  const double quotient = (beta * beta - gamma) / d;
  if (!(quotient >= 0)) return false;
  return std::sqrt(quotient) >= 1;
}

}  // namespace

std::int32_t UniformErrorThreshold(const TDIB& image) {
  // The pixels are read as bytes; anything but 8 bits would be read past its rows.
  if (image.BitCount() != 8) throw EError(kNeeds8Bit);
  const TBlockTables tables = CollectBlocks(image);
  // Without a single 2 x 2 block there is nothing to estimate from: the neutral middle level.
  if (tables.blocks[0] == 0) return 127;
  std::int32_t low = 0, high = 255, t = 127;
  while (low != high - 1) {
    t = (low + high) / 2;
    if (LevelAbove(tables, t)) {
      low = t;
    } else {
      high = t;
    }
  }
  return t;
}
