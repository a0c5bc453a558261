// The desktop program's entry point: answers --help and --version on the terminal, else
// opens the main window on the file or the two folders the command line names.
#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/engine_binding.h"
#include "app/widgets/guarded_call.h"
#include "app/widgets/main_window.h"
#include "app/widgets/qt_dialogs.h"
#include "platform/page_memory.h"
#include "platform/settings_store.h"

namespace {

constexpr const char* kUsage =
    "Usage: zonewright [FILE | INPUT_FOLDER OUTPUT_FOLDER]\n"
    "Turns scanned colour or gray pages into black-and-white images, zone by zone.\n"
    "\n"
    "  FILE                         open this image (TIFF, JPEG, bitmap or PNG)\n"
    "  INPUT_FOLDER OUTPUT_FOLDER   walk the images of INPUT_FOLDER, saving into OUTPUT_FOLDER\n"
    "  --help                       show this text\n"
    "  --version                    show the version\n"
    "\n"
    "Settings are kept in $ZONEWRIGHT_SETTINGS, else ~/.config/zonewright/settings.reg.\n";

// Under a Wayland session the window runs on X11 through XWayland when that is there, so
// that placing the slider window beside a zone works; an operator's own choice stands.
void ChoosePlatform() {
  if (std::getenv("QT_QPA_PLATFORM") != nullptr) return;
  if (std::getenv("WAYLAND_DISPLAY") != nullptr && std::getenv("DISPLAY") != nullptr) {
    setenv("QT_QPA_PLATFORM", "xcb", 0);
  }
}

// Binds the optional thresholding engine. Whatever its start raises is shown, and the
// program goes on; without the library nothing is said at all.
void BindEngine(TPEIEngine& engine) {
  TQtDialogs notices(nullptr);
  const auto show = [&notices](const std::string& message) { notices.Message(message); };
  SetFailureSink(show);
  Guarded([&] { engine.Load(PlatformLibraryName("thr"), show); });
  SetFailureSink(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("zonewright %s\n", ZW_VERSION);
      return 0;
    }
  }
  ChoosePlatform();
  KeepPageMemoryMapped();
  QApplication application(argc, argv);
  // Bound before any window exists, released once the message loop has ended.
  TPEIEngine engine;
  BindEngine(engine);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  // The window is freed when the loop has ended, so that it writes the settings and waits
  // for the last save before the program goes.
  TQtDialogs dialogs(nullptr);
  TFormMain window(dialogs, DefaultSettingsFileName(), arguments);
  // Without a window manager (a bare X server) maximizing does nothing: fill the screen.
  window.resize(QGuiApplication::primaryScreen()->availableGeometry().size());
  window.showMaximized();
  return application.exec();
}
