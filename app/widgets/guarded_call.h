// The one place where failures reach the operator. Every entry point from Qt (actions,
// events, timers, dialog buttons) runs its work through Guarded: a failure skips the rest of
// that work, every busy cursor is restored, and the registered sink shows the message (the
// main window sets the activity panel to "Ready" and opens a message box).
#pragma once

#include <functional>
#include <string>

using TFailureSink = std::function<void(const std::string& message)>;

// The text shown for a failure that carries no message of its own.
inline constexpr const char* kUnexpectedFailure = "An unexpected error occurred";

// Installs the sink; an empty sink writes the message to the standard error stream.
void SetFailureSink(TFailureSink sink);
// Runs action; whatever it throws is reported and goes no further.
void Guarded(const std::function<void()>& action);
