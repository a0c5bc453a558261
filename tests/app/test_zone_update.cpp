// The zone update: what it pastes must be what cutting the zone out of a whole copy of the
// original and pasting it into a whole copy of the processed image gives, and nothing outside
// the zone may change.
#include <gtest/gtest.h>

#include <memory>

#include "app/zone_update.h"
#include "platform/memory_block.h"

namespace {

// A gray image with a diagonal ramp and some dark strokes, so that every method has edges.
std::unique_ptr<TDIB> GrayPage(std::int32_t width, std::int32_t height) {
  auto page = std::make_unique<TDIB>();
  page->Allocate(width, height, df8Bit, 300, 300);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const bool stroke = (x / 3 + y / 5) % 7 == 0;
      page->SetPixel(x, y, stroke ? 30 + (x % 20) : 90 + (x + 2 * y) % 150);
    }
  }
  return page;
}

void Show(TDIB& image, TDibGraphic& graphic) {
  graphic.AssignHDIB(image.GetHandle());
}

// The processed image as opening makes it: the original binarized whole.
void ShowBinarized(const TDibGraphic& original, TDibGraphic& processed,
                   const TThresholdSettings& settings) {
  TDIB copy;
  copy.AssignHandle(original.CreateHDIB());
  ApplyThresholding(copy, settings);
  Show(copy, processed);
}

// The copy-everything route: both images copied whole, the zone cropped and pasted.
std::unique_ptr<TDIB> WholeCopyRoute(const TDibGraphic& original, const TDibGraphic& processed,
                                     const TRect& zone, const TThresholdSettings& settings) {
  TDIB cut;
  cut.AssignHandle(original.CreateHDIB());
  cut.Crop(zone);
  ApplyThresholding(cut, settings);
  auto result = std::make_unique<TDIB>();
  result->AssignHandle(processed.CreateHDIB());
  result->Paste(cut, std::max(zone.Left, 0), std::max(zone.Top, 0));
  return result;
}

void ExpectSamePixels(const TDibGraphic& graphic, const TDIB& expected, const char* reason) {
  ASSERT_EQ(graphic.Width(), expected.Width()) << reason;
  ASSERT_EQ(graphic.Height(), expected.Height()) << reason;
  for (std::int32_t y = 0; y < expected.Height(); ++y) {
    for (std::int32_t x = 0; x < expected.Width(); ++x) {
      ASSERT_EQ(graphic.GetPixelIndex(x, y), expected.GetPixel(x, y))
          << reason << " at (" << x << ", " << y << ")";
    }
  }
}

TThresholdSettings Settings(std::int32_t algo, std::int32_t contrast, std::int32_t brightness) {
  TThresholdSettings settings;
  settings.Algo = algo;
  settings.Contrast = contrast;
  settings.Brightness = brightness;
  settings.AreaWidth = settings.AreaHeight = 9;
  return settings;
}

}  // namespace

TEST(UpdateZone, AgreesWithCopyingBothImagesWhole) {
  struct Case {
    TRect zone;
    TThresholdSettings settings;
    const char* reason;
  } cases[] = {
      {{10, 7, 40, 30}, Settings(taStandard, 128, 100), "an inner zone at another level"},
      {{0, 0, 96, 60}, Settings(taStandard, 128, 170), "the whole image"},
      {{-5, -3, 20, 12}, Settings(taStandard, 128, 170), "a band reaching past the top left"},
      {{80, 50, 200, 90}, Settings(taStandard, 128, 60), "a band reaching past the bottom right"},
      {{33, 0, 33, 60}, Settings(taStandard, 128, 170), "one column"},
      {{0, 17, 96, 17}, Settings(taStandard, 128, 170), "one row"},
      {{13, 9, 77, 51}, Settings(taAdvancedDynamic, 40, 128), "a local method sees only the zone"},
      {{13, 9, 77, 51}, Settings(taAuto, 128, 128), "a histogram rule counts only the zone"},
  };
  for (const Case& c : cases) {
    auto page = GrayPage(97, 61);
    TDibGraphic original, processed;
    Show(*page, original);
    ShowBinarized(original, processed, TThresholdSettings{});
    const auto expected = WholeCopyRoute(original, processed, c.zone, c.settings);
    UpdateZone(original, processed, c.zone, c.settings);
    ExpectSamePixels(processed, *expected, c.reason);
  }
}

