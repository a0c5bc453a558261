// The batch runner end to end on folders of small generated pages: what it writes and where,
// appending and replacing, resuming, every page of multi-page inputs, shares, parallel jobs,
// and files that fail while the others go on.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "batch_fixtures.h"
#include "cli/batch_runner.h"
#include "platform/errors.h"
#include "temp_folder.h"
#include "workflow/tiff_pages.h"

namespace {

class TRecorder : public TBatchObserver {
 public:
  void Started(std::size_t files) override { announced = files; }
  void FileDone(const TFileReport& report) override { reports[report.Input] = report; }
  std::size_t announced = 0;
  std::map<std::string, TFileReport> reports;
};

struct TRun {
  TBatchSummary summary;
  TRecorder recorder;
};

// In: a.tif (gray), b.png (gray), c.JPG (a BMP under a JPEG name: files are told apart by
// their first bytes, so this checks the mask's case without a JPEG encoder), notes.txt,
// and a folder sub.tif that must not be taken for an image.
class BatchRunner : public testing::Test {
 protected:
  void SetUp() override {
    GrayPage(1)->SaveTIFFToFile(in / "a.tif", false, tcLZW, 16);
    GrayPage(2)->SavePNGToFile(in / "b.png");
    GrayPage(3)->SaveBMPToFile(in / "c.JPG");
    in.Write("notes.txt", "not an image");
    std::filesystem::create_directory(in / "sub.tif");
    request.Inputs = {in.Path()};
    request.OutputFolder = out.Path() + "o/";
    request.Settings = {taDynamic, 1, 20, 120, 5, 5, 80, 128, 200};
    request.Jobs = 2;
  }

  TRun Run() {
    TRun run;
    run.summary = RunBatch(request, run.recorder);
    return run;
  }

  std::string Out(const std::string& name) const { return request.OutputFolder + name; }

