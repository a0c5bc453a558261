// Connected components and spot removal: hand-drawn pictures for the rules, and the run-based
// search checked against a plain point-list walk on random pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "binarize/connected_components.h"
#include "image/rounding.h"
#include "ink_drawing.h"
#include "platform/errors.h"

namespace {

// A 1-bit picture from rows of '#' (black) and '.' (white); blackIndex 1 swaps the palette.
std::unique_ptr<TDIB> Picture(const std::vector<std::string>& rows, std::int32_t blackIndex = 0) {
  auto picture = std::make_unique<TDIB>();
  TDIB& image = *picture;
  const auto width = rows.empty() ? 0 : static_cast<std::int32_t>(rows[0].size());
  image.Allocate(width, static_cast<std::int32_t>(rows.size()), df1Bit, 300, 300);
  if (blackIndex == 1) {
    image.SetPaletteEntry(0, 0xFFFFFF);
    image.SetPaletteEntry(1, 0);
  }
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const bool black = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#';
      image.SetPixel(x, y, black ? blackIndex : 1 - blackIndex);
    }
  }
  return picture;
}

std::vector<TBlobRecord> Records(const TBlobList& list) {
  std::vector<TBlobRecord> records;
  for (std::int32_t i = 0; i < list.Count(); ++i) records.push_back(list.Items(i));
  return records;
}

std::string Text(const std::vector<TBlobRecord>& records) {
  std::string text;
  for (const TBlobRecord& b : records) {
    text += "[" + std::to_string(b.Left) + "," + std::to_string(b.Top) + "," +
            std::to_string(b.Right) + "," + std::to_string(b.Bottom) + " n" +
            std::to_string(b.PixelCount) + " c" + std::to_string(b.CentroidX) + "," +
            std::to_string(b.CentroidY) + "]";
  }
  return text;
}

std::vector<TBlobRecord> Blobs(TDIB& image, std::int32_t minWidth, std::int32_t minHeight,
                               std::int32_t minPixels) {
  TBlobList list;
  FindBlobs(image, minWidth, minHeight, minPixels, &list);
  return Records(list);
}

// The plain rule: a column-major scan growing each component breadth-first in a point list.
std::vector<TBlobRecord> PlainBlobs(const TDIB& image, std::int32_t minWidth,
                                    std::int32_t minHeight, std::int32_t minPixels) {
  const std::int32_t width = image.Width();
  const std::int32_t height = image.Height();
  const std::int32_t black = image.BlackIndex();
  std::vector<bool> visited(static_cast<std::size_t>(width) * height);
  const auto seen = [&](std::int32_t x, std::int32_t y) {
    return visited[static_cast<std::size_t>(y) * width + x];
  };
  const auto mark = [&](std::int32_t x, std::int32_t y) {
    visited[static_cast<std::size_t>(y) * width + x] = true;
  };
  std::vector<TBlobRecord> records;
  for (std::int32_t x = 0; x < width; ++x) {
    for (std::int32_t y = 0; y < height; ++y) {
      if (seen(x, y) || image.GetPixel(x, y) != black) continue;
      TPointList points;
      points.Add(x, y, 0);
      mark(x, y);
      for (std::int32_t p = 0; p < points.Count(); ++p) {
        if (points.Items(p).Done != 0) continue;
        points.Items(p).Done = 1;
        const std::int32_t px = points.Items(p).X;
        const std::int32_t py = points.Items(p).Y;
        for (std::int32_t i = std::max(0, px - 1); i <= std::min(px + 1, width - 1); ++i) {
          for (std::int32_t j = std::max(0, py - 1); j <= std::min(py + 1, height - 1); ++j) {
            if (!seen(i, j) && image.GetPixel(i, j) == black) {
              points.Add(i, j, 0);
              mark(i, j);
            }
          }
        }
      }
      const std::int32_t n = points.Count();
      if (n < std::max(0, minPixels)) continue;
      TBlobRecord b{2147483647, 2147483647, 0, 0, n, 0, 0};
      std::int64_t sumX = 0, sumY = 0;
      for (std::int32_t p = 0; p < n; ++p) {
        const TPointRecord& point = points.Items(p);
        b.Left = std::min(b.Left, point.X);
        b.Top = std::min(b.Top, point.Y);
        b.Right = std::max(b.Right, point.X);
        b.Bottom = std::max(b.Bottom, point.Y);
        sumX += point.X;
        sumY += point.Y;
      }
      b.CentroidX = RoundHalfEven(static_cast<double>(sumX) / n);
      b.CentroidY = RoundHalfEven(static_cast<double>(sumY) / n);
      if (b.Right - b.Left + 1 >= minWidth && b.Bottom - b.Top + 1 >= minHeight) {
        records.push_back(b);
      }
    }
  }
  return records;
}

