// Comparing names without regard to ASCII letter case, as the registry compares keys and
// value names and as file masks and extensions are matched. Bytes beyond ASCII compare as
// they are.
#pragma once

#include <cstddef>
#include <string_view>

inline char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

inline bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         SameTextIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}
