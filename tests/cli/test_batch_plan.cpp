// The batch plan: inputs grouped by output, and shares that cover the groups exactly once.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "cli/batch_plan.h"

namespace {

TEST(BatchPlan, InputsOfOneOutputShareAGroupInListOrder) {
  const std::vector<std::string> files = {"/in/b.tif", "/in/a.tif", "/in/a.jpg", "/x/a.png",
                                          "/in/c.bmp"};
  const auto groups = GroupByOutput(files, "/out/", 0);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].Output, "/out/a.tif");
  EXPECT_EQ(groups[0].Inputs, (std::vector<std::string>{"/in/a.tif", "/in/a.jpg", "/x/a.png"}));
  EXPECT_EQ(groups[1].Output, "/out/b.tif");
  EXPECT_EQ(groups[2].Output, "/out/c.tif");
}

TEST(BatchPlan, GroupsAreSortedWhateverTheArgumentOrder) {
  const auto forward = GroupByOutput({"/in/B.tif", "/in/a.tif", "/in/c.tif"}, "/o/", 2);
  const auto backward = GroupByOutput({"/in/c.tif", "/in/a.tif", "/in/B.tif"}, "/o/", 2);
  ASSERT_EQ(forward.size(), backward.size());
  for (std::size_t i = 0; i < forward.size(); ++i) {
    EXPECT_EQ(forward[i].Output, backward[i].Output);
  }
}

TEST(BatchPlan, SharesCoverEveryItemOnceInNearlyEqualParts) {
  for (const std::size_t count : {0u, 1u, 2u, 7u, 10u, 11u, 1000u}) {
    for (const std::int32_t shards : {1, 2, 3, 4, 7, 10, 13}) {
      std::size_t next = 0, smallest = SIZE_MAX, largest = 0;
      for (std::int32_t k = 1; k <= shards; ++k) {
        const auto [first, last] = ShardRange(count, k, shards);
        EXPECT_EQ(first, next) << count << " in " << shards << ", share " << k;
        next = last;
        smallest = std::min(smallest, last - first);
        largest = std::max(largest, last - first);
      }
      EXPECT_EQ(next, count) << count << " in " << shards;
      EXPECT_LE(largest - smallest, 1u) << count << " in " << shards;
    }
  }
}

TEST(BatchPlan, SharesOfHugeListsDoNotOverflow) {
  const std::size_t count = SIZE_MAX / 2;
  EXPECT_EQ(ShardRange(count, INT_MAX, INT_MAX).second, count);
  const auto [first, last] = ShardRange(count, 1, 2);
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(last, count / 2);
}

}  // namespace
