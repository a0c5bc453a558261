// The main window's construction, start-up, shut-down, status bar and failure reporting.
#include "app/widgets/main_window.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QStatusBar>

#include "app/parameter_labels.h"
#include "app/start_request.h"
#include "app/widgets/busy_cursor.h"
#include "app/widgets/guarded_call.h"
#include "app/widgets/thresholding_window.h"

namespace {

constexpr const char* kCaption = "Vardemont Zonewright";

}  // namespace

TFormMain::TFormMain(TDialogs& dialogs, const std::string& settingsFile,
                     std::vector<std::string> arguments)
    : dialogs_(dialogs), store_(settingsFile), arguments_(std::move(arguments)) {
  setWindowTitle(kCaption);
  QApplication::setApplicationName(kCaption);
  SetFailureSink([this](const std::string& message) {
    SetPanel(0, "Ready");
    dialogs_.Message(message);
  });
  CreateViews();
  CreateStatusBar();
  CreateActions();
  CreateMenus();
  CreateToolBar();
  DialogoThresholdingInterattivo = new TDialogoThresholdingInterattivo(this);
  LoadSettings(store_, Settings, Options);
  // The enabling rules are applied whenever the application is about to wait for events.
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          [this] { ActionManager1Update(); });
  saveWatch_.setInterval(200);
  connect(&saveWatch_, &QTimer::timeout, this,
          [this] { Guarded([this] { ReportSaveFailures(); }); });
  saveWatch_.start();
  ActionManager1Update();
}

// Writes the settings, frees the read-ahead and waits for the last save, telling the
// operator when it failed.
TFormMain::~TFormMain() {
  Guarded([this] {
    SaveSettings(store_, Settings, Options);
    store_.Save();
  });
  loader_.reset();
  saves_.WaitForSave();
  Guarded([this] { ReportSaveFailures(); });
  SetFailureSink(nullptr);
}

void TFormMain::CreateViews() {
  PanelSideBySide = new QWidget(this);
  sideBySide_ = new QBoxLayout(QBoxLayout::TopToBottom, PanelSideBySide);
  sideBySide_->setContentsMargins(0, 0, 0, 0);
  sideBySide_->setSpacing(2);
  ImageScrollBoxOriginal = new TImageScrollBox(PanelSideBySide);
  ImageScrollBoxProcessed = new TImageScrollBox(PanelSideBySide);
  sideBySide_->addWidget(ImageScrollBoxOriginal, 1);
  sideBySide_->addWidget(ImageScrollBoxProcessed, 1);
  setCentralWidget(PanelSideBySide);
  ImageScrollBoxProcessed->SetAntiAliased(true);

  const auto wire = [this](TImageScrollBox* view, TImageScrollBox* other) {
    view->EventGuard = Guarded;
    view->OnRubberbandChange = [this, view, other](const TRect&) {
      RubberbandChange(*view, *other);
    };
    view->OnEndScroll = [this, view, other](TImageScrollBox&) { EndScroll(*view, *other); };
    view->OnImageMouseDown = [this](TImageScrollBox&, TMouseButton button, TShiftState,
                                    std::int32_t, std::int32_t) { ImageMouse(button, true); };
    view->OnImageMouseUp = [this](TImageScrollBox&, TMouseButton button, TShiftState, std::int32_t,
                                  std::int32_t) { ImageMouse(button, false); };
  };
  wire(ImageScrollBoxOriginal, ImageScrollBoxProcessed);
  wire(ImageScrollBoxProcessed, ImageScrollBoxOriginal);
}

void TFormMain::CreateStatusBar() {
  const int widths[] = {100, 100, 150, 50};
  for (int i = 0; i < 4; ++i) {
    panels_[static_cast<std::size_t>(i)] = new QLabel(this);
    panels_[static_cast<std::size_t>(i)]->setMinimumWidth(widths[i]);
    panels_[static_cast<std::size_t>(i)]->setAlignment(i < 3 ? Qt::AlignCenter
                                                             : Qt::AlignLeft | Qt::AlignVCenter);
    statusBar()->addWidget(panels_[static_cast<std::size_t>(i)], i == 3 ? 1 : 0);
  }
}

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  Guarded([this] { FormShow(); });
}

// Start-up once the window is shown: slider captions, rubber bands, the command line, then
// "Fit To Width" and the slider window's notification.
void TFormMain::FormShow() {
  UpdateParameterLabels();
  ImageScrollBoxOriginal->SetMouseMode(mmRubberband);
  ImageScrollBoxProcessed->SetMouseMode(mmRubberband);
  SetPanel(0, "Ready");
  SetPanel(2, ZonePanelText(Zone));
  const auto isFile = [](const std::string& name) {
    return QFileInfo(QString::fromStdString(name)).isFile();
  };
  const auto isFolder = [](const std::string& name) {
    return QFileInfo(QString::fromStdString(name)).isDir();
  };
  const TStartRequest request = StartRequestOf(arguments_, isFile, isFolder);
  // The start carries on whatever the command line's file does.
  Guarded([&] {
    if (request.Kind == TStartKind::skOpenFile) OpenImage(request.File);
    if (request.Kind == TStartKind::skScanFolders) {
      ScanFolders(request.InputFolder, request.OutputFolder);
    }
  });
  ActionFitToWidthExecute();
  DialogoThresholdingInterattivo->OnParametersChanged = [this] { UpdateRequired(); };
  ActionManager1Update();
}

// Closing runs the save-if-modified step; a failure is reported and the window still closes.
void TFormMain::closeEvent(QCloseEvent* event) {
  Guarded([this] { SaveIfModified(); });
  DialogoThresholdingInterattivo->hide();
  event->accept();
}

void TFormMain::SetPanel(int index, const std::string& text) {
  panels_[static_cast<std::size_t>(index)]->setText(QString::fromStdString(text));
  statusBar()->repaint();
}

void TFormMain::SetModified(bool modified) {
  Modified = modified;
  SetPanel(1, modified ? "Modified" : "");
}

// Runs a binarization with the busy cursor and "Processing..." shown; afterwards, also when it
// failed, the activity is "Ready" and the image counts as modified.
void TFormMain::RunProcessing(const std::function<void()>& work) {
  SetPanel(0, "Processing...");
  struct Done {
    TFormMain* window;
    ~Done() {
      window->SetPanel(0, "Ready");
      window->SetModified(true);
    }
  } done{this};
  TBusyCursor busy;
  work();
}

void TFormMain::UpdateParameterLabels() {
  DialogoThresholdingInterattivo->ApplyLabels(ParameterLabelsFor(Settings.Algo));
}

// A failed save marks its image modified again while that image is still open, and the
// operator is told which file could not be written and why.
void TFormMain::ReportSaveFailures() {
  for (const TSaveFailure& failure : saves_.TakeFailures()) {
    const bool stillOpen = failure.ImageSerial == imageSerial_;
    if (stillOpen) SetModified(true);
    dialogs_.Message(SaveFailureText(failure, stillOpen));
  }
}
