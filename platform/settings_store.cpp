// The settings store: parsing and writing the registry export text, typed reads and writes,
// the atomic save and the store's location.
#include "platform/settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/ascii_case.h"
#include "platform/errors.h"
#include "platform/safe_replacement.h"

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kRoot = "HKEY_CURRENT_USER";
constexpr std::string_view kDWordPrefix = "dword:";
// A settings file is a few hundred bytes; anything far larger is not one.
constexpr off_t kMaxStoreBytes = off_t{1} << 20;

bool StartsWithText(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         SameTextIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string FullPath(std::string_view key) {
  std::string path(kRoot);
  if (key.empty() || key.front() != '\\') path += '\\';
  path += key;
  return path;
}

// A decimal integer in the 32-bit range, with an optional sign and surrounding blanks.
std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// Reads the quoted text that starts at line[pos]; pos ends after the closing quote. An escape
// the format does not know keeps its backslash, so hand-typed Windows paths survive.
bool ReadQuoted(std::string_view line, std::size_t& pos, std::string& text) {
  ++pos;
  while (pos < line.size()) {
    const char c = line[pos++];
    if (c == '"') return true;
    if (c != '\\' || pos == line.size()) {
      text += c;
      continue;
    }
    const char escaped = line[pos++];
    if (escaped == 'n') {
      text += '\n';
    } else {
      if (escaped != '\\' && escaped != '"') text += '\\';
      text += escaped;
    }
  }
  return false;
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\n') {
      quoted += "\\n";
      continue;
    }
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

std::optional<std::uint32_t> ParseDWord(std::string_view digits) {
  digits = TrimBlanks(digits);
  std::uint32_t value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (digits.empty() || digits.size() > 8 || error != std::errc() ||
      end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  return value;
}

// One value line: "name"=dword:0000002a, "name"="text" or @=... for the unnamed value.
std::optional<TSettingsValue> ParseValueLine(std::string_view line) {
  TSettingsValue value;
  std::size_t pos = 0;
  if (line.front() == '@') {
    pos = 1;
  } else if (!ReadQuoted(line, pos, value.Name)) {
    return std::nullopt;
  }
  std::string_view data = TrimBlanks(line.substr(pos));
  if (data.empty() || data.front() != '=') return std::nullopt;
  data = TrimBlanks(data.substr(1));
  if (StartsWithText(data, kDWordPrefix)) {
    const auto dword = ParseDWord(data.substr(kDWordPrefix.size()));
    if (!dword) return std::nullopt;
    value.DWord = *dword;
    return value;
  }
  std::size_t end = 0;
  value.Kind = TSettingsValueKind::svString;
  if (data.empty() || data.front() != '"' || !ReadQuoted(data, end, value.String) ||
      !TrimBlanks(data.substr(end)).empty()) {
    return std::nullopt;
  }
  return value;
}

class TFileDescriptor {
 public:
  explicit TFileDescriptor(int fd) : fd_(fd) {}
  ~TFileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int Get() const { return fd_; }
  // Closes now, so that a failing close is seen; returns its result.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

// The whole file, or nothing when it is missing, unreadable, not a regular file or too large.
// Non-blocking open keeps a named pipe from hanging the reader.
std::string ReadStoreFile(const std::string& fileName) {
  TFileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat status {};
  if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      status.st_size > kMaxStoreBytes) {
    return {};
  }
  std::string text(static_cast<std::size_t>(status.st_size), '\0');
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t count = ::read(file.Get(), text.data() + done, text.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return {};
    if (count == 0) break;
    done += static_cast<std::size_t>(count);
  }
  text.resize(done);
  return text;
}

void WriteAll(int fd, std::string_view text, const std::string& fileName) {
  while (!text.empty()) {
    const ssize_t count = ::write(fd, text.data(), text.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) throw EOSError(errno, fileName);
    text.remove_prefix(static_cast<std::size_t>(count));
  }
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  std::string buffer(16384, '\0');
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    return found->pw_dir;
  }
  return ".";
}

}  // namespace

std::string DefaultSettingsFileName() {
  if (const char* file = std::getenv(kSettingsEnvironmentVariable); file && *file != '\0') {
    return file;
  }
  // A relative XDG_CONFIG_HOME is invalid by the XDG rules and is ignored.
  std::string folder;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
    folder = config;
  } else {
    folder = HomeFolder() + "/.config";
  }
  return folder + "/zonewright/settings.reg";
}

TSettingsStore::TSettingsStore(std::string fileName) : fileName_(std::move(fileName)) {
  Parse(ReadStoreFile(fileName_));
}

