// The one-file job: what it writes for one page and for many, where it stops when a step
// fails, and that a failed multi-page job leaves no part of a document behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "batch_fixtures.h"
#include "temp_folder.h"
#include "workflow/file_job.h"
#include "workflow/tiff_pages.h"

namespace {

class FileJob : public testing::Test {
 protected:
  void SetUp() override {
    for (std::int32_t page = 0; page < 3; ++page) {
      GrayPage(10 + page)->SaveTIFFToFile(folder / "multi.tif", page > 0, tcNone, 16);
    }
    job.Settings = {taAdaptive, 0, 20, 120, 5, 5, 80, 128, 200};
  }

  TJobProgress Run() {
    TJobProgress progress;
    RunFileJob(job, progress);
    return progress;
  }

  TTempFolder folder;
  TFileJob job;
};

TEST_F(FileJob, OnePageIsBinarizedIntoItsOutput) {
  GrayPage(1)->SavePNGToFile(folder / "a.png");
  job.Input = folder / "a.png";
  job.Output = folder / "a.bmp";
  const TJobProgress progress = Run();
  EXPECT_EQ(FilePixels(job.Output), Expected(job.Input, job.Settings));
  EXPECT_EQ(progress.Pages, 1);
  EXPECT_EQ(progress.BilevelPages, 0);
}

TEST_F(FileJob, ABilevelPageGoesOutAsItIs) {
  auto bilevel = GrayPage(5);
  ApplyThresholding(*bilevel, {});
  bilevel->SaveBMPToFile(folder / "b.bmp");
  job.Input = folder / "b.bmp";
  job.Output = folder / "b.tif";
  job.Pages = 0;  // counts as one page
  EXPECT_EQ(Run().BilevelPages, 1);
  EXPECT_EQ(FilePixels(job.Output), Pixels(*bilevel));
}

TEST_F(FileJob, PagesGoIntoOneTiffOrToNumberedFiles) {
  job.Input = folder / "multi.tif";
  job.Pages = 3;
  job.Output = folder / "out.TIF";
  EXPECT_EQ(JobOutputs(job), std::vector<std::string>{job.Output}) << "upper case is TIFF too";
  EXPECT_EQ(Run().Pages, 3);
  ASSERT_EQ(TIFFPageCount(job.Output), 3);
  job.Overwrite = false;
  Run();
  ASSERT_EQ(TIFFPageCount(job.Output), 6) << "appended to the existing file";
  for (std::int32_t page = 0; page < 6; ++page) {
    EXPECT_EQ(FilePixels(job.Output, page), Expected(job.Input, job.Settings, page % 3)) << page;
  }

  job.Output = folder / "out.png";
  ASSERT_EQ(JobOutputs(job).size(), 3u);
  Run();
  for (std::int32_t page = 0; page < 3; ++page) {
    EXPECT_EQ(JobOutputs(job)[page], folder / ("out-000" + std::to_string(page + 1) + ".png"));
    EXPECT_EQ(FilePixels(JobOutputs(job)[page]), Expected(job.Input, job.Settings, page));
  }
  EXPECT_FALSE(std::filesystem::exists(job.Output));
}

TEST_F(FileJob, AFailureTellsItsStep) {
  GrayPage(1)->SavePNGToFile(folder / "a.png");
  auto bilevel = GrayPage(2);
  ApplyThresholding(*bilevel, {});
  bilevel->SaveTIFFToFile(folder / "b.tif", false, tcCCITT4, 16);  // needs no method
  std::filesystem::create_directory(folder / "taken.tif");
  struct TCase {
    std::string input;
    std::string output;
    TJobStep step;
    std::string writeFile;
    const char* why;
  } cases[] = {
      {folder / "missing.png", folder / "o.tif", TJobStep::jsRead, "", "no input"},
      {folder / "a.png", folder / "o.tif", TJobStep::jsBinarize, "",
       "the method refuses the window"},
      {folder / "b.tif", folder / "taken.tif", TJobStep::jsWrite, folder / "taken.tif",
       "a folder where the output must go"},
      {folder / "b.tif", folder / "o.txt", TJobStep::jsWrite, folder / "o.txt",
       "no format for the name: refused, not reported as written"},
  };
  // Advanced dynamic thresholding refuses a window without rows.
  job.Settings = {taAdvancedDynamic, 0, 20, 128, 5, 0, 80, 128, 200};
  for (const auto& c : cases) {
    job.Input = c.input;
    job.Output = c.output;
    TJobProgress progress;
    EXPECT_ANY_THROW(RunFileJob(job, progress)) << c.why;
    EXPECT_EQ(progress.Step, c.step) << c.why;
    EXPECT_EQ(progress.WriteFile, c.writeFile) << c.why;
    EXPECT_EQ(progress.Pages, 0) << c.why;
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "o.txt"));
  EXPECT_FALSE(std::filesystem::exists(folder / "o.tif"));
}

TEST_F(FileJob, AFailedPageLeavesTheTiffOutputAsItWas) {
  job.Input = folder / "multi.tif";
  job.Output = folder / "out.tif";
  job.Overwrite = false;
  GrayPage(7)->SaveTIFFToFile(job.Output, false, tcNone, 16);
  const std::string before = ReadText(job.Output);
  job.Pages = 4;  // the file has three
  TJobProgress progress;
  EXPECT_ANY_THROW(RunFileJob(job, progress));
  EXPECT_EQ(progress.Step, TJobStep::jsRead);
  EXPECT_EQ(progress.Pages, 3);
  EXPECT_EQ(ReadText(job.Output), before);
}

}  // namespace
