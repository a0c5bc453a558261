// The methods of the settings dialog, row by row, and the fields they share.
#include "app/method_rows.h"

#include <cctype>

#include "binarize/method_catalog.h"
#include "platform/errors.h"

namespace {

constexpr TSpinLimits kLevel{-1, 255};
constexpr TSpinLimits kNoLimits{};
const std::vector<TField> kCommonReads = {fdAreaW, fdAreaH, fdContrast, fdBrightness};

const TMethodDescription& Method(std::int32_t algo) {
  const TMethodDescription* method = FindMethod(algo);
  if (method == nullptr) throw EError("No method " + std::to_string(algo));
  return *method;
}

const std::vector<std::string>& ChoicesOf(std::int32_t algo) {
  return FindFieldUse(Method(algo), TRecordField::rfMethod)->Choices;
}

TFieldSpec Spin(TField id, const char* name, const char* label, TSpinLimits limits,
                std::int32_t initial, std::int32_t checks, std::int32_t maxLength = 0) {
  TFieldSpec description{id, name, label};
  description.Limits = limits;
  description.Initial = initial;
  description.MaxLength = maxLength;
  description.Trigger = TCheckTrigger::ctPress;
  description.Checks = checks;
  return description;
}

TFieldSpec List(TField id, const char* name, const char* label, std::vector<std::string> items,
                std::int32_t checks, TFieldKind kind = TFieldKind::fkList) {
  TFieldSpec description{id, name, label, kind};
  description.Items = std::move(items);
  description.Trigger = TCheckTrigger::ctPress;
  description.Checks = checks;
  return description;
}

void FillCommon(TFieldValues& values, const TThresholdSettings& s) {
  SetField(values, fdAreaW, s.AreaWidth);
  SetField(values, fdAreaH, s.AreaHeight);
  SetField(values, fdContrast, s.Contrast);
  SetField(values, fdBrightness, s.Brightness);
}

void WriteCommon(const TFieldValues& values, TThresholdSettings& s) {
  s.AreaWidth = values[fdAreaW];
  s.AreaHeight = values[fdAreaH];
  s.Contrast = values[fdContrast];
  s.Brightness = values[fdBrightness];
}

// --- Standard: the fixed level; a new value checks the row ------------------------------

TMethodRow StandardRow() {
  TFieldSpec level =
      Spin(fdStandard, "SpinEditStandard", "Fixed Threshold Value", {1, 254}, 127, taStandard);
  level.Trigger = TCheckTrigger::ctChange;
  return {
      .Algo = taStandard,
      .RadioName = "RadioButtonStandard",
      .Caption = Method(taStandard).Caption,
      .Column = TColumn::clLeft,
      .Offered = true,
      .Fields = {level},
      .Reads = {fdStandard},
      .Preset = {},
      .Note = "",
      .Fill = [](TFieldValues& v,
                 const TThresholdSettings& s) { SetField(v, fdStandard, s.Brightness); },
      .Write = [](const TFieldValues& v, TThresholdSettings& s) { s.Brightness = v[fdStandard]; }};
}

// --- Auto: the histogram rule --------------------------------------------------------------

TMethodRow AutoRow() {
  return {
      .Algo = taAuto,
      .RadioName = "RadioButtonAuto",
      .Caption = Method(taAuto).Caption,
      .Column = TColumn::clLeft,
      .Offered = true,
      .Fields = {List(fdAuto, "ComboBoxAuto", "Algorithm", ChoicesOf(taAuto), taAuto)},
      .Reads = {fdAuto},
      .Preset = {},
      .Note = "",
      .Fill = [](TFieldValues& v, const TThresholdSettings& s) { SetField(v, fdAuto, s.Method); },
      .Write = [](const TFieldValues& v, TThresholdSettings& s) { s.Method = v[fdAuto]; }};
}

// --- Dynamic: the mode and the common fields -----------------------------------------------

// The mode list presets the contrast and the area that suit it: MinMax 16 and 7 x 7, Average
// 8 and 10 x 10.
void ModeChanged(TFieldValues& values) {
  const bool minMax = values[fdMode] == 0;
  SetField(values, fdContrast, minMax ? 16 : 8);
  SetField(values, fdAreaW, minMax ? 7 : 10);
  SetField(values, fdAreaH, minMax ? 7 : 10);
}

TMethodRow DynamicRow() {
  TFieldSpec mode = List(fdMode, "ComboBoxMode", "Mode", ChoicesOf(taDynamic), taDynamic);
  mode.Changed = ModeChanged;
  std::vector<TField> reads = kCommonReads;
  reads.push_back(fdMode);
  return {.Algo = taDynamic,
          .RadioName = "RadioButtonDynamic",
          .Caption = Method(taDynamic).Caption,
          .Column = TColumn::clRight,
          .Offered = true,
          .Fields = {mode},
          .Reads = reads,
          .Preset = {},
          .Note = "",
          .Fill =
              [](TFieldValues& v, const TThresholdSettings& s) {
                SetField(v, fdMode, s.Method);
                FillCommon(v, s);
              },
          .Write =
              [](const TFieldValues& v, TThresholdSettings& s) {
                s.Method = v[fdMode];
                WriteCommon(v, s);
              }};
}

// --- Advanced Dynamic and Adaptive: the common fields ----------------------------------------

TMethodRow CommonFieldsRow(std::int32_t algo, const char* radio, TPreset preset) {
  return {.Algo = algo,
          .RadioName = radio,
          .Caption = Method(algo).Caption,
          .Column = TColumn::clRight,
          .Offered = true,
          .Fields = {},
          .Reads = kCommonReads,
          .Preset = std::move(preset),
          .Note = "",
          .Fill = FillCommon,
          .Write = WriteCommon};
}

// --- Edge: sensitivity and spot size travel in Contrast and Brightness ----------------------

TMethodRow EdgeRow() {
  return {.Algo = taEdge,
          .RadioName = "RadioButtonEdge",
          .Caption = Method(taEdge).Caption,
          .Column = TColumn::clLeft,
          .Offered = true,
          .Fields = {Spin(fdEdgeSensitivity, "SpinEditEdgeSensitivity", "Sensitivity", kLevel, 20,
                          taEdge, 3),
                     Spin(fdMaxSize, "SpinEditMaxSize", "Max spot size", {1, 9999}, 5, taEdge, 4)},
          .Reads = {fdContrast, fdBrightness},
          .Preset = {},
          .Note = "",
          .Fill =
              [](TFieldValues& v, const TThresholdSettings& s) {
                SetField(v, fdContrast, s.Contrast);
                SetField(v, fdBrightness, s.Brightness);
              },
          .Write =
              [](const TFieldValues& v, TThresholdSettings& s) {
                s.Contrast = v[fdContrast];
                s.Brightness = v[fdBrightness];
              }};
}

// --- PEI: the external engine's row, shown but never choosable -------------------------------

TMethodRow PeiRow() {
  return {
      .Algo = taPEI,
      .RadioName = "RadioButtonPEI",
      .Caption = Method(taPEI).Caption,
      .Column = TColumn::clLeft,
      .Offered = false,
      .Fields = {List(fdPeiParameters, "ComboBoxPeiParameters", "Parameters", {"default.mst"},
                      taPEI, TFieldKind::fkEditableList),
                 TFieldSpec{fdFieldCount, "ButtonPeiDialog", "Custom...", TFieldKind::fkButton}},
      .Reads = {},
      .Preset = {},
      .Note = "",
      .Fill = [](TFieldValues&, const TThresholdSettings&) {},
      .Write = [](const TFieldValues&, TThresholdSettings&) {}};
}

// --- Background Tracking: the centre of the gray range and the contribution ------------------

// The range runs from Brightness div 2 to Brightness x 2 (a 32-bit doubling, as the method
// itself receives it).
void FillBackTrack(TFieldValues& values, const TThresholdSettings& s) {
  SetField(values, fdAreaW, s.AreaWidth);
  SetField(values, fdAreaH, s.AreaHeight);
  SetField(values, fdBackTrackMin, s.Brightness / 2);
  SetField(values, fdBackTrackMax, BackgroundTrackingArguments(s).MaxLevel);
  SetField(values, fdContribute, s.Contrast);
}

// Max is never read: the range always follows from Min.
void WriteBackTrack(const TFieldValues& values, TThresholdSettings& s) {
  s.AreaWidth = values[fdAreaW];
  s.AreaHeight = values[fdAreaH];
  s.Brightness = values[fdBackTrackMin] * 2;
  s.Contrast = values[fdContribute];
}

TMethodRow BackTrackRow() {
  TFieldSpec contribute =
      Spin(fdContribute, "SpinEditContribute", "Contr.", {0, 100}, 80, taBackgroundTracking);
  contribute.Suffix = "%";
  return {.Algo = taBackgroundTracking,
          .RadioName = "RadioButtonBackTrack",
          .Caption = Method(taBackgroundTracking).Caption,
          .Column = TColumn::clRight,
          .Offered = true,
          .Fields = {Spin(fdBackTrackMin, "SpinEditBackTrackMin", "Min", {0, 255}, 128,
                          taBackgroundTracking, 3),
                     Spin(fdBackTrackMax, "SpinEditBackTrackMax", "Max", {0, 255}, 200,
                          taBackgroundTracking, 3),
                     contribute},
          .Reads = {fdAreaW, fdAreaH, fdBackTrackMin, fdContribute},
          .Preset = {{fdAreaW, 5}, {fdAreaH, 5}},
          .Note = "",
          .Fill = FillBackTrack,
          .Write = WriteBackTrack};
}

// --- The further methods: the common fields the catalog says they read ----------------------

// The record field behind a common field.
std::int32_t TThresholdSettings::*RecordOf(TField field) {
  switch (field) {
    case fdAreaW:
      return &TThresholdSettings::AreaWidth;
    case fdAreaH:
      return &TThresholdSettings::AreaHeight;
    case fdContrast:
      return &TThresholdSettings::Contrast;
    default:
      return &TThresholdSettings::Brightness;
  }
}

// The common fields a method reads, each with the catalog's default. A Method the method may
// read has no common field; such a method needs a list of its own on its row.
TPreset CommonDefaults(const TMethodDescription& method) {
  TPreset preset;
  for (const TFieldUse& use : method.Reads) {
    if (use.Field == TRecordField::rfArea) {
      preset.insert(preset.end(), {{fdAreaW, use.Default}, {fdAreaH, use.Default}});
    } else if (use.Field == TRecordField::rfContrast) {
      preset.push_back({fdContrast, use.Default});
    } else if (use.Field == TRecordField::rfBrightness) {
      preset.push_back({fdBrightness, use.Default});
    }
  }
  return preset;
}

// "Contrast: k x 100, Brightness: Dynamic range": what the common fields carry for the
// method, as its sliders call them.
std::string CommonFieldsNote(const TMethodDescription& method) {
  std::string note;
  if (!method.Sliders) return note;
  if (FindFieldUse(method, TRecordField::rfContrast) != nullptr) {
    note = "Contrast: " + method.Sliders->Left.Caption;
  }
  if (FindFieldUse(method, TRecordField::rfBrightness) != nullptr) {
    note +=
        (note.empty() ? "" : ", ") + std::string("Brightness: ") + method.Sliders->Right.Caption;
  }
  return note;
}

// "RadioButtonWolfJolion" for "Wolf-Jolion Thresholding".
std::string RadioNameOf(const std::string& caption) {
  std::string name = "RadioButton";
  for (const char c : caption.substr(0, caption.rfind(" Thresholding"))) {
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  }
  return name;
}

// Checking the button puts the catalog's defaults into the fields the method reads, as the
// Adaptive and Background Tracking buttons preset their areas.
TMethodRow CatalogRow(const TMethodDescription& method) {
  const TPreset defaults = CommonDefaults(method);
  std::vector<TField> reads;
  for (const auto& [field, value] : defaults) reads.push_back(field);
  return {.Algo = method.Algo,
          .RadioName = RadioNameOf(method.Caption),
          .Caption = method.Caption,
          .Column = TColumn::clRight,
          .Offered = true,
          .Fields = {},
          .Reads = reads,
          .Preset = defaults,
          .Note = CommonFieldsNote(method),
          .Fill =
              [reads](TFieldValues& v, const TThresholdSettings& s) {
                for (const TField field : reads) SetField(v, field, s.*RecordOf(field));
              },
          .Write =
              [reads](const TFieldValues& v, TThresholdSettings& s) {
                for (const TField field : reads) s.*RecordOf(field) = v[field];
              }};
}

std::vector<TMethodRow> BuildRows() {
  std::vector<TMethodRow> rows = {
      StandardRow(),
      AutoRow(),
      DynamicRow(),
      CommonFieldsRow(taAdvancedDynamic, "RadioButtonAdvanced", {}),
      EdgeRow(),
      PeiRow(),
      CommonFieldsRow(taAdaptive, "RadioButtonAdaptiveThresholding", {{fdAreaW, 7}, {fdAreaH, 7}}),
      BackTrackRow()};
  for (const TMethodDescription& method : MethodCatalog()) {
    if (method.Algo > taBackgroundTracking) rows.push_back(CatalogRow(method));
  }
  return rows;
}

std::vector<TFieldSpec> BuildCommonFields() {
  TFieldSpec height = Spin(fdAreaH, "SpinEditAreaH", "X", kNoLimits, 7, taDynamic);
  height.SameLine = true;
  TFieldSpec brightness =
      Spin(fdBrightness, "SpinEditBrightness", "Brightness", kLevel, -1, taDynamic);
  brightness.Suffix = "(-1=auto)";
  return {Spin(fdAreaW, "SpinEditAreaW", "Local Area Size", kNoLimits, 7, taDynamic), height,
          Spin(fdContrast, "SpinEditContrast", "Contrast", kLevel, 16, taDynamic), brightness};
}

}  // namespace

const std::vector<TMethodRow>& MethodRows() {
  static const std::vector<TMethodRow> rows = BuildRows();
  return rows;
}

const TMethodRow* MethodRowOf(std::int32_t algo) {
  for (const TMethodRow& row : MethodRows()) {
    if (row.Algo == algo) return &row;
  }
  return nullptr;
}

const std::vector<TFieldSpec>& CommonFields() {
  static const std::vector<TFieldSpec> fields = BuildCommonFields();
  return fields;
}

const TFieldSpec& FieldSpecOf(TField field) {
  for (const TFieldSpec& description : CommonFields()) {
    if (description.Id == field) return description;
  }
  for (const TMethodRow& row : MethodRows()) {
    for (const TFieldSpec& description : row.Fields) {
      if (description.Id == field) return description;
    }
  }
  throw EError("No field " + std::to_string(field));
}
