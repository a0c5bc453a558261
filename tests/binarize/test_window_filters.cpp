// The window filters: each window rule on small hand-made images, and the fast filters
// against plain per-pixel implementations of the same rules on random images.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "binarize/window_filters.h"
#include "image/rounding.h"
#include "tests/binarize/local_method_fixtures.h"

using namespace local_fixtures;

namespace {

using TFilter = void (*)(const TDIB&, TDIB&, std::int32_t, std::int32_t);

std::vector<std::uint8_t> Filter(TFilter filter, const TDIB& image, std::int32_t areaW,
                                 std::int32_t areaH) {
  auto out = BlankOf(image);
  filter(image, *out, areaW, areaH);
  return Pixels(*out);
}

// --- The plain rules, one window per pixel ---------------------------------------------

std::vector<std::uint8_t> PlainLocalMean(const TDIB& image, std::int32_t areaW,
                                         std::int32_t areaH) {
  const std::int32_t w = image.Width(), h = image.Height();
  const std::int64_t rx = std::max<std::int64_t>(1, (std::int64_t{areaW} + 1) / 2);
  const std::int64_t ry = std::max<std::int64_t>(1, (std::int64_t{areaH} + 1) / 2);
  std::vector<std::uint8_t> out;
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      double sum = 0, count = 0;
      for (std::int64_t v = std::max<std::int64_t>(0, y - ry);
           v <= std::min<std::int64_t>(h - 1, y + ry); ++v) {
        for (std::int64_t u = std::max<std::int64_t>(0, x - rx);
             u <= std::min<std::int64_t>(w - 1, x + rx); ++u) {
          sum += image.Row(static_cast<std::int32_t>(v))[u];
          ++count;
        }
      }
      out.push_back(static_cast<std::uint8_t>(RoundHalfEven(sum / count)));
    }
  }
  return out;
}

// LocalMinimum's size: 1 or less becomes 2, at least size becomes size - 1, then made odd.
std::int32_t ShiftedSize(std::int32_t area, std::int32_t size) {
  if (area <= 1) area = 2;
  if (area >= size) area = size - 1;
  return 2 * (area / 2) + 1;
}

std::vector<std::uint8_t> PlainLocalExtreme(const TDIB& image, std::int32_t areaW,
                                            std::int32_t areaH, bool maximum) {
  const std::int32_t w = image.Width(), h = image.Height();
  const std::int32_t n = ShiftedSize(areaW, w), m = ShiftedSize(areaH, h);
  std::vector<std::uint8_t> out;
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      const std::int32_t left = std::clamp(x - n / 2, 0, w - n);
      const std::int32_t top = std::clamp(y - m / 2, 0, h - m);
      std::uint8_t extreme = maximum ? 0 : 255;
      for (std::int32_t v = top; v < top + m; ++v) {
        for (std::int32_t u = left; u < left + n; ++u) {
          std::uint8_t p = image.Row(v)[u];
          extreme = maximum ? std::max(extreme, p) : std::min(extreme, p);
        }
      }
      out.push_back(extreme);
    }
  }
  return out;
}

std::vector<std::uint8_t> PlainWindowExtreme(const TDIB& image, std::int32_t areaW,
                                             std::int32_t areaH, bool maximum) {
  const std::int32_t w = image.Width(), h = image.Height();
  const std::int64_t rx = areaW / 2, ry = areaH / 2;
  std::vector<std::uint8_t> out;
  for (std::int64_t y = 0; y < h; ++y) {
    for (std::int64_t x = 0; x < w; ++x) {
      std::uint8_t extreme = maximum ? 0 : 255;
      for (std::int64_t v = std::max<std::int64_t>(0, y - ry);
           v <= std::min<std::int64_t>(h - 1, y + ry); ++v) {
        for (std::int64_t u = std::max<std::int64_t>(0, x - rx);
             u <= std::min<std::int64_t>(w - 1, x + rx); ++u) {
          std::uint8_t p = image.Row(static_cast<std::int32_t>(v))[u];
          extreme = maximum ? std::max(extreme, p) : std::min(extreme, p);
        }
      }
      out.push_back(extreme);
    }
  }
  return out;
}

