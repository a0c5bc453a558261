// Replacing a file without ever destroying the one already there: the new content goes to a
// temporary file created beside the target, and Commit renames it over the target in one
// step. Until then, and on every failure, the target stays as it was and the temporary file
// is removed.
#pragma once

#include <string>

class TSafeReplacement {
 public:
  // Creates the temporary file (empty, exclusively, with the target's permission bits when
  // the target exists). A symbolic link is followed so that it stays a link; a target the
  // user may not write is refused with the system's error.
  explicit TSafeReplacement(const std::string& fileName);
  ~TSafeReplacement();
  TSafeReplacement(const TSafeReplacement&) = delete;
  TSafeReplacement& operator=(const TSafeReplacement&) = delete;

  const std::string& TemporaryName() const { return temporary_; }
  // The file that will be replaced: the given name, or what its symbolic link names.
  const std::string& Target() const { return target_; }
  // Renames the temporary file over the target and makes the rename durable.
  void Commit();

 private:
  std::string target_;
  std::string temporary_;
  bool committed_ = false;
};
