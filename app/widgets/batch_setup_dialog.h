// TDialogBatchSetup, the "Batch Setup" dialog: the input and output folders, each with a
// "..." button that opens the folder browser on the folder entered, the output file type and
// the two TIFF options. It holds nothing between uses: the main window fills it from its
// batch options and reads them back on OK.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "app/dialogs.h"
#include "workflow/batch_options.h"

class TDialogBatchSetup : public QDialog {
  Q_OBJECT

 public:
  // dialogs provides the folder browser.
  TDialogBatchSetup(QWidget* owner, TDialogs& dialogs);

  void Fill(const TBatchOptions& options);
  // Shows the dialog modally; true when it closed with OK.
  bool Execute();
  // The five values the dialog edits, written into options.
  void WriteBack(TBatchOptions& options) const;

  // "Output File Type": the checked item, -1 for none.
  std::int32_t FileTypeIndex() const;
  void SetFileTypeIndex(std::int32_t index);

  void ButtonInputClick() { Browse(EditInput); }
  void ButtonOutputClick() { Browse(EditOutput); }

  QLineEdit* EditInput;
  QPushButton* ButtonInput;
  QLineEdit* EditOutput;
  QPushButton* ButtonOutput;
  QGroupBox* RadioGroupFileType;
  std::array<QRadioButton*, 3> FileTypes{};
  QCheckBox* CheckBoxUncompressed;
  QCheckBox* CheckBoxOverwrite;
  QPushButton* ButtonOK;
  QPushButton* ButtonCancel;

 private:
  void Browse(QLineEdit* edit);

  TDialogs& dialogs_;
  QButtonGroup* fileType_;
};
