// Folder listing with wildcard masks and the program's own folder, in place of the directory
// enumeration and module-name calls the application expects.
//
// A mask holds '*' (any run of characters, also none) and '?' (one character); it matches a
// name without regard to ASCII case, because scanners write ".TIF" and ".JPG" as often as
// ".tif". Folder names carry this platform's separator '/'.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr char kPathDelimiter = '/';

// Whether name matches mask as a whole, ignoring ASCII case.
bool MatchesMask(std::string_view name, std::string_view mask);

// The names (without folder) of the entries of folder that match mask, entries of every kind
// included, sorted by name ignoring case (byte order breaks ties), so that a listing is the
// same on every machine. Throws EOSError when the folder cannot be read.
std::vector<std::string> ListFolder(const std::string& folder, std::string_view mask);

// Folder with a trailing separator appended when it lacks one; an empty text becomes "/".
std::string IncludeTrailingPathDelimiter(const std::string& folder);

// The folder of the running program file, with a trailing separator.
std::string ProgramFolder();
