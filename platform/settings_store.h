// The application's settings store, in place of the registry: keys and typed values kept in
// one text file in the registry export format, so that value types survive and a person can
// read and edit it:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Vardemont Technologies\Zonewright\Thresholding]
//   "Algo"=dword:00000000
//   "Input Folder"="/home/ann/scans/"
//
// Keys are paths below HKEY_CURRENT_USER ("\Software\...\Batch"); keys and value names
// compare without regard to case, as in the registry. Two value types are kept, 32-bit
// DWORDs and strings; in strings a backslash, a double quote and a line break are written as
// \\, \" and \n. Reading never fails: a missing, unreadable or damaged file reads as empty,
// and a damaged line is skipped. Saving writes a temporary file beside the store and renames
// it over the store, so that the store is always either the old or the new one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TSettingsValueKind { svDWord, svString };

struct TSettingsValue {
  std::string Name;
  TSettingsValueKind Kind = TSettingsValueKind::svDWord;
  std::uint32_t DWord = 0;
  std::string String;
};

// The environment variable that names the store file, for tests and for users who keep their
// settings elsewhere.
inline constexpr const char* kSettingsEnvironmentVariable = "ZONEWRIGHT_SETTINGS";

// The store file: $ZONEWRIGHT_SETTINGS when set, else settings.reg in the folder zonewright
// of the user's configuration folder ($XDG_CONFIG_HOME, by default ~/.config).
std::string DefaultSettingsFileName();

class TSettingsStore {
 public:
  // Reads fileName; a missing, unreadable or damaged file gives an empty store.
  explicit TSettingsStore(std::string fileName);

  const std::string& FileName() const { return fileName_; }

  // The value under key and name, or nullptr when there is none.
  const TSettingsValue* Find(std::string_view key, std::string_view name) const;

  // A DWORD as a signed integer; a string holding a decimal integer as that integer; anything
  // else, and a missing value, as defaultValue.
  std::int32_t ReadInteger(std::string_view key, std::string_view name,
                           std::int32_t defaultValue) const;
  // The integer rule above; any value other than 0 is true.
  bool ReadBool(std::string_view key, std::string_view name, bool defaultValue) const;
  // A string value; anything else, and a missing value, as defaultValue.
  std::string ReadString(std::string_view key, std::string_view name,
                         const std::string& defaultValue) const;

  // A DWORD, or the decimal text when the name already holds a string.
  void WriteInteger(std::string_view key, std::string_view name, std::int32_t value);
  // The string "0" or "1".
  void WriteBool(std::string_view key, std::string_view name, bool value);
  void WriteString(std::string_view key, std::string_view name, const std::string& value);

  // The store as file text.
  std::string Text() const;
  // Writes the file atomically, creating its folder when missing. Throws EOSError on failure
  // and leaves the previous file as it was.
  void Save() const;

 private:
  struct TKey {
    std::string Path;  // the full path between the brackets, HKEY_CURRENT_USER\...
    std::vector<TSettingsValue> Values;
  };

  void Parse(std::string_view text);
  // The index of the key of a full path, added when missing.
  std::size_t KeyIndex(std::string_view path);
  // The value of a name in a key, added as a DWORD 0 when missing.
  static TSettingsValue& ValueIn(TKey& key, std::string_view name);
  TSettingsValue& ValueFor(std::string_view key, std::string_view name);

  std::string fileName_;
  std::vector<TKey> keys_;
};
