// The settings dialog's widgets, laid out from the method rows.
#include "app/widgets/settings_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/widgets/guarded_call.h"
#include "app/widgets/spin_edit.h"

namespace {

constexpr int kRowIndent = 20;
constexpr double kNoteScale = 0.9;

}  // namespace

TDialogoThreshold::TDialogoThreshold(QWidget* owner) : QDialog(owner) {
  setObjectName("DialogoThreshold");
  setWindowTitle("Thresholding");
  group_ = new QButtonGroup(this);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(kCommonHeading, this));
  AddFields(CommonFields(), right, kRowIndent);
  for (const TMethodRow& row : MethodRows()) {
    AddRow(row, row.Column == TColumn::clLeft ? left : right);
  }
  left->addStretch(1);
  right->addStretch(1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);

  Button1 = new QPushButton("OK", this);
  Button1->setDefault(true);
  Button2 = new QPushButton("Cancel", this);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);

  auto* whole = new QVBoxLayout(this);
  whole->addLayout(columns);
  whole->addLayout(buttons);
  ShowValues(InitialFieldValues());
  setFixedSize(sizeHint().expandedTo(QSize(563, 315)));
}

// The controls go after the dialog's own state: nothing they report then may reach it.
TDialogoThreshold::~TDialogoThreshold() {
  for (QWidget* field : fields_) {
    if (field != nullptr) field->disconnect(this);
  }
}

void TDialogoThreshold::AddRow(const TMethodRow& row, QBoxLayout* column) {
  auto* radio = new QRadioButton(QString::fromStdString(row.Caption), this);
  radio->setObjectName(QString::fromStdString(row.RadioName));
  group_->addButton(radio);
  radios_[row.Algo] = radio;
  connect(radio, &QRadioButton::clicked, this,
          [this, algo = row.Algo] { Guarded([&] { RadioClicked(algo); }); });
  column->addWidget(radio);
  if (!row.Note.empty()) AddNote(row.Note, column);
  AddFields(row.Fields, column, kRowIndent);
}

// A line under the button, in a smaller font, beneath the button's caption.
void TDialogoThreshold::AddNote(const std::string& note, QBoxLayout* column) {
  auto* label = new QLabel(QString::fromStdString(note), this);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * kNoteScale);
  label->setFont(font);
  auto* line = new QHBoxLayout;
  line->addSpacing(kRowIndent);
  line->addWidget(label);
  line->addStretch(1);
  column->addLayout(line);
}

// Each field on a line of its own, with its label before and its suffix after; a field that
// continues a line joins the one before it.
void TDialogoThreshold::AddFields(const std::vector<TFieldSpec>& specs, QBoxLayout* column,
                                  int indent) {
  QHBoxLayout* line = nullptr;
  for (const TFieldSpec& description : specs) {
    if (line == nullptr || !description.SameLine) {
      if (line != nullptr) line->addStretch(1);
      line = new QHBoxLayout;
      line->addSpacing(indent);
      column->addLayout(line);
    }
    if (description.Kind != TFieldKind::fkButton)
      line->addWidget(new QLabel(description.Label, this));
    line->addWidget(NewField(description));
    if (*description.Suffix != '\0') line->addWidget(new QLabel(description.Suffix, this));
  }
  if (line != nullptr) line->addStretch(1);
}

QWidget* TDialogoThreshold::NewField(const TFieldSpec& description) {
  if (description.Kind == TFieldKind::fkButton) {
    ButtonPeiDialog = new QPushButton(description.Label, this);
    ButtonPeiDialog->setObjectName(description.Name);
    return ButtonPeiDialog;
  }
  QWidget* field = nullptr;
  if (description.Kind == TFieldKind::fkSpin) {
    auto* spin = new TSpinEdit(description.Limits, description.MaxLength, this);
    connect(spin, &QSpinBox::valueChanged, this,
            [this, id = description.Id] { Guarded([&] { Changed(id); }); });
    WatchPresses(spin->Edit(), description.Id);
    field = spin;
  } else {
    auto* list = new QComboBox(this);
    list->setEditable(description.Kind == TFieldKind::fkEditableList);
    for (const std::string& item : description.Items) list->addItem(QString::fromStdString(item));
    connect(list, &QComboBox::currentIndexChanged, this,
            [this, id = description.Id] { Guarded([&] { Changed(id); }); });
    if (list->lineEdit() != nullptr) WatchPresses(list->lineEdit(), description.Id);
    field = list;
  }
  field->setObjectName(description.Name);
  WatchPresses(field, description.Id);
  fields_[static_cast<std::size_t>(description.Id)] = field;
  return field;
}

