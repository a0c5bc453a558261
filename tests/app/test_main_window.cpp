// The main window driven as an operator drives it: start, open, draw a zone, move a slider,
// save, and the window's answers in its status bar and actions.
#include <QAction>
#include <filesystem>

#include "app/zone_update.h"
#include "window_fixture.h"

namespace {

std::string Plain(const QAction* action) {
  return action->text().remove('&').toStdString();
}

}  // namespace

TEST_F(TWindowTest, StartsReadyWithTheDefaultStates) {
  Start();
  EXPECT_EQ(window->windowTitle().toStdString(), "Vardemont Zonewright");
  EXPECT_EQ(window->Panel(0), "Ready");
  EXPECT_EQ(window->Panel(2), "Full Image");
  struct Case {
    QAction* action;
    const char* caption;
    bool checked, enabled;
    const char* reason;
  } cases[] = {
      {window->ActionFitToWidth, "Fit To Width", true, false, "fit to width after start"},
      {window->ActionRefresh, "Refresh", false, false, "nothing to refresh without an image"},
      {window->ActionSave, "Save As...", false, false, "nothing to save"},
      {window->ActionImmediate, "Immediate", true, true, "immediate processing is on"},
      {window->ActionAutoSave, "Auto Save", true, true, "auto save is on"},
      {window->ActionSyncronization, "Syncronization", true, true, "synchronised scrolling"},
      {window->ActionScaleToGray, "ScaleToGray", true, true, "scale to gray is on"},
      {window->ActionVertical, "Vertical", true, true, "original view above the processed"},
      {window->ActionNextImage, "Next Image", false, false, "no batch"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Plain(c.action), c.caption) << c.reason;
    EXPECT_EQ(c.action->isChecked(), c.checked) << c.reason;
    EXPECT_EQ(c.action->isEnabled(), c.enabled) << c.reason;
  }
  EXPECT_EQ(window->ActionNextImage->shortcuts().size(), 2) << "Ctrl+PgDn and Space";
}

TEST_F(TWindowTest, CommandLineFileOpensIntoBothViews) {
  const std::string page = WritePage("page.tif");
  Start({page});
  EXPECT_EQ(Original().Graphic().Width(), 160);
  EXPECT_EQ(Processed().Graphic().ImageFormat(), gfBilevel) << "binarized whole";
  EXPECT_TRUE(window->Modified);
  EXPECT_EQ(window->Panel(1), "Modified");
  EXPECT_EQ(window->Panel(3), page);
  window->ActionManager1Update();
  EXPECT_TRUE(window->ActionSave->isEnabled());
  EXPECT_EQ(Original().ZoomMode(), zmFitWidth) << "the opened image takes the checked zoom";
}

TEST_F(TWindowTest, CommandLineRule) {
  const std::string page = WritePage("in/a.tif");
  std::filesystem::create_directories(folder / "out");
  Start({folder / "in", folder / "out"});
  EXPECT_EQ(window->Batch.Count(), 1) << "two folders start a batch";
  EXPECT_EQ(window->Panel(3), page + " (1 of 1)");
  window.reset();
  Start({folder / "nothing-here"});
  EXPECT_TRUE(Original().Graphic().Empty()) << "neither file nor folder is ignored";
}

// A band drawn while the sliders stand at the settings changes nothing; a slider moved and
// left at rest processes that zone, and only that zone.
TEST_F(TWindowTest, SliderAtRestProcessesTheZoneOnly) {
  Start({WritePage("page.tif")});
  const std::vector<TColorValue> before = ProcessedColours();
  DrawBand(Original(), {100, 40}, {400, 160});
  ASSERT_FALSE(window->Zone.WholeImage);
  EXPECT_EQ(window->Panel(2).rfind("Area ", 0), 0u) << window->Panel(2);
  EXPECT_EQ(ProcessedColours(), before) << "sliders at the settings: nothing to do";

  ASSERT_TRUE(MoveRightSliderAndRest(250));
  const std::vector<TColorValue> after = ProcessedColours();
  const TRect zone = window->Zone.Rect;
  std::int32_t changedInside = 0;
  for (std::int32_t y = 0; y < 120; ++y) {
    for (std::int32_t x = 0; x < 160; ++x) {
      const std::size_t i = static_cast<std::size_t>(y * 160 + x);
      const bool inside = x >= zone.Left && x <= zone.Right && y >= zone.Top && y <= zone.Bottom;
      if (inside) {
        changedInside += after[i] != before[i];
      } else {
        ASSERT_EQ(after[i], before[i]) << "outside the zone at " << x << ", " << y;
      }
    }
  }
  EXPECT_GT(changedInside, 0) << "level 250 blackens the zone";
}

// A band on the processed view: its update rebuilds that view, whose band report must not
// start a second update.
TEST_F(TWindowTest, BandOnTheProcessedViewUpdatesOnce) {
  Start({WritePage("page.tif")});
  window->DialogoThresholdingInterattivo->TrackBarBrightness->setValue(30);
  const std::uint64_t rebuilds = Processed().RebuildCount();
  DrawBand(Processed(), {50, 30}, {300, 120});
  EXPECT_FALSE(window->Zone.WholeImage);
  EXPECT_EQ(Processed().RebuildCount(), rebuilds + 1) << "one update, one rebuild";
  EXPECT_FALSE(Original().Rubberband()->HasSelection()) << "one band at a time";
}

