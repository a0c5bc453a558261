// The settings store: the registry export text, the value encodings, tolerance of damaged
// files, the atomic save and the store's location.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>

#include "platform/errors.h"
#include "platform/settings_store.h"
#include "temp_folder.h"

namespace {

constexpr const char* kKey = "\\Software\\Vardemont Technologies\\Zonewright\\Thresholding";
constexpr const char* kHeader =
    "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vardemont Technologies\\Zonewright\\"
    "Thresholding]\n";

// Sets an environment variable for the length of a scope.
class TEnvironment {
 public:
  TEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~TEnvironment() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SettingsStore, MissingFileGivesDefaults) {
  TTempFolder folder;
  const TSettingsStore store(folder / "none.reg");
  EXPECT_EQ(store.ReadInteger(kKey, "Algo", 42), 42);
  EXPECT_EQ(store.ReadString(kKey, "Input Folder", "/x/"), "/x/");
  EXPECT_TRUE(store.ReadBool(kKey, "Overwrite TIFF", true));
  EXPECT_EQ(store.Find(kKey, "Algo"), nullptr);
}

TEST(SettingsStore, WritesTheRegistryExportText) {
  TTempFolder folder;
  TSettingsStore store(folder / "s.reg");
  store.WriteInteger(kKey, "Algo", 0);
  store.WriteInteger(kKey, "Brightness", -1);
  store.WriteBool(kKey, "Flag", true);
  store.WriteString(kKey, "Input Folder", "/scans/\"new\" \\ set/");
  EXPECT_EQ(store.Text(), std::string(kHeader) +
                              "\"Algo\"=dword:00000000\n"
                              "\"Brightness\"=dword:ffffffff\n"
                              "\"Flag\"=\"1\"\n"
                              "\"Input Folder\"=\"/scans/\\\"new\\\" \\\\ set/\"\n");
}

// Each case: the value line as stored, what ReadInteger, ReadBool and ReadString give with the
// defaults 77, false and "default".
struct TReadCase {
  const char* line;
  std::int32_t integer;
  bool boolean;
  const char* string;
  const char* why;
};

TEST(SettingsStore, ReadsEveryEncoding) {
  const TReadCase cases[] = {
      {"\"V\"=dword:0000002a", 42, true, "default", "a DWORD; no string"},
      {"\"V\"=dword:ffffffff", -1, true, "default", "a DWORD is a signed 32-bit integer"},
      {"\"V\"=dword:80000000", INT_MIN, true, "default", "the lowest integer"},
      {"\"V\"=DWORD:00000000", 0, false, "default", "the type name in any case"},
      {"\"V\"=dword:7", 7, true, "default", "fewer than eight digits"},
      {"\"V\"=\"12\"", 12, true, "12", "a string holding digits reads as the integer"},
      {"\"V\"=\" -7 \"", -7, true, " -7 ", "a sign and surrounding blanks"},
      {"\"V\"=\"0\"", 0, false, "0", "the Boolean false as written"},
      {"\"V\"=\"1\"", 1, true, "1", "the Boolean true as written"},
      {"\"V\"=\"2\"", 2, true, "2", "any value other than 0 is true"},
      {"\"V\"=\"abc\"", 77, false, "abc", "letters give the default"},
      {"\"V\"=\"12abc\"", 77, false, "12abc", "trailing letters give the default"},
      {"\"V\"=\"2147483648\"", 77, false, "2147483648", "beyond 32 bits gives the default"},
      {"\"V\"=\"\"", 77, false, "", "an empty string gives the default"},
      {"\"V\"=\"0x10\"", 77, false, "0x10", "decimal only"},
      {"\"V\"=dword:123456789", 77, false, "default", "nine digits: a damaged line"},
      {"\"V\"=hex:01,02", 77, false, "default", "a type the store does not keep"},
      {"\"V\"=\"open", 77, false, "default", "an unclosed string: a damaged line"},
      {"\"V\"=\"a\" junk", 77, false, "default", "text after the string"},
      {"\"V\"", 77, false, "default", "no value at all"},
  };
  TTempFolder folder;
  for (const auto& c : cases) {
    const TSettingsStore store(folder.Write("s.reg", std::string(kHeader) + c.line + "\n"));
    EXPECT_EQ(store.ReadInteger(kKey, "V", 77), c.integer) << c.line << ": " << c.why;
    EXPECT_EQ(store.ReadBool(kKey, "V", false), c.boolean) << c.line << ": " << c.why;
    EXPECT_EQ(store.ReadString(kKey, "V", "default"), c.string) << c.line << ": " << c.why;
  }
}

TEST(SettingsStore, IntegerWrittenOverAStringStaysAString) {
  TTempFolder folder;
  TSettingsStore store(
      folder.Write("s.reg", std::string(kHeader) + "\"Text\"=\"5\"\n\"Number\"=dword:5\n"));
  store.WriteInteger(kKey, "Text", -12);
  store.WriteInteger(kKey, "Number", -12);
  store.WriteInteger(kKey, "New", 3);
  store.WriteString(kKey, "Number2", "x");
  EXPECT_EQ(store.Find(kKey, "Text")->Kind, TSettingsValueKind::svString);
  EXPECT_EQ(store.Find(kKey, "Text")->String, "-12");
  EXPECT_EQ(store.Find(kKey, "Number")->Kind, TSettingsValueKind::svDWord);
  EXPECT_EQ(store.ReadInteger(kKey, "Number", 0), -12);
  EXPECT_EQ(store.Find(kKey, "New")->Kind, TSettingsValueKind::svDWord);
}

TEST(SettingsStore, KeysAndNamesIgnoreCase) {
  TTempFolder folder;
  TSettingsStore store(folder.Write(
      "s.reg",
      "REGEDIT4\n[hkey_current_user\\SOFTWARE\\vardemont technologies\\ZONEWRIGHT\\thresholding]"
      "\n\"ALGO\"=dword:00000003\n"));
  EXPECT_EQ(store.ReadInteger(kKey, "Algo", 0), 3);
  store.WriteInteger(kKey, "algo", 4);
  const std::string text = store.Text();
  EXPECT_EQ(text.find("\"algo\""), std::string::npos) << "no second value: " << text;
  EXPECT_EQ(store.ReadInteger(kKey, "Algo", 0), 4);
}

TEST(SettingsStore, DamagedFilesReadAsFarAsTheyMakeSense) {
  const std::string valid = std::string(kHeader) + "\"Algo\"=dword:00000006\n";
  struct TCase {
    std::string text;
    std::int32_t algo;  // what "Algo" reads as, default 99
    const char* why;
  } cases[] = {
      {"", 99, "an empty file"},
      {std::string("\0\x01\xff\xfe[\"\n\0", 9), 99, "binary bytes"},
      {"\"Algo\"=dword:00000006\n", 99, "a value before any key belongs nowhere"},
      {valid.substr(0, valid.find("dword:") + 6), 99, "cut off before the digits"},
      {valid.substr(0, valid.find("dword:") + 3), 99, "cut off in the type name"},
      {valid + "garbage line\n\"Algo\"=\n", 6, "damaged lines after a good one are skipped"},
      {valid + "\"Algo\"=dword:00000007\n", 7, "a name given twice: the later wins"},
      {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER" + std::string(kKey) +
           "]\r\n\"Algo\"=dword:00000005\r\n",
       5, "Windows line ends"},
      {"[HKEY_CURRENT_USER" + std::string(kKey) + "]\n\"Algo\"=dword:2\n", 2, "no header line"},
      {"[-HKEY_CURRENT_USER" + std::string(kKey) + "]\n\"Algo\"=dword:2\n", 99,
       "a key deletion holds no values"},
      {valid + "[HKEY_CURRENT_USER" + kKey + "\n\"Algo\"=dword:2\n", 2,
       "an unclosed key line is skipped; its values stay with the key before"},
  };
  TTempFolder folder;
  for (const auto& c : cases) {
    const TSettingsStore store(folder.Write("s.reg", c.text));
    EXPECT_EQ(store.ReadInteger(kKey, "Algo", 99), c.algo) << c.why;
  }
}

TEST(SettingsStore, UnreadableStoresGiveDefaults) {
  TTempFolder folder;
  std::filesystem::create_directory(folder / "folder.reg");
  const std::string large = folder.Write(
      "large.reg", std::string(kHeader) + "\"Algo\"=dword:1\n" + std::string(2 << 20, ';'));
  ASSERT_EQ(::mkfifo((folder / "pipe.reg").c_str(), 0600), 0);
  for (const std::string& name : {folder / "folder.reg", large, folder / "pipe.reg"}) {
    EXPECT_EQ(TSettingsStore(name).ReadInteger(kKey, "Algo", 99), 99) << name;
  }
}

// Two routes that must agree: whatever is written comes back after a save and a fresh read.
TEST(SettingsStore, RandomContentSurvivesSaveAndRead) {
  std::mt19937 random(7);
  const auto randomText = [&](std::size_t maxLength) {
    const std::string alphabet = "aZ09 \\\"\n\t=[]@;/.\xc3\xa9-";
    std::string text;
    for (std::size_t n = random() % (maxLength + 1); n > 0; --n)
      text += alphabet[random() % alphabet.size()];
    return text;
  };
  TTempFolder folder;
  TSettingsStore store(folder / "sub/s.reg");
  struct TWritten {
    std::string key, name;
    bool isString;
    std::int32_t number;
    std::string text;
  };
  std::vector<TWritten> written;
  for (int i = 0; i < 300; ++i) {
    TWritten w{"\\Software\\Key " + std::to_string(random() % 4),
               "N" + std::to_string(i) + randomText(8), random() % 2 == 0,
               static_cast<std::int32_t>(random()), randomText(20)};
    if (w.isString) {
      store.WriteString(w.key, w.name, w.text);
    } else {
      store.WriteInteger(w.key, w.name, w.number);
    }
    written.push_back(w);
  }
  store.Save();
  const TSettingsStore reread(store.FileName());
  for (const auto& w : written) {
    if (w.isString) {
      EXPECT_EQ(reread.ReadString(w.key, w.name, "?"), w.text) << w.name;
    } else {
      EXPECT_EQ(reread.ReadInteger(w.key, w.name, 0), w.number) << w.name;
    }
  }
  EXPECT_EQ(reread.Text(), store.Text());
}

TEST(SettingsStore, SaveReplacesTheFileAndKeepsOtherKeys) {
  TTempFolder folder;
  const std::string name = folder.Write(
      "s.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"X\"=dword:00000001\n");
  ::chmod(name.c_str(), 0640);
  TSettingsStore store(name);
  store.WriteInteger(kKey, "Algo", 3);
  store.Save();
  const TSettingsStore reread(name);
  EXPECT_EQ(reread.ReadInteger("\\Software\\Other", "X", 0), 1);
  EXPECT_EQ(reread.ReadInteger(kKey, "Algo", 0), 3);
  struct stat status {};
  ASSERT_EQ(::stat(name.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u) << "the owner's rights stay";
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1u) << "no temporary file is left behind";
}

TEST(SettingsStore, SaveThroughALinkReplacesTheLinkedFile) {
  TTempFolder folder;
  const std::string real = folder.Write("real.reg", "");
  std::filesystem::create_symlink(real, folder / "link.reg");
  TSettingsStore store(folder / "link.reg");
  store.WriteInteger(kKey, "Algo", 2);
  store.Save();
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.reg"));
  EXPECT_EQ(TSettingsStore(real).ReadInteger(kKey, "Algo", 0), 2);
}

TEST(SettingsStore, FailedSaveThrowsAndLeavesTheStore) {
  TTempFolder folder;
  const std::string blocker = folder.Write("file", "not a folder");
  TSettingsStore store(blocker + "/s.reg");
  store.WriteInteger(kKey, "Algo", 1);
  EXPECT_THROW(store.Save(), EOSError);
  EXPECT_EQ(ReadText(blocker), "not a folder");
}

TEST(SettingsStore, LocationFollowsTheEnvironment) {
  struct TCase {
    const char* store;
    const char* xdg;
    const char* home;
    const char* expected;
  } cases[] = {
      {"/tmp/mine.reg", "/xdg", "/home/a", "/tmp/mine.reg"},
      {nullptr, "/xdg", "/home/a", "/xdg/zonewright/settings.reg"},
      {"", "/xdg", "/home/a", "/xdg/zonewright/settings.reg"},
      {nullptr, nullptr, "/home/a", "/home/a/.config/zonewright/settings.reg"},
      {nullptr, "relative", "/home/a", "/home/a/.config/zonewright/settings.reg"},
  };
  for (const auto& c : cases) {
    const TEnvironment store(kSettingsEnvironmentVariable, c.store);
    const TEnvironment xdg("XDG_CONFIG_HOME", c.xdg);
    const TEnvironment home("HOME", c.home);
    EXPECT_EQ(DefaultSettingsFileName(), c.expected);
  }
}

}  // namespace
