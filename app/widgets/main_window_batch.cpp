// The batch in the main window: "Folders..." with the batch setup dialog, the folder scan,
// the navigation actions, the files list window and its clicks, and "Settings..." with the
// thresholding dialog.
#include <exception>

#include "app/read_failure.h"
#include "app/widgets/batch_setup_dialog.h"
#include "app/widgets/batch_window.h"
#include "app/widgets/main_window.h"
#include "app/widgets/settings_dialog.h"
#include "app/widgets/thresholding_window.h"
#include "platform/errors.h"

namespace {

constexpr const char* kStopBatchQuestion =
    "A batch operation is in progress: do you want stop it ?";

}  // namespace

TFormBatch* TFormMain::NewFormBatch() {
  return new TFormBatch(
      this, [this] { ListBoxFilesClick(); }, [this] { ActionFilesList->setChecked(false); });
}

TDialogoThreshold* TFormMain::NewDialogoThreshold() {
  return new TDialogoThreshold(this);
}

TDialogBatchSetup* TFormMain::NewDialogBatchSetup() {
  return new TDialogBatchSetup(this, dialogs_);
}

void TFormMain::ActionOpenDirectoryExecute() {
  SaveIfModified();
  if (!Batch.Empty() && !dialogs_.Confirm(kStopBatchQuestion)) return;
  DialogBatchSetup->Fill(Options);
  if (!DialogBatchSetup->Execute()) return;
  DialogBatchSetup->WriteBack(Options);
  ScanFolders(Options.InputFolder, Options.OutputFolder);
}

void TFormMain::ScanFolders(const std::string& input, const std::string& output) {
  Options.InputFolder = WithTrailingSeparator(input);
  Batch.Scan(Options.InputFolder);
  Options.OutputFolder = WithTrailingSeparator(output);
  SyncFilesList();
  if (!Batch.Empty()) OpenBatchEntry();
}

// The enabling rule is checked again here: a shortcut can arrive before the idle update.
void TFormMain::Navigate(TBatchMove move) {
  if (Batch.Empty()) return;
  SaveIfModified();
  const TBatchStep step = BatchStepOf(move, Batch.Index(), Batch.Count());
  if (step.Index >= 0) {
    Batch.Select(step.Index);
    OpenBatchEntry();
  }
  if (step.Message != nullptr) dialogs_.Message(step.Message);
}

// The list's selection has already moved to the clicked entry, but the batch still stands on
// the image being left: that image is saved under its own output name before the move.
void TFormMain::ListBoxFilesClick() {
  const std::int32_t clicked = FormBatch->ListBoxFiles->currentRow();
  if (clicked < 0 || clicked >= Batch.Count()) return;
  struct Resync {
    TFormMain* window;
    ~Resync() { window->SyncFilesList(); }
  } resync{this};
  SaveIfModified();
  Batch.Select(clicked);
  OpenBatchEntry();
}

// Opens the selected entry. When its file cannot be read, the views are emptied: nothing of
// the image before it may be shown, or saved, under its name. The operator is told which
// file it was and why, and can move on.
void TFormMain::OpenBatchEntry() {
  SyncFilesList();
  const std::string entry = Batch.Current();
  const std::uint64_t opened = imageSerial_;
  try {
    OpenImage(entry);
  } catch (const std::exception& failure) {
    if (imageSerial_ != opened) throw;
    ShowUnreadableEntry(entry);
    throw EError(ReadFailureText(entry, failure.what()));
  } catch (...) {
    if (imageSerial_ == opened) ShowUnreadableEntry(entry);
    throw;
  }
}

void TFormMain::ShowUnreadableEntry(const std::string& entry) {
  for (TImageScrollBox* view : {ImageScrollBoxOriginal, ImageScrollBoxProcessed}) {
    view->Graphic().ReleaseImage();
    view->Redraw(true);
  }
  SetModified(false);
  SetPanel(3, BatchPanelText(entry, Batch));
}

void TFormMain::SyncFilesList() {
  FormBatch->ShowEntries(Batch.Entries(), Batch.Index());
}

void TFormMain::ActionFilesListExecute() {
  FormBatch->setVisible(ActionFilesList->isChecked());
}

// On OK the record changes, the sliders follow it and the zone is processed again at once,
// also when nothing changed.
void TFormMain::ActionSettingsExecute() {
  DialogoThreshold->Fill(Settings);
  if (!DialogoThreshold->Execute()) return;
  DialogoThreshold->WriteBack(Settings);
  UpdateParameterLabels();
  DialogoThresholdingInterattivo->SetPositions(Settings.Contrast, Settings.Brightness);
  if (!ImageScrollBoxOriginal->Graphic().Empty()) ActionRefreshExecute();
}
