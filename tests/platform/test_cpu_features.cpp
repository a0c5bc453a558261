// The choice of the vector instruction set: what ZW_SIMD asks for, capped by the processor.
#include <gtest/gtest.h>

#include "platform/cpu_features.h"

namespace {

TEST(CpuFeatures, RequestIsCappedByWhatTheProcessorOffers) {
  struct TCase {
    TSimdLevel supported;
    const char* request;
    TSimdLevel expected;
    const char* reason;
  };
  const TCase cases[] = {
      {TSimdLevel::kAvx512, "sse2", TSimdLevel::kSse2, "narrower request is taken"},
      {TSimdLevel::kAvx512, "avx2", TSimdLevel::kAvx2, "middle request is taken"},
      {TSimdLevel::kSse2, "avx512", TSimdLevel::kSse2, "wider request is capped"},
      {TSimdLevel::kAvx2, "avx512", TSimdLevel::kAvx2, "wider request is capped at avx2"},
      {TSimdLevel::kAvx2, "AVX2x", TSimdLevel::kAvx2, "unknown request is ignored"},
      {TSimdLevel::kAvx512, "", TSimdLevel::kAvx512, "empty request is ignored"},
      {TSimdLevel::kAvx2, nullptr, TSimdLevel::kAvx2, "no request keeps the processor's"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(CappedSimd(c.supported, c.request), c.expected) << c.reason;
  }
}

TEST(CpuFeatures, UseSimdNeverGoesBeyondTheProcessor) {
  const TSimdLevel before = UseSimd(TSimdLevel::kAvx512);
  EXPECT_EQ(ActiveSimd(), ProcessorSimd());
  EXPECT_EQ(UseSimd(TSimdLevel::kSse2), ProcessorSimd());
  EXPECT_EQ(ActiveSimd(), TSimdLevel::kSse2);
  UseSimd(before);
}

}  // namespace
