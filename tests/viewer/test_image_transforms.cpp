// The transform base (in-place form, progress reports, the missing ApplyOnDest) and the
// resize transform: which sampling it takes, format changes, exact flat colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "viewer/image_transforms.h"
#include "viewer/viewer_errors.h"

namespace {

// Recording progress of a transform.
struct TReports {
  std::vector<std::int32_t> percents;
  void Attach(TImageTransform& transform) {
    transform.OnPercentDone = [this](const void*, std::uint8_t percent) {
      percents.push_back(percent);
    };
  }
};

// A true-colour checkerboard of single black and white pixels.
void Checkerboard(TDibGraphic& graphic, std::int32_t width, std::int32_t height) {
  graphic.NewImage(width, height, gfTrueColor, nullptr, 0, 0);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      graphic.SetPixelColor(x, y, (x + y) % 2 == 0 ? 0xFFFFFF : 0);
    }
  }
}

TDibGraphic& Resized(const TDibGraphic& source, TDibGraphic& dest, std::int32_t width,
                     std::int32_t height) {
  TResizeTransform transform;
  transform.TargetWidth = width;
  transform.TargetHeight = height;
  transform.ForceFormat = true;
  transform.ApplyOnDest(source, dest);
  return dest;
}

}  // namespace

TEST(ImageTransform, BaseHasNoApplyOnDest) {
  TImageTransform transform;
  TDibGraphic source, dest;
  try {
    transform.ApplyOnDest(source, dest);
    ADD_FAILURE();
  } catch (const EViewerError& e) {
    EXPECT_STREQ(e.what(), "Method \"ApplyOnDest\" not implemented for TImageTransform class");
  }
  EXPECT_THROW(transform.Apply(source), EViewerError);
}

TEST(ImageTransform, ProgressStartsAtZeroEndsAtHundredAndNeverRepeats) {
  TDibGraphic source;
  source.NewImage(40, 300, gfBilevel, nullptr, 0, 0);
  TAntiAliasTransform antiAlias;
  antiAlias.TargetWidth = 20;
  antiAlias.TargetHeight = 150;
  TReports reports;
  reports.Attach(antiAlias);
  TDibGraphic dest;
  for (std::int32_t run = 0; run < 2; ++run) {
    reports.percents.clear();
    antiAlias.ApplyOnDest(source, dest);
    ASSERT_GE(reports.percents.size(), 2u);
    EXPECT_EQ(reports.percents.front(), 0) << "run " << run << ": 0 is reported every run";
    EXPECT_EQ(reports.percents.back(), 100);
    EXPECT_EQ(reports.percents.size(), 101u) << "150 rows give every percent once";
    EXPECT_TRUE(std::is_sorted(reports.percents.begin(), reports.percents.end()));
    EXPECT_EQ(std::adjacent_find(reports.percents.begin(), reports.percents.end()),
              reports.percents.end());
  }
  TResizeTransform resize;
  TReports resizeReports;
  resizeReports.Attach(resize);
  resize.ApplyOnDest(source, dest);
  EXPECT_EQ(resizeReports.percents, (std::vector<std::int32_t>{0, 50, 100}));
}

TEST(ResizeTransform, SamplingFollowsFormatAndPixelCount) {
  struct Case {
    std::int32_t width, height;
    bool trueColour;
    std::uint32_t level;  // of every result pixel
    const char* reason;
  };
  const Case cases[] = {
      {40, 30, true, 128, "1200 true-colour pixels are averaged"},
      {30, 30, true, 255, "900 take the nearest pixel (odd, odd: white)"},
      {64, 16, true, 255, "exactly 1024 still take the nearest pixel"},
      {64, 18, true, 128, "1152 are averaged"},
      {40, 30, false, 255, "a gray source always takes the nearest pixel"},
  };
  for (const Case& c : cases) {
    TDibGraphic source, dest;
    Checkerboard(source, c.width, c.height);
    if (!c.trueColour) {
      TResizeTransform toGray;
      toGray.TargetWidth = c.width;
      toGray.TargetHeight = c.height;
      toGray.ForceFormat = true;
      toGray.TargetFormat = gfGray256;
      toGray.Apply(source);
      ASSERT_EQ(source.ImageFormat(), gfGray256);
    }
    Resized(source, dest, c.width / 2, c.height / 2);
    for (std::int32_t y = 0; y < dest.Height(); ++y) {
      for (std::int32_t x = 0; x < dest.Width(); ++x) {
        ASSERT_EQ(dest.GetPixelColor(x, y), c.level * 0x010101u) << c.reason;
      }
    }
  }
}

