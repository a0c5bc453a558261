// The glyphs of the sample page's stroke font and the drawing of text with them. A glyph is
// a list of polylines separated by spaces; a point is two grid digits, x then y, each 0-9 or
// A-G (10-16). A polyline of one point is a dot.
#include "tools/stroke_font.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr double kBaselineRow = 12.0;
constexpr double kLetterGap = 2.0;  // grid units between the widest points of two letters
constexpr double kSpaceWidth = 4.0;

struct TGlyphEntry {
  char character;
  const char* strokes;
};

constexpr TGlyphEntry kGlyphs[] = {
    {'a', "656C 675515060B1C5C6A"},
    {'b', "000C 071555666B5C1C0A"},
    {'c', "665515060B1C5C6B"},
    {'d', "606C 675515060B1C5C6A"},
    {'e', "0868665515060B1C5C6B"},
    {'f', "5030212C 0555"},
    {'g', "656F5G1G0F 675515060A1B5B69"},
    {'h', "000C 071555666C"},
    {'i', "151C 12"},
    {'j', "353F2G0G 32"},
    {'k', "000C 5509 286C"},
    {'l', "101C"},
    {'m', "050C 071535464C 475575868C"},
    {'n', "050C 071555666C"},
    {'o', "1555666B5C1C0B0615"},
    {'p', "050G 071555666B5C1C0A"},
    {'q', "656G 675515060B1C5C6A"},
    {'r', "050C 082555"},
    {'s', "665515060718596A6B5C1C0B"},
    {'t', "212B3C5C 0555"},
    {'u', "050B1C5C6A 656C"},
    {'v', "053C65"},
    {'w', "052C476C85"},
    {'x', "056C 650C"},
    {'y', "053C 652F1G0G"},
    {'z', "05650C6C"},
    {'A', "0C408C 1878"},
    {'B', "000C5C7B775606 0050616556"},
    {'C', "726020020A2C6C7A"},
    {'D', "000C4C79734000"},
    {'E', "70000C7C 0656"},
    {'F', "60000C 0656"},
    {'G', "726020020A2C6C7A7747"},
    {'H', "000C 707C 0676"},
    {'I', "101C"},
    {'J', "505A3C1C0A"},
    {'K', "000C 7007 357C"},
    {'L', "000C6C"},
    {'M', "0C0048808C"},
    {'N', "0C007C70"},
    {'O', "2060828A6C2C0A0220"},
    {'P', "0C005072745606"},
    {'Q', "2060828A6C2C0A0220 598D"},
    {'R', "0C005072745606 467C"},
    {'S', "72601001041566777B6C1C0A"},
    {'T', "0080 404C"},
    {'U', "000A2C5C7A70"},
    {'V', "004C80"},
    {'W', "002C538CA0"},
    {'X', "007C 700C"},
    {'Y', "004680 464C"},
    {'Z', "00700C7C"},
    {'0', "1050616B5C1C0B0110"},
    {'1', "12303C 1C5C"},
    {'2', "02105061640C6C"},
    {'3', "01105061655626 56676B5C1C0B"},
    {'4', "5C500868"},
    {'5', "60000555666B5C1C0B"},
    {'6', "5020030B1C5C6B67561607"},
    {'7', "00602C"},
    {'8', "105061655616050110 16070B1C5C6B6756"},
    {'9', "6556160501105061694C1C"},
    {'.', "1C"},
    {',', "2B1E"},
    {'-', "0848"},
    {':', "06 0C"},
    {'%', "0C60 11 5B"},
    {'(', "20020A2C"},
    {')', "00222A0C"},
    {'/', "0C40"},
};

double GridValue(char digit) {
  return digit <= '9' ? digit - '0' : digit - 'A' + 10;
}

const char* FindGlyph(char character) {
  for (const TGlyphEntry& glyph : kGlyphs) {
    if (glyph.character == character) return glyph.strokes;
  }
  return nullptr;
}

// The widest x of a glyph's points, in grid units.
double GlyphWidth(const char* strokes) {
  double width = 0.0;
  for (const char* p = strokes; *p != '\0';) {
    if (*p == ' ') {
      ++p;
      continue;
    }
    width = std::max(width, GridValue(p[0]));
    p += 2;
  }
  return width;
}

double Advance(char character) {
  const char* strokes = FindGlyph(character);
  return strokes == nullptr ? kSpaceWidth : GlyphWidth(strokes) + kLetterGap;
}

void DrawGlyph(TInkCanvas& ink, const TTextStyle& style, double x, double baseline,
               const char* strokes, std::uint8_t density) {
  auto pixelX = [&](const char* point) { return x + GridValue(point[0]) * style.unit; };
  auto pixelY = [&](const char* point) {
    return baseline + (GridValue(point[1]) - kBaselineRow) * style.unit;
  };
  const char* p = strokes;
  while (*p != '\0') {
    const char* start = p;
    while (p[2] != '\0' && p[2] != ' ') {
      ink.Stroke(pixelX(p), pixelY(p), pixelX(p + 2), pixelY(p + 2), style.radius, density);
      p += 2;
    }
    if (p == start) {  // a dot
      ink.Stroke(pixelX(p), pixelY(p), pixelX(p), pixelY(p), style.radius * 1.2, density);
    }
    p += 2;
    if (*p == ' ') ++p;
  }
}

}  // namespace

double TextWidth(const TTextStyle& style, std::string_view text) {
  double width = 0.0;
  for (char character : text) width += Advance(character) * style.unit;
  return width;
}

double DrawText(TInkCanvas& ink, TSampleRandom& random, const TTextStyle& style, double x,
                double baseline, std::string_view text) {
  for (char character : text) {
    if (const char* strokes = FindGlyph(character)) {
      const auto density = static_cast<std::uint8_t>(random.Between(215, 255));
      DrawGlyph(ink, style, x, baseline, strokes, density);
    }
    x += Advance(character) * style.unit;
  }
  return x;
}
