// The fields of the "Thresholding" settings dialog as plain values, and the rules that tie
// them to the settings record: filling the fields from the record, writing the chosen method
// back, clamping spin fields to their limits and the conveniences that check a method's
// radio button for the operator. The dialog's widgets only show these values; every decision
// lives here, so that tests run it without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "binarize/threshold_settings.h"

// Every value field of the dialog. A further method that needs more than the common fields
// adds its own here and describes them in its row (app/method_rows.h).
enum TField : std::int32_t {
  fdStandard,
  fdAuto,
  fdPeiParameters,
  fdEdgeSensitivity,
  fdMaxSize,
  fdAreaW,
  fdAreaH,
  fdContrast,
  fdBrightness,
  fdMode,
  fdBackTrackMin,
  fdBackTrackMax,
  fdContribute,
  fdFieldCount
};

// The limits of a spin field; a field whose two limits are both 0 has none.
struct TSpinLimits {
  std::int32_t Min = 0;
  std::int32_t Max = 0;
  bool Limited() const { return Min != 0 || Max != 0; }
};

// A value set into a spin field: clamped to the limits when it has them.
std::int32_t ClampSpin(std::int64_t value, TSpinLimits limits);
// A spin field's text read as its value: a decimal integer clamped like a value set into it;
// any other text (empty, "-", letters, beyond 32 bits) reads as the lower limit.
std::int32_t ReadSpin(const std::string& text, TSpinLimits limits);

// What the dialog shows: a number per spin field, an item index per list (-1: no item), and
// the Algo of the checked radio button.
struct TFieldValues {
  std::array<std::int32_t, fdFieldCount> Value{};
  std::int32_t Checked = taStandard;

  std::int32_t operator[](TField field) const { return Value[static_cast<std::size_t>(field)]; }
  bool operator==(const TFieldValues&) const = default;
};

// The values when the dialog is created: every field at its initial value, Standard checked.
TFieldValues InitialFieldValues();
// Sets a field as the dialog would: a spin field clamps, a list takes -1 for an index that
// names none of its items.
void SetField(TFieldValues& values, TField field, std::int64_t value);

// Checks a method's radio button the way an operator's click does: a button that was not
// checked runs its click handler, which may preset fields (the area of Adaptive, Background
// Tracking; the common fields a further method reads). Checking the checked button changes
// nothing.
void CheckMethod(TFieldValues& values, std::int32_t algo);

// Fills the fields of settings.Algo's method from the record and checks its button; the
// fields of other methods keep what they held. An unknown Algo changes nothing.
void FillFields(TFieldValues& values, const TThresholdSettings& settings);
// Writes the checked method and the fields it reads into settings; other fields keep their
// values.
void WriteFields(const TFieldValues& values, TThresholdSettings& settings);

// A mouse press on a field: checks the method the field belongs to, unless the checked
// method reads that field too, so that tuning a shared field never switches methods.
void FieldPressed(TFieldValues& values, TField field);
// The operator changed a field's value (not the dialog filling it).
void FieldChanged(TFieldValues& values, TField field);