  TTempFolder in, out;
  TBatchRequest request;
};

TEST_F(BatchRunner, WritesEveryImageOfAFolderBinarized) {
  const TRun run = Run();
  EXPECT_EQ(run.summary.Written, 3u);
  EXPECT_EQ(run.summary.Failed, 0u);
  EXPECT_EQ(run.summary.Pages, 3);
  EXPECT_EQ(run.recorder.announced, 3u);
  for (const char* name : {"a", "b", "c"}) {
    SCOPED_TRACE(name);
    const std::string input = in / (std::string(name) + (name[0] == 'a'   ? ".tif"
                                                         : name[0] == 'b' ? ".png"
                                                                          : ".JPG"));
    const std::string output = Out(std::string(name) + ".tif");
    EXPECT_EQ(FilePixels(output), Expected(input, request.Settings));
    TDIB written;
    written.LoadFromFile(output, 0);
    EXPECT_EQ(written.Format(), df1Bit);
    EXPECT_EQ(written.XResolution(), 150) << "the resolution is kept";
    EXPECT_EQ(written.YResolution(), 200);
    EXPECT_EQ(run.recorder.reports.at(input).Output, output);
  }
  EXPECT_FALSE(std::filesystem::exists(Out("notes.tif")));
  EXPECT_FALSE(std::filesystem::exists(Out("sub.tif")));
}

TEST_F(BatchRunner, BmpAndPngOutputsAreWrittenAnew) {
  for (const auto format : {ofBMP, ofPNG}) {
    request.OutputFormat = format;
    request.Overwrite = false;  // concerns TIFF outputs only
    const std::string ext = format == ofBMP ? ".bmp" : ".png";
    Run();
    const TRun again = Run();
    EXPECT_EQ(again.summary.Written, 3u);
    EXPECT_EQ(FilePixels(Out("b" + ext)), Expected(in / "b.png", request.Settings)) << ext;
  }
}

TEST_F(BatchRunner, TiffOutputsAreReplacedOrGetAFurtherPage) {
  request.Overwrite = true;
  Run();
  Run();
  EXPECT_EQ(TIFFPageCount(Out("a.tif")), 1) << "replaced";
  request.Overwrite = false;
  request.Settings.Algo = taStandard;
  Run();
  EXPECT_EQ(TIFFPageCount(Out("a.tif")), 2) << "appended";
  EXPECT_EQ(FilePixels(Out("a.tif"), 1), Expected(in / "a.tif", request.Settings));
}

TEST_F(BatchRunner, InputsOfOneOutputAreWrittenInListOrder) {
  // a.tif and a.png both give a.tif; mask order puts the TIFF input first.
  GrayPage(4)->SavePNGToFile(in / "a.png");
  request.Overwrite = false;
  request.Jobs = 4;
  const TRun run = Run();
  EXPECT_EQ(run.summary.Written, 4u);
  ASSERT_EQ(TIFFPageCount(Out("a.tif")), 2);
  EXPECT_EQ(FilePixels(Out("a.tif"), 0), Expected(in / "a.tif", request.Settings));
  EXPECT_EQ(FilePixels(Out("a.tif"), 1), Expected(in / "a.png", request.Settings));
}

TEST_F(BatchRunner, SkipExistingLeavesWrittenOutputsAlone) {
  std::filesystem::create_directories(Out(""));
  const std::string kept = Out("b.tif");
  out.Write("o/b.tif", "earlier result");
  request.SkipExisting = true;
  const TRun run = Run();
  EXPECT_EQ(run.summary.Skipped, 1u);
  EXPECT_EQ(run.summary.Written, 2u);
  EXPECT_EQ(run.recorder.reports.at(in / "b.png").Outcome, TFileOutcome::foSkipped);
  EXPECT_EQ(ReadText(kept), "earlier result");
  const TRun again = Run();
  EXPECT_EQ(again.summary.Skipped, 3u) << "a second run finds everything done";
}

class AllPages : public BatchRunner {
 protected:
  void SetUp() override {
    BatchRunner::SetUp();
    for (std::int32_t page = 0; page < 3; ++page) {
      GrayPage(10 + page)->SaveTIFFToFile(in / "multi.tif", page > 0, tcNone, 16);
    }
    request.AllPages = true;
  }
};

TEST_F(AllPages, EveryPageGoesIntoOneTiff) {
  const TRun run = Run();
  EXPECT_EQ(run.recorder.reports.at(in / "multi.tif").Pages, 3);
  ASSERT_EQ(TIFFPageCount(Out("multi.tif")), 3);
  for (std::int32_t page = 0; page < 3; ++page) {
    EXPECT_EQ(FilePixels(Out("multi.tif"), page),
              Expected(in / "multi.tif", request.Settings, page));
  }
  EXPECT_EQ(TIFFPageCount(Out("a.tif")), 1) << "a single page stays single";
  request.Overwrite = false;
  Run();
  EXPECT_EQ(TIFFPageCount(Out("multi.tif")), 6) << "appending adds all pages";
}

TEST_F(AllPages, BmpAndPngPagesGoToNumberedFiles) {
  request.OutputFormat = ofPNG;
  Run();
  for (std::int32_t page = 0; page < 3; ++page) {
    const std::string name = Out("multi-000" + std::to_string(page + 1) + ".png");
    EXPECT_EQ(FilePixels(name), Expected(in / "multi.tif", request.Settings, page)) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(Out("multi.png")));
  EXPECT_TRUE(std::filesystem::exists(Out("a.png"))) << "a single page keeps the plain name";
  std::filesystem::remove(Out("multi-0003.png"));
  request.SkipExisting = true;
  const TRun resumed = Run();
  EXPECT_EQ(resumed.recorder.reports.at(in / "multi.tif").Outcome, TFileOutcome::foWritten)
      << "one missing page file means the input is not done";
  EXPECT_EQ(resumed.summary.Skipped, 3u);
}

TEST_F(AllPages, WithoutItOnlyTheFirstPageIsRead) {
  request.AllPages = false;
  Run();
  ASSERT_EQ(TIFFPageCount(Out("multi.tif")), 1);
  EXPECT_EQ(FilePixels(Out("multi.tif")), Expected(in / "multi.tif", request.Settings, 0));
}

TEST_F(BatchRunner, SharesTogetherProcessEveryFileOnce) {
  for (std::int32_t extra = 0; extra < 6; ++extra) {
    GrayPage(20 + extra, 8, 6)->SaveBMPToFile(in / ("x" + std::to_string(extra) + ".bmp"));
  }
  for (const std::int32_t shards : {1, 2, 3, 4, 10}) {
    std::map<std::string, int> seen;
    for (std::int32_t k = 1; k <= shards; ++k) {
      request.ShardIndex = k;
      request.ShardCount = shards;
      request.OutputFolder = out.Path() + std::to_string(shards) + "-" + std::to_string(k) + "/";
      for (const auto& [input, report] : Run().recorder.reports) ++seen[input];
    }
    EXPECT_EQ(seen.size(), 9u) << shards << " shares";
    for (const auto& [input, times] : seen) EXPECT_EQ(times, 1) << input << ", " << shards;
  }
}

TEST_F(BatchRunner, AFailingFileIsReportedAndTheOthersGoOn) {
  in.Write("bad.tif", "II*\0 this is no TIFF at all");
  std::filesystem::create_directories(Out("c.tif"));  // a folder where an output must go
  request.Inputs.push_back(in / "missing.png");
  const TRun run = Run();
  EXPECT_EQ(run.summary.Failed, 3u);
  EXPECT_EQ(run.summary.Written, 2u);
  const auto& bad = run.recorder.reports.at(in / "bad.tif");
  EXPECT_EQ(bad.Outcome, TFileOutcome::foFailed);
  EXPECT_EQ(bad.Error.rfind("cannot read: ", 0), 0u) << bad.Error;
  const auto& blocked = run.recorder.reports.at(in / "c.JPG");
  EXPECT_EQ(blocked.Error, "cannot write " + Out("c.tif") + ": Is a directory");
  EXPECT_EQ(run.recorder.reports.at(in / "missing.png").Error, "No such file or directory");
  EXPECT_EQ(FilePixels(Out("a.tif")), Expected(in / "a.tif", request.Settings));
}

TEST_F(BatchRunner, AnOutputNeverReplacesAnInput) {
  // Writing into the input folder: a.tif would replace itself, and a.png's output is a.tif
  // too; b.png and c.JPG give new files.
  GrayPage(4)->SavePNGToFile(in / "a.png");
  const std::string before = ReadText(in / "a.tif");
  request.OutputFolder = in.Path();
  const TRun run = Run();
  for (const char* name : {"a.tif", "a.png"}) {
    const auto& report = run.recorder.reports.at(in / name);
    EXPECT_EQ(report.Outcome, TFileOutcome::foFailed) << name;
    EXPECT_EQ(report.Error,
              "cannot write " + in / "a.tif" + ": the output would replace an input file");
  }
  EXPECT_EQ(ReadText(in / "a.tif"), before);
  EXPECT_EQ(run.summary.Written, 2u);
}

TEST_F(BatchRunner, AnOutputFolderThatCannotBeMadeStopsTheRun) {
  const std::string file = out.Write("file", "");
  request.OutputFolder = file + "/o/";
  TRecorder recorder;
  EXPECT_THROW(RunBatch(request, recorder), EOSError);
  EXPECT_TRUE(recorder.reports.empty());
}

TEST_F(BatchRunner, BilevelInputsAreWrittenAsTheyAre) {
  auto bilevel = GrayPage(5);
  ApplyThresholding(*bilevel, {});
  bilevel->SaveTIFFToFile(in / "d.tif", false, tcCCITT4, 16);
  const TRun run = Run();
  EXPECT_EQ(run.recorder.reports.at(in / "d.tif").BilevelPages, 1);
  EXPECT_EQ(FilePixels(Out("d.tif")), Pixels(*bilevel));
}

TEST_F(BatchRunner, AFileNamedTwiceIsProcessedOnce) {
  request.Inputs = {in.Path(), in / "a.tif", in.Path() + "./a.tif"};
  request.Overwrite = false;
  const TRun run = Run();
  EXPECT_EQ(run.summary.Written, 3u);
  EXPECT_EQ(TIFFPageCount(Out("a.tif")), 1);
}

}  // namespace
