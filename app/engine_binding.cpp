// Loading, starting and ending the external thresholding engine.
#include "app/engine_binding.h"

#include <exception>

namespace {

using TEngineCall = void();

}  // namespace

TPEIEngine::~TPEIEngine() {
  Unload();
}

void TPEIEngine::Load(const std::string& name, const TReport& report) {
  Unload();
  TLibrary library(name);
  if (!library.Loaded()) return;
  library_ = std::move(library);
  for (std::size_t i = 0; i < kEngineEntryPoints.size(); ++i) {
    entries_[i] = library_.EntryPoint(kEngineEntryPoints[i]);
  }
  auto* init = reinterpret_cast<TEngineCall*>(entries_[0]);
  if (init == nullptr) return;
  try {
    init();
  } catch (const std::exception& failure) {
    report(failure.what());
  }
}

void TPEIEngine::Unload() {
  if (!library_.Loaded()) return;
  if (auto* deInit = reinterpret_cast<TEngineCall*>(entries_[1])) {
    try {
      deInit();
    } catch (...) {
      // The engine is going away; whatever it says about that changes nothing.
    }
  }
  entries_ = {};
  library_.Free();
}
