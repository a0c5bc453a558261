// Scale to gray: the counting rule on small hand-made boxes, and the fast count against a
// plain reading of the rule on random images of odd sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "viewer/image_transforms.h"

namespace {

// A bi-level graphic from rows of '1' and '0' (top row first); whiteFirst lists white as
// entry 0.
void MakeBilevel(TDibGraphic& graphic, const std::vector<std::string>& rows, bool whiteFirst) {
  TLogPalette palette = DefaultPalette(gfBilevel);
  if (whiteFirst) std::swap(palette.palPalEntry[0], palette.palPalEntry[1]);
  const auto width = static_cast<std::int32_t>(rows[0].size());
  const auto height = static_cast<std::int32_t>(rows.size());
  graphic.NewImage(width, height, gfBilevel, &palette, 0, 0);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) graphic.SetPixelIndex(x, y, rows[y][x] == '1');
  }
}

std::vector<std::int32_t> Levels(const TDibGraphic& graphic) {
  std::vector<std::int32_t> levels;
  for (std::int32_t y = 0; y < graphic.Height(); ++y) {
    for (std::int32_t x = 0; x < graphic.Width(); ++x)
      levels.push_back(graphic.GetPixelIndex(x, y));
  }
  return levels;
}

// The rule read plainly: box bounds from Trunc(k x ratio), pixels tested one by one.
std::vector<std::int32_t> PlainScaleToGray(const TDibGraphic& source, std::int32_t w,
                                           std::int32_t h) {
  const bool invert = source.Palette().palPalEntry[0].red == 255;
  const double rx = static_cast<double>(source.Width()) / w;
  const double ry = static_cast<double>(source.Height()) / h;
  std::vector<std::int32_t> col(w + 1), row(h + 1);
  for (std::int32_t i = 0; i < w; ++i) col[i] = static_cast<std::int32_t>(std::trunc(i * rx));
  for (std::int32_t j = 0; j < h; ++j) row[j] = static_cast<std::int32_t>(std::trunc(j * ry));
  col[w] = source.Width() - 1;
  row[h] = source.Height() - 1;
  std::vector<std::int32_t> levels;
  for (std::int32_t j = 0; j < h; ++j) {
    for (std::int32_t i = 0; i < w; ++i) {
      std::int64_t total = 0, zeros = 0;
      for (std::int32_t y = row[j]; y <= row[j + 1]; ++y) {
        for (std::int32_t x = col[i]; x <= col[i + 1] - 1; ++x) {
          ++total;
          if (source.GetPixelIndex(x, y) == 0) ++zeros;
        }
      }
      const std::int64_t eighth = total / 8, ones = total - zeros;
      std::int64_t level;
      if (zeros == 0) {
        level = 255;
      } else if (zeros == total) {
        level = 0;
      } else if (eighth > ones) {
        level = 0;
      } else if (eighth > zeros) {
        level = 255;
      } else {
        level = ones * 255 / total;
      }
      levels.push_back(static_cast<std::int32_t>(invert ? 255 - level : level));
    }
  }
  return levels;
}

std::vector<std::int32_t> ScaleToGray(const TDibGraphic& source, std::int32_t w, std::int32_t h) {
  TAntiAliasTransform transform;
  transform.TargetWidth = w;
  transform.TargetHeight = h;
  TDibGraphic dest;
  transform.ApplyOnDest(source, dest);
  EXPECT_EQ(dest.ImageFormat(), gfGray256);
  return Levels(dest);
}

// A 5 x 4 image whose single box at 1 x 1 is its first four columns over all four rows,
// with ones pixels of index 1 in it; the fifth column lies outside the box and is set to show
// that it is never counted.
std::vector<std::string> SixteenBox(std::int32_t ones) {
  std::vector<std::string> rows(4, std::string(5, '0'));
  for (std::int32_t k = 0; k < ones; ++k) rows[k / 4][k % 4] = '1';
  rows[0][4] = rows[3][4] = '1';  // never counted
  return rows;
}

}  // namespace

