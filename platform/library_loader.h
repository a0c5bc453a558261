// Run-time binding of an optional library, such as an external thresholding engine: load it
// by its platform name through the library search path, look up entry points by name, free
// it with its owner. A library that cannot be loaded is a normal answer, "not present": the
// program runs the same without it.
#pragma once

#include <string>

// "lib" + stem + ".so", the name under which this platform keeps the library stem.
std::string PlatformLibraryName(const std::string& stem);

class TLibrary {
 public:
  // Nothing loaded.
  TLibrary() = default;
  // Loads the library: a bare name is looked for along the library search path, a name with
  // a '/' is a path. Loaded() tells whether that worked.
  explicit TLibrary(const std::string& name);
  ~TLibrary();
  TLibrary(TLibrary&& other) noexcept;
  TLibrary& operator=(TLibrary&& other) noexcept;
  TLibrary(const TLibrary&) = delete;
  TLibrary& operator=(const TLibrary&) = delete;

  bool Loaded() const { return handle_ != nullptr; }
  // Why loading failed, in the system's words; empty when it did not fail.
  const std::string& LoadFailure() const { return loadFailure_; }

  // The address of an entry point; null when the library lacks it or nothing is loaded.
  void* EntryPoint(const std::string& name) const;
  // The entry point as a function of the given type, for example Function<int()>("Init").
  template <typename TFunction>
  TFunction* Function(const std::string& name) const {
    return reinterpret_cast<TFunction*>(EntryPoint(name));
  }

  // Unloads the library; the addresses of its entry points are invalid afterwards.
  void Free();

 private:
  void* handle_ = nullptr;
  std::string loadFailure_;
};
