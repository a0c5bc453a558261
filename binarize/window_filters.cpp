// The filters that return a new image, and the checks shared by every window filter.
#include "binarize/window_filters.h"

#include "binarize/window_filters_plane.h"
#include "platform/errors.h"

namespace {

constexpr const char* kDestinationMismatch =
    "The destination must be an 8 bit image of the source's size";

template <class TFilter>
std::unique_ptr<TDIB> Filtered(const TDIB& image, std::int32_t areaW, std::int32_t areaH,
                               TFilter filter) {
  auto result = image.Duplicate();
  filter(image, *result, areaW, areaH);
  return result;
}

}  // namespace

TPlane PlaneOf(const TDIB& image) {
  std::ptrdiff_t step = image.Height() > 1 ? image.Row(1) - image.Row(0) : 0;
  return TPlane{image.Row(0), step, image.Width(), image.Height()};
}

void Require8Bit(const TDIB& image) {
  if (image.Format() != df8Bit) throw EError(kNeeds8Bit);
}

void GrayFrom24Bit(TDIB& image) {
  if (image.Format() == df24Bit) image.ConvertTo(df8Bit);
  Require8Bit(image);
}

void GrayFromAnyDepth(TDIB& image) {
  if (image.Format() == df15Bit || image.Format() == df16Bit) throw EError(kNeeds8Bit);
  image.ConvertTo(df8Bit);
  Require8Bit(image);
}

std::unique_ptr<TDIB> BlankLike(const TDIB& image) {
  auto blank = std::make_unique<TDIB>();
  blank->Allocate(image.Width(), image.Height(), df8Bit, image.XResolution(), image.YResolution());
  return blank;
}

const TDIB& FilterSource(const TDIB& source, const TDIB& destination,
                         std::unique_ptr<TDIB>& holder) {
  Require8Bit(source);
  if (destination.Format() != df8Bit || destination.Width() != source.Width() ||
      destination.Height() != source.Height()) {
    throw EError(kDestinationMismatch);
  }
  if (&source != &destination) return source;
  holder = source.Duplicate();
  return *holder;
}

std::unique_ptr<TDIB> MeanFiltered(const TDIB& image, std::int32_t areaW, std::int32_t areaH) {
  return Filtered(image, areaW, areaH, LocalMean);
}

std::unique_ptr<TDIB> MinimumFiltered(const TDIB& image, std::int32_t areaW, std::int32_t areaH) {
  return Filtered(image, areaW, areaH, WindowMinimum);
}

std::unique_ptr<TDIB> MaximumFiltered(const TDIB& image, std::int32_t areaW, std::int32_t areaH) {
  return Filtered(image, areaW, areaH, WindowMaximum);
}
