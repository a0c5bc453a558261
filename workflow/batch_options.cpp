// Reading and writing the thresholding settings and the batch options in the settings store.
#include "workflow/batch_options.h"

#include "platform/folder_list.h"

namespace {

struct TSettingsField {
  const char* Name;
  std::int32_t TThresholdSettings::*Field;
};

// The stored names of the nine fields, in the order they are read and written.
constexpr TSettingsField kSettingsFields[] = {
    {"Algo", &TThresholdSettings::Algo},
    {"Method", &TThresholdSettings::Method},
    {"Contrast", &TThresholdSettings::Contrast},
    {"Brightness", &TThresholdSettings::Brightness},
    {"Area Width", &TThresholdSettings::AreaWidth},
    {"Area Height", &TThresholdSettings::AreaHeight},
    {"Contribute", &TThresholdSettings::Contribute},
    {"Min", &TThresholdSettings::Min},
    {"Max", &TThresholdSettings::Max},
};

constexpr const char* kInputFolder = "Input Folder";
constexpr const char* kOutputFolder = "Output Folder";
constexpr const char* kTIFFUncompressed = "TIFF Uncompressed";
constexpr const char* kOverwriteTIFF = "Overwrite TIFF";
constexpr const char* kOutputFormat = "Output Format";

}  // namespace

void LoadSettings(const TSettingsStore& store, TThresholdSettings& settings,
                  TBatchOptions& options) {
  const TThresholdSettings defaultSettings;
  for (const auto& field : kSettingsFields) {
    settings.*field.Field =
        store.ReadInteger(kThresholdingKey, field.Name, defaultSettings.*field.Field);
  }
  const TBatchOptions defaultOptions;
  options.InputFolder = store.ReadString(kBatchKey, kInputFolder, ProgramFolder());
  options.OutputFolder = store.ReadString(kBatchKey, kOutputFolder, options.InputFolder);
  options.TIFFUncompressed =
      store.ReadBool(kBatchKey, kTIFFUncompressed, defaultOptions.TIFFUncompressed);
  options.OverwriteTIFF = store.ReadBool(kBatchKey, kOverwriteTIFF, defaultOptions.OverwriteTIFF);
  options.OutputFormat = store.ReadInteger(kBatchKey, kOutputFormat, defaultOptions.OutputFormat);
}

void SaveSettings(TSettingsStore& store, const TThresholdSettings& settings,
                  const TBatchOptions& options) {
  for (const auto& field : kSettingsFields) {
    store.WriteInteger(kThresholdingKey, field.Name, settings.*field.Field);
  }
  store.WriteString(kBatchKey, kInputFolder, options.InputFolder);
  store.WriteString(kBatchKey, kOutputFolder, options.OutputFolder);
  store.WriteBool(kBatchKey, kTIFFUncompressed, options.TIFFUncompressed);
  store.WriteBool(kBatchKey, kOverwriteTIFF, options.OverwriteTIFF);
  store.WriteInteger(kBatchKey, kOutputFormat, options.OutputFormat);
}
