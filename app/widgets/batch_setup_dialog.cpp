// The batch setup dialog's controls.
#include "app/widgets/batch_setup_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/widgets/guarded_call.h"

TDialogBatchSetup::TDialogBatchSetup(QWidget* owner, TDialogs& dialogs)
    : QDialog(owner), dialogs_(dialogs) {
  setObjectName("DialogBatchSetup");
  setWindowTitle("Batch Setup");
  EditInput = new QLineEdit(this);
  ButtonInput = new QPushButton("...", this);
  EditOutput = new QLineEdit(this);
  ButtonOutput = new QPushButton("...", this);
  connect(ButtonInput, &QPushButton::clicked, this,
          [this] { Guarded([this] { ButtonInputClick(); }); });
  connect(ButtonOutput, &QPushButton::clicked, this,
          [this] { Guarded([this] { ButtonOutputClick(); }); });

  RadioGroupFileType = new QGroupBox("Output File Type", this);
  fileType_ = new QButtonGroup(this);
  auto* types = new QHBoxLayout(RadioGroupFileType);
  const char* const names[] = {"TIFF", "BMP", "PNG"};
  for (std::size_t i = 0; i < FileTypes.size(); ++i) {
    FileTypes[i] = new QRadioButton(names[i], RadioGroupFileType);
    fileType_->addButton(FileTypes[i], static_cast<int>(i));
    types->addWidget(FileTypes[i]);
  }
  CheckBoxUncompressed = new QCheckBox("Saving TIFF Files don't use compression", this);
  CheckBoxOverwrite = new QCheckBox("Overwrite existing TIFF files", this);
  ButtonOK = new QPushButton("OK", this);
  ButtonOK->setDefault(true);
  ButtonCancel = new QPushButton("Cancel", this);
  connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("Input Folder", this), 0, 0);
  grid->addWidget(EditInput, 1, 0);
  grid->addWidget(ButtonInput, 1, 1);
  grid->addWidget(new QLabel("Output Folder", this), 2, 0);
  grid->addWidget(EditOutput, 3, 0);
  grid->addWidget(ButtonOutput, 3, 1);
  grid->addWidget(RadioGroupFileType, 4, 0, 1, 2);
  grid->addWidget(CheckBoxUncompressed, 5, 0, 1, 2);
  grid->addWidget(CheckBoxOverwrite, 6, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ButtonOK);
  buttons->addWidget(ButtonCancel);
  grid->addLayout(buttons, 7, 0, 1, 2);
  setMinimumWidth(420);
  setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
}

void TDialogBatchSetup::Fill(const TBatchOptions& options) {
  EditInput->setText(QString::fromStdString(options.InputFolder));
  EditOutput->setText(QString::fromStdString(options.OutputFolder));
  SetFileTypeIndex(options.OutputFormat);
  CheckBoxUncompressed->setChecked(options.TIFFUncompressed);
  CheckBoxOverwrite->setChecked(options.OverwriteTIFF);
}

bool TDialogBatchSetup::Execute() {
  return exec() == QDialog::Accepted;
}

void TDialogBatchSetup::WriteBack(TBatchOptions& options) const {
  options.InputFolder = EditInput->text().toStdString();
  options.OutputFolder = EditOutput->text().toStdString();
  options.OutputFormat = FileTypeIndex();
  options.TIFFUncompressed = CheckBoxUncompressed->isChecked();
  options.OverwriteTIFF = CheckBoxOverwrite->isChecked();
}

std::int32_t TDialogBatchSetup::FileTypeIndex() const {
  return fileType_->checkedId();
}

// An index that names no item leaves none checked.
void TDialogBatchSetup::SetFileTypeIndex(std::int32_t index) {
  if (index >= 0 && index < static_cast<std::int32_t>(FileTypes.size())) {
    FileTypes[static_cast<std::size_t>(index)]->setChecked(true);
    return;
  }
  fileType_->setExclusive(false);
  for (QRadioButton* type : FileTypes) type->setChecked(false);
  fileType_->setExclusive(true);
}

// The browser opens on the folder entered when it exists; a cancelled browser leaves the
// field as it was.
void TDialogBatchSetup::Browse(QLineEdit* edit) {
  if (const auto folder = dialogs_.ChooseFolder(edit->text().toStdString())) {
    edit->setText(QString::fromStdString(*folder));
  }
}
