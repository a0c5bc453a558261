// Scoring pages against their ground truths.
#include "evaluate/page_scoring.h"

#include "platform/errors.h"

std::unique_ptr<TDIB> ReadGrayPage(const std::string& fileName) {
  auto image = std::make_unique<TDIB>();
  image->LoadFromFile(fileName, 0);
  if (PrepareForThresholding(*image) && image->Format() == df24Bit) image->ConvertTo(df8Bit);
  return image;
}

TInkMask BinarizedMask(TDIB& image, const TThresholdSettings& settings) {
  ApplyThresholding(image, settings);
  if (image.Format() != df1Bit) {
    throw EError("method " + std::to_string(settings.Algo) +
                 " leaves the page gray: there is no bi-level result to score");
  }
  return InkMaskOf(image);
}

TPageScore ScoreResultFile(const TPagePair& pair) {
  return ScorePage(ReadInkMask(pair.Page), ReadInkMask(pair.Truth));
}

TPageScore ScoreMethod(const TPagePair& pair, const TThresholdSettings& settings) {
  const auto page = ReadGrayPage(pair.Page);
  return ScorePage(BinarizedMask(*page, settings), ReadInkMask(pair.Truth));
}

TPageScore MeanScore(const std::vector<TPageScore>& scores) {
  TPageScore mean;
  if (scores.empty()) return mean;
  for (const TPageScore& score : scores) {
    mean.FMeasure += score.FMeasure;
    mean.PSNR += score.PSNR;
    mean.DRD += score.DRD;
  }
  const double count = static_cast<double>(scores.size());
  return {mean.FMeasure / count, mean.PSNR / count, mean.DRD / count};
}
