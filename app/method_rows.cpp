// The eight methods of the settings dialog, row by row, and the fields they share.
#include "app/method_rows.h"

#include "platform/errors.h"

namespace {

constexpr TSpinLimits kLevel{-1, 255};
constexpr TSpinLimits kNoLimits{};

// Dynamic's mode list presets the contrast and the area that suit it: MinMax 16 and 7 x 7,
// Average 8 and 10 x 10.
void ModeChanged(TFieldValues& values) {
  const bool minMax = values[fdMode] == 0;
  SetField(values, fdContrast, minMax ? 16 : 8);
  SetField(values, fdAreaW, minMax ? 7 : 10);
  SetField(values, fdAreaH, minMax ? 7 : 10);
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

// Background tracking keeps the centre of its gray range in Brightness; the range runs from
// Brightness div 2 to Brightness x 2 (a 32-bit doubling, as the method itself receives it).
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

TFieldSpec Spin(TField id, const char* name, const char* label, TSpinLimits limits,
                std::int32_t initial, std::int32_t checks, std::int32_t maxLength = 0) {
  TFieldSpec spec{id, name, label};
  spec.Limits = limits;
  spec.Initial = initial;
  spec.MaxLength = maxLength;
  spec.Trigger = TCheckTrigger::ctPress;
  spec.Checks = checks;
  return spec;
}

TFieldSpec List(TField id, const char* name, const char* label, std::vector<std::string> items,
                std::int32_t checks, TFieldKind kind = TFieldKind::fkList) {
  TFieldSpec spec{id, name, label, kind};
  spec.Items = std::move(items);
  spec.Trigger = TCheckTrigger::ctPress;
  spec.Checks = checks;
  return spec;
}

std::vector<TFieldSpec> StandardFields() {
  TFieldSpec level =
      Spin(fdStandard, "SpinEditStandard", "Fixed Threshold Value", {1, 254}, 127, taStandard);
  level.Trigger = TCheckTrigger::ctChange;
  return {level};
}

std::vector<TFieldSpec> PeiFields() {
  TFieldSpec custom{fdFieldCount, "ButtonPeiDialog", "Custom...", TFieldKind::fkButton};
  return {List(fdPeiParameters, "ComboBoxPeiParameters", "Parameters", {"default.mst"}, taPEI,
               TFieldKind::fkEditableList),
          custom};
}

std::vector<TFieldSpec> DynamicFields() {
  TFieldSpec mode = List(fdMode, "ComboBoxMode", "Mode", {"MinMax", "Average"}, taDynamic);
  mode.Changed = ModeChanged;
  return {mode};
}

std::vector<TFieldSpec> BackTrackFields() {
  TFieldSpec contribute =
      Spin(fdContribute, "SpinEditContribute", "Contr.", {0, 100}, 80, taBackgroundTracking);
  contribute.Suffix = "%";
  return {
      Spin(fdBackTrackMin, "SpinEditBackTrackMin", "Min", {0, 255}, 128, taBackgroundTracking, 3),
      Spin(fdBackTrackMax, "SpinEditBackTrackMax", "Max", {0, 255}, 200, taBackgroundTracking, 3),
      contribute};
}

std::vector<TMethodRow> BuildRows() {
  const std::vector<TField> common = {fdAreaW, fdAreaH, fdContrast, fdBrightness};
  std::vector<TMethodRow> rows;
  rows.push_back(
      {taStandard,
       "RadioButtonStandard",
       "Standard Thresholding",
       TColumn::clLeft,
       true,
       StandardFields(),
       {fdStandard},
       std::nullopt,
       TParameterLabels{{"unused", false}, {"Brightness", true}},
       [](TFieldValues& v, const TThresholdSettings& s) { SetField(v, fdStandard, s.Brightness); },
       [](const TFieldValues& v, TThresholdSettings& s) { s.Brightness = v[fdStandard]; }});
  rows.push_back(
      {taAuto,
       "RadioButtonAuto",
       "Auto Thresholding",
       TColumn::clLeft,
       true,
       {List(fdAuto, "ComboBoxAuto", "Algorithm",
             {"Otsu", "Lloyd", "Ridler and Calvard", "Uniform Error", "Standard Deviation"},
             taAuto)},
       {fdAuto},
       std::nullopt,
       TParameterLabels{{"unused", false}, {"unused", false}},
       [](TFieldValues& v, const TThresholdSettings& s) { SetField(v, fdAuto, s.Method); },
       [](const TFieldValues& v, TThresholdSettings& s) { s.Method = v[fdAuto]; }});
  std::vector<TField> dynamicReads = common;
  dynamicReads.push_back(fdMode);
  rows.push_back({taDynamic, "RadioButtonDynamic", "Dynamic Thresholding", TColumn::clRight, true,
                  DynamicFields(), dynamicReads, std::nullopt,
                  TParameterLabels{{"Contrast", true}, {"Brightness", true}},
                  [](TFieldValues& v, const TThresholdSettings& s) {
                    SetField(v, fdMode, s.Method);
                    FillCommon(v, s);
                  },
                  [](const TFieldValues& v, TThresholdSettings& s) {
                    s.Method = v[fdMode];
                    WriteCommon(v, s);
                  }});
  rows.push_back({taAdvancedDynamic,
                  "RadioButtonAdvanced",
                  "Advanced Dynamic Thresholding",
                  TColumn::clRight,
                  true,
                  {},
                  common,
                  std::nullopt,
                  TParameterLabels{{"Contrast", true}, {"unused", false}},
                  FillCommon,
                  WriteCommon});
  rows.push_back(
      {taEdge,
       "RadioButtonEdge",
       "Edge Thresholding",
       TColumn::clLeft,
       true,
       {Spin(fdEdgeSensitivity, "SpinEditEdgeSensitivity", "Sensitivity", kLevel, 20, taEdge, 3),
        Spin(fdMaxSize, "SpinEditMaxSize", "Max spot size", {1, 9999}, 5, taEdge, 4)},
       {fdContrast, fdBrightness},
       std::nullopt,
       TParameterLabels{{"Sensitiv.", true}, {"Max Noise", true}},
       [](TFieldValues& v, const TThresholdSettings& s) {
         SetField(v, fdContrast, s.Contrast);
         SetField(v, fdBrightness, s.Brightness);
       },
       [](const TFieldValues& v, TThresholdSettings& s) {
         s.Contrast = v[fdContrast];
         s.Brightness = v[fdBrightness];
       }});
  rows.push_back({taPEI,
                  "RadioButtonPEI",
                  "PEI Thresholding",
                  TColumn::clLeft,
                  false,
                  PeiFields(),
                  {},
                  std::nullopt,
                  std::nullopt,
                  [](TFieldValues&, const TThresholdSettings&) {},
                  [](const TFieldValues&, TThresholdSettings&) {}});
  rows.push_back({taAdaptive,
                  "RadioButtonAdaptiveThresholding",
                  "Adaptive Thresholding",
                  TColumn::clRight,
                  true,
                  {},
                  common,
                  TAreaPreset{7, 7},
                  TParameterLabels{{"Contrast", true}, {"Brightness", true}},
                  FillCommon,
                  WriteCommon});
  rows.push_back({taBackgroundTracking,
                  "RadioButtonBackTrack",
                  "Background Tracking Thresholding",
                  TColumn::clRight,
                  true,
                  BackTrackFields(),
                  {fdAreaW, fdAreaH, fdBackTrackMin, fdContribute},
                  TAreaPreset{5, 5},
                  TParameterLabels{{"Range", true}, {"Contribute", true}},
                  FillBackTrack,
                  WriteBackTrack});
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
  for (const TFieldSpec& spec : CommonFields()) {
    if (spec.Id == field) return spec;
  }
  for (const TMethodRow& row : MethodRows()) {
    for (const TFieldSpec& spec : row.Fields) {
      if (spec.Id == field) return spec;
    }
  }
  throw EError("No field " + std::to_string(field));
}
