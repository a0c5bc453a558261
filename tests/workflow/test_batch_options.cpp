// Loading and saving the thresholding settings and the batch options in the settings store.
#include <gtest/gtest.h>

#include "platform/folder_list.h"
#include "temp_folder.h"
#include "workflow/batch_options.h"

namespace {

bool operator==(const TBatchOptions& a, const TBatchOptions& b) {
  return a.InputFolder == b.InputFolder && a.OutputFolder == b.OutputFolder &&
         a.TIFFUncompressed == b.TIFFUncompressed && a.OverwriteTIFF == b.OverwriteTIFF &&
         a.OutputFormat == b.OutputFormat;
}

TEST(BatchOptions, AnEmptyStoreGivesTheDefaults) {
  TTempFolder folder;
  TThresholdSettings settings{9, 9, 9, 9, 9, 9, 9, 9, 9};
  TBatchOptions options{"x", "y", true, false, 2};
  LoadSettings(TSettingsStore(folder / "none.reg"), settings, options);
  EXPECT_EQ(settings, TThresholdSettings{});
  EXPECT_EQ(settings, (TThresholdSettings{0, 0, 128, 128, 7, 7, 80, 128, 200}));
  EXPECT_EQ(options.InputFolder, ProgramFolder());
  EXPECT_EQ(options.OutputFolder, ProgramFolder());
  EXPECT_FALSE(options.TIFFUncompressed);
  EXPECT_TRUE(options.OverwriteTIFF);
  EXPECT_EQ(options.OutputFormat, ofTIFF);
}

TEST(BatchOptions, TheOutputFolderDefaultsToTheStoredInputFolder) {
  TTempFolder folder;
  const TSettingsStore store(folder.Write(
      "s.reg",
      "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Vardemont Technologies\\Zonewright\\Batch]\n"
      "\"Input Folder\"=\"/scans/\"\n"));
  TThresholdSettings settings;
  TBatchOptions options;
  LoadSettings(store, settings, options);
  EXPECT_EQ(options.OutputFolder, "/scans/");
}

TEST(BatchOptions, SavedValuesComeBackInTheirEncodings) {
  TTempFolder folder;
  const TThresholdSettings settings{7, 1, -1, 300, 15, 31, 90, 100, 220};
  const TBatchOptions options{"/in/", "/out/", true, false, ofPNG};
  TSettingsStore store(folder / "s.reg");
  SaveSettings(store, settings, options);
  store.Save();
  EXPECT_EQ(ReadText(store.FileName()),
            "REGEDIT4\n"
            "\n[HKEY_CURRENT_USER\\Software\\Vardemont Technologies\\Zonewright\\Thresholding]\n"
            "\"Algo\"=dword:00000007\n\"Method\"=dword:00000001\n\"Contrast\"=dword:ffffffff\n"
            "\"Brightness\"=dword:0000012c\n\"Area Width\"=dword:0000000f\n"
            "\"Area Height\"=dword:0000001f\n\"Contribute\"=dword:0000005a\n"
            "\"Min\"=dword:00000064\n\"Max\"=dword:000000dc\n"
            "\n[HKEY_CURRENT_USER\\Software\\Vardemont Technologies\\Zonewright\\Batch]\n"
            "\"Input Folder\"=\"/in/\"\n\"Output Folder\"=\"/out/\"\n"
            "\"TIFF Uncompressed\"=\"1\"\n\"Overwrite TIFF\"=\"0\"\n"
            "\"Output Format\"=dword:00000002\n");
  TThresholdSettings readSettings;
  TBatchOptions readOptions;
  LoadSettings(TSettingsStore(store.FileName()), readSettings, readOptions);
  EXPECT_EQ(readSettings, settings);
  EXPECT_TRUE(readOptions == options);
}

TEST(BatchOptions, HandEditedValuesFollowTheIntegerRule) {
  TTempFolder folder;
  const std::string key = "[HKEY_CURRENT_USER\\Software\\Vardemont Technologies\\Zonewright\\";
  TSettingsStore store(folder.Write("s.reg", "REGEDIT4\n" + key + "Thresholding]\n" +
                                                 "\"Algo\"=\"6\"\n\"Contrast\"=\"high\"\n" + key +
                                                 "Batch]\n" +
                                                 "\"TIFF Uncompressed\"=dword:00000001\n"
                                                 "\"Overwrite TIFF\"=\"no\"\n"));
  TThresholdSettings settings;
  TBatchOptions options;
  LoadSettings(store, settings, options);
  EXPECT_EQ(settings.Algo, 6) << "digits in a string";
  EXPECT_EQ(settings.Contrast, 128) << "letters give the default";
  EXPECT_TRUE(options.TIFFUncompressed) << "a DWORD 1 is true";
  EXPECT_TRUE(options.OverwriteTIFF) << "letters give the default, true";
  settings.Algo = 3;
  SaveSettings(store, settings, options);
  EXPECT_EQ(
      store.Find("\\Software\\Vardemont Technologies\\Zonewright\\Thresholding", "Algo")->String,
      "3")
      << "a value held as a string stays one";
}

}  // namespace