TEST_F(TWindowTest, RefreshProcessesTheWholeImageWithoutABand) {
  Start({WritePage("page.tif")});
  window->Settings.Brightness = 60;  // the settings changed, the sliders did not
  window->DialogoThresholdingInterattivo->SetPositions(128, 250);
  window->ActionRefresh->trigger();
  TDIB expected;
  expected.AssignHandle(Original().Graphic().CreateHDIB());
  ApplyThresholding(expected, SliderSettings(window->Settings, 128, 250));
  const std::vector<TColorValue> colours = ProcessedColours();
  for (std::int32_t i = 0; i < 160 * 120; ++i) {
    ASSERT_EQ(colours[static_cast<std::size_t>(i)],
              expected.GetPixel(i % 160, i / 160) == 0 ? 0u : 0xFFFFFFu)
        << "the whole page at the sliders' level, pixel " << i;
  }
  EXPECT_TRUE(window->Zone.WholeImage);
  EXPECT_EQ(window->Panel(2), "Full Image");
}

TEST_F(TWindowTest, SaveAsWritesTheConfirmedNameAndReadsBack) {
  Start({WritePage("page.tif")});
  dialogs.SaveFiles.push_back(TSaveChoice{folder / "result", 2});
  window->ActionSave->trigger();
  window->Saves().WaitForSave();
  const std::string written = folder / "result.png";
  ASSERT_TRUE(std::filesystem::exists(written)) << "the filter's extension is added";
  TDIB image;
  image.LoadFromFile(written, 0);
  EXPECT_EQ(image.Width(), 160);
  EXPECT_FALSE(window->Modified);
  EXPECT_EQ(window->Panel(1), "");
}

TEST_F(TWindowTest, SaveAsKeepsAnExtensionTheOperatorTyped) {
  Start({WritePage("page.tif")});
  std::filesystem::create_directories(folder / "bw");
  dialogs.SaveFiles.push_back(TSaveChoice{folder / "bw/scan.tiff", 0});
  window->ActionSave->trigger();
  window->Saves().WaitForSave();
  EXPECT_TRUE(std::filesystem::exists(folder / "bw/scan.tiff")) << "not renamed to .tif";
  EXPECT_FALSE(std::filesystem::exists(folder / "bw/scan.tif"));
}

// A save that fails is reported with its file and reason, and the image counts as modified
// again, so leaving it asks or saves once more.
TEST_F(TWindowTest, FailedSaveIsReportedAndModifiedAgain) {
  Start({WritePage("page.tif")});
  dialogs.SaveFiles.push_back(TSaveChoice{folder / "missing/out.tif", 0});
  window->ActionSave->trigger();
  EXPECT_FALSE(window->Modified) << "a started save clears the flag at once";
  ASSERT_TRUE(WaitFor([&] { return !dialogs.Messages.empty(); }));
  EXPECT_NE(dialogs.Messages[0].find(folder / "missing/out.tif"), std::string::npos);
  EXPECT_NE(dialogs.Messages[0].find("could not be written"), std::string::npos);
  EXPECT_TRUE(window->Modified);
  EXPECT_EQ(window->Panel(1), "Modified");
}

TEST_F(TWindowTest, LeavingAModifiedImageAsksWithoutAutoSave) {
  const std::string first = WritePage("first.tif", 1), second = WritePage("second.tif", 2);
  Start({first});
  window->ActionAutoSave->setChecked(false);
  dialogs.Answers.push_back(false);  // do not save
  dialogs.OpenFiles.push_back(second);
  window->ActionOpen->trigger();
  ASSERT_EQ(dialogs.Questions.size(), 1u);
  EXPECT_EQ(dialogs.Questions[0], "Image was modified: do you want save changes ?");
  EXPECT_EQ(window->Panel(3), second) << "No drops the changes and the action goes on";
}

TEST_F(TWindowTest, ClosingWaitsForTheSaveAndKeepsTheFile) {
  Start({WritePage("page.tif")});
  dialogs.SaveFiles.push_back(TSaveChoice{folder / "out.tif", 0});
  window->ActionSave->trigger();
  window->close();
  window.reset();
  TDIB image;
  image.LoadFromFile(folder / "out.tif", 0);
  EXPECT_EQ(image.Width(), 160) << "the save finished before the window went";
}

TEST_F(TWindowTest, AnUnreadableFileIsReportedAndTheViewsStay) {
  const std::string page = WritePage("page.tif");
  Start({page});
  const std::string broken = folder.Write("broken.tif", "II*\0not really");
  dialogs.OpenFiles.push_back(broken);
  window->ActionOpen->trigger();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(window->Panel(0), "Ready");
  EXPECT_EQ(Original().Graphic().Width(), 160) << "the previous image stays";
}