TEST(UpdateZone, LeavesEverythingOutsideTheZone) {
  auto page = GrayPage(64, 48);
  TDibGraphic original, processed;
  Show(*page, original);
  ShowBinarized(original, processed, TThresholdSettings{});
  TDIB before;
  before.AssignHandle(processed.CreateHDIB());
  UpdateZone(original, processed, {8, 8, 23, 19}, Settings(taStandard, 128, 250));
  for (std::int32_t y = 0; y < 48; ++y) {
    for (std::int32_t x = 0; x < 64; ++x) {
      const bool inside = x >= 8 && x <= 23 && y >= 8 && y <= 19;
      if (inside) {
        EXPECT_EQ(processed.GetPixelIndex(x, y), 0) << "level 250 makes the zone black";
      } else {
        ASSERT_EQ(processed.GetPixelIndex(x, y), before.GetPixel(x, y)) << x << ", " << y;
      }
    }
  }
}

// An existing output shown as the processed image may be gray, colour or white-first; the
// zone must arrive as black and white, not as indexes 0 and 1 of another table.
TEST(UpdateZone, PastesByColourIntoOtherFormats) {
  struct Case {
    TDIBFormat format;
    bool whiteFirst;
    const char* reason;
  } cases[] = {
      {df8Bit, false, "a gray output: black 0, white 255"},
      {df24Bit, false, "a colour output: black and white pixels"},
      {df1Bit, true, "a bi-level output whose table lists white first"},
      {df4Bit, false, "a 16-gray output"},
  };
  for (const Case& c : cases) {
    auto page = GrayPage(40, 30);
    TDibGraphic original, processed;
    Show(*page, original);
    TDIB output;
    output.Allocate(40, 30, c.format, 300, 300);
    if (c.format != df24Bit) {
      const std::int32_t last = output.PaletteCount() - 1;
      for (std::int32_t i = 0; i <= last; ++i) {
        const std::int32_t level = (c.whiteFirst ? last - i : i) * 255 / last;
        output.SetPaletteEntry(i, level * 0x010101);
      }
    }
    output.Fill(c.whiteFirst ? 0x00 : 0xFF);  // white everywhere, whichever index holds it
    Show(output, processed);
    TDIB binarized;
    binarized.AssignHandle(original.CreateHDIB());
    ApplyThresholding(binarized, Settings(taStandard, 128, 128));
    UpdateZone(original, processed, {0, 0, 39, 29}, Settings(taStandard, 128, 128));
    for (std::int32_t y = 0; y < 30; ++y) {
      for (std::int32_t x = 0; x < 40; ++x) {
        const TColorValue expected = binarized.GetPixel(x, y) == 0 ? 0x000000 : 0xFFFFFF;
        ASSERT_EQ(processed.GetPixelColor(x, y), expected) << c.reason << " " << x << "," << y;
      }
    }
  }
}

TEST(UpdateZone, ProcessedSmallerThanOriginalIsClipped) {
  auto page = GrayPage(50, 40);
  auto small = GrayPage(20, 10);
  TDibGraphic original, processed;
  Show(*page, original);
  Show(*small, processed);
  ShowBinarized(processed, processed, TThresholdSettings{});
  UpdateZone(original, processed, {10, 5, 45, 35}, Settings(taStandard, 128, 250));
  EXPECT_EQ(processed.GetPixelIndex(19, 9), 0) << "the part inside is pasted";
  EXPECT_EQ(processed.Width(), 20) << "the processed image keeps its size";
}

TEST(UpdateZone, ZoneWhollyOutsideChangesNothing) {
  auto page = GrayPage(30, 20);
  TDibGraphic original, processed;
  Show(*page, original);
  ShowBinarized(original, processed, TThresholdSettings{});
  TDIB before;
  before.AssignHandle(processed.CreateHDIB());
  UpdateZone(original, processed, {40, 2, 60, 10}, Settings(taStandard, 128, 250));
  ExpectSamePixels(processed, before, "a zone right of the image");
}

TEST(ZoneUpdateNeeded, SlidersOrRefresh) {
  const TThresholdSettings settings = Settings(taDynamic, 40, 128);
  EXPECT_FALSE(ZoneUpdateNeeded(settings, 40, 128, false)) << "sliders at the settings' values";
  EXPECT_TRUE(ZoneUpdateNeeded(settings, 41, 128, false)) << "left slider moved";
  EXPECT_TRUE(ZoneUpdateNeeded(settings, 40, 255, false)) << "right slider moved";
  EXPECT_TRUE(ZoneUpdateNeeded(settings, 40, 128, true)) << "Refresh forces it";
  const TThresholdSettings used = SliderSettings(settings, 7, 9);
  EXPECT_EQ(used.Contrast, 7);
  EXPECT_EQ(used.Brightness, 9);
  EXPECT_EQ(used.AreaWidth, settings.AreaWidth) << "the rest of the settings are kept";
}
