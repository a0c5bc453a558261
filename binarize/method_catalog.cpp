// The methods described entry by entry, and the phrases and the README table made from them.
#include "binarize/method_catalog.h"

#include "platform/ascii_case.h"

namespace {

using enum TRecordField;

constexpr TValueRange kLevel{-1, 255};  // a level or strength; -1 where the method chooses it

TFieldUse Value(TRecordField field, std::string meaning, TValueRange range, std::int32_t initial) {
  return {field, std::move(meaning), range, initial, {}};
}

TFieldUse Choice(std::string meaning, std::vector<std::string> choices) {
  return {rfMethod, std::move(meaning), std::nullopt, 0, std::move(choices)};
}

TFieldUse Area(std::string meaning, std::int32_t size) {
  return {rfArea, std::move(meaning), std::nullopt, size, {}};
}

const TSliderLabel kUnused{"unused", false};

// --- The eight methods of the settings record --------------------------------------------

std::vector<TMethodDescription> GlobalMethods() {
  return {
      {.Algo = taStandard,
       .Name = "standard",
       .Caption = "Standard Thresholding",
       .Summary = "one fixed level for the page",
       .Reads = {Value(rfBrightness, "the fixed level, its low 8 bits", {0, 255}, 128)},
       .Sliders = TParameterLabels{kUnused, {"Brightness", true}}},
      {.Algo = taAuto,
       .Name = "auto",
       .Caption = "Auto Thresholding",
       .Summary = "one level from the page's gray histogram",
       .Reads = {Choice("histogram rule", {"Otsu", "Lloyd", "Ridler and Calvard", "Uniform Error",
                                           "Standard Deviation"})},
       .Sliders = TParameterLabels{kUnused, kUnused}},
  };
}

std::vector<TMethodDescription> WindowMethods() {
  return {
      {.Algo = taDynamic,
       .Name = "dynamic",
       .Caption = "Dynamic Thresholding",
       .Summary = "each pixel against its window, flat windows against one level",
       .Reads = {Choice("mode", {"MinMax", "Average"}),
                 Value(rfContrast, "least local contrast taken for ink, -1 automatic", kLevel, 16),
                 Value(rfBrightness, "level where the window is flat, -1 automatic", kLevel, -1),
                 Area("local window", 7)},
       .Sliders = TParameterLabels{{"Contrast", true}, {"Brightness", true}}},
      {.Algo = taAdvancedDynamic,
       .Name = "niblack",
       .Caption = "Advanced Dynamic Thresholding",
       .Summary = "Niblack's rule, ink below the window's mean plus k times its deviation",
       .Reads = {Value(rfContrast, "-k x 100, so k = -Contrast / 100", {0, 255}, 16),
                 Area("local window", 7)},
       .Sliders = TParameterLabels{{"Contrast", true}, kUnused}},
  };
}

std::vector<TMethodDescription> EdgeAndEngineMethods() {
  return {
      {.Algo = taEdge,
       .Name = "edge",
       .Caption = "Edge Thresholding",
       .Summary = "ink on the dark side of strong edges, small specks removed",
       .Reads = {Value(rfContrast, "sensitivity, the least edge strength, -1 automatic", kLevel,
                       20),
                 Value(rfBrightness, "largest speck removed in pixels, 1 keeps all", {1, 9999}, 5)},
       .Sliders = TParameterLabels{{"Sensitiv.", true}, {"Max Noise", true}}},
      {.Algo = taPEI,
       .Name = "pei",
       .Caption = "PEI Thresholding",
       .Summary = "the external engine's choice, which leaves the image as it is",
       .Reads = {},
       .Sliders = std::nullopt},
  };
}

std::vector<TMethodDescription> LocalLevelMethods() {
  return {
      {.Algo = taAdaptive,
       .Name = "adaptive",
       .Caption = "Adaptive Thresholding",
       .Summary = "near edges the window's midpoint, elsewhere one level",
       .Reads = {Value(rfContrast, "least edge strength decided locally, -1 automatic", kLevel, 16),
                 Value(rfBrightness, "level away from edges, -1 automatic", kLevel, -1),
                 Area("local window", 7)},
       .Sliders = TParameterLabels{{"Contrast", true}, {"Brightness", true}}},
      {.Algo = taBackgroundTracking,
       .Name = "background-tracking",
       .Caption = "Background Tracking Thresholding",
       .Summary = "the window's mean blended with the centre of a gray range",
       .Reads = {Value(rfContrast, "contribution of the window's mean x 255", {0, 255}, 80),
                 Value(rfBrightness,
                       "centre of the gray range, which runs from Brightness div 2 to "
                       "Brightness x 2",
                       {0, 510}, 256),
                 Area("local window", 5)},
       .Sliders = TParameterLabels{{"Range", true}, {"Contribute", true}}},
  };
}

// --- The window rules and the background-normalised method -----------------------------------

std::vector<TMethodDescription> DeviationMethods() {
  return {
      {.Algo = taSauvola,
       .Name = "sauvola",
       .Caption = "Sauvola Thresholding",
       .Summary = "ink below the window's mean x (1 + k x (deviation / R - 1))",
       .Reads = {Value(rfContrast, "k x 100, typically 20..50", {0, 255}, 34),
                 Value(rfBrightness,
                       "dynamic range R of the deviation, -1 automatic: the page's largest "
                       "window deviation",
                       kLevel, -1),
                 Area("local window", 31)},
       .Sliders = TParameterLabels{{"k x 100", true}, {"Dynamic range", true}}},
      {.Algo = taWolfJolion,
       .Name = "wolf",
       .Caption = "Wolf-Jolion Thresholding",
       .Summary = "Sauvola's rule scaled by the page's darkest pixel and largest deviation",
       .Reads = {Value(rfContrast, "k x 100, typically 50", {0, 255}, 50),
                 Area("local window", 31)},
       .Sliders = TParameterLabels{{"k x 100", true}, kUnused}},
      {.Algo = taNick,
       .Name = "nick",
       .Caption = "NICK Thresholding",
       .Summary = "ink below the window's mean + k x sqrt((sum of squares - mean^2) / pixels)",
       .Reads = {Value(rfContrast, "-k x 100, so k = -Contrast / 100, typically 10..20", {0, 255},
                       10),
                 Area("local window", 31)},
       .Sliders = TParameterLabels{{"-k x 100", true}, kUnused}},
  };
}

TMethodDescription BackgroundNormalizedMethod() {
  return {
      .Algo = taBackgroundNormalized,
      .Name = "normalized",
      .Caption = "Background Normalized Thresholding",
      .Summary =
          "the page divided by its paper estimate; ink near stroke edges, at most their "
          "mean + k x their deviation",
      .Reads = {Value(rfContrast, "k x 100 over the edge pixels' deviation", {-100, 255}, 65),
                Value(rfBrightness, "side of the paper estimate's square, in pixels", {1, 255}, 31),
                Area("edge window; a pixel needs as many edge pixels around it as the "
                     "window's longer side",
                     25)},
      .Sliders = TParameterLabels{{"k x 100", true}, {"Paper window", true}}};
}

std::vector<TMethodDescription> BuildCatalog() {
  std::vector<TMethodDescription> catalog;
  for (auto part : {GlobalMethods(), WindowMethods(), EdgeAndEngineMethods(), LocalLevelMethods(),
                    DeviationMethods()}) {
    for (auto& method : part) catalog.push_back(std::move(method));
  }
  catalog.push_back(BackgroundNormalizedMethod());
  return catalog;
}

std::string ChoicesText(const std::vector<std::string>& choices) {
  std::string text;
  for (std::size_t i = 0; i < choices.size(); ++i) {
    text += (i == 0 ? "" : ", ") + std::to_string(i) + " " + choices[i];
  }
  return text;
}

std::string SliderText(const TSliderLabel& slider) {
  return slider.Caption + (slider.Enabled ? "" : " (off)");
}

// The Markdown cell of the fields a method reads, one field per line of the cell.
std::string FieldsCell(const TMethodDescription& method) {
  if (method.Reads.empty()) return "none";
  std::string cell;
  for (const TFieldUse& use : method.Reads) {
    if (!cell.empty()) cell += "<br>";
    cell += "`" + RecordFieldName(use.Field) + "`: " + FieldUseText(use);
  }
  return cell;
}

std::string SlidersCell(const TMethodDescription& method) {
  if (!method.Sliders) return "left as they are";
  return SliderText(method.Sliders->Left) + " / " + SliderText(method.Sliders->Right);
}

}  // namespace

