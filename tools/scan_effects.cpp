// The scanner's share of the sample page. Light is a product of the paper-and-ink mix, what
// the stain lets through and the shading, each in fixed point; sensor noise is added last.
#include "tools/scan_effects.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int32_t kFullLight = 4096;

std::int32_t LightUnits(double loss) {
  return static_cast<std::int32_t>(loss * kFullLight + 0.5);
}

// Coffee leaves a pale pool with a darker rim: strength rises toward the edge of the pool
// (t = 1) and fades out just beyond it.
double StainProfile(double t) {
  if (t < 1.0) return 0.3 + 0.7 * t * t * t;
  if (t < 1.25) return (1.25 - t) * 4.0;
  return 0.0;
}

// A round splash whose edge wobbles: its radius varies with the direction by the first
// three harmonics, each computed from the direction's cosine and sine without trigonometry.
struct TBlob {
  double x;
  double y;
  double radius;
  std::array<double, 6> wobble;  // cos, sin weights of harmonics 1, 2, 3

  // The squared distance from the centre relative to the radius in that direction.
  double Reach2(double px, double py) const {
    const double dx = px - x;
    const double dy = py - y;
    const double distance2 = dx * dx + dy * dy;
    if (distance2 == 0.0) return 0.0;
    const double distance = std::sqrt(distance2);
    const double c1 = dx / distance;
    const double s1 = dy / distance;
    const double c2 = c1 * c1 - s1 * s1;
    const double s2 = 2.0 * c1 * s1;
    const double c3 = c1 * c2 - s1 * s2;
    const double s3 = s1 * c2 + c1 * s2;
    const double scale = 1.0 + wobble[0] * c1 + wobble[1] * s1 + wobble[2] * c2 + wobble[3] * s2 +
                         wobble[4] * c3 + wobble[5] * s3;
    return distance2 / (radius * radius * scale * scale);
  }
};

TBlob Splash(TSampleRandom& random, double x, double y, double radius) {
  TBlob blob{x, y, radius, {}};
  for (double& weight : blob.wobble) weight = 0.1 * (random.Unit() - 0.5);
  return blob;
}

// Gaussian-like noise of about 4.6 gray levels: the sum of four random bytes, scaled.
class TSensorNoise {
 public:
  explicit TSensorNoise(TSampleRandom& random) : random_(random) {}
  std::int32_t Next() {
    if (left_ == 0) {
      bits_ = random_.Next();
      left_ = 2;
    }
    const auto sum = static_cast<std::int32_t>((bits_ & 0xFF) + ((bits_ >> 8) & 0xFF) +
                                               ((bits_ >> 16) & 0xFF) + ((bits_ >> 24) & 0xFF));
    bits_ >>= 32;
    --left_;
    return (sum - 510) >> 5;
  }

 private:
  TSampleRandom& random_;
  std::uint64_t bits_ = 0;
  std::int32_t left_ = 0;
};

using TChannelTable = std::array<std::array<std::int32_t, 256>, 3>;

// Level of each channel for each ink cover: paper and ink mixed in proportion.
TChannelTable InkMix(const std::array<std::int32_t, 3>& paper,
                     const std::array<std::int32_t, 3>& ink) {
  TChannelTable table{};
  for (std::size_t c = 0; c < 3; ++c) {
    for (std::int32_t cover = 0; cover < 256; ++cover) {
      table[c][static_cast<std::size_t>(cover)] =
          (paper[c] * (255 - cover) + ink[c] * cover + 127) / 255;
    }
  }
  return table;
}

// Light each channel keeps under each stain strength, in 1/4096.
TChannelTable StainLight(const std::array<std::int32_t, 3>& absorb) {
  TChannelTable table{};
  for (std::size_t c = 0; c < 3; ++c) {
    for (std::int32_t strength = 0; strength < 256; ++strength) {
      table[c][static_cast<std::size_t>(strength)] = kFullLight - absorb[c] * strength / 255;
    }
  }
  return table;
}

void StainLine(const TStain& stain, std::int32_t y, std::vector<std::uint8_t>& line) {
  std::fill(line.begin(), line.end(), 0);
  if (y < stain.top || y >= stain.top + stain.height) return;
  const auto start = stain.strength.begin() + static_cast<std::ptrdiff_t>(y - stain.top) *
                                                  static_cast<std::ptrdiff_t>(stain.width);
  std::copy(start, start + stain.width, line.begin() + stain.left);
}

}  // namespace

