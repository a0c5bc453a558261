// The printed form of a tuning run's findings: aligned tables, or comma-separated values with
// one row per finding ("kind,name,fmeasure,psnr,drd,settings,note").
#pragma once

#include <string>

#include "evaluate/tune_summary.h"

// A setting as the options that reproduce it with score, for the fields its method reads:
// "--algo 3 --contrast 20 --area 61x61"; every field for a number without a method.
std::string SettingOptions(const TThresholdSettings& settings);

std::string TuningReport(const TTuningSummary& summary, bool csv);
