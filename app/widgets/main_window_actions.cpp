// The main window's action list and the menu bar and tool bar built from it. Shortcuts are
// application-wide, so that they work while the slider window or the files list has the
// keyboard focus; modal dialogs still block them.
#include <QMenuBar>
#include <QToolBar>

#include "app/widgets/action_icons.h"
#include "app/widgets/guarded_call.h"
#include "app/widgets/main_window.h"

QAction* TFormMain::NewAction(const char* caption, const char* shortcut,
                              void (TFormMain::*handler)(), bool checkable, bool checked) {
  auto* action = new QAction(caption, this);
  if (shortcut != nullptr) action->setShortcut(QKeySequence(shortcut));
  action->setShortcutContext(Qt::ApplicationShortcut);
  action->setCheckable(checkable);
  action->setChecked(checked);
  if (handler != nullptr) {
    // The enabled states follow at once, also when the action failed.
    connect(action, &QAction::triggered, this, [this, handler] {
      Guarded([&] { (this->*handler)(); });
      ActionManager1Update();
    });
  }
  addAction(action);
  return action;
}

void TFormMain::CreateActions() {
  ActionOpen = NewAction("&Open...", "Ctrl+O", &TFormMain::ActionOpenExecute);
  ActionSave = NewAction("&Save As...", "Ctrl+S", &TFormMain::ActionSaveExecute);
  ActionExit = NewAction("&Exit", nullptr, &TFormMain::ActionExitExecute);
  ActionOpenDirectory = NewAction("&Folders...", "Ctrl+F", &TFormMain::ActionOpenDirectoryExecute);
  ActionFirstImage = NewAction("F&irst Image", "Ctrl+Home", &TFormMain::ActionFirstImageExecute);
  ActionPriorImage = NewAction("&Prior Image", "Ctrl+PgUp", &TFormMain::ActionPriorImageExecute);
  ActionNextImage = NewAction("&Next Image", "Ctrl+PgDown", &TFormMain::ActionNextImageExecute);
  ActionNextImage->setShortcuts({QKeySequence("Ctrl+PgDown"), QKeySequence("Space")});
  ActionLastImage = NewAction("&Last Image", "Ctrl+End", &TFormMain::ActionLastImageExecute);
  ActionFilesList = NewAction("Fil&es List", "Ctrl+B", &TFormMain::ActionFilesListExecute, true);
  ActionAutoSave = NewAction("A&uto Save", nullptr, nullptr, true, true);
  ActionSettings = NewAction("Se&ttings...", "Ctrl+P", &TFormMain::ActionSettingsExecute);
  ActionRefresh = NewAction("&Refresh", "F3", &TFormMain::ActionRefreshExecute);
  ActionImmediate = NewAction("&Immediate", nullptr, nullptr, true, true);
  ActionFitToPage = NewAction("&Fit To Page", nullptr, &TFormMain::ActionFitToPageExecute, true);
  ActionFitToWidth = NewAction("F&it To Width", nullptr, &TFormMain::ActionFitToWidthExecute, true);
  ActionFitToHeight =
      NewAction("Fit T&o Height", nullptr, &TFormMain::ActionFitToHeightExecute, true);
  ActionOriginalSize =
      NewAction("O&riginal Size", nullptr, &TFormMain::ActionOriginalSizeExecute, true);
  ActionNoZoom = NewAction("&No Zoom", nullptr, &TFormMain::ActionNoZoomExecute, true);
  ActionSyncronization = NewAction("S&yncronization", nullptr, nullptr, true, true);
  ActionScaleToGray =
      NewAction("&ScaleToGray", nullptr, &TFormMain::ActionScaleToGrayExecute, true, true);
  ActionVertical = NewAction("&Vertical", nullptr, &TFormMain::ActionVerticalExecute, true);
  ActionHorizontal = NewAction("&Horizontal", nullptr, &TFormMain::ActionHorizontalExecute, true);
  ActionAbout = NewAction("&About...", nullptr, &TFormMain::ActionAboutExecute);
  const std::pair<QAction*, TActionIcon> icons[] = {{ActionOpen, aiOpen},
                                                    {ActionSave, aiSaveAs},
                                                    {ActionFitToPage, aiFitToPage},
                                                    {ActionFitToHeight, aiFitToHeight},
                                                    {ActionFitToWidth, aiFitToWidth},
                                                    {ActionOriginalSize, aiOriginalSize},
                                                    {ActionNoZoom, aiNoZoom},
                                                    {ActionRefresh, aiRefresh},
                                                    {ActionFirstImage, aiFirst},
                                                    {ActionPriorImage, aiPrior},
                                                    {ActionNextImage, aiNext},
                                                    {ActionLastImage, aiLast},
                                                    {ActionVertical, aiVertical},
                                                    {ActionHorizontal, aiHorizontal},
                                                    {ActionSettings, aiSettings},
                                                    {ActionOpenDirectory, aiFolders}};
  for (const auto& [action, icon] : icons) action->setIcon(ActionIcon(icon));
}

void TFormMain::CreateMenus() {
  const auto menu = [this](const char* title, std::initializer_list<QAction*> items) {
    QMenu* m = menuBar()->addMenu(title);
    for (QAction* item : items) {
      if (item != nullptr) {
        m->addAction(item);
      } else {
        m->addSeparator();
      }
    }
  };
  menu("&File", {ActionOpen, ActionSave, nullptr, ActionExit});
  menu("&Batch", {ActionOpenDirectory, nullptr, ActionFirstImage, ActionPriorImage, ActionNextImage,
                  ActionLastImage, ActionFilesList, nullptr, ActionAutoSave});
  menu("&Processing", {ActionSettings, ActionRefresh, nullptr, ActionImmediate});
  menu("&View", {ActionFitToPage, ActionFitToWidth, ActionFitToHeight, nullptr, ActionOriginalSize,
                 ActionNoZoom, nullptr, ActionSyncronization, nullptr, ActionScaleToGray});
  menu("&Layout", {ActionVertical, ActionHorizontal});
  menu("?", {ActionAbout});
}

void TFormMain::CreateToolBar() {
  QToolBar* bar = addToolBar("Tools");
  bar->setObjectName("ToolBar1");
  bar->setIconSize(QSize(24, 24));
  for (QAction* item :
       {ActionOpen, ActionSave, static_cast<QAction*>(nullptr), ActionFirstImage, ActionPriorImage,
        ActionNextImage, ActionLastImage, static_cast<QAction*>(nullptr), ActionFitToPage,
        ActionFitToWidth, ActionFitToHeight, ActionOriginalSize, ActionNoZoom,
        static_cast<QAction*>(nullptr), ActionSettings, ActionRefresh,
        static_cast<QAction*>(nullptr), ActionVertical, ActionHorizontal}) {
    if (item != nullptr) {
      bar->addAction(item);
    } else {
      bar->addSeparator();
    }
  }
}
