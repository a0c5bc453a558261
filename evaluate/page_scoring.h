// Scoring one page: a result file against its ground truth, or a method run on the page.
#pragma once

#include <string>
#include <vector>

#include "binarize/threshold_settings.h"
#include "evaluate/ink_mask.h"
#include "evaluate/metrics.h"
#include "evaluate/page_pairs.h"

// Reads a page and readies it for the methods once: preparation and graying as every method
// would do them itself, so that a run on a copy gives what a run on the file gives. A bi-level
// page stays bi-level.
std::unique_ptr<TDIB> ReadGrayPage(const std::string& fileName);

// Runs a method on image (in place) and returns the ink of the result. Throws EError when the
// method leaves the page gray (no method, or one not dispatched), since such a page has no
// bi-level result to score.
TInkMask BinarizedMask(TDIB& image, const TThresholdSettings& settings);

// The result file of a pair, scored as it is.
TPageScore ScoreResultFile(const TPagePair& pair);

// The page of a pair binarized with settings, then scored.
TPageScore ScoreMethod(const TPagePair& pair, const TThresholdSettings& settings);

struct TScoredPage {
  std::string Name;
  TPageScore Score;
};

// The mean of every measure over the pages (0 pages: all 0). A page with infinite PSNR makes
// the mean PSNR infinite.
TPageScore MeanScore(const std::vector<TPageScore>& scores);
