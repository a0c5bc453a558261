// The views' zoom, layout, scroll synchronisation and scale to gray, and the idle update of
// the actions' enabled and checked states.
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>

#include "app/action_states.h"
#include "app/scroll_sync.h"
#include "app/widgets/main_window.h"

void TFormMain::ResetZoomChecks() {
  for (QAction* action :
       {ActionFitToPage, ActionFitToWidth, ActionFitToHeight, ActionOriginalSize, ActionNoZoom}) {
    action->setChecked(false);
  }
  ClearBand(*ImageScrollBoxOriginal);
  ClearBand(*ImageScrollBoxProcessed);
}

void TFormMain::ApplyZoom(QAction* action, TZoomMode mode) {
  ResetZoomChecks();
  action->setChecked(true);
  ImageScrollBoxOriginal->SetZoomMode(mode);
  ImageScrollBoxProcessed->SetZoomMode(mode);
}

// The image at its physical size on the screen, both views at the same percent.
void TFormMain::ActionOriginalSizeExecute() {
  ResetZoomChecks();
  ActionOriginalSize->setChecked(true);
  ImageScrollBoxOriginal->SetZoomMode(zmPercent);
  const TDibGraphic& graphic = ImageScrollBoxOriginal->Graphic();
  if (!graphic.Empty() && graphic.XResolution() > 0) {
    const float screen =
        static_cast<float>(QGuiApplication::primaryScreen()->logicalDotsPerInchX());
    ImageScrollBoxOriginal->SetZoomPercent(screen / graphic.XResolution() * 100.0F);
  }
  ImageScrollBoxProcessed->SetZoomMode(zmPercent);
  ImageScrollBoxProcessed->SetZoomPercent(ImageScrollBoxOriginal->ZoomPercent());
}

void TFormMain::ActionNoZoomExecute() {
  ResetZoomChecks();
  ActionNoZoom->setChecked(true);
  for (TImageScrollBox* view : {ImageScrollBoxOriginal, ImageScrollBoxProcessed}) {
    view->SetZoomMode(zmPercent);
    view->SetZoomPercent(100.0F);
  }
}

// After an image opens, the zoom action that is checked applies to it.
void TFormMain::ExecuteCheckedZoom() {
  const std::pair<QAction*, void (TFormMain::*)()> zooms[] = {
      {ActionFitToPage, &TFormMain::ActionFitToPageExecute},
      {ActionFitToWidth, &TFormMain::ActionFitToWidthExecute},
      {ActionFitToHeight, &TFormMain::ActionFitToHeightExecute},
      {ActionOriginalSize, &TFormMain::ActionOriginalSizeExecute},
      {ActionNoZoom, &TFormMain::ActionNoZoomExecute}};
  for (const auto& [action, execute] : zooms) {
    if (action->isChecked()) {
      (this->*execute)();
      return;
    }
  }
}

void TFormMain::SetLayoutVertical(bool vertical) {
  sideBySide_->setDirection(vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
}

void TFormMain::EndScroll(TImageScrollBox& view, TImageScrollBox& other) {
  if (!ActionSyncronization->isChecked() || other.Graphic().Empty()) return;
  const std::int32_t horizontal =
      SynchronisedPosition(view.HorzScrollBar()->value(), view.HorzRange(), other.HorzRange(),
                           other.HorzScrollBar()->value());
  const std::int32_t vertical =
      SynchronisedPosition(view.VertScrollBar()->value(), view.VertRange(), other.VertRange(),
                           other.VertScrollBar()->value());
  other.HorzScrollBar()->setValue(horizontal);
  other.VertScrollBar()->setValue(vertical);
}

void TFormMain::ActionScaleToGrayExecute() {
  const int horizontal = ImageScrollBoxProcessed->HorzScrollBar()->value();
  const int vertical = ImageScrollBoxProcessed->VertScrollBar()->value();
  ImageScrollBoxProcessed->SetAntiAliased(ActionScaleToGray->isChecked());
  ImageScrollBoxProcessed->HorzScrollBar()->setValue(horizontal);
  ImageScrollBoxProcessed->VertScrollBar()->setValue(vertical);
}

void TFormMain::ActionManager1Update() {
  const TActionStates states = ActionStatesOf(
      {ImageScrollBoxOriginal->Graphic().Empty(), ImageScrollBoxProcessed->Graphic().Empty(),
       sideBySide_->direction() == QBoxLayout::TopToBottom, Batch.Count(), Batch.Index()});
  ActionVertical->setChecked(states.VerticalChecked);
  ActionHorizontal->setChecked(states.HorizontalChecked);
  for (QAction* action :
       {ActionFitToPage, ActionFitToWidth, ActionFitToHeight, ActionNoZoom, ActionOriginalSize}) {
    action->setEnabled(states.ZoomEnabled);
  }
  ActionRefresh->setEnabled(states.RefreshEnabled);
  ActionSave->setEnabled(states.SaveEnabled);
  ActionFirstImage->setEnabled(states.FirstPriorEnabled);
  ActionPriorImage->setEnabled(states.FirstPriorEnabled);
  ActionNextImage->setEnabled(states.NextLastEnabled);
  ActionLastImage->setEnabled(states.NextLastEnabled);
}

void TFormMain::ActionAboutExecute() {
  QMessageBox about(this);
  about.setWindowTitle("About");
  about.setText("<b>Vardemont Zonewright</b><br>Version " ZW_VERSION
                "<br><br>Turns scanned pages into clean black-and-white images, zone by zone."
                "<br><br>Vardemont Technologies");
  about.setStandardButtons(QMessageBox::Ok);
  about.exec();
}
