// The settings dialog's rules on plain field values.
#include "app/settings_fields.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "app/method_rows.h"

std::int32_t ClampSpin(std::int64_t value, TSpinLimits limits) {
  if (limits.Limited())
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, limits.Min, limits.Max));
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t ReadSpin(const std::string& text, TSpinLimits limits) {
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return limits.Min;
  return ClampSpin(value, limits);
}

TFieldValues InitialFieldValues() {
  TFieldValues values;
  for (std::int32_t f = 0; f < fdFieldCount; ++f) {
    values.Value[static_cast<std::size_t>(f)] = FieldSpecOf(static_cast<TField>(f)).Initial;
  }
  values.Checked = taStandard;
  return values;
}

void SetField(TFieldValues& values, TField field, std::int64_t value) {
  const TFieldSpec& description = FieldSpecOf(field);
  std::int32_t shown = 0;
  if (description.Kind == TFieldKind::fkSpin) {
    shown = ClampSpin(value, description.Limits);
  } else {
    const bool item = value >= 0 && value < static_cast<std::int64_t>(description.Items.size());
    shown = item ? static_cast<std::int32_t>(value) : -1;
  }
  values.Value[static_cast<std::size_t>(field)] = shown;
}

void CheckMethod(TFieldValues& values, std::int32_t algo) {
  if (values.Checked == algo) return;
  values.Checked = algo;
  const TMethodRow* row = MethodRowOf(algo);
  if (row == nullptr) return;
  for (const auto& [field, value] : row->Preset) SetField(values, field, value);
}

// Checking runs the button's click handler first, so its presets are then overwritten by
// the record's values.
void FillFields(TFieldValues& values, const TThresholdSettings& settings) {
  const TMethodRow* row = MethodRowOf(settings.Algo);
  if (row == nullptr) return;
  CheckMethod(values, row->Algo);
  row->Fill(values, settings);
}

void WriteFields(const TFieldValues& values, TThresholdSettings& settings) {
  const TMethodRow* row = MethodRowOf(values.Checked);
  if (row == nullptr) return;
  settings.Algo = row->Algo;
  row->Write(values, settings);
}

void FieldPressed(TFieldValues& values, TField field) {
  const TFieldSpec& description = FieldSpecOf(field);
  if (description.Trigger != TCheckTrigger::ctPress) return;
  if (const TMethodRow* checked = MethodRowOf(values.Checked)) {
    if (std::find(checked->Reads.begin(), checked->Reads.end(), field) != checked->Reads.end()) {
      return;
    }
  }
  CheckMethod(values, description.Checks);
}

void FieldChanged(TFieldValues& values, TField field) {
  const TFieldSpec& description = FieldSpecOf(field);
  if (description.Trigger == TCheckTrigger::ctChange) CheckMethod(values, description.Checks);
  if (description.Changed != nullptr) description.Changed(values);
}
