// The method catalog: one entry per method in the order of Algo, names that the batch command
// can tell apart, descriptions whose defaults lie within their own ranges, the phrases made
// from them, and the README's method table kept equal to the catalog's.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "binarize/method_catalog.h"

namespace {

std::string ReadFile(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

TEST(MethodCatalog, EveryMethodOnceInTheOrderOfAlgo) {
  std::set<std::string> names, captions;
  std::int32_t expected = taStandard;
  for (const TMethodDescription& method : MethodCatalog()) {
    EXPECT_EQ(method.Algo, expected++) << method.Name;
    EXPECT_TRUE(names.insert(method.Name).second) << "two methods named " << method.Name;
    EXPECT_TRUE(captions.insert(method.Caption).second) << method.Caption;
    EXPECT_EQ(FindMethod(method.Algo), &method);
  }
  EXPECT_EQ(expected, taBackgroundNormalized + 1) << "every TThresholdAlgo value is described";
  EXPECT_EQ(FindMethod(-1), nullptr);
  EXPECT_EQ(FindMethod(taBackgroundNormalized + 1), nullptr);
}

// The stored settings, the dialog's radio buttons and the batch command's names meet here.
TEST(MethodCatalog, NamesAndCaptions) {
  struct Case {
    std::int32_t algo;
    const char* name;
    const char* caption;
  } cases[] = {
      {taStandard, "standard", "Standard Thresholding"},
      {taAuto, "auto", "Auto Thresholding"},
      {taDynamic, "dynamic", "Dynamic Thresholding"},
      {taAdvancedDynamic, "niblack", "Advanced Dynamic Thresholding"},
      {taEdge, "edge", "Edge Thresholding"},
      {taPEI, "pei", "PEI Thresholding"},
      {taAdaptive, "adaptive", "Adaptive Thresholding"},
      {taBackgroundTracking, "background-tracking", "Background Tracking Thresholding"},
      {taSauvola, "sauvola", "Sauvola Thresholding"},
      {taWolfJolion, "wolf", "Wolf-Jolion Thresholding"},
      {taNick, "nick", "NICK Thresholding"},
      {taBackgroundNormalized, "normalized", "Background Normalized Thresholding"},
  };
  for (const Case& c : cases) {
    ASSERT_NE(FindMethod(c.algo), nullptr) << c.name;
    EXPECT_EQ(FindMethod(c.algo)->Name, c.name);
    EXPECT_EQ(FindMethod(c.algo)->Caption, c.caption);
    EXPECT_EQ(FindMethodByName(c.name), FindMethod(c.algo));
  }
  EXPECT_EQ(FindMethodByName("Background-TRACKING"), FindMethod(taBackgroundTracking));
  EXPECT_EQ(FindMethodByName("otsu"), nullptr) << "a choice of Method is no method";
  EXPECT_EQ(FindMethodByName(""), nullptr);
}

// A default outside its own range, or a choice list without its default, would put a value
// the description calls wrong into the dialog's presets and the help.
TEST(MethodCatalog, DefaultsLieWithinTheirRanges) {
  for (const TMethodDescription& method : MethodCatalog()) {
    std::set<TRecordField> seen;
    for (const TFieldUse& use : method.Reads) {
      EXPECT_TRUE(seen.insert(use.Field).second) << method.Name << " reads a field twice";
      EXPECT_EQ(FindFieldUse(method, use.Field), &use);
      if (use.Range) {
        EXPECT_LE(use.Range->Min, use.Default) << method.Name << " " << use.Meaning;
        EXPECT_GE(use.Range->Max, use.Default) << method.Name << " " << use.Meaning;
      }
      if (use.Field == TRecordField::rfMethod && !use.Choices.empty()) {
        EXPECT_LT(use.Default, static_cast<std::int32_t>(use.Choices.size())) << method.Name;
      }
      if (use.Field == TRecordField::rfArea) {
        EXPECT_GT(use.Default, 0) << method.Name;
      }
    }
  }
}

// The window rules read Contrast as k and the window; what they leave unread is unused.
TEST(MethodCatalog, TheWindowRulesReadWhatTheyAreGiven) {
  using enum TRecordField;
  struct Case {
    std::int32_t algo;
    std::set<TRecordField> reads;
    TParameterLabels sliders;
  } cases[] = {
      {taSauvola, {rfContrast, rfBrightness, rfArea}, {{"k x 100", true}, {"Dynamic range", true}}},
      {taWolfJolion, {rfContrast, rfArea}, {{"k x 100", true}, {"unused", false}}},
      {taNick, {rfContrast, rfArea}, {{"-k x 100", true}, {"unused", false}}},
  };
  for (const Case& c : cases) {
    const TMethodDescription& method = *FindMethod(c.algo);
    std::set<TRecordField> reads;
    for (const TFieldUse& use : method.Reads) reads.insert(use.Field);
    EXPECT_EQ(reads, c.reads) << method.Name;
    EXPECT_EQ(method.Sliders, c.sliders) << method.Name;
  }
}

TEST(MethodCatalog, FieldPhrases) {
  struct Case {
    TFieldUse use;
    const char* text;
    const char* reason;
  } cases[] = {
      {{TRecordField::rfBrightness, "the level", TValueRange{0, 255}, 128, {}},
       "the level (0..255, default 128)",
       "a value with its range"},
      {{TRecordField::rfMethod, "mode", std::nullopt, 1, {"MinMax", "Average"}},
       "mode: 0 MinMax, 1 Average (default 1)",
       "choices numbered by their index"},
      {{TRecordField::rfArea, "local window", std::nullopt, 31, {}},
       "local window (default 31x31)",
       "the area's default is square"},
      {{TRecordField::rfContrast, "strength", std::nullopt, 5, {}},
       "strength (default 5)",
       "a value without a range"},
  };
  for (const Case& c : cases) EXPECT_EQ(FieldUseText(c.use), c.text) << c.reason;
  EXPECT_EQ(MethodNameList().substr(0, 23), "standard, auto, dynamic");
}

TEST(MethodCatalog, TheTableHasARowPerMethod) {
  const std::string table = MethodTableMarkdown();
  EXPECT_EQ(table.rfind("| Algo | Name | Method | Fields read | Sliders (left / right) |\n", 0),
            0u);
  EXPECT_NE(table.find("| 5 | `pei` | PEI Thresholding: the external engine's choice, which "
                       "leaves the image as it is | none | left as they are |\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("| 10 | `nick` | NICK Thresholding: "), std::string::npos);
  EXPECT_NE(table.find("| unused (off) / Brightness |\n"), std::string::npos) << "Standard";
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'),
            static_cast<std::ptrdiff_t>(MethodCatalog().size() + 2));
}

// The README shows the catalog's table as it is; after a change to the catalog, put the table
// printed below into README.md in place of the old one.
TEST(MethodCatalog, TheReadmeShowsTheTable) {
  const std::string readme = ReadFile(std::string(ZW_SOURCE_DIR) + "/README.md");
  ASSERT_FALSE(readme.empty()) << "README.md was not read";
  const std::string table = MethodTableMarkdown();
  EXPECT_NE(readme.find("\n" + table), std::string::npos)
      << "README.md's method table differs from the method catalog. Replace the table under "
         "\"The batch command\" in README.md with this one:\n\n"
      << table;
}
