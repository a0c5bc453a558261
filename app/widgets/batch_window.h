// TFormBatch, the "Batch" files list window: the full names of the batch's files in the
// order of the scan, the selected one being the image worked on. An always-on-top tool
// window, hidden at start and centred on the screen when first shown. Selecting another
// entry (by mouse or keys) asks the owner to move there; the list itself never changes the
// batch.
#pragma once

#include <QListWidget>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class TFormBatch : public QWidget {
  Q_OBJECT

 public:
  // onClick runs when the operator selects an entry; onClose when the window's frame closes
  // it.
  TFormBatch(QWidget* owner, std::function<void()> onClick, std::function<void()> onClose);
  ~TFormBatch() override;

  // Shows entries with index selected (-1: none), without reporting a click.
  void ShowEntries(const std::vector<std::string>& entries, std::int32_t index);

  QListWidget* ListBoxFiles;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  std::function<void()> onClick_;
  std::function<void()> onClose_;
  std::vector<std::string> shown_;
  bool placed_ = false;
};