void TSettingsStore::Parse(std::string_view text) {
  // The index of the key being read; none before the first key and inside a deletion.
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t current = kNone;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = TrimBlanks(line);
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::string_view path = line.substr(1, line.size() - 2);
      current = (path.empty() || path.front() == '-') ? kNone : KeyIndex(path);
      continue;
    }
    if (current == kNone || (line.front() != '"' && line.front() != '@')) continue;
    // A name given twice: the later line wins, as when such a file is imported.
    if (auto value = ParseValueLine(line)) ValueIn(keys_[current], value->Name) = *value;
  }
}

std::size_t TSettingsStore::KeyIndex(std::string_view path) {
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    if (SameTextIgnoringCase(keys_[i].Path, path)) return i;
  }
  keys_.push_back(TKey{std::string(path), {}});
  return keys_.size() - 1;
}

TSettingsValue& TSettingsStore::ValueIn(TKey& key, std::string_view name) {
  for (auto& value : key.Values) {
    if (SameTextIgnoringCase(value.Name, name)) return value;
  }
  key.Values.push_back(TSettingsValue{std::string(name), TSettingsValueKind::svDWord, 0, {}});
  return key.Values.back();
}

TSettingsValue& TSettingsStore::ValueFor(std::string_view key, std::string_view name) {
  return ValueIn(keys_[KeyIndex(FullPath(key))], name);
}

const TSettingsValue* TSettingsStore::Find(std::string_view key, std::string_view name) const {
  const std::string path = FullPath(key);
  for (const auto& k : keys_) {
    if (!SameTextIgnoringCase(k.Path, path)) continue;
    for (const auto& value : k.Values) {
      if (SameTextIgnoringCase(value.Name, name)) return &value;
    }
  }
  return nullptr;
}

std::int32_t TSettingsStore::ReadInteger(std::string_view key, std::string_view name,
                                         std::int32_t defaultValue) const {
  const TSettingsValue* value = Find(key, name);
  if (value == nullptr) return defaultValue;
  if (value->Kind == TSettingsValueKind::svDWord) return static_cast<std::int32_t>(value->DWord);
  return ParseDecimal(value->String).value_or(defaultValue);
}

bool TSettingsStore::ReadBool(std::string_view key, std::string_view name,
                              bool defaultValue) const {
  return ReadInteger(key, name, defaultValue ? 1 : 0) != 0;
}

std::string TSettingsStore::ReadString(std::string_view key, std::string_view name,
                                       const std::string& defaultValue) const {
  const TSettingsValue* value = Find(key, name);
  if (value == nullptr || value->Kind != TSettingsValueKind::svString) return defaultValue;
  return value->String;
}

void TSettingsStore::WriteInteger(std::string_view key, std::string_view name, std::int32_t value) {
  TSettingsValue& stored = ValueFor(key, name);
  if (stored.Kind == TSettingsValueKind::svString) {
    stored.String = std::to_string(value);
  } else {
    stored.DWord = static_cast<std::uint32_t>(value);
  }
}

void TSettingsStore::WriteBool(std::string_view key, std::string_view name, bool value) {
  WriteString(key, name, value ? "1" : "0");
}

void TSettingsStore::WriteString(std::string_view key, std::string_view name,
                                 const std::string& value) {
  TSettingsValue& stored = ValueFor(key, name);
  stored.Kind = TSettingsValueKind::svString;
  stored.String = value;
}

std::string TSettingsStore::Text() const {
  std::string text(kHeader);
  text += '\n';
  for (const auto& key : keys_) {
    text.append("\n[").append(key.Path).append("]\n");
    for (const auto& value : key.Values) {
      text.append(value.Name.empty() ? std::string("@") : Quoted(value.Name)).append("=");
      if (value.Kind == TSettingsValueKind::svString) {
        text.append(Quoted(value.String)).append("\n");
        continue;
      }
      char digits[9];
      std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value.DWord));
      text.append(kDWordPrefix).append(digits).append("\n");
    }
  }
  return text;
}

void TSettingsStore::Save() const {
  const auto folder = std::filesystem::path(fileName_).parent_path();
  std::error_code error;
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  if (error) throw EOSError(error.value(), folder.string());

  TSafeReplacement replacement(fileName_);
  TFileDescriptor file(::open(replacement.TemporaryName().c_str(), O_WRONLY | O_CLOEXEC));
  if (file.Get() < 0) throw EOSError(errno, fileName_);
  WriteAll(file.Get(), Text(), fileName_);
  if (::fsync(file.Get()) != 0 || file.Close() != 0) throw EOSError(errno, fileName_);
  replacement.Commit();
}
