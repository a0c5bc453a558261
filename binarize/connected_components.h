// Connected components of a 1-bit image and the speck eraser built on them.
//
// FindBlobs gathers the 8-connected groups of black pixels (black = the image's BlackIndex)
// with their bounding boxes, pixel counts and centroids, in the order in which a column-major
// scan (x outer, y inner) meets each group's first pixel. RemoveSpots whitens the bounding-box
// outline of every group whose box spans at most MaxWidth x MaxHeight (span = size - 1), so a
// speck at most two pixels thick vanishes and a larger one keeps its inside. DrawRectangle
// paints the four sides of a rectangle, end points included.
#pragma once

#include <cstdint>
#include <vector>

#include "image/dibunit.h"

// One pixel of a component being grown: Done turns 1 once its neighbours have been examined.
struct TPointRecord {
  std::int32_t X;
  std::int32_t Y;
  std::uint8_t Done;
};

// One component: inclusive bounding box, pixel count and mean position rounded half to even.
struct TBlobRecord {
  std::int32_t Left, Top, Right, Bottom;
  std::int32_t PixelCount;
  std::int32_t CentroidX, CentroidY;
};

// An owning, ordered list of point records; it serves as the breadth-first queue of a search.
class TPointList {
 public:
  void Add(std::int32_t x, std::int32_t y, std::uint8_t done);
  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  // Access to record index, for reading and for setting Done; throws outside 0 .. Count - 1.
  TPointRecord& Items(std::int32_t index) { return items_.at(static_cast<std::size_t>(index)); }
  const TPointRecord& Items(std::int32_t index) const {
    return items_.at(static_cast<std::size_t>(index));
  }

 private:
  std::vector<TPointRecord> items_;
};

// An owning, ordered list of blob records.
class TBlobList {
 public:
  void Add(const TRect& rect, std::int32_t pixelCount, std::int32_t centroidX,
           std::int32_t centroidY);
  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  // Record index; throws outside 0 .. Count - 1.
  const TBlobRecord& Items(std::int32_t index) const {
    return items_.at(static_cast<std::size_t>(index));
  }
  void Clear() { items_.clear(); }

 private:
  std::vector<TBlobRecord> items_;
};

// Appends to blobs (when present) every component with at least max(0, minPixels) pixels whose
// box is at least minWidth x minHeight. Throws "This operation requires 1 bit per pixel bitmap !"
// for any other format.
void FindBlobs(const TDIB& image, std::int32_t minWidth, std::int32_t minHeight,
               std::int32_t minPixels, TBlobList* blobs);
// Whitens the box outline of every component spanning at most maxWidth x maxHeight; all
// components are found on the unchanged image first. Same format rule as FindBlobs.
void RemoveSpots(TDIB& image, std::int32_t maxWidth, std::int32_t maxHeight);
// Sets the pixels of the rectangle's top, bottom, left and right sides to value; the parts of
// the rectangle outside the image are left out.
void DrawRectangle(TDIB& image, const TRect& rect, std::int32_t value);
