// Printing what a tuning run found.
#include "evaluate/tune_report.h"

#include <algorithm>

#include "binarize/method_catalog.h"
#include "evaluate/method_names.h"
#include "evaluate/score_table.h"

namespace {

using enum TRecordField;

constexpr int kColumn = 10;

std::string Padded(const std::string& text, std::size_t width, bool right = false) {
  return PaddedText(text, width, right);
}

// The option that gives field its value in s, with a leading space.
std::string FieldOption(TRecordField field, const TThresholdSettings& s) {
  switch (field) {
    case rfMethod:
      return " --method " + std::to_string(s.Method);
    case rfContrast:
      return " --contrast " + std::to_string(s.Contrast);
    case rfBrightness:
      return " --brightness " + std::to_string(s.Brightness);
    case rfArea:
      return " --area " + std::to_string(s.AreaWidth) + "x" + std::to_string(s.AreaHeight);
  }
  return "";
}

std::string Measures(const std::optional<TSettingScore>& s) {
  if (!s)
    return Padded("-", kColumn, true) + Padded("-", kColumn, true) + Padded("-", kColumn, true);
  return Padded(FormatMeasure(s->Mean.FMeasure, 2), kColumn, true) +
         Padded(FormatMeasure(s->Mean.PSNR, 2), kColumn, true) +
         Padded(FormatMeasure(s->Mean.DRD, 3), kColumn, true);
}

std::string Header(const std::string& first, std::size_t width) {
  return Padded(first, width) + Padded("F-measure", kColumn, true) + Padded("PSNR", kColumn, true) +
         Padded("DRD", kColumn, true) + "  setting\n";
}

std::string Row(const std::string& name, std::size_t width, const std::optional<TSettingScore>& s,
                const std::string& note) {
  const std::string setting = s ? SettingOptions(s->Settings) : "";
  const std::string gap = !setting.empty() && !note.empty() ? "  " : "";
  return Padded(name, width) + Measures(s) + "  " + setting + gap + note + "\n";
}

std::string MethodNote(const TMethodSummary& m) {
  if (m.Incomplete == 0) return "";
  return "(" + std::to_string(m.Incomplete) + " of " + std::to_string(m.Settings) +
         " settings left out: " + m.Note + ")";
}

std::string CsvRow(const std::string& kind, const std::string& name,
                   const std::optional<TSettingScore>& s, const std::string& note) {
  std::string row = kind + "," + CsvField(name);
  for (const double value : {s ? s->Mean.FMeasure : 0, s ? s->Mean.PSNR : 0, s ? s->Mean.DRD : 0}) {
    row += "," + (s ? FormatMeasure(value, 6) : std::string());
  }
  return row + "," + (s ? CsvField(SettingOptions(s->Settings)) : "") + "," + CsvField(note) + "\n";
}

std::string CsvReport(const TTuningSummary& summary) {
  std::string text = "kind,name,fmeasure,psnr,drd,settings,note\n";
  for (const TMethodSummary& m : summary.Methods) {
    text += CsvRow("method", MethodLabel(m.Algo), m.Best, MethodNote(m));
  }
  text += CsvRow("overall", "best single setting", summary.Overall, "");
  for (const TPageBest& page : summary.Pages) text += CsvRow("page", page.Name, page.Best, "");
  return text + "tuned,each page's best," + FormatMeasure(summary.TunedFMeasure, 6) + ",,,,\n";
}

std::string TableReport(const TTuningSummary& summary) {
  std::size_t width = 12;
  for (const TPageBest& page : summary.Pages) width = std::max(width, page.Name.size() + 2);
  for (const TMethodSummary& m : summary.Methods) {
    width = std::max(width, MethodLabel(m.Algo).size() + 2);
  }
  std::string text = "Best setting of each method, by mean F-measure over " +
                     std::to_string(summary.Pages.size()) + " pages:\n" + Header("method", width);
  for (const TMethodSummary& m : summary.Methods) {
    text += Row(MethodLabel(m.Algo), width, m.Best, MethodNote(m));
  }
  text += "\nBest single setting over all methods:\n" + Header("", width) +
          Row("overall", width, summary.Overall, "");
  text += "\nBest setting of any method on each page:\n" + Header("page", width);
  for (const TPageBest& page : summary.Pages) text += Row(page.Name, width, page.Best, "");
  return text + "\nTuned mean F-measure (each page with its own best setting): " +
         FormatMeasure(summary.TunedFMeasure, 2) + "\n";
}

}  // namespace

std::string SettingOptions(const TThresholdSettings& s) {
  std::string text = "--algo " + std::to_string(s.Algo);
  const TMethodDescription* method = FindMethod(s.Algo);
  for (const TRecordField field : {rfMethod, rfContrast, rfBrightness, rfArea}) {
    if (method == nullptr || FindFieldUse(*method, field) != nullptr) text += FieldOption(field, s);
  }
  return text;
}

std::string TuningReport(const TTuningSummary& summary, bool csv) {
  return csv ? CsvReport(summary) : TableReport(summary);
}
