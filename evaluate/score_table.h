// The printed form of page scores: an aligned table for reading, or comma-separated values
// for other programs, each ending in the mean over the pages.
#pragma once

#include <string>
#include <vector>

#include "evaluate/page_scoring.h"

// "91.23", "inf" for an infinite value, with the given decimals.
std::string FormatMeasure(double value, int decimals);

// text widened with spaces to width, on the left when right-aligned.
std::string PaddedText(const std::string& text, std::size_t width, bool right);

// A field of comma-separated values: in quotes, its quotes doubled, when it holds a comma, a
// quote or a line break.
std::string CsvField(const std::string& text);

// One row per page, then "mean" over them. The CSV form has the header
// "page,fmeasure,psnr,drd" and full precision.
std::string ScoreTable(const std::vector<TScoredPage>& pages, bool csv);
