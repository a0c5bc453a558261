// The one description of every binarization method: its number in the settings record, the
// short name the batch command takes, its caption, the record fields it reads with what each
// means, its range and its default, the choices of Method, and the captions of the
// thresholding window's two sliders. The batch command's help and --algo, the README's method
// table, the settings dialog's rows and the slider captions are all read from here, so a
// method is described once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "binarize/threshold_settings.h"

// The record fields a method may read; the area stands for AreaWidth and AreaHeight together.
enum class TRecordField { rfMethod, rfContrast, rfBrightness, rfArea };

struct TValueRange {
  std::int32_t Min;
  std::int32_t Max;
};

struct TFieldUse {
  TRecordField Field;
  std::string Meaning;
  // The values an operator gives; none for the area (every method defines its own handling of
  // small, zero and negative sizes) and for a Method with choices (their indexes).
  std::optional<TValueRange> Range;
  std::int32_t Default;              // the area's default holds for width and height alike
  std::vector<std::string> Choices;  // Method only: the value is the index of the choice
};

// The caption of one slider of the thresholding window and whether the method reads it.
struct TSliderLabel {
  std::string Caption;
  bool Enabled;
  bool operator==(const TSliderLabel&) const = default;
};

// The left slider always carries Contrast and the right one Brightness.
struct TParameterLabels {
  TSliderLabel Left;
  TSliderLabel Right;
  bool operator==(const TParameterLabels&) const = default;
};

struct TMethodDescription {
  std::int32_t Algo;
  std::string Name;     // the batch command's short name, lower case
  std::string Caption;  // the settings dialog's radio button
  std::string Summary;  // the rule in one line
  std::vector<TFieldUse> Reads;
  std::optional<TParameterLabels> Sliders;  // none: the sliders stay as they are
};

// Every method, in the order of Algo (0, 1, 2, ...).
const std::vector<TMethodDescription>& MethodCatalog();
// The method numbered algo, or null.
const TMethodDescription* FindMethod(std::int32_t algo);
// The method with that short name in any letter case, or null.
const TMethodDescription* FindMethodByName(std::string_view name);
// What the method reads of field, or null when it ignores it.
const TFieldUse* FindFieldUse(const TMethodDescription& method, TRecordField field);

// "Method", "Contrast", "Brightness", "AreaWidth x AreaHeight".
std::string RecordFieldName(TRecordField field);
// A field's meaning, choices, range and default in one phrase, e.g. "the fixed level (its low
// 8 bits), 0..255, default 128".
std::string FieldUseText(const TFieldUse& use);
// "standard, auto, ..." in the order of Algo.
std::string MethodNameList();

// The README's table of the methods, in Markdown, ending with a line break.
std::string MethodTableMarkdown();
