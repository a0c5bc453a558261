// Loading libraries at run time through the dynamic linker.
#include "platform/library_loader.h"

#include <dlfcn.h>

#include <utility>

std::string PlatformLibraryName(const std::string& stem) {
  return "lib" + stem + ".so";
}

TLibrary::TLibrary(const std::string& name) {
  // Resolve every symbol now, so that a library that cannot work is "not present" at once
  // instead of failing at its first call; keep its symbols to itself.
  handle_ = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* text = ::dlerror();
    loadFailure_ = text != nullptr ? text : name;
  }
}

TLibrary::~TLibrary() {
  Free();
}

TLibrary::TLibrary(TLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), loadFailure_(std::move(other.loadFailure_)) {}

TLibrary& TLibrary::operator=(TLibrary&& other) noexcept {
  if (this != &other) {
    Free();
    handle_ = std::exchange(other.handle_, nullptr);
    loadFailure_ = std::move(other.loadFailure_);
  }
  return *this;
}

void* TLibrary::EntryPoint(const std::string& name) const {
  if (handle_ == nullptr) return nullptr;
  return ::dlsym(handle_, name.c_str());
}

void TLibrary::Free() {
  if (handle_ != nullptr) ::dlclose(std::exchange(handle_, nullptr));
}
