// The settings dialog's rules without a window: spin fields' clamping and reading, filling
// from each method and writing back, the presets of the mode list and the radio buttons, the
// presses that check a method, and the method rows as the one description of the methods.
#include <gtest/gtest.h>

#include <map>

#include "app/method_rows.h"
#include "app/parameter_labels.h"
#include "app/settings_fields.h"
#include "binarize/method_catalog.h"

namespace {

TThresholdSettings Settings(std::int32_t algo, std::int32_t method, std::int32_t contrast,
                            std::int32_t brightness, std::int32_t width, std::int32_t height) {
  TThresholdSettings s;
  s.Algo = algo;
  s.Method = method;
  s.Contrast = contrast;
  s.Brightness = brightness;
  s.AreaWidth = width;
  s.AreaHeight = height;
  return s;
}

}  // namespace

TEST(SpinField, ReadsAndClamps) {
  struct Case {
    std::string text;
    TSpinLimits limits;
    std::int32_t expected;
    const char* reason;
  } cases[] = {
      {"127", {1, 254}, 127, "an integer within the limits"},
      {"300", {1, 254}, 254, "clamped to the upper limit"},
      {"-5", {1, 254}, 1, "clamped to the lower limit"},
      {"", {1, 254}, 1, "an empty text reads as the lower limit"},
      {"-", {-1, 255}, -1, "a lone sign reads as the lower limit"},
      {"12x", {0, 100}, 0, "trailing letters make it no integer"},
      {"", {0, 0}, 0, "a field without limits reads 0 for no integer"},
      {"-40", {0, 0}, -40, "a field without limits takes negative sizes"},
      {"99999999999", {0, 0}, 0, "beyond 32 bits is no integer"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadSpin(c.text, c.limits), c.expected) << c.reason;
  EXPECT_EQ(ClampSpin(std::int64_t{1} << 40, {0, 0}), INT32_MAX) << "stays a 32-bit value";
}

// Each method fills its own fields from the record, and OK without changes writes back what
// those fields hold.
TEST(SettingsFields, FillFromEachMethodAndWriteBack) {
  struct Case {
    TThresholdSettings in;
    std::map<TField, std::int32_t> shown;
    TThresholdSettings written;
    const char* reason;
  } cases[] = {
      {Settings(0, 0, 128, -1, 7, 7),
       {{fdStandard, 1}},
       Settings(0, 0, 128, 1, 7, 7),
       "a level below the field's range shows and writes back 1"},
      {Settings(0, 0, 128, 300, 7, 7),
       {{fdStandard, 254}},
       Settings(0, 0, 128, 254, 7, 7),
       "a level above it shows and writes 254"},
      {Settings(1, 3, 128, 128, 7, 7),
       {{fdAuto, 3}},
       Settings(1, 3, 128, 128, 7, 7),
       "the rule index is the list's item"},
      {Settings(2, 1, 30, 40, 9, 11),
       {{fdMode, 1}, {fdContrast, 30}, {fdBrightness, 40}, {fdAreaW, 9}, {fdAreaH, 11}},
       Settings(2, 1, 30, 40, 9, 11),
       "the settings overwrite the mode's presets"},
      {Settings(3, 1, 300, 40, 15, 15),
       {{fdContrast, 255}, {fdAreaW, 15}},
       Settings(3, 1, 255, 40, 15, 15),
       "Method stays as it was; contrast clamps"},
      {Settings(4, 0, 20, 5, 99, 99),
       {{fdContrast, 20}, {fdBrightness, 5}, {fdAreaW, 7}},
       Settings(4, 0, 20, 5, 99, 99),
       "Edge neither fills nor writes the area"},
      {Settings(6, 0, 16, 8, 3, 5),
       {{fdAreaW, 3}, {fdAreaH, 5}},
       Settings(6, 0, 16, 8, 3, 5),
       "the Adaptive button's 7 x 7 preset is overwritten"},
      {Settings(7, 0, 80, 256, 9, 9),
       {{fdBackTrackMin, 128}, {fdBackTrackMax, 255}, {fdContribute, 80}, {fdAreaW, 9}},
       Settings(7, 0, 80, 256, 9, 9),
       "Max shows 512 clamped; Min x 2 writes 256 back"},
      {Settings(7, 0, 80, 129, 9, 9),
       {{fdBackTrackMin, 64}, {fdBackTrackMax, 255}},
       Settings(7, 0, 80, 128, 9, 9),
       "the range follows Min: an odd centre loses its 1"},
      {Settings(7, 0, 80, -3, 5, 5),
       {{fdBackTrackMin, 0}, {fdBackTrackMax, 0}},
       Settings(7, 0, 80, 0, 5, 5),
       "a negative centre clamps to 0"},
      {Settings(7, 0, 80, INT32_MAX, 5, 5),
       {{fdBackTrackMin, 255}, {fdBackTrackMax, 0}},
       Settings(7, 0, 80, 510, 5, 5),
       "the doubling wraps as the method's own does"},
      {Settings(8, 3, 40, -1, 25, 27),
       {{fdContrast, 40}, {fdBrightness, -1}, {fdAreaW, 25}, {fdAreaH, 27}},
       Settings(8, 3, 40, -1, 25, 27),
       "Sauvola's k, automatic range and window; Method stays"},
      {Settings(9, 0, 50, 77, 15, 15),
       {{fdContrast, 50}, {fdBrightness, -1}, {fdAreaW, 15}},
       Settings(9, 0, 50, 77, 15, 15),
       "Wolf-Jolion neither fills nor writes Brightness"},
      {Settings(10, 0, 300, 77, 19, 19),
       {{fdContrast, 255}, {fdAreaW, 19}},
       Settings(10, 0, 255, 77, 19, 19),
       "NICK's contrast clamps like every common field"},
      {Settings(11, 0, 60, 90, 41, 41),
       {{fdContrast, 60}, {fdBrightness, 90}, {fdAreaW, 41}},
       Settings(11, 0, 60, 90, 41, 41),
       "the background-normalised method through the common fields"},
  };
  for (const Case& c : cases) {
    TFieldValues values = InitialFieldValues();
    FillFields(values, c.in);
    EXPECT_EQ(values.Checked, c.in.Algo) << c.reason;
    for (const auto& [field, value] : c.shown) EXPECT_EQ(values[field], value) << c.reason;
    TThresholdSettings out = c.in;
    WriteFields(values, out);
    EXPECT_EQ(out, c.written) << c.reason;
  }
}

TEST(SettingsFields, ThePEIRowAndUnknownMethods) {
  TFieldValues values = InitialFieldValues();
  FillFields(values, Settings(5, 0, 1, 2, 3, 4));
  EXPECT_EQ(values.Checked, taPEI) << "a stored PEI shows checked";
  EXPECT_EQ(values, [] {
    TFieldValues v = InitialFieldValues();
    v.Checked = taPEI;
    return v;
  }()) << "and fills no field";
  TThresholdSettings out = Settings(5, 0, 1, 2, 3, 4);
  WriteFields(values, out);
  EXPECT_EQ(out, Settings(5, 0, 1, 2, 3, 4)) << "OK keeps Algo 5 and nothing else changes";

  const TFieldValues before = values;
  FillFields(values, Settings(taBackgroundNormalized + 1, 0, 1, 2, 3, 4));
  EXPECT_EQ(values, before) << "an unknown method checks and fills nothing";
}

TEST(SettingsFields, PresetsOfTheModeListAndTheRadioButtons) {
  TFieldValues values = InitialFieldValues();
  SetField(values, fdMode, 1);
  FieldChanged(values, fdMode);
  EXPECT_EQ((std::array{values[fdContrast], values[fdAreaW], values[fdAreaH]}),
            (std::array{8, 10, 10}))
      << "Average";
  SetField(values, fdMode, 0);
  FieldChanged(values, fdMode);
  EXPECT_EQ((std::array{values[fdContrast], values[fdAreaW], values[fdAreaH]}),
            (std::array{16, 7, 7}))
      << "MinMax";

  CheckMethod(values, taBackgroundTracking);
  EXPECT_EQ(values[fdAreaW] * 100 + values[fdAreaH], 505) << "Background Tracking: 5 x 5";
  CheckMethod(values, taAdaptive);
  EXPECT_EQ(values[fdAreaW] * 100 + values[fdAreaH], 707) << "Adaptive: 7 x 7";
  SetField(values, fdAreaW, 31);
  CheckMethod(values, taAdaptive);
  EXPECT_EQ(values[fdAreaW], 31) << "clicking the checked button presets nothing";
}

// Checking a further method puts the catalog's defaults into the common fields it reads, and
// only into those.
TEST(SettingsFields, FurtherMethodsPresetTheirDefaults) {
  for (std::int32_t algo : {taSauvola, taWolfJolion, taNick, taBackgroundNormalized}) {
    const TMethodDescription& method = *FindMethod(algo);
    TFieldValues values = InitialFieldValues();
    SetField(values, fdBrightness, 99);
    CheckMethod(values, algo);
    const TFieldUse* area = FindFieldUse(method, TRecordField::rfArea);
    const TFieldUse* contrast = FindFieldUse(method, TRecordField::rfContrast);
    const TFieldUse* brightness = FindFieldUse(method, TRecordField::rfBrightness);
    ASSERT_NE(area, nullptr) << method.Name;
    ASSERT_NE(contrast, nullptr) << method.Name;
    EXPECT_EQ(values[fdAreaW], area->Default) << method.Name;
    EXPECT_EQ(values[fdAreaH], area->Default) << method.Name;
    EXPECT_EQ(values[fdContrast], contrast->Default) << method.Name;
    EXPECT_EQ(values[fdBrightness], brightness ? brightness->Default : 99) << method.Name;
  }
}

// A press on a field checks its method, unless the checked method reads that field too.
TEST(SettingsFields, PressesCheckTheFieldsMethod) {
  struct Case {
    std::int32_t checked;
    TField field;
    std::int32_t expected;
    const char* reason;
  } cases[] = {
      {taStandard, fdAreaW, taDynamic, "the area belongs to Dynamic by default"},
      {taAdvancedDynamic, fdAreaW, taAdvancedDynamic, "Advanced Dynamic reads the area"},
      {taAdaptive, fdAreaH, taAdaptive, "Adaptive reads the area"},
      {taAdaptive, fdContrast, taAdaptive, "Adaptive reads the contrast"},
      {taBackgroundTracking, fdAreaW, taBackgroundTracking, "Background Tracking reads the area"},
      {taBackgroundTracking, fdContrast, taDynamic, "Background Tracking reads no Contrast"},
      {taEdge, fdBrightness, taEdge, "Edge's spot size travels in Brightness"},
      {taEdge, fdAreaH, taDynamic, "Edge reads no area"},
      {taDynamic, fdMaxSize, taEdge, "Edge's own field"},
      {taAuto, fdMode, taDynamic, "the mode list"},
      {taStandard, fdAuto, taAuto, "the rule list"},
      {taDynamic, fdStandard, taDynamic, "the fixed level checks on a change, not a press"},
      {taSauvola, fdBrightness, taSauvola, "Sauvola reads its dynamic range there"},
      {taSauvola, fdAreaH, taSauvola, "Sauvola reads the window"},
      {taWolfJolion, fdContrast, taWolfJolion, "Wolf-Jolion reads k there"},
      {taWolfJolion, fdBrightness, taDynamic, "Wolf-Jolion reads no Brightness"},
      {taNick, fdBrightness, taDynamic, "NICK reads no Brightness"},
      {taBackgroundNormalized, fdAreaW, taBackgroundNormalized, "its background window"},
      {taNick, fdBackTrackMin, taBackgroundTracking, "another method's own field"},
  };
  for (const Case& c : cases) {
    TFieldValues values = InitialFieldValues();
    values.Checked = c.checked;
    FieldPressed(values, c.field);
    EXPECT_EQ(values.Checked, c.expected) << c.reason;
  }
  TFieldValues values = InitialFieldValues();
  values.Checked = taDynamic;
  FieldPressed(values, fdBackTrackMax);
  EXPECT_EQ(values[fdAreaW], 5) << "checking by a press runs the button's preset";
  FieldChanged(values, fdStandard);
  EXPECT_EQ(values.Checked, taStandard) << "a change of the fixed level checks Standard";
}

TEST(MethodRows, TheSliderCaptionsFollowTheMethod) {
  using L = TParameterLabels;
  struct Case {
    std::int32_t algo;
    std::optional<L> labels;
    const char* reason;
  } cases[] = {
      {0, L{{"unused", false}, {"Brightness", true}}, "Standard reads only the level"},
      {1, L{{"unused", false}, {"unused", false}}, "Auto reads neither"},
      {2, L{{"Contrast", true}, {"Brightness", true}}, "Dynamic"},
      {3, L{{"Contrast", true}, {"unused", false}}, "Advanced Dynamic"},
      {4, L{{"Sensitiv.", true}, {"Max Noise", true}}, "Edge"},
      {5, std::nullopt, "the external engine leaves the sliders as they are"},
      {6, L{{"Contrast", true}, {"Brightness", true}}, "Adaptive"},
      {7, L{{"Range", true}, {"Contribute", true}}, "Background Tracking"},
      {8, L{{"k x 100", true}, {"Dynamic range", true}}, "Sauvola"},
      {9, L{{"k x 100", true}, {"unused", false}}, "Wolf-Jolion reads no Brightness"},
      {10, L{{"-k x 100", true}, {"unused", false}}, "NICK reads no Brightness"},
      {-1, std::nullopt, "no such method"},
      {taBackgroundNormalized + 1, std::nullopt, "no such method"},
  };
  for (const Case& c : cases) EXPECT_EQ(ParameterLabelsFor(c.algo), c.labels) << c.reason;
  std::int32_t expected = 0;
  for (const TMethodRow& row : MethodRows()) {
    EXPECT_EQ(row.Algo, expected++) << "the rows decide in the order of their Algo";
    EXPECT_EQ(row.Caption, FindMethod(row.Algo)->Caption);
  }
  EXPECT_EQ(expected, static_cast<std::int32_t>(MethodCatalog().size())) << "a row per method";
}
