// Plays the operator's part in a modal dialog: the script runs on the dialog once the
// dialog's own event loop is up, and must close it (OK or Cancel).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <functional>
#include <memory>

template <typename TDialog>
void WhenModal(std::function<void(TDialog& dialog)> script) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  auto tries = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, tries, script] {
    auto* dialog = qobject_cast<TDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr && ++*tries < 500) return;
    poll->stop();
    poll->deleteLater();
    if (dialog == nullptr) {
      ADD_FAILURE() << "the dialog was never shown";
      return;
    }
    script(*dialog);
  });
  poll->start();
}

// A left-button press and release on a control, as the operator's click into it.
inline void PressInto(QWidget* control) {
  const QPointF at(3, 3);
  QMouseEvent press(QEvent::MouseButtonPress, at, control->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(control, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, control->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(control, &release);
}
