// The main window's rules that need no window: zone texts, the slider window's place, the
// enabling of actions, the command line, scroll synchronisation and slider rest.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "app/action_states.h"
#include "app/batch_list.h"
#include "app/scroll_sync.h"
#include "app/slider_rest.h"
#include "app/start_request.h"
#include "app/window_placement.h"
#include "app/zone.h"

TEST(Zone, PanelTextAndRectangle) {
  struct Case {
    TZone zone;
    const char* text;
    TRect rect;  // for a 300 x 200 image
    const char* reason;
  } cases[] = {
      {TZone::Whole(), "Full Image", {0, 0, 299, 199}, "the whole image is its own state"},
      {TZone::Band({10, 20, 110, 150}), "Area 10,20 - 110,150", {10, 20, 110, 150}, "a band"},
      {TZone::Band({5, 0, 5, 199}),
       "Area 5,0 - 5,199",
       {5, 0, 5, 199},
       "one column wide is a zone, not the whole image"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ZonePanelText(c.zone), c.text) << c.reason;
    const TRect r = ZoneRectangle(c.zone, 300, 200);
    EXPECT_EQ((std::array{r.Left, r.Top, r.Right, r.Bottom}),
              (std::array{c.rect.Left, c.rect.Top, c.rect.Right, c.rect.Bottom}))
        << c.reason;
  }
}

TEST(PlaceThresholdingWindow, BesideTheBand) {
  const TRect screen{0, 0, 1919, 1079};
  struct Case {
    TRect band;
    TScreenPoint expected;
    const char* reason;
  } cases[] = {
      {{100, 100, 400, 300}, {400, 100}, "room on the right and below: right, level with top"},
      {{100, 100, 1805, 300}, {-15, 100}, "115 left on the right is not more than 115: left"},
      {{100, 100, 1804, 300}, {1804, 100}, "116 left on the right is enough"},
      {{100, 900, 400, 1000}, {400, 795}, "too short below the top: aligned with the bottom"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceThresholdingWindow(c.band, screen, 115, 205), c.expected) << c.reason;
  }
  EXPECT_EQ(PlaceThresholdingWindow({2000, 10, 2100, 50}, {1920, 0, 3839, 1079}, 115, 205),
            (TScreenPoint{2100, 10}))
      << "a second screen measures its room from its own right edge";
}

TEST(ActionStates, FollowTheWindow) {
  struct Case {
    TWindowState state;
    TActionStates expected;
    const char* reason;
  } cases[] = {
      {{true, true, true, 0, -1},
       {true, false, false, false, false, false, false},
       "no image: zoom, Refresh and Save As disabled"},
      {{false, false, false, 0, -1},
       {false, true, true, true, true, false, false},
       "one image outside batch mode, side by side"},
      {{false, false, true, 3, 0},
       {true, false, true, true, true, false, true},
       "first file of a batch: First and Prior disabled"},
      {{false, false, true, 3, 2},
       {true, false, true, true, true, true, false},
       "last file of a batch: Next and Last disabled"},
      {{false, true, true, 1, 0},
       {true, false, true, true, false, false, false},
       "a one-file batch whose processed view is empty"},
  };
  for (const Case& c : cases) EXPECT_EQ(ActionStatesOf(c.state), c.expected) << c.reason;
}

TEST(StartRequest, CommandLineRule) {
  const std::set<std::string> files{"page.tif"}, folders{"in", "out"};
  const auto isFile = [&](const std::string& name) { return files.count(name) > 0; };
  const auto isFolder = [&](const std::string& name) { return folders.count(name) > 0; };
  struct Case {
    std::vector<std::string> arguments;
    TStartKind kind;
    const char* reason;
  } cases[] = {
      {{}, TStartKind::skNothing, "plain start"},
      {{"page.tif"}, TStartKind::skOpenFile, "an existing file opens"},
      {{"page.tif", "out"}, TStartKind::skOpenFile, "a file wins over further arguments"},
      {{"in", "out"}, TStartKind::skScanFolders, "two folders start a batch"},
      {{"in"}, TStartKind::skNothing, "one folder alone is ignored"},
      {{"in", "missing"}, TStartKind::skNothing, "the output folder must exist"},
      {{"missing.tif"}, TStartKind::skNothing, "neither file nor folder is ignored"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StartRequestOf(c.arguments, isFile, isFolder).Kind, c.kind) << c.reason;
  }
  const TStartRequest batch = StartRequestOf({"in", "out"}, isFile, isFolder);
  EXPECT_EQ(batch.InputFolder, "in");
  EXPECT_EQ(batch.OutputFolder, "out");
}

