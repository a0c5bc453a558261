// The real main window under test: shown on Qt's offscreen platform, with a scripted dialog
// interface that answers questions and file choosers as a test says and records every
// notice, a settings store of its own, and small generated pages written as files.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/widgets/main_window.h"
#include "app/widgets/thresholding_window.h"
#include "batch_fixtures.h"
#include "temp_folder.h"
#include "viewer/test_scroll_box_fixture.h"

class TScriptedDialogs : public TDialogs {
 public:
  std::deque<bool> Answers;                          // to Confirm, in order
  std::deque<std::optional<std::string>> OpenFiles;  // to ChooseOpenFile
  std::deque<std::optional<TSaveChoice>> SaveFiles;  // to ChooseSaveFile
  std::vector<std::string> Questions, Messages;
  std::string SaveFolder, SaveName;  // how the save dialog was preset

  bool Confirm(const std::string& text) override {
    Questions.push_back(text);
    if (Answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return false;
    }
    const bool answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  void Message(const std::string& text) override { Messages.push_back(text); }
  std::optional<std::string> ChooseOpenFile(const std::string&) override { return Next(OpenFiles); }
  std::optional<TSaveChoice> ChooseSaveFile(const std::string&, const std::string& folder,
                                            const std::string& fileName) override {
    SaveFolder = folder;
    SaveName = fileName;
    return Next(SaveFiles);
  }
  std::optional<std::string> ChooseFolder(const std::string&) override { return std::nullopt; }

 private:
  template <typename T>
  static std::optional<T> Next(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class TWindowTest : public testing::Test {
 protected:
  TTempFolder folder;
  TScriptedDialogs dialogs;
  std::unique_ptr<TFormMain> window;

  void Start(std::vector<std::string> arguments = {}) {
    window = std::make_unique<TFormMain>(dialogs, folder / "settings.reg", std::move(arguments));
    window->resize(900, 700);
    window->show();
    Settle();
  }
  void TearDown() override {
    dialogs.Answers.push_back(false);  // closing may ask about unsaved changes
    if (window) window->close();
    window.reset();
  }

  static void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }
  // Runs the event loop until done() holds or five seconds passed.
  template <typename TCondition>
  static bool WaitFor(TCondition done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
  }

  // A small gray page written as an uncompressed TIFF; returns its name.
  std::string WritePage(const std::string& name, std::int32_t seed = 1, std::int32_t width = 160,
                        std::int32_t height = 120) {
    auto page = GrayPage(seed, width, height);
    const std::string fileName = folder / name;
    std::filesystem::create_directories(std::filesystem::path(fileName).parent_path());
    page->SaveTIFFToFile(fileName, false, tcNone, 16);
    return fileName;
  }

  TImageScrollBox& Original() { return *window->ImageScrollBoxOriginal; }
  TImageScrollBox& Processed() { return *window->ImageScrollBoxProcessed; }

  // The processed image's pixels as colours.
  std::vector<TColorValue> ProcessedColours() {
    const TDibGraphic& g = Processed().Graphic();
    std::vector<TColorValue> colours;
    for (std::int32_t y = 0; y < g.Height(); ++y) {
      for (std::int32_t x = 0; x < g.Width(); ++x) colours.push_back(g.GetPixelColor(x, y));
    }
    return colours;
  }

  // Draws a band over the view in client coordinates.
  static void DrawBand(TImageScrollBox& view, QPoint from, QPoint to) {
    scroll_box_test::Press(view, from);
    scroll_box_test::MoveTo(view, (from + to) / 2);
    scroll_box_test::MoveTo(view, to);
    scroll_box_test::Release(view, to);
    Settle();
  }

  // Moves the right slider and lets the slider window come to rest and notify.
  bool MoveRightSliderAndRest(std::int32_t value) {
    TDialogoThresholdingInterattivo& sliders = *window->DialogoThresholdingInterattivo;
    sliders.TrackBarBrightness->setValue(value);
    return WaitFor([&] { return !sliders.Timer1->isActive(); });
  }
};
