// TFormMain, the program's one document window: the original and the processed view, the
// action list that drives the menu bar and the tool bar, a four-panel status bar, and the
// zone-by-zone workflow that ties them together (open, zone update, background save,
// read-ahead, batch navigation).
//
// Decisions that need no window live in app/ (zone, zone update, action states, batch list,
// loader and saver); this class delivers events to them and shows their results. Every
// entry point from Qt runs through Guarded, so a failure reaches the operator in a message
// box and the window stays usable.
#pragma once

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/batch_list.h"
#include "app/dialogs.h"
#include "app/image_loader.h"
#include "app/save_queue.h"
#include "app/zone.h"
#include "binarize/threshold_settings.h"
#include "platform/settings_store.h"
#include "viewer/widgets/image_scroll_box.h"
#include "workflow/batch_options.h"

class TDialogoThresholdingInterattivo;
class TDialogoThreshold;
class TDialogBatchSetup;
class TFormBatch;

class TFormMain : public QMainWindow {
  Q_OBJECT

 public:
  // Reads the settings from the store file; dialogs answers every question and chooser.
  TFormMain(TDialogs& dialogs, const std::string& settingsFile,
            std::vector<std::string> arguments = {});
  ~TFormMain() override;

  // --- the workflow --------------------------------------------------------------------
  void OpenImage(const std::string& fileName);
  void UpdateRequired();
  void SaveIfModified();
  void StartSave(const std::string& fileName, std::optional<std::int32_t> format = {});
  void StartSaveRequest(const TSaveRequest& request);
  void ScanFolders(const std::string& input, const std::string& output);
  void UpdateParameterLabels();
  void ActionManager1Update();
  // Tells the operator about saves that failed since the last look.
  void ReportSaveFailures();

  // --- state read by the dialogs and tests ----------------------------------------------
  TThresholdSettings Settings;
  TBatchOptions Options;
  TZone Zone;
  bool ForceRefresh = false;
  bool Modified = false;
  TBatchList Batch;
  std::string Panel(int index) const { return panels_[index]->text().toStdString(); }
  TSaveQueue& Saves() { return saves_; }

  TImageScrollBox* ImageScrollBoxOriginal;
  TImageScrollBox* ImageScrollBoxProcessed;
  TDialogoThresholdingInterattivo* DialogoThresholdingInterattivo;

  QAction *ActionOpen, *ActionSave, *ActionExit, *ActionOpenDirectory, *ActionFirstImage,
      *ActionPriorImage, *ActionNextImage, *ActionLastImage, *ActionFilesList, *ActionAutoSave,
      *ActionSettings, *ActionRefresh, *ActionImmediate, *ActionFitToPage, *ActionFitToWidth,
      *ActionFitToHeight, *ActionOriginalSize, *ActionNoZoom, *ActionSyncronization,
      *ActionScaleToGray, *ActionVertical, *ActionHorizontal, *ActionAbout;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Construction
  void CreateViews();
  void CreateStatusBar();
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  QAction* NewAction(const char* caption, const char* shortcut, void (TFormMain::*handler)(),
                     bool checkable = false, bool checked = false);
  void FormShow();

  // Status bar
  void SetPanel(int index, const std::string& text);
  void SetModified(bool modified);

  // Actions
  void ActionOpenExecute();
  void ActionSaveExecute();
  void ActionExitExecute() { close(); }
  void ActionFirstImageExecute() { Navigate(TBatchMove::bmFirst); }
  void ActionPriorImageExecute() { Navigate(TBatchMove::bmPrior); }
  void ActionNextImageExecute() { Navigate(TBatchMove::bmNext); }
  void ActionLastImageExecute() { Navigate(TBatchMove::bmLast); }
  void ActionRefreshExecute();
  void ActionFitToPageExecute() { ApplyZoom(ActionFitToPage, zmFitToPage); }
  void ActionFitToWidthExecute() { ApplyZoom(ActionFitToWidth, zmFitWidth); }
  void ActionFitToHeightExecute() { ApplyZoom(ActionFitToHeight, zmFitHeight); }
  void ActionOriginalSizeExecute();
  void ActionNoZoomExecute();
  void ActionVerticalExecute() { SetLayoutVertical(true); }
  void ActionHorizontalExecute() { SetLayoutVertical(false); }
  void ActionScaleToGrayExecute();
  void ActionAboutExecute();
  void ActionOpenDirectoryExecute();
  void ActionSettingsExecute();
  void ActionFilesListExecute();
  void ListBoxFilesClick();

  // Workflow steps
  void Navigate(TBatchMove move);
  void OpenBatchEntry();
  void ShowUnreadableEntry(const std::string& entry);
  void SyncFilesList();
  TFormBatch* NewFormBatch();
  TDialogoThreshold* NewDialogoThreshold();
  TDialogBatchSetup* NewDialogBatchSetup();
  void LoadOriginal(const std::string& fileName);
  TMemoryHandle TakeReadAhead(const std::string& fileName);
  static void ClearBand(TImageScrollBox& view);
  void StartReadAhead();
  void LoadProcessed(const std::string& fileName);
  bool ApplyThresholdingShown(TDIB& image, const TThresholdSettings& settings);
  void RunProcessing(const std::function<void()>& work);
  std::string AskSaveName(TSaveChoice choice, std::optional<std::int32_t>& format);
  void ResetZoomChecks();
  void ApplyZoom(QAction* action, TZoomMode mode);
  void ExecuteCheckedZoom();
  void SetLayoutVertical(bool vertical);
  void RubberbandChange(TImageScrollBox& view, TImageScrollBox& other);
  void EndScroll(TImageScrollBox& view, TImageScrollBox& other);
  void ImageMouse(TMouseButton button, bool down);

  TDialogs& dialogs_;
  TSettingsStore store_;
  std::vector<std::string> arguments_;
  bool shown_ = false;
  std::uint64_t imageSerial_ = 0;  // counts opened images, so a late failed save knows its own
  QWidget* PanelSideBySide;
  QBoxLayout* sideBySide_;
  std::array<QLabel*, 4> panels_{};
  TWorkerPtr<TImageLoader> loader_;
  TSaveQueue saves_;
  QTimer saveWatch_;

 public:
  // The files list, the settings dialog and the batch setup dialog: made with the window,
  // hidden until asked for; the dialogs keep what they hold between uses.
  TFormBatch* FormBatch = NewFormBatch();
  TDialogoThreshold* DialogoThreshold = NewDialogoThreshold();
  TDialogBatchSetup* DialogBatchSetup = NewDialogBatchSetup();
  // The read-ahead of the next batch file, if one is running or waiting to be taken.
  const TImageLoader* ReadAhead() const { return loader_.get(); }
};