std::unique_ptr<TDIB> RandomPicture(std::mt19937& random, std::int32_t width, std::int32_t height,
                                    double density, std::int32_t blackIndex) {
  std::bernoulli_distribution ink(density);
  std::vector<std::string> rows(static_cast<std::size_t>(height));
  for (std::string& row : rows) {
    for (std::int32_t x = 0; x < width; ++x) row += ink(random) ? '#' : '.';
  }
  return Picture(rows, blackIndex);
}

struct TFindCase {
  std::vector<std::string> picture;
  std::int32_t minWidth, minHeight, minPixels;
  std::string expected;
  const char* reason;
};

}  // namespace

TEST(ConnectedComponents, FindBlobsFollowsTheRules) {
  const TFindCase cases[] = {
      {{"#...", ".#..", "..#.", "...#"},
       0,
       0,
       0,
       "[0,0,3,3 n4 c2,2]",
       "a diagonal chain is one component; mean 1.5 rounds to even 2"},
      {{"##..#", ".....", "#...#"},
       0,
       0,
       0,
       "[0,0,1,0 n2 c0,0][0,2,0,2 n1 c0,2][4,0,4,0 n1 c4,0][4,2,4,2 n1 c4,2]",
       "column-major order; mean 0.5 rounds to even 0"},
      {{"...#", "#...", "#..."},
       0,
       0,
       0,
       "[0,1,0,2 n2 c0,2][3,0,3,0 n1 c3,0]",
       "a component met first in an earlier column comes first though it starts lower"},
      {{"#.##.###", "........"},
       0,
       0,
       3,
       "[5,0,7,0 n3 c6,0]",
       "MinPixels 3 drops components of 1 and 2 pixels"},
      {{"#.##.###", "........"},
       0,
       0,
       -5,
       "[0,0,0,0 n1 c0,0][2,0,3,0 n2 c2,0][5,0,7,0 n3 c6,0]",
       "a negative MinPixels reports every component"},
      {{"#.##.#", ".....#"}, 2, 0, 0, "[2,0,3,0 n2 c2,0]", "MinWidth counts the box width"},
      {{"#.##.#", ".....#"}, 0, 2, 0, "[5,0,5,1 n2 c5,0]", "MinHeight counts the box height"},
      {{"#####", "#...#", "#.#.#", "#...#", "#####"},
       0,
       0,
       0,
       "[0,0,4,4 n16 c2,2][2,2,2,2 n1 c2,2]",
       "a ring and the dot inside it stay apart"},
      {{"#.#.#", ".#.#.", "#.#.#"},
       0,
       0,
       0,
       "[0,0,4,2 n8 c2,1]",
       "a checkerboard is one component"},
      {{"....", "...."}, 0, 0, 0, "", "no black pixel, no blob"},
      {{"#..#", ".##."}, 0, 0, 0, "[0,0,3,1 n4 c2,0]", "two runs joined only in the next row"},
      {{"#......", ".#.....", "..#....", "#..#...", "....#..", "#....#.", "#.....#", "#######"},
       0,
       0,
       0,
       "[0,0,6,7 n16 c3,5][0,3,0,3 n1 c0,3]",
       "a part starting low in column 0 joins one starting higher: the higher start orders it"},
  };
  for (const TFindCase& c : cases) {
    for (std::int32_t blackIndex : {0, 1}) {
      auto image = Picture(c.picture, blackIndex);
      EXPECT_EQ(Text(Blobs(*image, c.minWidth, c.minHeight, c.minPixels)), c.expected)
          << c.reason << " (black index " << blackIndex << ")";
    }
  }
}

TEST(ConnectedComponents, RunSearchAgreesWithThePlainPointListWalk) {
  std::mt19937 random(20240611);
  const std::int32_t widths[] = {1, 2, 7, 8, 9, 63, 64, 65, 127, 129};
  std::int32_t round = 0;
  for (const std::int32_t width : widths) {
    for (const double density : {0.15, 0.45, 0.6, 0.85}) {
      const std::int32_t height = 1 + static_cast<std::int32_t>(random() % 40);
      auto image = RandomPicture(random, width, height, density, round % 2);
      const std::int32_t minWidth = round % 3, minHeight = round % 4 == 1 ? 2 : 0;
      const std::int32_t minPixels = round % 5 - 1;
      EXPECT_EQ(Text(Blobs(*image, minWidth, minHeight, minPixels)),
                Text(PlainBlobs(*image, minWidth, minHeight, minPixels)))
          << width << " x " << height << " at density " << density;
      ++round;
    }
  }
}

TEST(ConnectedComponents, FindBlobsWithoutListOnlyChecksTheFormat) {
  auto image = Picture({"#.#"});
  EXPECT_NO_THROW(FindBlobs(*image, 0, 0, 0, nullptr));
  EXPECT_EQ(InkDrawing(*image), (std::vector<std::string>{"#.#"}));
}

