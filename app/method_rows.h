// The rows of the "Thresholding" dialog: a row per method with its radio button, the fields
// it shows, how it fills them from the settings record and writes them back, and what
// checking it presets. Captions, list items and what a method reads come from the method
// catalog (binarize/method_catalog.h); a method beyond the eight reads the common fields and
// gets its row from the catalog alone.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/settings_fields.h"

enum class TFieldKind { fkSpin, fkList, fkEditableList, fkButton };

// What makes a field check a method's radio button for the operator.
enum class TCheckTrigger { ctNone, ctPress, ctChange };

struct TFieldSpec {
  TField Id;
  const char* Name;   // the control's name, e.g. "SpinEditStandard"
  const char* Label;  // the caption before the control
  TFieldKind Kind = TFieldKind::fkSpin;
  TSpinLimits Limits{};
  std::int32_t MaxLength = 0;  // characters a spin field takes; 0: any
  std::int32_t Initial = 0;    // the value, or a list's item index, when the dialog is created
  std::vector<std::string> Items{};
  const char* Suffix = "";  // a caption after the control
  bool SameLine = false;    // continues the line of the field before it
  TCheckTrigger Trigger = TCheckTrigger::ctNone;
  std::int32_t Checks = -1;  // the Algo whose button the trigger checks
  // What an operator's change of the field does beyond checking, if anything.
  void (*Changed)(TFieldValues& values) = nullptr;
};

enum class TColumn { clLeft, clRight };

// Values that checking a method's button puts into fields, in this order.
using TPreset = std::vector<std::pair<TField, std::int32_t>>;

struct TMethodRow {
  std::int32_t Algo;
  std::string RadioName;
  std::string Caption;
  TColumn Column;
  bool Offered;                    // false: shown but never choosable (the external engine's row)
  std::vector<TFieldSpec> Fields;  // shown on the method's own row
  std::vector<TField> Reads;       // every field its write-back reads
  TPreset Preset;
  std::string Note;  // a line under the button saying what the common fields mean to it
  std::function<void(TFieldValues& values, const TThresholdSettings& settings)> Fill;
  std::function<void(const TFieldValues& values, TThresholdSettings& settings)> Write;
};

// The rows in the order that decides between checked buttons: Standard, Auto, Dynamic,
// Advanced Dynamic, Edge, PEI, Adaptive, Background Tracking, then the further methods of the
// catalog in the order of Algo.
const std::vector<TMethodRow>& MethodRows();
// The row of a method; null for an Algo no row offers.
const TMethodRow* MethodRowOf(std::int32_t algo);

// The heading and fields that several methods of the right-hand column share.
inline constexpr const char* kCommonHeading = "Common paremeters for next methods:";
const std::vector<TFieldSpec>& CommonFields();
// The description of a field, common or of a row.
const TFieldSpec& FieldSpecOf(TField field);