void TDialogoThreshold::WatchPresses(QObject* control, TField field) {
  pressTargets_[control] = field;
  control->installEventFilter(this);
}

void TDialogoThreshold::Fill(const TThresholdSettings& settings) {
  for (const TMethodRow& row : MethodRows()) {
    if (row.Offered) continue;
    Radio(row.Algo)->setEnabled(false);
    for (const TFieldSpec& description : row.Fields) {
      QWidget* control =
          description.Kind == TFieldKind::fkButton ? ButtonPeiDialog : Field(description.Id);
      control->setEnabled(false);
    }
  }
  TFieldValues values = Values();
  FillFields(values, settings);
  ShowValues(values);
}

bool TDialogoThreshold::Execute() {
  return exec() == QDialog::Accepted;
}

void TDialogoThreshold::WriteBack(TThresholdSettings& settings) const {
  WriteFields(Values(), settings);
}

TFieldValues TDialogoThreshold::Values() const {
  TFieldValues values;
  for (std::size_t f = 0; f < fields_.size(); ++f) {
    if (const auto* spin = qobject_cast<const TSpinEdit*>(fields_[f])) {
      values.Value[f] = spin->Value();
    } else if (const auto* list = qobject_cast<const QComboBox*>(fields_[f])) {
      values.Value[f] = list->currentIndex();
    }
  }
  values.Checked = checked_;
  for (const TMethodRow& row : MethodRows()) {
    if (Radio(row.Algo)->isChecked()) {
      values.Checked = row.Algo;
      break;
    }
  }
  return values;
}

// Puts values into the controls without taking the changes for the operator's.
void TDialogoThreshold::ShowValues(const TFieldValues& values) {
  filling_ = true;
  for (std::size_t f = 0; f < fields_.size(); ++f) {
    if (auto* spin = qobject_cast<TSpinEdit*>(fields_[f])) {
      // An empty text reads as the lower limit while the box holds another number, which it
      // shows once the dialog is shown: both must agree with the value.
      const std::int32_t value = values.Value[f];
      if (spin->Value() != value || spin->value() != value) spin->SetValue(value);
    } else if (auto* list = qobject_cast<QComboBox*>(fields_[f])) {
      if (list->currentIndex() != values.Value[f]) list->setCurrentIndex(values.Value[f]);
    }
  }
  if (const auto radio = radios_.find(values.Checked); radio != radios_.end()) {
    radio->second->setChecked(true);
  }
  checked_ = values.Checked;
  filling_ = false;
}

// The button is checked by the time its click arrives: the method checked before decides
// whether this click checks anew.
void TDialogoThreshold::RadioClicked(std::int32_t algo) {
  TFieldValues values = Values();
  values.Checked = checked_;
  CheckMethod(values, algo);
  ShowValues(values);
}

void TDialogoThreshold::Pressed(TField field) {
  TFieldValues values = Values();
  FieldPressed(values, field);
  ShowValues(values);
}

void TDialogoThreshold::Changed(TField field) {
  if (filling_) return;
  TFieldValues values = Values();
  FieldChanged(values, field);
  ShowValues(values);
}

// A mouse press into a field (its text or its arrows) is the operator choosing that field's
// method; keyboard focus is not.
bool TDialogoThreshold::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    if (const auto target = pressTargets_.find(watched); target != pressTargets_.end()) {
      Guarded([&] { Pressed(target->second); });
    }
  }
  return QDialog::eventFilter(watched, event);
}