TEST(ConnectedComponents, OtherFormatsAreRefusedUnchanged) {
  for (const TDIBFormat format : {df4Bit, df8Bit, df16Bit, df24Bit}) {
    TDIB image;
    image.Allocate(3, 2, format, 300, 300);
    image.SetPixel(1, 1, 9);
    TBlobList list;
    try {
      FindBlobs(image, 0, 0, 0, &list);
      ADD_FAILURE() << "format " << int{format} << " was accepted";
    } catch (const EError& error) {
      EXPECT_STREQ(error.what(), "This operation requires 1 bit per pixel bitmap !");
    }
    EXPECT_THROW(RemoveSpots(image, 5, 5), EError);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(image.GetPixel(1, 1), 9) << "format " << int{format};
  }
}

struct TSpotCase {
  std::vector<std::string> before;
  std::int32_t maxWidth, maxHeight;
  std::vector<std::string> after;
  const char* reason;
};

TEST(ConnectedComponents, RemoveSpotsWhitensSmallBoxOutlines) {
  const TSpotCase cases[] = {
      {{"........", ".######.", ".######.", ".######.", ".######.", ".######.", ".######.",
        "........"},
       5,
       5,
       {"........", "........", "..####..", "..####..", "..####..", "..####..", "........",
        "........"},
       "a 6 x 6 square (span 5) keeps its 4 x 4 inside"},
      {{"#######", "#######"}, 5, 5, {"#######", "#######"}, "a 7-wide line spans 6 and stays"},
      {{"##.#", "##.."}, 5, 5, {"....", "...."}, "specks two pixels thick vanish whole"},
      {{"######", "######", "######"},
       5,
       1,
       {"######", "######", "######"},
       "the height limit is a span too: 3 rows span 2 > 1"},
      {{"######", "######", "######"},
       5,
       2,
       {"......", ".####.", "......"},
       "limits are inclusive; a box three rows high keeps its middle"},
      {{"###", "..#", "#.#", "#..", "#..", "#..", "#..", "#..", "#..", "#.."},
       5,
       5,
       {"...", "...", "...", "#..", "#..", "#..", "#..", "#..", "#..", "#.."},
       "the small hook's box outline also whitens a pixel of the long line, judged on its own"},
      {{"###"}, -1, -1, {"###"}, "negative limits remove nothing"},
  };
  for (const TSpotCase& c : cases) {
    for (std::int32_t blackIndex : {0, 1}) {
      auto image = Picture(c.before, blackIndex);
      RemoveSpots(*image, c.maxWidth, c.maxHeight);
      EXPECT_EQ(InkDrawing(*image), c.after) << c.reason << " (black index " << blackIndex << ")";
    }
  }
}

TEST(ConnectedComponents, DrawRectangleClipsToTheImage) {
  struct TCase {
    TRect rect;
    std::vector<std::string> after;
    const char* reason;
  };
  const TCase cases[] = {
      {{1, 1, 3, 3}, {".....", ".###.", ".#.#.", ".###.", "....."}, "four sides, ends included"},
      {{-2, 2, 9, 9},
       {".....", ".....", "#####", ".....", "....."},
       "sides outside the image are left out"},
      {{3, 1, 1, 2},
       {".....", ".#.#.", ".#.#.", ".....", "....."},
       "a reversed rectangle paints only its two side columns"},
      {{-2147483647, -2147483647, 2147483647, 2147483647},
       {".....", ".....", ".....", ".....", "....."},
       "a huge rectangle paints nothing inside"},
  };
  for (const TCase& c : cases) {
    auto image = Picture({".....", ".....", ".....", ".....", "....."});
    DrawRectangle(*image, c.rect, image->BlackIndex());
    EXPECT_EQ(InkDrawing(*image), c.after) << c.reason;
  }
}

TEST(ConnectedComponents, PageSizedComponentsNeedNoDeepStack) {
  const std::int32_t size = 2000;
  TDIB page;
  page.Allocate(size, size, df1Bit, 300, 300);  // all black
  EXPECT_EQ(Text(Blobs(page, 0, 0, 0)), "[0,0,1999,1999 n4000000 c1000,1000]")
      << "mean 999.5 rounds to even";

  // A serpentine: rows of ink joined alternately at the right and the left end, one long path.
  for (std::int32_t y = 1; y < size; y += 2) {
    const std::int32_t gap = (y / 2) % 2 == 0 ? 0 : size - 1;
    for (std::int32_t x = 0; x < size; ++x) page.SetPixel(x, y, x == gap ? 0 : 1);
  }
  const std::vector<TBlobRecord> blobs = Blobs(page, 0, 0, 0);
  ASSERT_EQ(blobs.size(), 1u);
  EXPECT_EQ(blobs[0].PixelCount, size * size / 2 + size / 2);
  RemoveSpots(page, size, size);
  EXPECT_EQ(page.GetPixel(0, 0), 1) << "the outline of the page-sized box is whitened";
  EXPECT_EQ(page.GetPixel(1, 2), 0) << "its inside keeps its ink";
}