const std::vector<TMethodDescription>& MethodCatalog() {
  static const std::vector<TMethodDescription> catalog = BuildCatalog();
  return catalog;
}

const TMethodDescription* FindMethod(std::int32_t algo) {
  for (const TMethodDescription& method : MethodCatalog()) {
    if (method.Algo == algo) return &method;
  }
  return nullptr;
}

const TMethodDescription* FindMethodByName(std::string_view name) {
  for (const TMethodDescription& method : MethodCatalog()) {
    if (SameTextIgnoringCase(method.Name, name)) return &method;
  }
  return nullptr;
}

const TFieldUse* FindFieldUse(const TMethodDescription& method, TRecordField field) {
  for (const TFieldUse& use : method.Reads) {
    if (use.Field == field) return &use;
  }
  return nullptr;
}

std::string RecordFieldName(TRecordField field) {
  switch (field) {
    case rfMethod:
      return "Method";
    case rfContrast:
      return "Contrast";
    case rfBrightness:
      return "Brightness";
    case rfArea:
      return "AreaWidth x AreaHeight";
  }
  return "?";
}

std::string FieldUseText(const TFieldUse& use) {
  const std::string initial = std::to_string(use.Default);
  if (!use.Choices.empty()) {
    return use.Meaning + ": " + ChoicesText(use.Choices) + " (default " + initial + ")";
  }
  if (use.Field == rfArea) return use.Meaning + " (default " + initial + "x" + initial + ")";
  std::string text = use.Meaning + " (";
  if (use.Range)
    text += std::to_string(use.Range->Min) + ".." + std::to_string(use.Range->Max) + ", ";
  return text + "default " + initial + ")";
}

std::string MethodNameList() {
  std::string list;
  for (const TMethodDescription& method : MethodCatalog()) {
    list += (list.empty() ? "" : ", ") + method.Name;
  }
  return list;
}

std::string MethodTableMarkdown() {
  std::string table =
      "| Algo | Name | Method | Fields read | Sliders (left / right) |\n"
      "|---|---|---|---|---|\n";
  for (const TMethodDescription& method : MethodCatalog()) {
    table += "| " + std::to_string(method.Algo) + " | `" + method.Name + "` | " + method.Caption +
             ": " + method.Summary + " | " + FieldsCell(method) + " | " + SlidersCell(method) +
             " |\n";
  }
  return table;
}
