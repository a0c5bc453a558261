// Connected components by one top-down pass over the runs of black pixels in each row.
//
// Runs of neighbouring rows that overlap or touch diagonally belong together (8-connectivity)
// and are joined through a union-find of labels, each root holding its component's summary.
// A component is finished in the first row that holds none of its runs; its labels are then
// reused, so the working memory is bounded by the runs of two rows however large the
// components are. The finished components are sorted by their first pixel in column-major
// order, the order in which a column-by-column search would meet them.
#include "binarize/connected_components.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>
#include <utility>

#include "platform/errors.h"

namespace {

// Summary of a component, or of the part of one found so far, kept at its root label.
struct TComponent {
  std::int32_t Left, Top, Right, Bottom;
  // The topmost row holding a pixel in column Left; (Left, LeftTop) is the first pixel of the
  // component in column-major order.
  std::int32_t LeftTop;
  std::int64_t Count, SumX, SumY;
};

// A run of black pixels X0 .. X1 of one row and the label of its component.
struct TRun {
  std::int32_t X0, X1;
  std::int32_t Label;
};

// One row as 64-bit words, leftmost pixel in the most significant bit and black pixels set,
// followed by a zero word so that every search for a white pixel ends.
class TRowBits {
 public:
  void Load(const std::uint8_t* row, std::int32_t width, bool blackIsOne) {
    const std::size_t bytes = (static_cast<std::size_t>(width) + 7) / 8;
    words_.assign(static_cast<std::size_t>(width) / 64 + 2, 0);
    const std::uint8_t flip = blackIsOne ? 0x00 : 0xFF;
    for (std::size_t i = 0; i < bytes; ++i) {
      words_[i / 8] |= std::uint64_t{static_cast<std::uint8_t>(row[i] ^ flip)}
                       << (56 - 8 * (i % 8));
    }
    // Bits of the last byte beyond the width are padding, not pixels.
    if (width % 64 != 0) words_[width / 64] &= ~(~std::uint64_t{0} >> (width % 64));
    width_ = width;
  }

  // The first pixel at or after x that is black (black true) or white; width when none.
  std::int32_t Next(std::int32_t x, bool black) const {
    const std::uint64_t flip = black ? 0 : ~std::uint64_t{0};
    std::size_t k = static_cast<std::size_t>(x) / 64;
    std::uint64_t word = (words_[k] ^ flip) & (~std::uint64_t{0} >> (x % 64));
    while (word == 0) {
      if (++k == words_.size()) return width_;
      word = words_[k] ^ flip;
    }
    const std::int64_t found = static_cast<std::int64_t>(k) * 64 + std::countl_zero(word);
    return static_cast<std::int32_t>(std::min<std::int64_t>(found, width_));
  }

 private:
  std::vector<std::uint64_t> words_;
  std::int32_t width_ = 0;
};

class TComponentScanner {
 public:
  explicit TComponentScanner(std::function<void(const TComponent&)> finished)
      : finished_(std::move(finished)) {}

  void Scan(const TDIB& image) {
    const std::int32_t width = image.Width();
    const std::int32_t height = image.Height();
    const bool blackIsOne = image.BlackIndex() == 1;
    TRowBits bits;
    for (std::int32_t y = 0; y < height; ++y) {
      bits.Load(image.Row(y), width, blackIsOne);
      current_.clear();
      for (std::int32_t x = bits.Next(0, true); x < width;) {
        const std::int32_t end = bits.Next(x, false);
        current_.push_back({x, end - 1, -1});
        x = end < width ? bits.Next(end, true) : width;
      }
      LabelRuns(y);
      Retire(y);
      std::swap(previous_, current_);
    }
    current_.clear();
    Retire(height);
  }

 private:
  // Gives each run of the current row the root of every previous-row run it touches, joining
  // those roots, or a fresh label when it touches none.
  void LabelRuns(std::int32_t y) {
    std::size_t first = 0;
    for (TRun& run : current_) {
      while (first < previous_.size() && previous_[first].X1 < run.X0 - 1) ++first;
      std::int32_t label = -1;
      for (std::size_t k = first; k < previous_.size() && previous_[k].X0 <= run.X1 + 1; ++k) {
        const std::int32_t root = Find(previous_[k].Label);
        label = label < 0 ? root : Join(label, root);
      }
      if (label < 0) {
        label = NewLabel(run, y);
      } else {
        AddRun(components_[static_cast<std::size_t>(label)], run, y);
      }
      run.Label = label;
    }
  }

  // Reports the components without a run in row y and frees every label no longer needed:
  // after it, each run of row y carries its root, and the roots are the only labels in use.
  void Retire(std::int32_t y) {
    for (TRun& run : current_) run.Label = Find(run.Label);
    std::size_t kept = 0;
    for (const std::int32_t label : active_) {
      const auto index = static_cast<std::size_t>(label);
      if (parent_[index] == label && components_[index].Bottom == y) {
        active_[kept++] = label;
        continue;
      }
      if (parent_[index] == label) finished_(components_[index]);
      free_.push_back(label);
    }
    active_.resize(kept);
  }

  std::int32_t NewLabel(const TRun& run, std::int32_t y) {
    std::int32_t label;
    if (free_.empty()) {
      label = static_cast<std::int32_t>(parent_.size());
      parent_.push_back(label);
      components_.emplace_back();
    } else {
      label = free_.back();
      free_.pop_back();
      parent_[static_cast<std::size_t>(label)] = label;
    }
    components_[static_cast<std::size_t>(label)] = {run.X0, y, run.X1, y, y, 0, 0, 0};
    AddRun(components_[static_cast<std::size_t>(label)], run, y);
    active_.push_back(label);
    return label;
  }

