// Finding each page's ground truth and leaving the ground truths out of the pages.
#include <gtest/gtest.h>

#include "evaluate/page_pairs.h"
#include "tests/temp_folder.h"

namespace {

TEST(PagePairs, GroundTruthNames) {
  struct TCase {
    const char* Reason;
    const char* Name;
    bool Truth;
  } cases[] = {
      {"the usual ground truth", "/d/2009_H01_gt.png", true},
      {"any letter case", "/d/P01_GT.TIF", true},
      {"a page", "/d/2009_H01.png", false},
      {"_gt inside the name is not a suffix", "/d/a_gt_b.png", false},
      {"the folder's name does not count", "/d_gt/page.png", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Reason);
    EXPECT_EQ(IsGroundTruthName(c.Name), c.Truth);
  }
}

TEST(PagePairs, PairsBesideOrInTheTruthFolder) {
  const TTempFolder folder;
  for (const char* name : {"pages/a.png", "pages/a_gt.png", "pages/b.bmp", "pages/c.png",
                           "pages/c_gt.tif", "truth/b_gt.png"}) {
    folder.Write(name, "x");
  }
  const TPagePairs beside = FindPagePairs({folder / "pages"}, std::nullopt);
  ASSERT_EQ(beside.Pairs.size(), 2u);
  EXPECT_EQ(beside.Pairs[0].Name, "a");
  EXPECT_EQ(beside.Pairs[0].Truth, folder / "pages/a_gt.png");
  EXPECT_EQ(beside.Pairs[1].Truth, folder / "pages/c_gt.tif");  // another extension
  ASSERT_EQ(beside.Errors.size(), 1u);
  EXPECT_EQ(beside.Errors[0].Input, folder / "pages/b.bmp");
  EXPECT_NE(beside.Errors[0].Reason.find("b_gt.png"), std::string::npos);

  const TPagePairs inFolder = FindPagePairs({folder / "pages/b.bmp"}, folder / "truth");
  ASSERT_EQ(inFolder.Pairs.size(), 1u);
  EXPECT_EQ(inFolder.Pairs[0].Truth, folder / "truth/b_gt.png");
}

}  // namespace
