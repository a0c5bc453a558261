// The "Thresholding" tool window: two vertical sliders that tune the current method's two
// numbers (left Contrast, right Brightness) and tell the owner once they have come to rest.
// It processes nothing itself.
#pragma once

#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/parameter_labels.h"
#include "app/slider_rest.h"

class TDialogoThresholdingInterattivo : public QWidget {
  Q_OBJECT

 public:
  explicit TDialogoThresholdingInterattivo(QWidget* owner);

  // Sets both sliders without a notification; values outside -1..255 are clamped.
  void SetPositions(std::int32_t contrast, std::int32_t brightness);
  std::int32_t Contrast() const { return TrackBarContrast->value(); }
  std::int32_t Brightness() const { return TrackBarBrightness->value(); }
  // Captions and enables the sliders for a method; nothing changes for labels of none.
  void ApplyLabels(const std::optional<TParameterLabels>& labels);

  // Called when the sliders have come to rest; empty while the owner sets them itself.
  std::function<void()> OnParametersChanged;

  QLabel* Label1;
  QLabel* Label2;
  QSlider* TrackBarContrast;
  QSlider* TrackBarBrightness;
  QLabel* LabelContrast;
  QLabel* LabelBrightness;
  QTimer* Timer1;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QSlider* NewSlider();
  void TrackBarChange(QSlider* slider, QLabel* number);
  void Timer1Timer();
  void UnderlineCaption(bool left);

  TSliderRest rest_;
};