  static void AddRun(TComponent& component, const TRun& run, std::int32_t y) {
    const std::int64_t length = std::int64_t{run.X1} - run.X0 + 1;
    // Rows arrive top-down, so an equal Left keeps the earlier, higher LeftTop.
    if (run.X0 < component.Left) {
      component.Left = run.X0;
      component.LeftTop = y;
    }
    component.Right = std::max(component.Right, run.X1);
    component.Bottom = y;
    component.Count += length;
    component.SumX += (std::int64_t{run.X0} + run.X1) * length / 2;
    component.SumY += std::int64_t{y} * length;
  }

  std::int32_t Find(std::int32_t label) {
    while (parent_[static_cast<std::size_t>(label)] != label) {
      std::int32_t& up = parent_[static_cast<std::size_t>(label)];
      up = parent_[static_cast<std::size_t>(up)];
      label = up;
    }
    return label;
  }

  // Joins two roots; the first stays root and takes over the summary of the second.
  std::int32_t Join(std::int32_t root, std::int32_t other) {
    if (root == other) return root;
    parent_[static_cast<std::size_t>(other)] = root;
    TComponent& a = components_[static_cast<std::size_t>(root)];
    const TComponent& b = components_[static_cast<std::size_t>(other)];
    if (b.Left < a.Left || (b.Left == a.Left && b.LeftTop < a.LeftTop)) {
      a.Left = b.Left;
      a.LeftTop = b.LeftTop;
    }
    a.Top = std::min(a.Top, b.Top);
    a.Right = std::max(a.Right, b.Right);
    a.Bottom = std::max(a.Bottom, b.Bottom);
    a.Count += b.Count;
    a.SumX += b.SumX;
    a.SumY += b.SumY;
    return root;
  }

  std::function<void(const TComponent&)> finished_;
  std::vector<std::int32_t> parent_;
  std::vector<TComponent> components_;
  std::vector<std::int32_t> free_;
  std::vector<std::int32_t> active_;  // the labels handed out and not yet freed
  std::vector<TRun> previous_, current_;
};

// sum / count rounded to the nearest integer, an exact half to the even neighbour; exact for
// any 64-bit sum, however large the component.
std::int32_t RoundedMean(std::int64_t sum, std::int64_t count) {
  std::int64_t quotient = sum / count;
  const std::int64_t twice = 2 * (sum % count);
  if (twice > count || (twice == count && quotient % 2 != 0)) ++quotient;
  return static_cast<std::int32_t>(quotient);
}

bool FirstMetEarlier(const TComponent& a, const TComponent& b) {
  return a.Left != b.Left ? a.Left < b.Left : a.LeftTop < b.LeftTop;
}

}  // namespace

void TPointList::Add(std::int32_t x, std::int32_t y, std::uint8_t done) {
  items_.push_back({x, y, done});
}

void TBlobList::Add(const TRect& rect, std::int32_t pixelCount, std::int32_t centroidX,
                    std::int32_t centroidY) {
  items_.push_back(
      {rect.Left, rect.Top, rect.Right, rect.Bottom, pixelCount, centroidX, centroidY});
}

void FindBlobs(const TDIB& image, std::int32_t minWidth, std::int32_t minHeight,
               std::int32_t minPixels, TBlobList* blobs) {
  if (image.Format() != df1Bit) throw EError(kNeeds1Bit);
  if (blobs == nullptr) return;
  const std::int64_t leastPixels = std::max(0, minPixels);
  std::vector<TComponent> found;
  TComponentScanner scanner([&](const TComponent& c) {
    if (c.Count >= leastPixels && c.Right - c.Left + 1 >= minWidth &&
        c.Bottom - c.Top + 1 >= minHeight) {
      found.push_back(c);
    }
  });
  scanner.Scan(image);
  std::sort(found.begin(), found.end(), FirstMetEarlier);
  for (const TComponent& c : found) {
    const auto count = static_cast<std::int32_t>(
        std::min<std::int64_t>(c.Count, std::numeric_limits<std::int32_t>::max()));
    blobs->Add({c.Left, c.Top, c.Right, c.Bottom}, count, RoundedMean(c.SumX, c.Count),
               RoundedMean(c.SumY, c.Count));
  }
}

void RemoveSpots(TDIB& image, std::int32_t maxWidth, std::int32_t maxHeight) {
  TBlobList blobs;
  FindBlobs(image, 0, 0, 0, &blobs);
  const std::int32_t white = image.WhiteIndex();
  for (std::int32_t i = 0; i < blobs.Count(); ++i) {
    const TBlobRecord& blob = blobs.Items(i);
    if (blob.Right - blob.Left <= maxWidth && blob.Bottom - blob.Top <= maxHeight) {
      DrawRectangle(image, {blob.Left, blob.Top, blob.Right, blob.Bottom}, white);
    }
  }
}

void DrawRectangle(TDIB& image, const TRect& rect, std::int32_t value) {
  const std::int32_t width = image.Width();
  const std::int32_t height = image.Height();
  const std::int32_t left = std::max(rect.Left, 0);
  const std::int32_t right = std::min(rect.Right, width - 1);
  const std::int32_t top = std::max(rect.Top, 0);
  const std::int32_t bottom = std::min(rect.Bottom, height - 1);
  const auto paintRow = [&](std::int32_t y) {
    if (y < 0 || y >= height) return;
    for (std::int32_t x = left; x <= right; ++x) image.SetPixel(x, y, value);
  };
  const auto paintColumn = [&](std::int32_t x) {
    if (x < 0 || x >= width) return;
    for (std::int32_t y = top; y <= bottom; ++y) image.SetPixel(x, y, value);
  };
  paintRow(rect.Top);
  paintRow(rect.Bottom);
  paintColumn(rect.Left);
  paintColumn(rect.Right);
}
