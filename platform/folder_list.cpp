// Folder listing with case-insensitive wildcard masks, and the program's own folder.
#include "platform/folder_list.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>

#include "platform/ascii_case.h"
#include "platform/errors.h"

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  const auto lower = [](char x, char y) {
    return static_cast<unsigned char>(LowerAscii(x)) < static_cast<unsigned char>(LowerAscii(y));
  };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lower)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lower)) return false;
  return a < b;
}

struct TDirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  // Greedy matching that backtracks only to the last '*': linear in practice, never
  // exponential.
  std::size_t n = 0, m = 0;
  std::size_t starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() && (mask[m] == '?' || LowerAscii(mask[m]) == LowerAscii(name[n]))) {
      ++m;
      ++n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::vector<std::string> ListFolder(const std::string& folder, std::string_view mask) {
  std::unique_ptr<DIR, TDirCloser> dir(::opendir(folder.c_str()));
  if (!dir) throw EOSError(errno, folder);
  std::vector<std::string> names;
  errno = 0;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != ".." && MatchesMask(name, mask)) names.emplace_back(name);
    errno = 0;
  }
  if (errno != 0) throw EOSError(errno, folder);
  std::sort(names.begin(), names.end(), LessIgnoringCase);
  return names;
}

std::string IncludeTrailingPathDelimiter(const std::string& folder) {
  if (!folder.empty() && folder.back() == kPathDelimiter) return folder;
  return folder + kPathDelimiter;
}

std::string ProgramFolder() {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return IncludeTrailingPathDelimiter(".");
  return IncludeTrailingPathDelimiter(program.parent_path().string());
}
