// The image files of a batch: files as given, and the images of folders found with the masks
// "*.tif", "*.jpg", "*.bmp" and "*.png", in that order, by name within a mask.
#pragma once

#include <set>
#include <string>
#include <vector>

inline constexpr const char* kImageMasks[] = {"*.tif", "*.jpg", "*.bmp", "*.png"};

struct TInputError {
  std::string Input;
  std::string Reason;  // the system's text
};

struct TInputList {
  std::vector<std::string> Files;
  std::set<std::string> Identities;  // FileIdentity of every file
  std::vector<TInputError> Errors;   // inputs that are neither a file nor a readable folder
};

// The list a folder gives in batch mode: folder (with a trailing separator added) + the name
// of every entry that matches a mask, mask by mask, in the order of ListFolder; entries of
// every kind included. A folder that cannot be read gives an empty list.
std::vector<std::string> ScanImageFolder(const std::string& folder);

// Expands the inputs in order. A file named twice, directly or through its folder, is listed
// once, at its first place; subfolders of a folder are not entered.
TInputList CollectInputs(const std::vector<std::string>& inputs);

// The name that is the same for every path to a file (absolute, links resolved), also for a
// file that does not exist yet.
std::string FileIdentity(const std::string& fileName);
