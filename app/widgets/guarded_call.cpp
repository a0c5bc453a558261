// The top-level failure handler of the desktop program.
#include "app/widgets/guarded_call.h"

#include <QApplication>
#include <cstdio>
#include <exception>

namespace {

TFailureSink& Sink() {
  static TFailureSink sink;
  return sink;
}

void Report(const std::string& message) {
  while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  if (Sink()) {
    Sink()(message);
  } else {
    std::fprintf(stderr, "%s\n", message.c_str());
  }
}

}  // namespace

void SetFailureSink(TFailureSink sink) {
  Sink() = std::move(sink);
}

void Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& failure) {
    Report(failure.what());
  } catch (...) {
    Report(kUnexpectedFailure);
  }
}
