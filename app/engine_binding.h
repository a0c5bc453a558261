// The binding of the optional external thresholding engine. It is loaded once at program
// start by its platform name (PlatformLibraryName("thr")), its fourteen entry points are
// looked up by name and kept, and only its start and end entry points are ever called. The
// program runs the same without it: a library that is not there is not reported.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>

#include "platform/library_loader.h"

// The entry points, in the order they are looked up.
inline constexpr std::array<const char*, 14> kEngineEntryPoints = {"ThrInitS",
                                                                   "ThrDeInitS",
                                                                   "ThrEnumS",
                                                                   "ThrVerLenS",
                                                                   "ThrVerCopyS",
                                                                   "ThrOpenS",
                                                                   "ThrCloseS",
                                                                   "ThrErrLenS",
                                                                   "ThrErrCopyS",
                                                                   "ThrSettingsMaxStrLenS",
                                                                   "ThrSettingsMaxStrLenThr2",
                                                                   "ThrDialogS",
                                                                   "ThrSetSettingsS",
                                                                   "ThrSettingsReadS"};

class TPEIEngine {
 public:
  using TReport = std::function<void(const std::string& message)>;

  TPEIEngine() = default;
  // Unloads the engine when it is loaded.
  ~TPEIEngine();
  TPEIEngine(const TPEIEngine&) = delete;
  TPEIEngine& operator=(const TPEIEngine&) = delete;

  // Loads the library name (a bare name is looked for along the library search path), keeps
  // the addresses of its entry points (a missing one stays null) and calls ThrInitS. When the
  // library cannot be loaded nothing happens. A failure of ThrInitS that carries a message goes
  // to report and the engine stays loaded; any other failure propagates.
  void Load(const std::string& name, const TReport& report);
  // Calls ThrDeInitS, ignoring whatever it raises, and unloads the library.
  void Unload();
  bool IsLoaded() const { return library_.Loaded(); }
  // The address of an entry point (an index into kEngineEntryPoints); null when missing.
  void* EntryPoint(std::size_t index) const { return entries_[index]; }

 private:
  TLibrary library_;
  std::array<void*, kEngineEntryPoints.size()> entries_{};
};
