// The "Batch Setup" dialog and "Folders...": the folder browser opening on the folder
// entered, the five options there and back, the question while a batch runs, Cancel keeping
// everything, and OK scanning the folders entered.
#include <gtest/gtest.h>

#include "app/widgets/batch_setup_dialog.h"
#include "batch_window_fixture.h"
#include "modal_script.h"

namespace {

// Answers the folder browser from a list and records where it was asked to open.
class TFolderChooser : public TScriptedDialogs {
 public:
  std::deque<std::optional<std::string>> Folders;
  std::vector<std::string> Starts;
  std::optional<std::string> ChooseFolder(const std::string& start) override {
    Starts.push_back(start);
    auto folder = Folders.front();
    Folders.pop_front();
    return folder;
  }
};

}  // namespace

TEST(BatchSetupDialog, OptionsThereAndBackAndTheBrowser) {
  TFolderChooser chooser;
  TDialogBatchSetup dialog(nullptr, chooser);
  TBatchOptions options{"/scans/in/", "/scans/out/", true, false, ofPNG};
  dialog.Fill(options);
  chooser.Folders = {"/elsewhere", std::nullopt};
  dialog.ButtonInput->click();
  dialog.ButtonOutput->click();
  EXPECT_EQ(chooser.Starts, (std::vector<std::string>{"/scans/in/", "/scans/out/"}))
      << "the browser opens on the folder entered";
  TBatchOptions back;
  dialog.WriteBack(back);
  EXPECT_EQ(back.InputFolder, "/elsewhere");
  EXPECT_EQ(back.OutputFolder, "/scans/out/") << "a cancelled browser leaves the field";
  EXPECT_EQ(back.OutputFormat, ofPNG);
  EXPECT_TRUE(back.TIFFUncompressed);
  EXPECT_FALSE(back.OverwriteTIFF);

  options.OutputFormat = 7;
  dialog.Fill(options);
  dialog.WriteBack(back);
  EXPECT_EQ(back.OutputFormat, -1) << "a stored format that names no item checks none";
}

TEST_F(TBatchWindowTest, FoldersAsksCancelsAndScans) {
  StartBatch({"a.tif", "b.tif"});
  const TBatchOptions before = window->Options;
  WritePage("other/x.png");

  dialogs.Answers = {false};
  window->ActionOpenDirectory->trigger();
  EXPECT_EQ(dialogs.Questions.back(), "A batch operation is in progress: do you want stop it ?");

  dialogs.Answers = {true};
  WhenModal<TDialogBatchSetup>([](TDialogBatchSetup& d) {
    d.EditInput->setText("/nowhere");
    d.ButtonCancel->click();
  });
  window->ActionOpenDirectory->trigger();
  EXPECT_EQ(window->Options.InputFolder, before.InputFolder) << "Cancel keeps the options";
  EXPECT_EQ(window->Batch.Count(), 2) << "and the batch";

  dialogs.Answers = {true};
  WhenModal<TDialogBatchSetup>([this](TDialogBatchSetup& d) {
    d.EditInput->setText(QString::fromStdString(folder / "other"));
    d.FileTypes[ofBMP]->setChecked(true);
    d.ButtonOK->click();
  });
  window->ActionOpenDirectory->trigger();
  EXPECT_EQ(window->Options.InputFolder, folder / "other" + "/");
  EXPECT_EQ(window->Options.OutputFormat, ofBMP);
  EXPECT_EQ(window->Batch.Entries(), std::vector<std::string>{folder / "other" + "/x.png"});
  EXPECT_EQ(ListShown(), window->Batch.Entries());
}
