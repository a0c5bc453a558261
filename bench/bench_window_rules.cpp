// Speed of the window rules (Sauvola, Wolf-Jolion, NICK) and of background-normalised
// thresholding on the A4 gray page at 7 x 7 and 51 x 51 windows, beside Niblack's rule on the
// same window sums, each from the page into a destination made once. The window rules should
// stay within 1.5 times Niblack's time, background normalisation within about 3 times.
#include <benchmark/benchmark.h>

#include "bench/bench_pages.h"
#include "binarize/background_normalized.h"
#include "binarize/niblack_threshold.h"
#include "binarize/window_rules.h"

namespace {

void BM_RuleNiblack(benchmark::State& state) {
  TimeWindowFilter(state, [](const TDIB& page, TDIB& out, std::int32_t area) {
    NiblackBinarize(page, out, area, area, -0.16);
  });
}
void BM_RuleSauvola(benchmark::State& state) {
  TimeWindowFilter(state, [](const TDIB& page, TDIB& out, std::int32_t area) {
    SauvolaBinarize(page, out, area, area, 0.34, 128);
  });
}
void BM_RuleSauvolaAutomaticRange(benchmark::State& state) {
  TimeWindowFilter(state, [](const TDIB& page, TDIB& out, std::int32_t area) {
    SauvolaBinarize(page, out, area, area, 0.34, -1);
  });
}
void BM_RuleWolfJolion(benchmark::State& state) {
  TimeWindowFilter(state, [](const TDIB& page, TDIB& out, std::int32_t area) {
    WolfJolionBinarize(page, out, area, area, 0.5);
  });
}
void BM_RuleNick(benchmark::State& state) {
  TimeWindowFilter(state, [](const TDIB& page, TDIB& out, std::int32_t area) {
    NickBinarize(page, out, area, area, -0.1);
  });
}
void BM_RuleBackgroundNormalized(benchmark::State& state) {
  TimeWindowFilter(state, [](const TDIB& page, TDIB& out, std::int32_t area) {
    BackgroundNormalizedBinarize(page, out, {area, area, 65, 31});
  });
}

#define ZW_RULE_WINDOWS(bench) BENCHMARK(bench)->Arg(7)->Arg(51)->Unit(benchmark::kMillisecond)

ZW_RULE_WINDOWS(BM_RuleNiblack);
ZW_RULE_WINDOWS(BM_RuleSauvola);
ZW_RULE_WINDOWS(BM_RuleSauvolaAutomaticRange);
ZW_RULE_WINDOWS(BM_RuleWolfJolion);
ZW_RULE_WINDOWS(BM_RuleNick);
ZW_RULE_WINDOWS(BM_RuleBackgroundNormalized);

}  // namespace