TEST(ResizeTransform, GrayToTrueColourAtTheSameSizeKeepsEveryLevel) {
  std::mt19937 random(7);
  TDibGraphic gray;
  gray.NewImage(37, 23, gfGray256, nullptr, 300, 300);
  for (std::int32_t y = 0; y < 23; ++y) {
    for (std::int32_t x = 0; x < 37; ++x) gray.SetPixelIndex(x, y, random() % 256);
  }
  TDibGraphic original;
  original.Assign(&gray);
  TResizeTransform resize;
  resize.TargetWidth = 37;
  resize.TargetHeight = 23;
  resize.ForceFormat = true;
  resize.Apply(gray);
  ASSERT_EQ(gray.ImageFormat(), gfTrueColor);
  EXPECT_EQ(gray.XResolution(), 300);
  for (std::int32_t y = 0; y < 23; ++y) {
    for (std::int32_t x = 0; x < 37; ++x) {
      ASSERT_EQ(gray.GetPixelColor(x, y), 0x010101u * original.GetPixelIndex(x, y))
          << x << "," << y;
    }
  }
}

TEST(ResizeTransform, AveragingKeepsFlatColoursExact) {
  struct Case {
    std::int32_t fromWidth, fromHeight, toWidth, toHeight;
    const char* reason;
  };
  const Case cases[] = {
      {37, 23, 11, 7, "odd reduction"},
      {37, 41, 50, 97, "enlargement"},
      {2480, 3, 1, 1, "everything into one pixel"},
  };
  for (const Case& c : cases) {
    TDibGraphic source, dest;
    source.NewImage(c.fromWidth, c.fromHeight, gfTrueColor, nullptr, 0, 0);
    for (std::int32_t y = 0; y < c.fromHeight; ++y) {
      for (std::int32_t x = 0; x < c.fromWidth; ++x) source.SetPixelColor(x, y, 0x0DC84D);
    }
    Resized(source, dest, c.toWidth, c.toHeight);
    for (std::int32_t y = 0; y < c.toHeight; ++y) {
      for (std::int32_t x = 0; x < c.toWidth; ++x) {
        ASSERT_EQ(dest.GetPixelColor(x, y), 0x0DC84Du) << c.reason;
      }
    }
  }
}

// Halving gives every output pixel four source pixels of equal weight: their mean, rounded
// half up.
TEST(ResizeTransform, HalvingAveragesFourPixels) {
  std::mt19937 random(11);
  TDibGraphic source, dest;
  source.NewImage(40, 30, gfTrueColor, nullptr, 0, 0);
  for (std::int32_t i = 0; i < 30 * source.BytesPerRow(); ++i) {
    source.Bits()[i] = static_cast<std::uint8_t>(random());
  }
  Resized(source, dest, 20, 15);
  for (std::int32_t y = 0; y < 15; ++y) {
    for (std::int32_t x = 0; x < 20; ++x) {
      for (std::int32_t channel = 0; channel < 3; ++channel) {
        std::int32_t sum = 0;
        for (std::int32_t k = 0; k < 4; ++k) {
          sum += source.ScanLine(2 * y + k / 2)[3 * (2 * x + k % 2) + channel];
        }
        ASSERT_EQ(dest.ScanLine(y)[3 * x + channel], (sum + 2) / 4) << x << "," << y;
      }
    }
  }
}

TEST(ResizeTransform, NearestPixelIsTheOneUnderTheCentre) {
  TDibGraphic source, dest;
  source.NewImage(2, 1, gfGray256, nullptr, 0, 0);
  source.SetPixelIndex(0, 0, 10);
  source.SetPixelIndex(1, 0, 20);
  TResizeTransform resize;
  resize.TargetWidth = 5;
  resize.TargetHeight = 1;
  resize.ApplyOnDest(source, dest);
  EXPECT_EQ(dest.ImageFormat(), gfGray256) << "without ForceFormat the format is kept";
  std::vector<std::int32_t> levels;
  for (std::int32_t x = 0; x < 5; ++x) levels.push_back(dest.GetPixelIndex(x, 0));
  EXPECT_EQ(levels, (std::vector<std::int32_t>{10, 10, 20, 20, 20}));
}

TEST(ResizeTransform, KeptPaletteFormatsKeepTheirIndexes) {
  for (TGraphicFormat format : {gfBilevel, gfColor16, gfColor256}) {
    std::mt19937 random(format);
    TDibGraphic source, dest;
    source.NewImage(13, 9, format, nullptr, 0, 0);
    for (std::int32_t y = 0; y < 9; ++y) {
      for (std::int32_t x = 0; x < 13; ++x) source.SetPixelIndex(x, y, random() % 256);
    }
    TResizeTransform resize;
    resize.TargetWidth = 6;
    resize.TargetHeight = 4;
    resize.ApplyOnDest(source, dest);
    ASSERT_EQ(dest.ImageFormat(), format);
    EXPECT_EQ(dest.PaletteCount(), source.PaletteCount());
    for (std::int32_t y = 0; y < 4; ++y) {
      for (std::int32_t x = 0; x < 6; ++x) {
        ASSERT_EQ(dest.GetPixelIndex(x, y),
                  source.GetPixelIndex((2 * x + 1) * 13 / 12, (2 * y + 1) * 9 / 8))
            << format;
      }
    }
  }
}

