// zonewright-view: one page in one view, to try the viewer by hand. It shows the file named
// on the command line, or else a generated A4 page at 300 dpi, and offers the zoom modes,
// scale to gray, drag or rubber-band mode, and the band in image pixels in the status bar.
#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>
#include <QStatusBar>
#include <cstdio>
#include <exception>
#include <memory>

#include "image/dibunit.h"
#include "tools/sample_page.h"
#include "viewer/widgets/image_scroll_box.h"

namespace {

class TViewPageWindow : public QMainWindow {
 public:
  TViewPageWindow() : view_(new TImageScrollBox(this)), band_(new QLabel(this)) {
    setCentralWidget(view_);
    statusBar()->addWidget(band_, 1);
    view_->EventGuard = [this](const std::function<void()>& work) { Guarded(work); };
    view_->OnRubberbandChange = [this](const TRect&) { ShowBand(); };
    view_->OnZoomChange = [this](TImageScrollBox&, float zoom) {
      setWindowTitle(QString("zonewright-view - %1 %").arg(static_cast<double>(zoom), 0, 'f', 2));
    };
    AddZoomMenu();
    AddViewMenu();
    resize(900, 700);
  }

  TImageScrollBox& View() { return *view_; }

  // Runs the work of one event; a failure goes to a message box.
  void Guarded(const std::function<void()>& work) {
    try {
      work();
    } catch (const std::exception& failure) {
      QMessageBox::warning(this, "zonewright-view", failure.what());
    }
  }

 private:
  void AddZoomAction(QMenu* menu, const char* caption, const char* keys, TZoomMode mode) {
    QAction* action = menu->addAction(caption);
    action->setShortcut(QKeySequence(keys));
    connect(action, &QAction::triggered, this,
            [this, mode] { Guarded([this, mode] { view_->SetZoomMode(mode); }); });
  }

  void AddZoomMenu() {
    QMenu* zoom = menuBar()->addMenu("&Zoom");
    AddZoomAction(zoom, "&Original Size", "1", zmOriginalSize);
    AddZoomAction(zoom, "F&ull Page", "2", zmFullPage);
    AddZoomAction(zoom, "Fit To &Width", "3", zmFitWidth);
    AddZoomAction(zoom, "Fit To &Height", "4", zmFitHeight);
    AddZoomAction(zoom, "Fit To &Page", "5", zmFitToPage);
    QAction* percent = zoom->addAction("P&ercent...");
    percent->setShortcut(QKeySequence("6"));
    connect(percent, &QAction::triggered, this, [this] { Guarded([this] { AskPercent(); }); });
  }

  void AddViewMenu() {
    QMenu* menu = menuBar()->addMenu("&View");
    QAction* gray = menu->addAction("&ScaleToGray");
    gray->setShortcut(QKeySequence("G"));
    gray->setCheckable(true);
    connect(gray, &QAction::toggled, this,
            [this](bool on) { Guarded([this, on] { ScaleToGray(on); }); });
    QAction* band = menu->addAction("&Rubber Band");
    band->setShortcut(QKeySequence("R"));
    band->setCheckable(true);
    connect(band, &QAction::toggled, this, [this](bool on) {
      Guarded([this, on] {
        view_->SetMouseMode(on ? mmRubberband : mmDrag);
        ShowBand();
      });
    });
  }

  void AskPercent() {
    bool ok = false;
    double value = QInputDialog::getDouble(
        this, "Zoom", "Percent:", static_cast<double>(view_->ZoomPercent()), 0.2, 100000.0, 2, &ok);
    if (ok) view_->SetZoomPercent(static_cast<float>(value));
  }

  // A bi-level page shown scaled to gray keeps its scroll position.
  void ScaleToGray(bool on) {
    int horizontal = view_->HorzScrollBar()->value();
    int vertical = view_->VertScrollBar()->value();
    view_->SetAntiAliased(on);
    view_->HorzScrollBar()->setValue(horizontal);
    view_->VertScrollBar()->setValue(vertical);
  }

  void ShowBand() {
    TRubberbandMouseHandler* band = view_->Rubberband();
    if (band == nullptr || !band->HasSelection()) {
      band_->setText("No band");
      return;
    }
    TRect r = band->GetImageSelection();
    band_->setText(QString("Band in image pixels: (%1, %2) - (%3, %4)")
                       .arg(r.Left)
                       .arg(r.Top)
                       .arg(r.Right)
                       .arg(r.Bottom));
  }

  TImageScrollBox* view_;
  QLabel* band_;
};

void ShowSamplePage(TImageScrollBox& view) {
  std::unique_ptr<TDIB> page = MakeSamplePage(false);
  view.Graphic().AssignHDIB(page->GetHandle());
  view.Redraw(true);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  TViewPageWindow window;
  window.show();
  window.Guarded([&] {
    if (argc > 1) {
      window.View().LoadFromFile(argv[1], 1);
    } else {
      ShowSamplePage(window.View());
    }
  });
  return application.exec();
}
