// The command-line rule: an existing file first; else two existing folders; else nothing.
#include "app/start_request.h"

TStartRequest StartRequestOf(const std::vector<std::string>& arguments,
                             const std::function<bool(const std::string&)>& isFile,
                             const std::function<bool(const std::string&)>& isFolder) {
  if (arguments.empty()) return {};
  if (isFile(arguments[0])) return {TStartKind::skOpenFile, arguments[0], "", ""};
  if (arguments.size() >= 2 && isFolder(arguments[0]) && isFolder(arguments[1])) {
    return {TStartKind::skScanFolders, "", arguments[0], arguments[1]};
  }
  return {};
}
