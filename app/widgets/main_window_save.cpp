// Saving: "Save As...", the save-if-modified step that guards every action leaving an image,
// and the start of a background save.
#include <QFileInfo>

#include "app/widgets/main_window.h"
#include "platform/errors.h"
#include "workflow/output_naming.h"
#include "workflow/output_writer.h"

namespace {

constexpr const char* kSaveFilter = "TIFF|*.tif;*.tiff|BMP|*.bmp|PNG|*.png";
constexpr const char* kAskSave = "Image was modified: do you want save changes ?";
const char* const kFilterExtensions[] = {".tif", ".bmp", ".png"};

bool HasExtension(const std::string& fileName) {
  return !QFileInfo(QString::fromStdString(fileName)).suffix().isEmpty();
}

// The format a name's extension gives (".tif", ".tiff", ".bmp", ".png", any case), if any.
std::optional<std::int32_t> FormatOfExtension(const std::string& fileName) {
  const QString suffix = QFileInfo(QString::fromStdString(fileName)).suffix().toLower();
  if (suffix == "tif" || suffix == "tiff") return ofTIFF;
  if (suffix == "bmp") return ofBMP;
  if (suffix == "png") return ofPNG;
  return std::nullopt;
}

}  // namespace

void TFormMain::StartSave(const std::string& fileName, std::optional<std::int32_t> format) {
  if (Batch.Empty()) {
    StartSaveRequest({fileName, -1, true, false, format});
  } else {
    StartSaveRequest({fileName, Options.OutputFormat, Options.OverwriteTIFF,
                      Options.TIFFUncompressed, std::nullopt});
  }
}

void TFormMain::StartSaveRequest(const TSaveRequest& request) {
  // In batch mode an input is never overwritten by its own result.
  if (!Batch.Empty() && Batch.HasCurrent() && SameFile(SaveTargetName(request), Batch.Current())) {
    throw EError(SaveTargetName(request) + " is the input file itself: the result was not written");
  }
  saves_.Start(request, ImageScrollBoxProcessed->Graphic().CreateHDIB(), imageSerial_);
  SetModified(false);
}

void TFormMain::SaveIfModified() {
  if (!Modified) return;
  // Nothing to save: a failed method or an unreadable output must not trap the operator.
  if (ImageScrollBoxProcessed->Graphic().Empty()) {
    SetModified(false);
    return;
  }
  if (!ActionAutoSave->isChecked() && !dialogs_.Confirm(kAskSave)) return;
  if (Batch.Empty()) {
    ActionSaveExecute();
  } else {
    StartSave(BatchOutputName(Options, Batch.Current()));
  }
}

// Outside batch mode the name the operator confirmed is written as it is; in batch mode the
// dialog is preset to the output folder and the output name.
void TFormMain::ActionSaveExecute() {
  std::string folder, name;
  if (!Batch.Empty() && Batch.HasCurrent()) {
    folder = Options.OutputFolder;
    name = ExtractFileName(BatchOutputName(Options, Batch.Current()));
  }
  const auto choice = dialogs_.ChooseSaveFile(kSaveFilter, folder, name);
  if (!choice) return;
  std::optional<std::int32_t> format;
  const std::string fileName = AskSaveName(*choice, format);
  if (fileName.empty()) return;
  // The file the operator confirmed is written as named, also in batch mode.
  StartSaveRequest({fileName, -1, true, Batch.Empty() ? false : Options.TIFFUncompressed, format});
}

// The final name of a save: the filter's extension added when the name has none, confirmed
// when it exists. The format follows a known extension, else the filter. Empty: not saved.
std::string TFormMain::AskSaveName(TSaveChoice choice, std::optional<std::int32_t>& format) {
  const std::int32_t filter = std::clamp(choice.FilterIndex, 0, 2);
  std::string fileName = choice.FileName;
  if (!HasExtension(fileName)) fileName += kFilterExtensions[filter];
  if (QFileInfo::exists(QString::fromStdString(fileName)) &&
      !dialogs_.Confirm(fileName + " already exists. Do you want to replace it ?")) {
    return "";
  }
  format = FormatOfExtension(fileName).value_or(filter);
  return fileName;
}
