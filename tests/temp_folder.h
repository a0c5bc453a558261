// A fresh folder for one test, removed with everything in it when the test ends. It lies in
// $ZW_TEST_TMP (set by ctest to the build tree) or else in the system's temporary folder.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TTempFolder {
 public:
  TTempFolder() {
    const char* base = std::getenv("ZW_TEST_TMP");
    const std::filesystem::path parent =
        base && *base ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(parent);
    std::string pattern = (parent / "zw-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TTempFolder() {
    // Tests may take rights away; give them back so that everything can go.
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, error)) {
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, error);
    }
    std::filesystem::remove_all(path_, error);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  // The folder with a trailing separator, ready to take a file name.
  std::string Path() const { return path_.string() + "/"; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  // Writes text to a file of the folder and returns its full name.
  std::string Write(const std::string& name, const std::string& text) const {
    const std::string fileName = *this / name;
    std::filesystem::create_directories(std::filesystem::path(fileName).parent_path());
    std::ofstream(fileName, std::ios::binary) << text;
    return fileName;
  }

 private:
  std::filesystem::path path_;
};

inline std::string ReadText(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}
