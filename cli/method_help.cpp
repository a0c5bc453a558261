// Writing the method catalog as help text: two indented columns, the second one wrapped.
#include "cli/method_help.h"

#include <sstream>

#include "binarize/method_catalog.h"

namespace {

constexpr std::size_t kTextColumn = 26;
constexpr std::size_t kLineWidth = 80;

// The batch command's option for a record field.
std::string OptionFor(TRecordField field) {
  switch (field) {
    case TRecordField::rfMethod:
      return "--method";
    case TRecordField::rfContrast:
      return "--contrast";
    case TRecordField::rfBrightness:
      return "--brightness";
    case TRecordField::rfArea:
      return "--area";
  }
  return "?";
}

// head padded to the text column (or followed by a space when it is longer), then text
// wrapped at word boundaries with every further line starting in the text column.
std::string Entry(const std::string& head, const std::string& text) {
  std::string out = head;
  out += head.size() < kTextColumn ? std::string(kTextColumn - head.size(), ' ') : " ";
  std::size_t column = out.size();
  std::istringstream words(text);
  bool first = true;
  for (std::string word; words >> word; first = false) {
    if (!first && column + 1 + word.size() > kLineWidth) {
      out += "\n" + std::string(kTextColumn, ' ');
      column = kTextColumn;
    } else if (!first) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
  }
  return out + "\n";
}

}  // namespace

std::string MethodHelpText() {
  std::string text;
  for (const TMethodDescription& method : MethodCatalog()) {
    const std::string number = std::to_string(method.Algo);
    text += Entry("  " + std::string(3 - number.size(), ' ') + number + " " + method.Name,
                  method.Caption + ": " + method.Summary);
    if (method.Reads.empty()) text += Entry("", "reads no option");
    for (const TFieldUse& use : method.Reads) {
      text += Entry("        " + OptionFor(use.Field), FieldUseText(use));
    }
  }
  return text;
}
