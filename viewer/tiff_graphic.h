// TTiffGraphic, the view's own TIFF reader: one TIFF directory becomes one display graphic,
// decoded by libtiff through the image library's client-stream glue. The processed view
// reads output files with it.
#pragma once

#include <cstdint>
#include <memory>

#include "viewer/dib_graphic.h"

// Compression codes of the view reader, with their names ("None", "Packbits", ...).
enum TTiffCompressionCode : std::uint8_t {
  ctNone = 0,
  ctPackbits,
  ctGroup3_1D,
  ctGroup3_2D,
  ctGroup4,
  ctZLib,
  ctJPEG,
  ctLZW
};
const char* TiffCompressionName(TTiffCompressionCode code);

class TTiffGraphic : public TDibGraphic {
 public:
  std::int32_t ImageCount(TStream& stream) override;
  // Reads directory index - 1 (index counts from 1).
  void ReadImage(TStream& stream, std::int32_t index) override;

  TTiffCompressionCode Compression() const { return compression_; }
  std::uint32_t RowsPerStrip() const { return rowsPerStrip_; }

 protected:
  std::unique_ptr<TDibGraphic> NewOfSameClass() const override;

 private:
  TTiffCompressionCode compression_ = ctNone;
  std::uint32_t rowsPerStrip_ = 0;
};
