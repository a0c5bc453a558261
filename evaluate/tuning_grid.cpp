// The tuner's grid per method. Windows are square; where a field is automatic at -1 the grid
// tries the automatic choice beside fixed values.
#include "evaluate/tuning_grid.h"

#include <initializer_list>

namespace {

using TValues = std::initializer_list<std::int32_t>;

// Square local windows from letter strokes to whole paragraphs.
constexpr TValues kWindows = {15, 25, 41, 61, 101, 161, 241};

// Every combination of the values, the earlier fields varying slowest.
std::vector<TThresholdSettings> Combinations(std::int32_t algo, TValues methods, TValues contrasts,
                                             TValues brightnesses, TValues windows) {
  std::vector<TThresholdSettings> grid;
  for (const std::int32_t method : methods) {
    for (const std::int32_t contrast : contrasts) {
      for (const std::int32_t brightness : brightnesses) {
        for (const std::int32_t window : windows) {
          TThresholdSettings s;
          s.Algo = algo;
          s.Method = method;
          s.Contrast = contrast;
          s.Brightness = brightness;
          s.AreaWidth = s.AreaHeight = window;
          grid.push_back(s);
        }
      }
    }
  }
  return grid;
}

std::vector<TThresholdSettings> StandardLevels() {
  std::vector<TThresholdSettings> grid;
  for (std::int32_t level = 64; level <= 224; level += 8) {
    TThresholdSettings s;
    s.Algo = taStandard;
    s.Brightness = level;
    grid.push_back(s);
  }
  return grid;
}

}  // namespace

std::vector<TThresholdSettings> TuningGrid(std::int32_t algo) {
  const std::int32_t d = TThresholdSettings{}.Brightness;  // a field the method does not read
  switch (algo) {
    case taStandard:
      return StandardLevels();
    case taAuto:  // Otsu, Lloyd, Ridler and Calvard, Uniform Error, Standard Deviation
      return Combinations(algo, {0, 1, 2, 3, 4}, {d}, {d}, {7});
    case taDynamic:  // MinMax and Average; least local contrast; automatic fallback level
      return Combinations(algo, {0, 1}, {-1, 10, 20, 30, 45, 60, 80, 110}, {-1}, kWindows);
    case taAdvancedDynamic:  // Niblack, Contrast = -k x 100
      return Combinations(algo, {0}, {0, 20, 40, 60, 80, 100, 130, 160, 200, 255}, {d}, kWindows);
    case taEdge:  // sensitivity (-1 automatic) x largest speck removed
      return Combinations(algo, {0}, {-1, 8, 16, 32, 48, 64, 96, 128}, {1, 3, 6, 10}, {7});
    case taAdaptive:  // edge level and fallback level, automatic or fixed
      return Combinations(algo, {0}, {-1, 10, 20, 40, 80}, {-1, 128}, kWindows);
    case taBackgroundTracking:  // contribution x 255; gray range Brightness / 2 .. 2 x Brightness
      return Combinations(algo, {0}, {64, 128, 192, 255}, {80, 104, 128, 152}, kWindows);
    case taSauvola:  // Contrast = k x 100; dynamic range R automatic or 128
      return Combinations(algo, {0}, {10, 20, 30, 40, 50, 60}, {-1, 128}, kWindows);
    case taWolfJolion:  // Contrast = k x 100
      return Combinations(algo, {0}, {10, 20, 30, 40, 50, 60, 70, 85, 100}, {d}, kWindows);
    case taNick:  // Contrast = -k x 100
      return Combinations(algo, {0}, {5, 10, 15, 20, 25, 30, 40}, {d}, kWindows);
    case taBackgroundNormalized:  // deviation factor x 100; paper square side; edge window
      return Combinations(algo, {0}, {0, 25, 50, 75, 100, 150}, {15, 31, 61, 121}, {9, 15, 31, 61});
    default:  // PEI and numbers without a method: one setting, reported as not binarizing
      return Combinations(algo, {0}, {d}, {d}, {7});
  }
}
