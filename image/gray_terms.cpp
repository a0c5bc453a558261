// Tables of the per-channel gray terms.
#include "image/gray_terms.h"

TGrayTerms ChannelTerms(bool red, bool green, bool blue, bool weighted, bool singlePrecision) {
  TGrayTerms terms{};
  for (int v = 0; v < 256; ++v) {
    double r = weighted ? 0.30 * v : v, g = weighted ? 0.59 * v : v, b = weighted ? 0.11 * v : v;
    if (singlePrecision) {
      r = static_cast<float>(r);
      g = static_cast<float>(g);
      b = static_cast<float>(b);
    }
    terms.red[v] = red ? r : 0.0;
    terms.green[v] = green ? g : 0.0;
    terms.blue[v] = blue ? b : 0.0;
  }
  return terms;
}

const TGrayTerms& StandardGrayTerms() {
  static const TGrayTerms terms = ChannelTerms(true, true, true, true, true);
  return terms;
}
