// Printing page scores as a table or as comma-separated values.
#include "evaluate/score_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kColumn = 10;
constexpr const char* kMeanLabel = "mean";

std::string TableRow(const std::string& name, std::size_t nameWidth, const TPageScore& s) {
  return PaddedText(name, nameWidth, false) +
         PaddedText(FormatMeasure(s.FMeasure, 2), kColumn, true) +
         PaddedText(FormatMeasure(s.PSNR, 2), kColumn, true) +
         PaddedText(FormatMeasure(s.DRD, 3), kColumn, true) + "\n";
}

std::string CsvRow(const std::string& name, const TPageScore& s) {
  return CsvField(name) + "," + FormatMeasure(s.FMeasure, 6) + "," + FormatMeasure(s.PSNR, 6) +
         "," + FormatMeasure(s.DRD, 6) + "\n";
}

std::vector<TPageScore> ScoresOf(const std::vector<TScoredPage>& pages) {
  std::vector<TPageScore> scores;
  for (const TScoredPage& page : pages) scores.push_back(page.Score);
  return scores;
}

}  // namespace

std::string PaddedText(const std::string& text, std::size_t width, bool right) {
  if (text.size() >= width) return text;
  const std::string fill(width - text.size(), ' ');
  return right ? fill + text : text + fill;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string FormatMeasure(double value, int decimals) {
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string ScoreTable(const std::vector<TScoredPage>& pages, bool csv) {
  const TPageScore mean = MeanScore(ScoresOf(pages));
  const std::string meanLabel = kMeanLabel + std::string(" (") + std::to_string(pages.size()) +
                                (pages.size() == 1 ? " page)" : " pages)");
  if (csv) {
    std::string text = "page,fmeasure,psnr,drd\n";
    for (const TScoredPage& page : pages) text += CsvRow(page.Name, page.Score);
    return text + CsvRow(kMeanLabel, mean);
  }
  std::size_t nameWidth = meanLabel.size();
  for (const TScoredPage& page : pages) nameWidth = std::max(nameWidth, page.Name.size());
  nameWidth += 2;
  std::string text = PaddedText("page", nameWidth, false) + PaddedText("F-measure", kColumn, true) +
                     PaddedText("PSNR", kColumn, true) + PaddedText("DRD", kColumn, true) + "\n";
  for (const TScoredPage& page : pages) text += TableRow(page.Name, nameWidth, page.Score);
  return text + TableRow(meanLabel, nameWidth, mean);
}