TEST(SynchronisedPosition, FollowsTheRangeRatio) {
  struct Case {
    std::int32_t position, range, otherRange, otherPosition, expected;
    const char* reason;
  } cases[] = {
      {500, 1000, 2000, 0, 1000, "the middle maps to the middle"},
      {1, 4, 10, 0, 2, "2.5 rounds to the even 2"},
      {3, 4, 10, 0, 8, "7.5 rounds to the even 8"},
      {7, 0, 10, 4, 4, "a range of 0 leaves the other view alone"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SynchronisedPosition(c.position, c.range, c.otherRange, c.otherPosition), c.expected)
        << c.reason;
  }
}

TEST(SliderRest, NotifiesAtTheSecondQuietTick) {
  TSliderRest rest;
  rest.Shown();
  rest.SetPositions(128, 128);
  rest.Changed();
  EXPECT_TRUE(rest.TimerOn());
  EXPECT_FALSE(rest.Tick(140, 128)) << "a change resets the quiet ticks";
  EXPECT_FALSE(rest.Tick(140, 128)) << "one quiet tick is not rest";
  EXPECT_TRUE(rest.Tick(140, 128)) << "the second quiet tick notifies";
  EXPECT_FALSE(rest.TimerOn()) << "and stops the timer";
}

TEST(SliderRest, SetPositionsNeverNotifies) {
  TSliderRest rest;
  rest.Shown();
  rest.Changed();
  rest.SetPositions(10, 20);
  EXPECT_FALSE(rest.TimerOn()) << "setting the sliders stops the timer the change started";
}

TEST(SliderRest, MovedAndBackStillNotifiesOnce) {
  TSliderRest rest;
  rest.Shown();
  rest.SetPositions(128, 128);
  rest.Changed();
  EXPECT_FALSE(rest.Tick(128, 128));
  EXPECT_TRUE(rest.Tick(128, 128)) << "the owner then finds nothing to do itself";
}

TEST(BatchStepOf, NavigationKeepsWithinTheList) {
  struct Case {
    TBatchMove move;
    std::int32_t index, count, expected;
    bool message;
    const char* reason;
  } cases[] = {
      {TBatchMove::bmFirst, 2, 4, 0, false, "First"},
      {TBatchMove::bmLast, 0, 4, 3, false, "Last"},
      {TBatchMove::bmPrior, 2, 4, 1, false, "Prior"},
      {TBatchMove::bmNext, 2, 4, 3, false, "Next"},
      {TBatchMove::bmPrior, 0, 4, -1, true, "Prior on the first file says so and stays"},
      {TBatchMove::bmNext, 3, 4, -1, true, "Next on the last file says so and stays"},
  };
  for (const Case& c : cases) {
    const TBatchStep step = BatchStepOf(c.move, c.index, c.count);
    EXPECT_EQ(step.Index, c.expected) << c.reason;
    EXPECT_EQ(step.Message != nullptr, c.message) << c.reason;
  }
}

TEST(BatchNames, FolderSeparatorAndOutputs) {
  EXPECT_EQ(WithTrailingSeparator("/scans"), "/scans/");
  EXPECT_EQ(WithTrailingSeparator("/scans/"), "/scans/");
  EXPECT_EQ(WithTrailingSeparator(""), "/");
  TBatchOptions options;
  options.OutputFolder = "/bw/";
  options.OutputFormat = ofBMP;
  EXPECT_EQ(BatchOutputName(options, "/scans/a.jpg"), "/bw/a.bmp");
}