TShading MakeShading(TSampleRandom& random, std::int32_t width, std::int32_t height) {
  constexpr double kBindingShadowWidth = 90.0;
  const bool bindingLeft = random.Between(0, 1) == 0;
  TShading shading;
  for (std::int32_t x = 0; x < width; ++x) {
    const double across = (x + 0.5) / width;
    const double centred = 2.0 * across - 1.0;
    const double towardBinding = bindingLeft ? 1.0 - across : across;
    const double fromBinding = bindingLeft ? x : width - 1 - x;
    const double shadow =
        fromBinding < kBindingShadowWidth ? 1.0 - fromBinding / kBindingShadowWidth : 0.0;
    shading.column.push_back(
        LightUnits(0.09 * towardBinding + 0.06 * centred * centred + 0.32 * shadow * shadow));
  }
  for (std::int32_t y = 0; y < height; ++y) {
    const double down = (y + 0.5) / height;
    const double centred = 2.0 * down - 1.0;
    shading.row.push_back(LightUnits(0.08 * centred * centred + 0.03 * down));
  }
  return shading;
}

TStain MakeStain(TSampleRandom& random, std::int32_t width, std::int32_t height) {
  const double radius = 170.0 + 90.0 * random.Unit();
  const double centreX = width * (0.45 + 0.3 * random.Unit());
  const double centreY = height * (0.55 + 0.27 * random.Unit());
  // A main pool, three overlapping smaller ones and two droplets thrown clear of it. Every
  // one lies within 2 radii of the centre. The random numbers are drawn one statement at a
  // time: the order in which function arguments are evaluated differs between compilers.
  std::vector<TBlob> blobs{Splash(random, centreX, centreY, radius)};
  for (std::int32_t i = 0; i < 5; ++i) {
    const bool droplet = i >= 3;
    const double side = random.Unit() < 0.5 ? -1.0 : 1.0;
    const double across = droplet ? side * (1.2 + 0.3 * random.Unit()) : random.Unit() - 0.5;
    const double down = random.Unit() - 0.5;
    const double size = droplet ? 0.06 + 0.08 * random.Unit() : 0.35 + 0.35 * random.Unit();
    blobs.push_back(
        Splash(random, centreX + radius * across, centreY + radius * down, radius * size));
  }
  const auto reach = static_cast<std::int32_t>(2.0 * radius);
  const auto cx = static_cast<std::int32_t>(centreX);
  const auto cy = static_cast<std::int32_t>(centreY);
  const std::int32_t left = std::max(0, cx - reach);
  const std::int32_t top = std::max(0, cy - reach);
  TStain stain{
      left, top, std::min(width, cx + reach) - left, std::min(height, cy + reach) - top, {}};
  stain.strength.resize(static_cast<std::size_t>(stain.width) *
                        static_cast<std::size_t>(stain.height));
  auto out = stain.strength.begin();
  for (std::int32_t y = stain.top; y < stain.top + stain.height; ++y) {
    for (std::int32_t x = stain.left; x < stain.left + stain.width; ++x) {
      // The pools merge into one: the rim follows the outline of their union.
      double nearest = 2.0;
      for (const TBlob& blob : blobs) nearest = std::min(nearest, blob.Reach2(x + 0.5, y + 0.5));
      *out++ = static_cast<std::uint8_t>(StainProfile(nearest) * 255.0 + 0.5);
    }
  }
  return stain;
}

void ScanPage(const TInkCanvas& ink, const TShading& shading, const TStain& stain,
              const TPageColours& colours, TRowBand accent, TSampleRandom& random, TDIB& page) {
  const TChannelTable bodyMix = InkMix(colours.paper, colours.ink);
  const TChannelTable accentMix = InkMix(colours.paper, colours.accent);
  const TChannelTable stainLight = StainLight(colours.stainAbsorb);
  const auto channels = static_cast<std::size_t>(colours.channels);
  std::vector<std::uint8_t> stainLine(static_cast<std::size_t>(ink.Width()));
  TSensorNoise noise(random);
  for (std::int32_t y = 0; y < ink.Height(); ++y) {
    StainLine(stain, y, stainLine);
    const TChannelTable& mix = y >= accent.top && y <= accent.bottom ? accentMix : bodyMix;
    const std::int32_t rowLight = kFullLight - shading.row[static_cast<std::size_t>(y)];
    const std::uint8_t* cover = ink.Row(y);
    std::uint8_t* out = page.Row(y);
    for (std::size_t x = 0; x < stainLine.size(); ++x) {
      const std::int64_t light = rowLight - shading.column[x];
      for (std::size_t c = 0; c < channels; ++c) {
        const std::int64_t level = mix[c][cover[x]] * stainLight[c][stainLine[x]] * light;
        const auto value = static_cast<std::int32_t>((level + (1 << 23)) >> 24) + noise.Next();
        *out++ = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
      }
    }
  }
}
