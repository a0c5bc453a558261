// The evaluator's help text.
#include "evaluate/eval_command_line.h"

std::string EvalUsageText() {
  return std::string("Usage: ") + kEvalProgramName + R"( score [options] INPUT...
       )" +
         kEvalProgramName +
         R"( tune [options] INPUT...
Measures binarization against ground truth with the measures of the document image
binarization contests: F-measure (percent, ink is the positive class), PSNR (dB, "inf" for
a page without any error) and DRD (distance-reciprocal distortion, lower is better).

Every INPUT file, and the *.tif, *.jpg, *.bmp and *.png files of every INPUT folder, is a
page, except files whose name ends in _gt: those are ground truths. The ground truth of
NAME.ext is NAME_gt.png (or .tif, .bmp) beside it, or in the folder given with --gt. A
ground-truth pixel is ink when its gray value is below 128.

score: without --algo every INPUT is a binarized result and is scored as it is; with
--algo the method runs on every INPUT page with the settings given (the settings record's
defaults for those left out, never the stored settings). Prints each page's measures and
their means.
  --algo M          the method: its number or short name, as the batch command
                    takes them
  --method N, --contrast N, --brightness N, --area WxH
                    the method's settings, as the batch command takes them

tune: runs every setting of each method's grid on every page, reading each page once,
and prints the best setting of each method by mean F-measure, the best setting over all
methods, and each page's best setting with the mean of those per-page bests.
  --algo M[,M...]   the methods searched, by number or name (default: all)
  -j, --jobs N      runs at once (default: the number of processors)

Both:
  --gt DIR          the folder of the ground truths
  --csv             comma-separated values instead of aligned tables
  -q, --quiet       no progress display
  -h, --help        show this text
  --version         show the program's version

Exit status: 0 on success, 1 when an input could not be scored (it is named on standard
error) or nothing was scored, 2 for a bad command line.
)";
}
