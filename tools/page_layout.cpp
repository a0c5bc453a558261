// Layout of the sample page's document. Positions are in pixels of the A4 page at 300 dpi;
// the prose is drawn from a fixed list of words, so it reads like a report at a glance.
#include "tools/page_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "tools/stroke_font.h"

namespace {

constexpr double kLeft = 250.0;
constexpr double kRight = 2230.0;
constexpr double kLinePitch = 56.0;
constexpr double kIndent = 90.0;
constexpr double kLastBaseline = 3100.0;

constexpr TTextStyle kBody{2.8, 1.9};
constexpr TTextStyle kBold{2.8, 2.6};
constexpr TTextStyle kHeading{6.5, 4.6};
constexpr TTextStyle kSubheading{3.4, 2.2};

constexpr const char* kWords[] = {
    "the",      "of",      "and",       "to",       "in",       "is",       "that",   "for",
    "on",       "with",    "as",        "by",       "this",     "are",      "from",   "at",
    "be",       "which",   "or",        "have",     "its",      "not",      "were",   "has",
    "been",     "their",   "more",      "also",     "these",    "other",    "such",   "than",
    "may",      "between", "each",      "into",     "most",     "during",   "some",   "only",
    "after",    "water",   "sample",    "site",     "level",    "results",  "survey", "data",
    "field",    "values",  "measured",  "river",    "station",  "period",   "report", "flow",
    "average",  "samples", "higher",    "lower",    "quality",  "seasonal", "change", "within",
    "table",    "shows",   "following", "records",  "upstream", "summer",   "winter", "rainfall",
    "sediment", "nitrate", "readings",  "expected", "observed",
};

constexpr const char* kSites[] = {
    "Mill Ford", "North Weir", "Cold Spring", "Oak Bend",   "Stone Bridge", "Lower Pond",
    "East Gate", "Reed Bank",  "Fox Hollow",  "Long Reach", "High Moor",    "Salt Marsh",
};

template <typename T, std::size_t N>
const T& Pick(TSampleRandom& random, const T (&list)[N]) {
  return list[static_cast<std::size_t>(random.Between(0, static_cast<std::int32_t>(N) - 1))];
}

std::vector<std::string> Sentence(TSampleRandom& random) {
  const std::int32_t count = random.Between(7, 17);
  std::vector<std::string> words;
  for (std::int32_t i = 0; i < count; ++i) {
    std::string word = Pick(random, kWords);
    if (i == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
    if (i + 1 < count && random.Between(0, 7) == 0) word += ',';
    words.push_back(word);
  }
  words.back() += '.';
  return words;
}

// A ragged-right paragraph of at least lineCount lines, its first line indented; it ends with
// its last sentence. Answers the baseline below it.
double DrawParagraph(TInkCanvas& ink, TSampleRandom& random, double baseline,
                     std::int32_t lineCount) {
  const double space = TextWidth(kBody, " ");
  double x = kLeft + kIndent;
  std::int32_t line = 0;
  while (line + 1 < lineCount) {
    for (const std::string& word : Sentence(random)) {
      if (x + TextWidth(kBody, word) > kRight) {
        ++line;
        baseline += kLinePitch;
        x = kLeft;
      }
      x = DrawText(ink, random, kBody, x, baseline, word) + space;
    }
  }
  return baseline + kLinePitch;
}

void DrawCentred(TInkCanvas& ink, TSampleRandom& random, const TTextStyle& style, double baseline,
                 const std::string& text) {
  const double width = TextWidth(style, text);
  DrawText(ink, random, style, 0.5 * (kLeft + kRight - width), baseline, text);
}

void Rule(TInkCanvas& ink, double x0, double y0, double x1, double y1, double radius) {
  ink.Stroke(x0, y0, x1, y1, radius, 250);
}

std::string Decimal(std::int32_t tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::array<std::string, 6> TableRow(TSampleRandom& random) {
  constexpr const char* kGrades[] = {"good", "fair", "poor"};
  return {Pick(random, kSites),
          Decimal(random.Between(5, 400)),
          Decimal(random.Between(40, 240)),
          Decimal(random.Between(60, 89)),
          Decimal(random.Between(1, 990)),
          Pick(random, kGrades)};
}

// A ruled table: a framed header in bold, ten rows of measurements, column rules. The first
// column is set flush left, the numbers flush right. Answers the baseline below its caption.
double DrawTable(TInkCanvas& ink, TSampleRandom& random, double top) {
  constexpr std::array<double, 7> kColumnEdges = {0, 3, 5, 7, 9, 11, 13};
  constexpr std::int32_t kRows = 11;
  constexpr double kRowHeight = 64.0;
  constexpr double kPadding = 18.0;
  const std::array<std::string, 6> header = {"Site", "Depth", "Temp", "pH", "Flow", "Grade"};
  const double bottom = top + kRows * kRowHeight;
  auto edge = [&](std::size_t column) {
    return kLeft + (kRight - kLeft) * kColumnEdges[column] / kColumnEdges.back();
  };
  for (std::int32_t row = 0; row < kRows; ++row) {
    const std::array<std::string, 6> cells = row == 0 ? header : TableRow(random);
    const TTextStyle& style = row == 0 ? kBold : kBody;
    const double baseline = top + row * kRowHeight + 49.0;
    for (std::size_t column = 0; column < cells.size(); ++column) {
      const bool flushLeft = column == 0 || column + 1 == cells.size() || row == 0;
      const double x = flushLeft ? edge(column) + kPadding
                                 : edge(column + 1) - kPadding - TextWidth(style, cells[column]);
      DrawText(ink, random, style, x, baseline, cells[column]);
    }
    if (row > 1) Rule(ink, kLeft, top + row * kRowHeight, kRight, top + row * kRowHeight, 1.1);
  }
  Rule(ink, kLeft, top + kRowHeight - 4, kRight, top + kRowHeight - 4, 1.3);
  Rule(ink, kLeft, top + kRowHeight + 4, kRight, top + kRowHeight + 4, 1.3);
  for (std::size_t column = 1; column + 1 < kColumnEdges.size(); ++column) {
    Rule(ink, edge(column), top, edge(column), bottom, 1.1);
  }
  for (const auto& [x0, y0, x1, y1] :
       {std::array{kLeft, top, kRight, top}, std::array{kRight, top, kRight, bottom},
        std::array{kRight, bottom, kLeft, bottom}, std::array{kLeft, bottom, kLeft, top}}) {
    Rule(ink, x0, y0, x1, y1, 2.0);
  }
  const double caption = bottom + 70.0;
  DrawCentred(ink, random, kBody, caption, "Table 1. Measured values at the survey sites.");
  return caption + 1.5 * kLinePitch;
}

// Dust specks of a pixel or a few, and a couple of thin curling hairs.
void DrawDirt(TInkCanvas& ink, TSampleRandom& random) {
  for (std::int32_t i = 0; i < 80; ++i) {
    const double x = random.Unit() * ink.Width();
    const double y = random.Unit() * ink.Height();
    const double radius = 0.6 + 1.6 * random.Unit();
    ink.Stroke(x, y, x, y, radius, static_cast<std::uint8_t>(random.Between(120, 255)));
  }
  for (std::int32_t hair = 0; hair < 2; ++hair) {
    double x = random.Unit() * ink.Width();
    double y = random.Unit() * ink.Height();
    double dx = random.Unit() - 0.5;
    double dy = random.Unit() - 0.5;
    for (std::int32_t step = 0; step < 14; ++step) {
      dx += 0.4 * (random.Unit() - 0.5);
      dy += 0.4 * (random.Unit() - 0.5);
      const double length = std::sqrt(dx * dx + dy * dy) + 1e-9;
      dx /= length;
      dy /= length;
      ink.Stroke(x, y, x + 14.0 * dx, y + 14.0 * dy, 0.7, 150);
      x += 14.0 * dx;
      y += 14.0 * dy;
    }
  }
}

}  // namespace

TRowBand DrawDocument(TInkCanvas& ink, TSampleRandom& random) {
  constexpr double kHeadingBaseline = 330.0;
  DrawCentred(ink, random, kHeading, kHeadingBaseline, "Field Survey Report");
  DrawCentred(ink, random, kSubheading, 425.0, "Water Quality Monitoring - Station Records 2023");
  Rule(ink, kLeft, 470.0, kRight, 470.0, 1.6);

  double baseline = 560.0;
  for (std::int32_t paragraph = 0; paragraph < 2; ++paragraph) {
    baseline = DrawParagraph(ink, random, baseline, random.Between(5, 7)) + 0.5 * kLinePitch;
  }
  baseline = DrawTable(ink, random, baseline - 20.0);
  for (;;) {
    const auto room = static_cast<std::int32_t>((kLastBaseline - baseline) / kLinePitch);
    if (room < 3) break;
    baseline = DrawParagraph(ink, random, baseline, std::min(room - 1, random.Between(4, 8))) +
               0.5 * kLinePitch;
  }
  Rule(ink, kLeft, 3250.0, kRight, 3250.0, 1.1);
  DrawCentred(ink, random, kBody, 3320.0, "Page 3");
  DrawDirt(ink, random);
  const double headingTop = kHeadingBaseline - 12.0 * kHeading.unit - 25.0;
  return {static_cast<std::int32_t>(headingTop), static_cast<std::int32_t>(kHeadingBaseline + 25)};
}
