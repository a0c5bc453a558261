// The spin field on Qt's spin box.
#include "app/widgets/spin_edit.h"

#include <QLineEdit>
#include <limits>

TSpinEdit::TSpinEdit(TSpinLimits limits, std::int32_t maxLength, QWidget* parent)
    : QSpinBox(parent), limits_(limits) {
  if (limits.Limited()) {
    setRange(limits.Min, limits.Max);
  } else {
    setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  }
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  if (maxLength > 0) lineEdit()->setMaxLength(maxLength);
}

std::int32_t TSpinEdit::Value() const {
  return ReadSpin(cleanText().toStdString(), limits_);
}

void TSpinEdit::SetValue(std::int32_t number) {
  const int clamped = ClampSpin(number, limits_);
  setValue(clamped);
  // A text left half-typed is replaced too, so that the field shows what it holds.
  if (Value() != clamped) lineEdit()->setText(textFromValue(clamped));
}
