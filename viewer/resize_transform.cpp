// The resize transform: a source stretched to TargetWidth x TargetHeight, converted to the
// target format on the way. The sampling is chosen as a stretch mode would be: true-colour
// sources of more than 1024 pixels are area averaged, everything else takes the nearest
// pixel (resize_nearest.cpp, resize_area_average.cpp).
#include "viewer/image_transforms.h"
#include "viewer/resize_sampling.h"

// An empty source gives an empty graphic: there is nothing to stretch.
void TResizeTransform::ApplyOnDest(const TDibGraphic& source, TDibGraphic& dest) {
  if (&source == &dest) {
    Apply(dest);
    return;
  }
  if (source.Empty()) {
    dest.ReleaseImage();
    return;
  }
  BeginReports();
  Report(0, 0, 100);
  const TGraphicFormat format = ForceFormat ? TargetFormat : source.ImageFormat();
  const bool kept = format == source.ImageFormat();
  dest.NewImage(TargetWidth, TargetHeight, format, kept ? &source.Palette() : nullptr,
                source.XResolution(), source.YResolution());
  Report(50, 0, 100);
  const bool halftone =
      source.ImageFormat() == gfTrueColor && std::int64_t{source.Width()} * source.Height() > 1024;
  if (halftone) {
    AreaAverage(source, dest);
  } else if (kept && format != gfTrueColor) {
    NearestIndexes(source, dest);
  } else {
    NearestColours(source, dest);
  }
  Report(100, 0, 100);
}
