// The batch options and the persistence of the thresholding settings and the batch options in
// the settings store, under the application's key with its sections "Thresholding" and
// "Batch". Missing values, sections or stores give the defaults.
#pragma once

#include <cstdint>
#include <string>

#include "binarize/threshold_settings.h"
#include "platform/settings_store.h"

// The format of batch output files.
enum TOutputFormat : std::int32_t { ofTIFF = 0, ofBMP = 1, ofPNG = 2 };

struct TBatchOptions {
  std::string InputFolder;   // with a trailing separator
  std::string OutputFolder;  // with a trailing separator
  bool TIFFUncompressed = false;
  bool OverwriteTIFF = true;  // false: a TIFF output that exists receives a further page
  std::int32_t OutputFormat = ofTIFF;
};

// The two sections below the application's key "\Software\Vardemont Technologies\Zonewright".
inline constexpr const char* kThresholdingKey =
    "\\Software\\Vardemont Technologies\\Zonewright\\Thresholding";
inline constexpr const char* kBatchKey = "\\Software\\Vardemont Technologies\\Zonewright\\Batch";

// Reads the nine settings, then the five batch options, in that order. The input folder
// defaults to the program's folder, the output folder to the input folder just read.
void LoadSettings(const TSettingsStore& store, TThresholdSettings& settings,
                  TBatchOptions& options);
// Writes the same values in the same order; the caller saves the store.
void SaveSettings(TSettingsStore& store, const TThresholdSettings& settings,
                  const TBatchOptions& options);
