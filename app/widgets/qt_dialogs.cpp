// Message boxes and file dialogs of the desktop.
#include "app/widgets/qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

QString QtFilterOf(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    entries << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
  }
  return entries.join(";;");
}

bool TQtDialogs::Confirm(const std::string& text) {
  return QMessageBox::question(parent_, QApplication::applicationName(),
                               QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TQtDialogs::Message(const std::string& text) {
  QMessageBox::information(parent_, QApplication::applicationName(), QString::fromStdString(text));
}

std::optional<std::string> TQtDialogs::ChooseOpenFile(const std::string& filter) {
  const QString name = QFileDialog::getOpenFileName(parent_, "Open", QString(), QtFilterOf(filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

std::optional<TSaveChoice> TQtDialogs::ChooseSaveFile(const std::string& filter,
                                                      const std::string& folder,
                                                      const std::string& fileName) {
  const QString filters = QtFilterOf(filter);
  QString selected;
  const QString start =
      QDir(QString::fromStdString(folder)).filePath(QString::fromStdString(fileName));
  // The overwrite question is asked by the program for the name it will really write.
  const QString name = QFileDialog::getSaveFileName(parent_, "Save As", start, filters, &selected,
                                                    QFileDialog::DontConfirmOverwrite);
  if (name.isEmpty()) return std::nullopt;
  return TSaveChoice{name.toStdString(), static_cast<std::int32_t>(std::max<qsizetype>(
                                             filters.split(";;").indexOf(selected), 0))};
}

std::optional<std::string> TQtDialogs::ChooseFolder(const std::string& start) {
  const QString folder = QFileDialog::getExistingDirectory(
      parent_, "Browse",
      QDir(QString::fromStdString(start)).exists() ? QString::fromStdString(start) : QString());
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}