TEST(ResizeTransform, ColoursReachAPaletteFormatAsTheNearestEntry) {
  TDibGraphic source, dest;
  source.NewImage(3, 1, gfTrueColor, nullptr, 0, 0);
  source.SetPixelColor(0, 0, 0xFF0000);
  source.SetPixelColor(1, 0, 0x00FF00);
  source.SetPixelColor(2, 0, 0xFEFEFE);
  TResizeTransform resize;
  resize.TargetWidth = 3;
  resize.TargetHeight = 1;
  resize.ForceFormat = true;
  resize.TargetFormat = gfColor256;
  resize.ApplyOnDest(source, dest);
  EXPECT_EQ(dest.GetPixelIndex(0, 0), 40) << "red of the first ring";
  EXPECT_EQ(dest.GetPixelIndex(1, 0), 48) << "green of the first ring";
  EXPECT_EQ(dest.GetPixelIndex(2, 0), 15) << "white";
}

TEST(ResizeTransform, EmptySourceGivesAnEmptyGraphic) {
  TDibGraphic source, dest;
  dest.NewImage(3, 3, gfTrueColor, nullptr, 0, 0);
  TResizeTransform resize;
  resize.ApplyOnDest(source, dest);
  EXPECT_TRUE(dest.Empty());
}

// Two routes that must agree: the integer weights against the exact overlap areas in double,
// within one level, on random images of odd sizes (row lengths that are no multiple of 16).
TEST(ResizeTransform, AveragingFollowsTheExactAreas) {
  std::mt19937 random(3);
  struct Size {
    std::int32_t width, height;
  };
  const Size cases[][2] = {
      {{53, 37}, {17, 11}}, {{101, 29}, {100, 30}}, {{41, 43}, {97, 13}}, {{35, 34}, {3, 2}}};
  for (const auto& c : cases) {
    const Size from = c[0], to = c[1];
    TDibGraphic source, dest;
    source.NewImage(from.width, from.height, gfTrueColor, nullptr, 0, 0);
    for (std::int32_t i = 0; i < from.height * source.BytesPerRow(); ++i) {
      source.Bits()[i] = static_cast<std::uint8_t>(random());
    }
    Resized(source, dest, to.width, to.height);
    // Overlap of source pixel s with output pixel k, both in count-ths of a source pixel.
    auto overlap = [](std::int64_t s, std::int64_t k, std::int64_t extent, std::int64_t count) {
      return std::max<std::int64_t>(
          0, std::min((s + 1) * count, (k + 1) * extent) - std::max(s * count, k * extent));
    };
    for (std::int32_t y = 0; y < to.height; ++y) {
      for (std::int32_t x = 0; x < to.width; ++x) {
        for (std::int32_t channel = 0; channel < 3; ++channel) {
          double sum = 0;
          for (std::int32_t r = 0; r < from.height; ++r) {
            const std::int64_t oy = overlap(r, y, from.height, to.height);
            for (std::int32_t s = 0; oy > 0 && s < from.width; ++s) {
              const std::int64_t ox = overlap(s, x, from.width, to.width);
              sum += static_cast<double>(ox * oy) * source.ScanLine(r)[3 * s + channel];
            }
          }
          const double exact = sum / (static_cast<double>(from.width) * from.height);
          ASSERT_NEAR(dest.ScanLine(y)[3 * x + channel], exact, 1.0)
              << from.width << "x" << from.height << " to " << to.width << "x" << to.height
              << " at " << x << "," << y;
        }
      }
    }
  }
}

// Hostile target sizes are refused before anything is allocated, and leave no image behind.
TEST(ImageTransform, TargetSizesBeyondTheLimitsAreRefused) {
  struct Case {
    std::int32_t width, height;
    const char* message;
  };
  const Case cases[] = {
      {-1, 10, "Out of resources"},
      {10, -5, "Out of resources"},
      {INT32_MAX, INT32_MAX, kImageTooLarge},
      {1 << 20, 1 << 12, kImageTooLarge},
  };
  TDibGraphic bilevel, colour;
  bilevel.NewImage(64, 64, gfBilevel, nullptr, 0, 0);
  colour.NewImage(64, 64, gfTrueColor, nullptr, 0, 0);
  for (const Case& c : cases) {
    TAntiAliasTransform antiAlias;
    antiAlias.TargetWidth = c.width;
    antiAlias.TargetHeight = c.height;
    TResizeTransform resize;
    resize.TargetWidth = c.width;
    resize.TargetHeight = c.height;
    TDibGraphic dest;
    try {
      antiAlias.ApplyOnDest(bilevel, dest);
      ADD_FAILURE() << c.width << "x" << c.height;
    } catch (const EError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_TRUE(dest.Empty());
    try {
      resize.ApplyOnDest(colour, dest);
      ADD_FAILURE() << c.width << "x" << c.height;
    } catch (const EError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_TRUE(dest.Empty());
  }
}
