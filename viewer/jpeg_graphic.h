// TJpegGraphic, the view's JPEG reader: decodes through the image library's JPEG reader and
// takes the image over as a packed DIB block.
#pragma once

#include <memory>

#include "viewer/dib_graphic.h"

class TJpegGraphic : public TDibGraphic {
 public:
  void ReadImage(TStream& stream, std::int32_t index) override;

 protected:
  std::unique_ptr<TDibGraphic> NewOfSameClass() const override;
};
