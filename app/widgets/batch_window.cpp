// The files list window on a Qt list widget.
#include "app/widgets/batch_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/widgets/guarded_call.h"

TFormBatch::TFormBatch(QWidget* owner, std::function<void()> onClick, std::function<void()> onClose)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint),
      onClick_(std::move(onClick)),
      onClose_(std::move(onClose)) {
  setObjectName("FormBatch");
  setWindowTitle("Batch");
  ListBoxFiles = new QListWidget(this);
  ListBoxFiles->setObjectName("ListBoxFiles");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ListBoxFiles);
  resize(440, 305);
  connect(ListBoxFiles, &QListWidget::currentRowChanged, this,
          [this] { Guarded([this] { onClick_(); }); });
}

// The list's own teardown must not reach an owner that is going away.
TFormBatch::~TFormBatch() {
  ListBoxFiles->blockSignals(true);
}

void TFormBatch::ShowEntries(const std::vector<std::string>& entries, std::int32_t index) {
  const QSignalBlocker quiet(ListBoxFiles);
  if (entries != shown_) {
    ListBoxFiles->clear();
    for (const std::string& entry : entries) ListBoxFiles->addItem(QString::fromStdString(entry));
    shown_ = entries;
  }
  ListBoxFiles->setCurrentRow(index);
}

// Centred on the screen at its first showing; it takes the keyboard focus, and the main
// window's shortcuts still reach their actions from here.
void TFormBatch::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    move(screen.center() - rect().center());
  }
  QWidget::showEvent(event);
  activateWindow();
  ListBoxFiles->setFocus();
}

void TFormBatch::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (onClose_) onClose_();
}
