// The busy cursor for the whole screen for the length of a scope, restored on every path.
#pragma once

#include <QApplication>

class TBusyCursor {
 public:
  TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TBusyCursor() {
    // The failure handler may have restored every cursor already.
    if (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};
