// The main window walking a batch: an input folder of small generated pages and an output
// folder, both inside the test's own folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/widgets/batch_window.h"
#include "window_fixture.h"

class TBatchWindowTest : public TWindowTest {
 protected:
  std::string In() const { return folder / "in" + "/"; }
  std::string Out() const { return folder / "out" + "/"; }

  // Writes the pages in.../name (seeds 1, 2, ...), starts the window and scans the folders.
  void StartBatch(const std::vector<std::string>& names) {
    std::int32_t seed = 0;
    for (const std::string& name : names) WritePage("in/" + name, ++seed);
    std::filesystem::create_directories(Out());
    Start();
    window->ScanFolders(In(), Out());
    Settle();
  }
  std::string Output(const std::string& input) const {
    return BatchOutputName(window->Options, In() + input);
  }
  std::vector<std::string> ListShown() const {
    std::vector<std::string> shown;
    QListWidget* list = window->FormBatch->ListBoxFiles;
    for (int i = 0; i < list->count(); ++i) shown.push_back(list->item(i)->text().toStdString());
    return shown;
  }
  // Runs an action as the operator would once the window has been idle (the enabling rules
  // applied), or with a stale enabled state, and waits for the save it may have started.
  void Run(QAction* action, bool stale = false) {
    window->ActionManager1Update();
    if (stale) action->setEnabled(true);
    action->trigger();
    window->Saves().WaitForSave();
    Settle();
  }
};