// Runs every filter against its plain rule on one image with one window.
void ExpectFiltersMatchPlainRules(const TDIB& image, std::int32_t areaW, std::int32_t areaH) {
  const std::string where = std::to_string(image.Width()) + "x" + std::to_string(image.Height()) +
                            " window " + std::to_string(areaW) + "x" + std::to_string(areaH);
  EXPECT_EQ(Filter(LocalMean, image, areaW, areaH), PlainLocalMean(image, areaW, areaH))
      << "LocalMean " << where;
  EXPECT_EQ(Filter(LocalMinimum, image, areaW, areaH),
            PlainLocalExtreme(image, areaW, areaH, false))
      << "LocalMinimum " << where;
  EXPECT_EQ(Filter(LocalMaximum, image, areaW, areaH), PlainLocalExtreme(image, areaW, areaH, true))
      << "LocalMaximum " << where;
  EXPECT_EQ(Filter(WindowMinimum, image, areaW, areaH),
            PlainWindowExtreme(image, areaW, areaH, false))
      << "WindowMinimum " << where;
  EXPECT_EQ(Filter(WindowMaximum, image, areaW, areaH),
            PlainWindowExtreme(image, areaW, areaH, true))
      << "WindowMaximum " << where;
}

}  // namespace

TEST(WindowFilters, FastFiltersEqualThePlainRules) {
  ForRandomWindows(1, ExpectFiltersMatchPlainRules);
}

TEST(WindowFilters, LargeWindowsOnALargerImageEqualThePlainRules) {
  // Several 64-row strips and 16-pixel tiles, with blocks of many rows.
  auto image = RandomGray(90, 131, 99, true);
  for (std::int32_t area : {33, 65}) ExpectFiltersMatchPlainRules(*image, area, area);
}

TEST(LocalMean, WindowIsNineWideForSevenAndFiveByFiveAtTheCorner) {
  // A single 250 in the top-left corner of a dark 12 x 12 image, AreaW = AreaH = 7.
  std::vector<std::uint8_t> values(144, 0);
  values[0] = 250;
  auto image = Gray(12, values);
  const std::vector<std::uint8_t> out = Filter(LocalMean, *image, 7, 7);
  struct TCase {
    std::int32_t x, y;
    std::uint8_t expected;
    const char* reason;
  } const cases[] = {
      {0, 0, 10, "corner: clipped to 5 x 5, 250 / 25"},
      {4, 0, 6, "top edge: 9 x 5, 250 / 45 = 5.6"},
      {4, 4, 3, "full 9 x 9 window still reaches the corner, 250 / 81 = 3.1"},
      {5, 0, 0, "column 5 is out of reach: half-width 4"},
      {0, 5, 0, "row 5 is out of reach: half-height 4"},
  };
  for (const TCase& c : cases) EXPECT_EQ(out[c.y * 12 + c.x], c.expected) << c.reason;
}

TEST(LocalMean, HalfWidthFollowsAreaPlusOneDivTwoAtLeastOne) {
  // A single 210 in the middle of a 41-pixel row: the output is lit exactly within reach.
  std::vector<std::uint8_t> values(41, 0);
  values[20] = 210;
  auto image = Gray(41, values);
  struct TCase {
    std::int32_t areaW, halfWidth;
    const char* reason;
  } const cases[] = {
      {7, 4, "(7 + 1) div 2"}, {3, 2, "(3 + 1) div 2"}, {4, 2, "(4 + 1) div 2"},
      {1, 1, "(1 + 1) div 2"}, {0, 1, "at least 1"},    {-6, 1, "negative: at least 1"},
  };
  for (const TCase& c : cases) {
    const std::vector<std::uint8_t> out = Filter(LocalMean, *image, c.areaW, 1);
    std::int32_t lit = static_cast<std::int32_t>(
        std::count_if(out.begin(), out.end(), [](auto v) { return v > 0; }));
    EXPECT_EQ(lit, 2 * c.halfWidth + 1) << c.reason;
  }
}

