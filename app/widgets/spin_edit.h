// TSpinEdit, an integer edit with up and down buttons and optional limits: a value set into
// it is clamped to its limits, a typed value is clamped when the field loses the focus, and a
// text that is not an integer reads as the lower limit. Limits of 0 and 0 mean none.
#pragma once

#include <QSpinBox>

#include "app/settings_fields.h"

class TSpinEdit : public QSpinBox {
  Q_OBJECT

 public:
  TSpinEdit(TSpinLimits limits, std::int32_t maxLength, QWidget* parent);

  // The value the text stands for (see ReadSpin).
  std::int32_t Value() const;
  // Sets the value, clamped; the text then shows it.
  void SetValue(std::int32_t number);
  TSpinLimits Limits() const { return limits_; }
  // The text part, where the operator types.
  QLineEdit* Edit() const { return lineEdit(); }

 protected:
  // Plain decimal digits, never grouped, so that the text always reads back as the value.
  QString textFromValue(int value) const override { return QString::number(value); }

 private:
  TSpinLimits limits_;
};
