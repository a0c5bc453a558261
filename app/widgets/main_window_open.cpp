// Opening an image into both views, the read-ahead of the next batch file, and "Open...".
#include <QFileInfo>

#include "app/widgets/busy_cursor.h"
#include "app/widgets/main_window.h"
#include "app/widgets/thresholding_window.h"
#include "image/dibunit.h"
#include "platform/memory_block.h"

namespace {

constexpr const char* kOpenFilter = "Color/Gray Images|*.tif;*.tiff;*.jpg;*.bmp;*.png";
constexpr const char* kStopBatch = "A batch operation is in progress: do you want stop it ?";

bool FileExists(const std::string& name) {
  return QFileInfo(QString::fromStdString(name)).isFile();
}

// Sets panel 0 for the length of a step and back to "Ready" on every path.
template <typename TSetPanel>
class TActivity {
 public:
  TActivity(TSetPanel setPanel, const char* text) : setPanel_(setPanel) { setPanel_(0, text); }
  ~TActivity() { setPanel_(0, "Ready"); }

 private:
  TSetPanel setPanel_;
};

}  // namespace

void TFormMain::OpenImage(const std::string& fileName) {
  ClearBand(*ImageScrollBoxOriginal);
  ClearBand(*ImageScrollBoxProcessed);
  Zone = TZone::Whole();
  SetPanel(2, ZonePanelText(Zone));
  {
    // The sliders go back to the settings without starting an update.
    auto notify = std::exchange(DialogoThresholdingInterattivo->OnParametersChanged, nullptr);
    struct Reattach {
      TDialogoThresholdingInterattivo* window;
      std::function<void()>& notify;
      ~Reattach() { window->OnParametersChanged = std::move(notify); }
    } reattach{DialogoThresholdingInterattivo, notify};
    DialogoThresholdingInterattivo->SetPositions(Settings.Contrast, Settings.Brightness);
  }
  {
    TBusyCursor busy;
    LoadOriginal(fileName);
    ++imageSerial_;
    SetPanel(3, fileName);
    StartReadAhead();
  }
  // A page left a moment ago may still be being written: its result decides what shows.
  saves_.WaitForSave();
  ReportSaveFailures();
  const std::string output = Batch.Empty() ? "" : BatchOutputName(Options, Batch.Current());
  if (!output.empty() && FileExists(output) && !SameFile(output, fileName)) {
    LoadProcessed(output);
  } else {
    ImageScrollBoxProcessed->Graphic().ReleaseImage();
    TDIB processed;
    processed.AssignHandle(ImageScrollBoxOriginal->Graphic().CreateHDIB());
    ApplyThresholdingShown(processed, Settings);
    ImageScrollBoxProcessed->Graphic().AssignHDIB(processed.GetHandle());
  }
  ImageScrollBoxProcessed->Redraw(true);
  ExecuteCheckedZoom();
  if (!Batch.Empty()) {
    SetPanel(3, BatchPanelText(fileName, Batch));
  }
}

// The original image: taken over from the read-ahead when it read this very file, else read
// now. A read-ahead that failed is read again directly, so its failure is reported.
void TFormMain::LoadOriginal(const std::string& fileName) {
  const auto setPanel = [this](int index, const char* text) { SetPanel(index, text); };
  TBlockOwner image(TakeReadAhead(fileName));
  if (image.Get() == 0) {
    TActivity activity(setPanel, "Loading Original");
    TDIB read;
    read.LoadFromFile(fileName, 0);
    ImageScrollBoxOriginal->Graphic().AssignHDIB(read.GetHandle());
  } else {
    ImageScrollBoxOriginal->Graphic().AssignHDIB(image.Get());
  }
  ImageScrollBoxOriginal->Redraw(true);
}

// The read-ahead's image when it read fileName (names compared exactly), else 0.
TMemoryHandle TFormMain::TakeReadAhead(const std::string& fileName) {
  if (!loader_ || loader_->FileName != fileName) return 0;
  const auto setPanel = [this](int index, const char* text) { SetPanel(index, text); };
  TActivity activity(setPanel, "Ending Thread");
  loader_->WaitFor();
  const TMemoryHandle image = loader_->TakeImage();
  loader_.reset();
  return image;
}

void TFormMain::StartReadAhead() {
  if (Batch.Empty() || Batch.Index() >= Batch.Count() - 1) return;
  const auto setPanel = [this](int index, const char* text) { SetPanel(index, text); };
  TActivity activity(setPanel, "Starting Thread");
  loader_.reset();
  loader_ = MakeWorker<TImageLoader>(Batch.Entry(Batch.Index() + 1));
  loader_->Start();
}

// An output written earlier is shown as the processed image and counts as saved.
void TFormMain::LoadProcessed(const std::string& fileName) {
  TBusyCursor busy;
  const auto setPanel = [this](int index, const char* text) { SetPanel(index, text); };
  TActivity activity(setPanel, "Loading Processed");
  ImageScrollBoxProcessed->LoadFromFile(fileName, 0);
  SetModified(false);
}

// Binarizes image with the busy cursor and "Processing..." shown; any image that is not
// bi-level already counts as modified afterwards, also when the method failed.
bool TFormMain::ApplyThresholdingShown(TDIB& image, const TThresholdSettings& settings) {
  if (image.Format() == df1Bit) return false;
  bool taken = false;
  RunProcessing([&] { taken = ApplyThresholding(image, settings); });
  return taken;
}

void TFormMain::ActionOpenExecute() {
  SaveIfModified();
  if (!Batch.Empty() && !dialogs_.Confirm(kStopBatch)) return;
  const auto fileName = dialogs_.ChooseOpenFile(kOpenFilter);
  if (!fileName) return;
  Batch.Clear();
  SyncFilesList();
  loader_.reset();
  OpenImage(*fileName);
}