TEST(LocalMean, ExactHalvesRoundToEven) {
  struct TCase {
    std::vector<std::uint8_t> values;
    std::uint8_t expected;
    const char* reason;
  } const cases[] = {
      {{1, 2}, 2, "1.5 rounds up to the even 2"}, {{2, 3}, 2, "2.5 rounds down to the even 2"},
      {{0, 1}, 0, "0.5 rounds down to 0"},        {{254, 255}, 254, "254.5 rounds down to 254"},
      {{0, 0, 1}, 0, "1/3 rounds down"},          {{0, 1, 1}, 1, "2/3 rounds up"},
  };
  for (const TCase& c : cases) {
    auto image = Gray(static_cast<std::int32_t>(c.values.size()), c.values);
    EXPECT_EQ(Filter(LocalMean, *image, 7, 7)[0], c.expected) << c.reason;
  }
}

TEST(LocalMinimum, WindowIsShiftedInwardWhereWindowMinimumIsClipped) {
  // One dark pixel at x = 2 of a 9-pixel row.
  auto image = Gray(9, {200, 200, 10, 200, 200, 200, 200, 200, 200});
  struct TCase {
    TFilter filter;
    std::int32_t areaW;
    std::vector<std::uint8_t> expected;
    const char* reason;
  } const cases[] = {
      {LocalMinimum,
       3,
       {10, 10, 10, 10, 200, 200, 200, 200, 200},
       "3 wide, x = 0 takes columns 0..2"},
      {WindowMinimum,
       3,
       {200, 10, 10, 10, 200, 200, 200, 200, 200},
       "3 wide, x = 0 takes columns 0..1 only"},
      {LocalMinimum, 4, {10, 10, 10, 10, 10, 200, 200, 200, 200}, "4 becomes 5 wide"},
      {LocalMinimum, 1, {10, 10, 10, 10, 200, 200, 200, 200, 200}, "1 becomes 2, then 3 wide"},
      {LocalMinimum,
       9,
       {10, 10, 10, 10, 10, 10, 10, 10, 10},
       "the width 9 becomes 8, and 2 (8 div 2) + 1 = 9: the whole row"},
      {WindowMinimum, 1, {200, 200, 10, 200, 200, 200, 200, 200, 200}, "half-width 0: the pixel"},
      {WindowMinimum,
       -1,
       {200, 200, 10, 200, 200, 200, 200, 200, 200},
       "-1 div 2 = 0: still the pixel alone"},
      {WindowMinimum,
       -2,
       {255, 255, 255, 255, 255, 255, 255, 255, 255},
       "-2: every window is empty"},
      {WindowMaximum, -2, {0, 0, 0, 0, 0, 0, 0, 0, 0}, "empty maximum starts from 0"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(Filter(c.filter, *image, c.areaW, 1), c.expected) << c.reason;
}

TEST(WindowFilters, RefuseMismatchedImagesAndFilterInPlace) {
  auto image = RandomGray(20, 11, 7, false);
  auto small = Flat(19, 11, 0);
  for (TFilter filter : {LocalMean, LocalMinimum, LocalMaximum, WindowMinimum, WindowMaximum}) {
    ExpectError([&] { filter(*image, *small, 3, 3); },
                "The destination must be an 8 bit image of the source's size",
                "destination one column short");
    auto colour = std::make_unique<TDIB>();
    colour->Allocate(20, 11, df24Bit, 0, 0);
    ExpectError([&] { filter(*colour, *BlankOf(*image), 3, 3); }, kNeeds8Bit, "24-bit source");
    const std::vector<std::uint8_t> expected = Filter(filter, *image, 5, 4);
    auto same = Gray(20, Pixels(*image));
    filter(*same, *same, 5, 4);
    EXPECT_EQ(Pixels(*same), expected) << "filtering an image into itself reads the original";
  }
}

TEST(WindowFilters, FilteredCopiesCarryTheFilterOutput) {
  auto image = RandomGray(23, 17, 5, false);
  struct TCase {
    std::unique_ptr<TDIB> (*filtered)(const TDIB&, std::int32_t, std::int32_t);
    TFilter filter;
  } const cases[] = {{MeanFiltered, LocalMean},
                     {MinimumFiltered, WindowMinimum},
                     {MaximumFiltered, WindowMaximum}};
  for (const TCase& c : cases) {
    auto copy = c.filtered(*image, 6, 3);
    EXPECT_EQ(Pixels(*copy), Filter(c.filter, *image, 6, 3));
  }
}
