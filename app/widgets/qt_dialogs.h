// The desktop's own message boxes and file choosers behind the dialog interface.
#pragma once

#include <QWidget>

#include "app/dialogs.h"

class TQtDialogs : public TDialogs {
 public:
  explicit TQtDialogs(QWidget* parent) : parent_(parent) {}
  bool Confirm(const std::string& text) override;
  void Message(const std::string& text) override;
  std::optional<std::string> ChooseOpenFile(const std::string& filter) override;
  std::optional<TSaveChoice> ChooseSaveFile(const std::string& filter, const std::string& folder,
                                            const std::string& fileName) override;
  std::optional<std::string> ChooseFolder(const std::string& start) override;

 private:
  QWidget* parent_;
};

// A filter of the form "Name|*.a;*.b|Name|*.c" as the desktop's file dialogs write it:
// "Name (*.a *.b);;Name (*.c)".
QString QtFilterOf(const std::string& filter);
