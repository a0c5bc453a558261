// The slider window: Qt sliders and a 500 ms timer around the rest detection.
#include "app/widgets/thresholding_window.h"

#include <QEvent>
#include <QGridLayout>

#include "app/widgets/guarded_call.h"

TDialogoThresholdingInterattivo::TDialogoThresholdingInterattivo(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setWindowTitle("Thresholding");
  Label1 = new QLabel("Contrast", this);
  Label2 = new QLabel("Brightness", this);
  TrackBarContrast = NewSlider();
  TrackBarBrightness = NewSlider();
  LabelContrast = new QLabel("000", this);
  LabelBrightness = new QLabel("000", this);
  Timer1 = new QTimer(this);
  Timer1->setInterval(500);

  auto* grid = new QGridLayout(this);
  grid->addWidget(Label1, 0, 0, Qt::AlignHCenter);
  grid->addWidget(Label2, 0, 1, Qt::AlignHCenter);
  grid->addWidget(TrackBarContrast, 1, 0, Qt::AlignHCenter);
  grid->addWidget(TrackBarBrightness, 1, 1, Qt::AlignHCenter);
  grid->addWidget(LabelContrast, 2, 0, Qt::AlignHCenter);
  grid->addWidget(LabelBrightness, 2, 1, Qt::AlignHCenter);
  resize(115, 205);

  connect(TrackBarContrast, &QSlider::valueChanged, this,
          [this] { Guarded([this] { TrackBarChange(TrackBarContrast, LabelContrast); }); });
  connect(TrackBarBrightness, &QSlider::valueChanged, this,
          [this] { Guarded([this] { TrackBarChange(TrackBarBrightness, LabelBrightness); }); });
  connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });
}

// Vertical, -1 at the top, 255 at the bottom, as a track bar of the desktop shows it.
QSlider* TDialogoThresholdingInterattivo::NewSlider() {
  auto* slider = new QSlider(Qt::Vertical, this);
  slider->setRange(-1, 255);
  slider->setPageStep(25);
  slider->setTickInterval(10);
  slider->setTickPosition(QSlider::TicksBothSides);
  slider->setInvertedAppearance(true);
  slider->setInvertedControls(true);
  slider->installEventFilter(this);
  return slider;
}

void TDialogoThresholdingInterattivo::SetPositions(std::int32_t contrast, std::int32_t brightness) {
  // Setting a slider starts the timer through its change handler; the rest detection stops
  // it again, so that setting never notifies.
  rest_.SetPositions(contrast, brightness);
  Timer1->stop();
  TrackBarContrast->setValue(contrast);
  Timer1->stop();
  TrackBarBrightness->setValue(brightness);
  Timer1->stop();
  rest_.SetPositions(contrast, brightness);
}

void TDialogoThresholdingInterattivo::ApplyLabels(const std::optional<TParameterLabels>& labels) {
  if (!labels) return;
  Label1->setText(QString::fromStdString(labels->Left.Caption));
  TrackBarContrast->setEnabled(labels->Left.Enabled);
  Label2->setText(QString::fromStdString(labels->Right.Caption));
  TrackBarBrightness->setEnabled(labels->Right.Enabled);
}

void TDialogoThresholdingInterattivo::TrackBarChange(QSlider* slider, QLabel* number) {
  number->setText(QString::number(slider->value()));
  rest_.Changed();
  // A running timer keeps its interval.
  if (!Timer1->isActive()) Timer1->start();
}

void TDialogoThresholdingInterattivo::Timer1Timer() {
  if (!rest_.Tick(Contrast(), Brightness())) return;
  Timer1->stop();
  if (OnParametersChanged) OnParametersChanged();
}

void TDialogoThresholdingInterattivo::showEvent(QShowEvent* event) {
  rest_.Shown();
  QWidget::showEvent(event);
}

// The caption of the slider that has the keyboard focus is underlined.
bool TDialogoThresholdingInterattivo::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) UnderlineCaption(watched == TrackBarContrast);
  return QWidget::eventFilter(watched, event);
}

void TDialogoThresholdingInterattivo::UnderlineCaption(bool left) {
  QFont underlined = Label1->font(), plain = Label1->font();
  underlined.setUnderline(true);
  plain.setUnderline(false);
  Label1->setFont(left ? underlined : plain);
  Label2->setFont(left ? plain : underlined);
}
