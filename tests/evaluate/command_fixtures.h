// Running the evaluator's whole command in a test, and pages with ground truths to run it on.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "evaluate/eval_command.h"
#include "tests/batch_fixtures.h"
#include "tests/temp_folder.h"

struct TRun {
  int Status;
  std::string Out, Err;
};

inline TRun RunEval(const std::vector<std::string>& arguments) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int status = RunEvalCommand(arguments, out, err, false);
  auto text = [](std::FILE* file) {
    std::string all;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) all += char(c);
    std::fclose(file);
    return all;
  };
  return {status, text(out), text(err)};
}

// A gray page NAME.png and, as its ground truth NAME_gt.png, the page binarized at a level.
inline void WritePageWithTruth(const TTempFolder& folder, const std::string& name,
                               std::int32_t seed, std::int32_t level = 128) {
  const auto page = GrayPage(seed);
  page->SavePNGToFile(folder / (name + ".png"));
  const auto truth = page->Duplicate();
  ApplyThresholding(*truth, TThresholdSettings{taStandard, 0, 0, level});
  truth->SavePNGToFile(folder / (name + "_gt.png"));
}
