// TDialogoThreshold, the "Thresholding" settings dialog: a radio button per method with the
// fields that method shows, the fields several methods share, OK and Cancel. It is built
// from the rows of app/method_rows.h and keeps its fields between uses; the rules of filling,
// writing back and the conveniences for the operator are those of app/settings_fields.h.
#pragma once

#include <QButtonGroup>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <map>

#include "app/method_rows.h"
#include "app/settings_fields.h"

class QBoxLayout;

class TDialogoThreshold : public QDialog {
  Q_OBJECT

 public:
  explicit TDialogoThreshold(QWidget* owner);
  ~TDialogoThreshold() override;

  // Disables the rows that can never be chosen, then fills the fields of settings' method
  // and checks its button; the other methods' fields keep what they hold.
  void Fill(const TThresholdSettings& settings);
  // Shows the dialog modally; true when it closed with OK.
  bool Execute();
  // Writes the checked method and its fields into settings.
  void WriteBack(TThresholdSettings& settings) const;

  // What the fields show now.
  TFieldValues Values() const;
  QRadioButton* Radio(std::int32_t algo) const { return radios_.at(algo); }
  // The control of a field: a TSpinEdit or a QComboBox.
  QWidget* Field(TField field) const { return fields_[static_cast<std::size_t>(field)]; }

  QPushButton* ButtonPeiDialog = nullptr;
  QPushButton* Button1;
  QPushButton* Button2;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AddRow(const TMethodRow& row, QBoxLayout* column);
  void AddNote(const std::string& note, QBoxLayout* column);
  void AddFields(const std::vector<TFieldSpec>& specs, QBoxLayout* column, int indent);
  QWidget* NewField(const TFieldSpec& description);
  void WatchPresses(QObject* control, TField field);
  void ShowValues(const TFieldValues& values);
  void RadioClicked(std::int32_t algo);
  void Pressed(TField field);
  void Changed(TField field);

  QButtonGroup* group_;
  std::map<std::int32_t, QRadioButton*> radios_;
  std::array<QWidget*, fdFieldCount> fields_{};
  std::map<QObject*, TField> pressTargets_;  // controls (and their edits) whose press counts
  std::int32_t checked_ = taStandard;
  bool filling_ = false;
};