TEST(AntiAliasTransform, LevelsOfSmallBoxes) {
  struct Case {
    std::vector<std::string> rows;
    bool whiteFirst;
    std::int32_t w, h;
    std::vector<std::int32_t> levels;
    const char* reason;
  };
  const Case cases[] = {
      {{"10", "00"},
       false,
       2,
       2,
       {127, 255, 0, 255},
       "equal size: white over black gives 127, the last column's range is empty, the bottom "
       "row copies"},
      {{"00"}, false, 4, 1, {255, 0, 255, 255}, "wider than the source: empty ranges are white"},
      {{"11"}, true, 4, 1, {0, 0, 0, 0}, "...and black for a white-first palette"},
      {{"0001", "0000", "0010", "0000"},
       false,
       2,
       2,
       {0, 85, 0, 127},
       "half size: boxes share a row, the last source column is never counted"},
      {SixteenBox(1), false, 1, 1, {0}, "1 of 16: fewer than an eighth snaps to black"},
      {SixteenBox(2), false, 1, 1, {31}, "2 of 16: 2 x 255 div 16"},
      {SixteenBox(5), false, 1, 1, {79}, "5 of 16, black first"},
      {SixteenBox(11), true, 1, 1, {80}, "5 white of 16, white first: one higher"},
      {SixteenBox(14), false, 1, 1, {223}, "14 of 16: 2 black is an eighth, not fewer"},
      {SixteenBox(15), false, 1, 1, {255}, "15 of 16 snaps to white"},
      {SixteenBox(16), true, 1, 1, {0}, "all index 1 with white first: black"},
  };
  for (const Case& c : cases) {
    TDibGraphic source;
    MakeBilevel(source, c.rows, c.whiteFirst);
    EXPECT_EQ(ScaleToGray(source, c.w, c.h), c.levels) << c.reason;
  }
}

// Two routes that must agree: the byte-run count and the pixel-by-pixel rule.
TEST(AntiAliasTransform, FastCountAgreesWithThePlainRule) {
  std::mt19937 random(20261210);
  struct Size {
    std::int32_t width, height;
  };
  const Size sources[] = {{1, 1}, {7, 5}, {67, 33}, {131, 97}, {333, 41}, {8, 8}, {520, 3}};
  for (const Size& s : sources) {
    for (bool whiteFirst : {false, true}) {
      for (std::uint32_t density : {2u, 50u, 98u}) {  // percent of index 1
        std::vector<std::string> rows(s.height, std::string(s.width, '0'));
        for (std::string& row : rows) {
          for (char& pixel : row) pixel = random() % 100 < density ? '1' : '0';
        }
        TDibGraphic source;
        MakeBilevel(source, rows, whiteFirst);
        const Size targets[] = {{1, 1},
                                {s.width, s.height},
                                {s.width / 2 + 1, s.height / 3 + 1},
                                {s.width / 7 + 1, s.height / 5 + 1},
                                {s.width * 2 + 3, s.height + 2},
                                {s.width / 3 + 2, s.height * 3}};
        for (const Size& t : targets) {
          ASSERT_EQ(ScaleToGray(source, t.width, t.height),
                    PlainScaleToGray(source, t.width, t.height))
              << s.width << "x" << s.height << " to " << t.width << "x" << t.height << " density "
              << density << (whiteFirst ? " white first" : "");
        }
      }
    }
  }
}

TEST(AntiAliasTransform, ZeroTargetsTakeTheSourceSizeAndResolutionIsKept) {
  TDibGraphic source;
  MakeBilevel(source, {"101", "010"}, false);
  source.SetXResolution(300);
  source.SetYResolution(200);
  TAntiAliasTransform transform;
  TDibGraphic dest;
  transform.ApplyOnDest(source, dest);
  EXPECT_EQ(dest.Width(), 3);
  EXPECT_EQ(dest.Height(), 2);
  EXPECT_EQ(dest.XResolution(), 300);
  EXPECT_EQ(dest.YResolution(), 200);
  EXPECT_EQ(dest.PaletteCount(), 256);
  EXPECT_EQ(dest.GetPixelColor(0, 0), 0x7F7F7Fu) << "one of two is 127, entry i is gray i";
}

TEST(AntiAliasTransform, OtherFormatsAreCopiedOrLeftAlone) {
  TDibGraphic gray;
  gray.NewImage(3, 3, gfGray256, nullptr, 0, 0);
  std::fill(gray.Bits(), gray.Bits() + 3 * gray.BytesPerRow(), 77);
  TAntiAliasTransform transform;
  transform.TargetWidth = 1;
  transform.TargetHeight = 1;
  TDibGraphic dest;
  transform.ApplyOnDest(gray, dest);
  EXPECT_EQ(dest.Width(), 3) << "copied unchanged";
  EXPECT_EQ(dest.GetPixelIndex(2, 2), 77);
  transform.Apply(gray);
  EXPECT_EQ(gray.Width(), 3) << "left untouched in place";
  TDibGraphic bilevel;
  MakeBilevel(bilevel, {"11", "11"}, false);
  transform.Apply(bilevel);
  EXPECT_EQ(bilevel.ImageFormat(), gfGray256) << "in place on a bi-level graphic";
  EXPECT_EQ(bilevel.Width(), 1);
}
