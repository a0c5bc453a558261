// Batch mode in the real window: the scan's order and the files list, navigation with its
// messages and enabling rules, the read-ahead hand-over, existing outputs, TIFF pages
// appended, Auto Save, clicks into the files list, Save As, and entries that cannot be read.
#include <gtest/gtest.h>

#include "batch_window_fixture.h"
#include "workflow/output_naming.h"
#include "workflow/tiff_pages.h"

// Mask by mask in the order tif, jpg, bmp, png, names ignoring case within a mask; the
// first entry is opened and the list shows them all.
TEST_F(TBatchWindowTest, ScanOrderAndTheFilesList) {
  for (const char* name : {"scan1.png", "scan3.jpg", "B.TIF", "notes.txt", "c.tiff"}) {
    folder.Write(std::string("in/") + name, "x");
  }
  WritePage("in/scan2.tif");
  WritePage("in/a.tif", 2);
  std::filesystem::create_directories(Out());
  Start();
  window->ScanFolders(folder / "in", folder / "out");
  const std::vector<std::string> expected = {In() + "a.tif", In() + "B.TIF", In() + "scan2.tif",
                                             In() + "scan3.jpg", In() + "scan1.png"};
  EXPECT_EQ(window->Batch.Entries(), expected);
  EXPECT_EQ(window->Options.InputFolder, In()) << "the separator is added";
  EXPECT_EQ(window->Options.OutputFolder, Out());
  EXPECT_EQ(ListShown(), expected);
  EXPECT_EQ(window->FormBatch->ListBoxFiles->currentRow(), 0);
  EXPECT_EQ(window->Panel(3), In() + "a.tif (1 of 5)");
}

TEST_F(TBatchWindowTest, NavigationMessagesAndEnablingRules) {
  StartBatch({"a.tif", "b.tif", "c.tif"});
  // A disabled action runs only when its enabled state is stale (a shortcut before the
  // window's idle update).
  struct Step {
    QAction* action;
    std::int32_t index;
    const char* message;  // empty: none
    const char* reason;
  } steps[] = {
      {window->ActionPriorImage, 0, "This is the first file of the batch !",
       "before the first: the selection stays"},
      {window->ActionNextImage, 1, "", "one on"},
      {window->ActionLastImage, 2, "", "to the end"},
      {window->ActionNextImage, 2, "This is the last file of the batch !",
       "past the last: the selection stays"},
      {window->ActionFirstImage, 0, "", "back to the start"},
  };
  for (const Step& step : steps) {
    dialogs.Messages.clear();
    Run(step.action, *step.message != '\0');
    EXPECT_EQ(window->Batch.Index(), step.index) << step.reason;
    EXPECT_EQ(window->FormBatch->ListBoxFiles->currentRow(), step.index) << step.reason;
    EXPECT_EQ(dialogs.Messages, std::vector<std::string>(*step.message ? 1 : 0, step.message))
        << step.reason;
    window->ActionManager1Update();
    const bool first = step.index == 0, last = step.index == 2;
    EXPECT_EQ(window->ActionFirstImage->isEnabled(), !first) << step.reason;
    EXPECT_EQ(window->ActionPriorImage->isEnabled(), !first) << step.reason;
    EXPECT_EQ(window->ActionNextImage->isEnabled(), !last) << step.reason;
    EXPECT_EQ(window->ActionLastImage->isEnabled(), !last) << step.reason;
  }
}

// The next file is read ahead and taken over without reading it again; a move elsewhere
// reads directly; on the last file nothing is read ahead.
TEST_F(TBatchWindowTest, ReadAheadHandOver) {
  StartBatch({"a.tif", "b.tif", "c.tif"});
  ASSERT_NE(window->ReadAhead(), nullptr);
  EXPECT_EQ(window->ReadAhead()->FileName, In() + "b.tif");
  ASSERT_TRUE(WaitFor([&] { return window->ReadAhead()->Finished(); }));
  folder.Write("in/b.tif", "II*\0spoilt after the read-ahead");
  Run(window->ActionNextImage);
  EXPECT_TRUE(dialogs.Messages.empty()) << "b.tif came from the read-ahead";
  EXPECT_EQ(Original().Graphic().Width(), 160);
  Run(window->ActionNextImage);
  EXPECT_EQ(window->ReadAhead(), nullptr) << "nothing after the last file";
  Run(window->ActionPriorImage);
  ASSERT_EQ(dialogs.Messages.size(), 1u) << "b.tif is read directly now";
  EXPECT_EQ(dialogs.Messages[0].rfind(In() + "b.tif could not be read: ", 0), 0u)
      << dialogs.Messages[0];
}

// An output written earlier is the processed image and is left as it is.
TEST_F(TBatchWindowTest, ExistingOutputIsShownAndNotModified) {
  std::filesystem::create_directories(Out());
  GrayPage(9, 50, 40)->SaveTIFFToFile(Out() + "a.tif", false, tcNone, 16);
  const std::string before = ReadText(Out() + "a.tif");
  StartBatch({"a.tif", "b.tif"});
  EXPECT_EQ(Processed().Graphic().Width(), 50) << "the output, not the binarized input";
  EXPECT_FALSE(window->Modified);
  EXPECT_EQ(window->Panel(1), "");
  Run(window->ActionNextImage);
  EXPECT_EQ(ReadText(Out() + "a.tif"), before);
}

