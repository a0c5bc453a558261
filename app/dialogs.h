// Every question, notice and file chooser the program shows goes through this one small
// interface, so that tests script the operator's answers and the window logic never waits on
// a real dialog.
#pragma once

#include <optional>
#include <string>

struct TSaveChoice {
  std::string FileName;
  std::int32_t FilterIndex = 0;  // 0 TIFF, 1 BMP, 2 PNG
};

class TDialogs {
 public:
  virtual ~TDialogs() = default;
  // A Yes/No confirmation; true for Yes.
  virtual bool Confirm(const std::string& text) = 0;
  // A plain notice.
  virtual void Message(const std::string& text) = 0;
  // The open dialog with filter; none when cancelled.
  virtual std::optional<std::string> ChooseOpenFile(const std::string& filter) = 0;
  // The save dialog, preset to a folder and a name; none when cancelled.
  virtual std::optional<TSaveChoice> ChooseSaveFile(const std::string& filter,
                                                    const std::string& folder,
                                                    const std::string& fileName) = 0;
  // The folder browser, opening on start when it exists; none when cancelled.
  virtual std::optional<std::string> ChooseFolder(const std::string& start) = 0;
};
