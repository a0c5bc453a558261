// What the program's arguments ask for at start: a file to open, or an input and an output
// folder to walk as a batch. Anything else is ignored.
#pragma once

#include <functional>
#include <string>
#include <vector>

enum class TStartKind { skNothing, skOpenFile, skScanFolders };

struct TStartRequest {
  TStartKind Kind = TStartKind::skNothing;
  std::string File;          // skOpenFile
  std::string InputFolder;   // skScanFolders
  std::string OutputFolder;  // skScanFolders
};

// arguments excludes the program's name. isFile and isFolder ask the file system.
TStartRequest StartRequestOf(const std::vector<std::string>& arguments,
                             const std::function<bool(const std::string&)>& isFile,
                             const std::function<bool(const std::string&)>& isFolder);