TEST_F(TBatchWindowTest, TiffOutputGainsAPageWithOverwriteOff) {
  StartBatch({"a.tif", "b.tif"});
  window->Options.OverwriteTIFF = false;
  Run(window->ActionNextImage);
  ASSERT_EQ(TIFFPageCount(Output("a.tif")), 1);
  Run(window->ActionPriorImage);
  EXPECT_FALSE(window->Modified) << "the output is shown";
  Run(window->ActionRefresh);
  Run(window->ActionNextImage);
  EXPECT_EQ(TIFFPageCount(Output("a.tif")), 2);
}

TEST_F(TBatchWindowTest, AutoSaveOnAndOff) {
  struct Case {
    bool autoSave;
    std::deque<bool> answers;
    bool asked;
    bool written;
    const char* reason;
  } cases[] = {
      {true, {}, false, true, "saved at once"},
      {false, {true}, true, true, "asked, and Yes saves"},
      {false, {false}, true, false, "asked, and No drops the changes"},
  };
  for (const Case& c : cases) {
    StartBatch({"a.tif", "b.tif"});
    window->ActionAutoSave->setChecked(c.autoSave);
    dialogs.Answers = c.answers;
    dialogs.Questions.clear();
    Run(window->ActionNextImage);
    EXPECT_EQ(dialogs.Questions.size(), c.asked ? 1u : 0u) << c.reason;
    EXPECT_EQ(std::filesystem::exists(Output("a.tif")), c.written) << c.reason;
    EXPECT_EQ(window->Batch.Index(), 1) << c.reason;
    TearDown();
    std::filesystem::remove_all(Out());
  }
}

// A click saves the image being left under its own name, then opens the clicked entry.
TEST_F(TBatchWindowTest, ClickIntoTheFilesList) {
  StartBatch({"a.tif", "b.tif", "c.tif"});
  window->ActionFilesList->trigger();
  EXPECT_TRUE(window->FormBatch->isVisible());
  window->FormBatch->ListBoxFiles->setCurrentRow(2);
  window->Saves().WaitForSave();
  EXPECT_EQ(window->Batch.Index(), 2);
  EXPECT_EQ(window->Panel(3), In() + "c.tif (3 of 3)");
  EXPECT_TRUE(std::filesystem::exists(Output("a.tif"))) << "the image left is saved";
  EXPECT_FALSE(std::filesystem::exists(Output("c.tif")));

  window->FormBatch->ListBoxFiles->setCurrentRow(-1);
  EXPECT_EQ(window->Batch.Index(), 2) << "a click with no entry is ignored";
  EXPECT_TRUE(dialogs.Messages.empty());
  window->ActionFilesList->trigger();
  EXPECT_FALSE(window->FormBatch->isVisible());
}

TEST_F(TBatchWindowTest, SaveAsIsPresetToTheOutputFolder) {
  StartBatch({"a.tif"});
  dialogs.SaveFiles.push_back(TSaveChoice{Out() + "chosen.png", 2});
  Run(window->ActionSave);
  EXPECT_EQ(dialogs.SaveFolder, Out());
  EXPECT_EQ(dialogs.SaveName, "a.tif");
  TDIB written;
  written.LoadFromFile(Out() + "chosen.png", 0);
  EXPECT_EQ(written.Width(), 160);
}

// An entry that cannot be read is reported by name; the views are emptied, so the image
// before it is never saved under its name, and the operator moves on.
TEST_F(TBatchWindowTest, UnreadableEntryTouchesNoOutput) {
  struct Case {
    bool directory;
    const char* reason;
  } cases[] = {{true, "a folder named like an image"}, {false, "a damaged file"}};
  for (const Case& c : cases) {
    WritePage("in/c.tif", 3);
    if (c.directory) {
      std::filesystem::create_directories(In() + "b.tif");
    } else {
      folder.Write("in/b.tif", "II*\0damaged");
    }
    StartBatch({"a.tif"});
    window->ActionAutoSave->setChecked(false);
    dialogs.Answers = {false};  // a's changes are dropped, and a stays modified until the move
    dialogs.Messages.clear();
    Run(window->ActionNextImage);
    ASSERT_EQ(dialogs.Messages.size(), 1u) << c.reason;
    EXPECT_EQ(dialogs.Messages[0].rfind(In() + "b.tif could not be read: ", 0), 0u)
        << dialogs.Messages[0];
    EXPECT_TRUE(Original().Graphic().Empty()) << c.reason;
    EXPECT_TRUE(Processed().Graphic().Empty()) << c.reason;
    EXPECT_EQ(window->Batch.Index(), 1) << c.reason;
    window->ActionManager1Update();
    EXPECT_TRUE(window->ActionNextImage->isEnabled()) << c.reason;
    Run(window->ActionNextImage);
    EXPECT_EQ(window->Batch.Index(), 2) << c.reason;
    EXPECT_TRUE(std::filesystem::is_empty(Out())) << c.reason << ": nothing was written";
    TearDown();
    std::filesystem::remove_all(In());
    std::filesystem::remove_all(Out());
  }
}
