// Zoom percents of the zoom modes in single precision, and the display they give.
#include <gtest/gtest.h>

#include "viewer/zoom_display_size.h"
#include "viewer/zoom_percent.h"

namespace {

struct TZoomCase {
  TZoomMode Mode;
  TExtent Client, Image;
  float Current, Expected;
  const char* Reason;
};

// The percent rounded as the view rounds it: the quotient to float, times 100 to float.
float Percent(double client, double image) {
  return static_cast<float>(static_cast<double>(static_cast<float>(client / image)) * 100.0);
}

const TZoomCase kZoomCases[] = {
    {zmFitToPage, {686, 163}, {2480, 3508}, 100, 4.6465220F, "page in a low client: height rules"},
    {zmFullPage, {686, 163}, {2480, 3508}, 100, 4.6465220F, "a large page fits the same way"},
    {zmFitToPage, {686, 163}, {100, 100}, 100, 100.0F, "a small image is never enlarged"},
    {zmFullPage, {686, 163}, {100, 100}, 100, 163.0F, "full page enlarges a small image"},
    {zmFullPage, {300, 900}, {600, 600}, 100, 50.0F, "width rules when it is the smaller"},
    {zmFitWidth, {686, 163}, {2480, 3508}, 100, Percent(686, 2480), "width alone"},
    {zmFitHeight, {686, 163}, {2480, 3508}, 100, Percent(163, 3508), "height alone"},
    {zmOriginalSize, {686, 163}, {2480, 3508}, 37.5F, 100.0F, "original size is 100"},
    {zmPercent, {686, 163}, {2480, 3508}, 37.5F, 37.5F, "percent keeps the set value"},
};

TEST(ZoomPercent, ModesGiveTheirSinglePrecisionPercent) {
  for (const TZoomCase& c : kZoomCases) {
    EXPECT_EQ(ComputeZoomPercent(c.Mode, c.Current, c.Client, c.Image), c.Expected) << c.Reason;
  }
}

TEST(ZoomPercent, TheFitToPageDisplayIsOneRowLowerThanTheClient) {
  // The float rounding of 163 / 3508 leaves the display at 162 rows: no scroll bar is needed.
  float percent = ComputeZoomPercent(zmFitToPage, 100, {686, 163}, {2480, 3508});
  EXPECT_EQ(DisplaySize({2480, 3508}, percent), (TExtent{115, 162}));
}

struct TBarsCase {
  TZoomMode Mode;
  bool HideVertical, HideHorizontal;
  const char* Reason;
};

const TBarsCase kBarsCases[] = {
    {zmFullPage, true, true, "a whole page is computed without bars"},
    {zmFitToPage, true, true, "as full page"},
    {zmFitHeight, true, true, "height is read without the horizontal bar"},
    {zmFitWidth, false, false, "fit width keeps the bars of the previous rebuild"},
    {zmOriginalSize, false, false, "no client extent is read"},
    {zmPercent, false, false, "no client extent is read"},
};

TEST(ZoomPercent, ModesHideTheScrollBarsTheyMeasureWithout) {
  for (const TBarsCase& c : kBarsCases) {
    TZoomScrollBars bars = ScrollBarsHiddenForZoom(c.Mode);
    EXPECT_EQ(bars.HideVertical, c.HideVertical) << c.Reason;
    EXPECT_EQ(bars.HideHorizontal, c.HideHorizontal) << c.Reason;
  }
}

}  // namespace
