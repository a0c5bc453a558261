// TDibGraphic's life: giving it a size and a palette (NewImage), releasing it, rows and
// resolution, exact copies (Assign), and reading from streams into one image or into frames.
//
// Sizes are computed in 64 bits and pixel data is limited to what the image library accepts
// (kMaxPixelBytes), so a hostile header or a runaway zoom is refused before anything is
// allocated.
#include "viewer/dib_graphic.h"

#include <algorithm>
#include <new>
#include <string>
#include <utility>

#include "image/rounding.h"
#include "image/stream.h"
#include "viewer/viewer_errors.h"

namespace {

constexpr std::uint32_t kBiRGB = 0;

std::int32_t PixelsPerMetre(std::uint16_t dpi) {
  return RoundHalfEven(dpi * kInchesPerMetre);
}

std::uint16_t DotsPerInch(std::int32_t pixelsPerMetre) {
  const std::int32_t dpi = RoundHalfEven(pixelsPerMetre / kInchesPerMetre);
  return static_cast<std::uint16_t>(std::clamp(dpi, 0, 65535));
}

// The palette a new image takes: the given one, at most as many entries as its bits can
// index (a longer table would not match the block layout readers expect), or the format's
// default when none or an empty one is given.
TLogPalette ChoosePalette(TGraphicFormat format, const TLogPalette* palette) {
  if (format == gfTrueColor) return TLogPalette{};
  if (palette == nullptr || palette->palNumEntries == 0) return DefaultPalette(format);
  TLogPalette chosen = *palette;
  const std::int32_t limit = 1 << GraphicFormatBitCount(format);
  chosen.palVersion = 0x300;
  chosen.palNumEntries =
      static_cast<std::uint16_t>(std::min<std::int32_t>(chosen.palNumEntries, limit));
  for (std::size_t i = chosen.palNumEntries; i < chosen.palPalEntry.size(); ++i) {
    chosen.palPalEntry[i] = {};
  }
  return chosen;
}

}  // namespace

TDibGraphic::TDibGraphic() = default;

TDibGraphic::~TDibGraphic() {
  frames_.clear();
  ReleaseImage();
}

void TDibGraphic::NewImage(std::int32_t width, std::int32_t height, TGraphicFormat format,
                           const TLogPalette* palette, std::uint16_t xResolution,
                           std::uint16_t yResolution) {
  ReleaseImage();
  if (format > gfTrueColor) throw EViewerError("Internal error: Invalid image format");
  if (width < 1 || height < 1) throw EOutOfResources("Out of resources");
  const std::int64_t bits = GraphicFormatBitCount(format);
  const std::int64_t bytesPerRow = (SaturatedProduct(width, bits) + 31) / 32 * 4;
  const std::int64_t pixelBytes = SaturatedProduct(bytesPerRow, height);
  if (pixelBytes > kMaxPixelBytes) throw EError(kImageTooLarge);
  try {
    palette_ = ChoosePalette(format, palette);
    header_ = TBitmapInfoHeader{40,
                                width,
                                height,
                                1,
                                static_cast<std::uint16_t>(bits),
                                kBiRGB,
                                static_cast<std::uint32_t>(pixelBytes),
                                0,
                                0,
                                palette_.palNumEntries,
                                0};
    const TScreenResolution screen = ScreenResolution();
    header_.biXPelsPerMeter = PixelsPerMetre(xResolution > 0 ? xResolution : screen.X);
    header_.biYPelsPerMeter = PixelsPerMetre(yResolution > 0 ? yResolution : screen.Y);
    colorTable_.resize(palette_.palNumEntries);
    for (std::size_t i = 0; i < colorTable_.size(); ++i) {
      const TLogPalette::Entry& entry = palette_.palPalEntry[i];
      colorTable_[i] = TRGBQuad{entry.blue, entry.green, entry.red, 0};
    }
    bits_.resize(static_cast<std::size_t>(pixelBytes));
    bytesPerRow_ = static_cast<std::int32_t>(bytesPerRow);
    format_ = format;
    if (format != gfTrueColor) converter_ = std::make_unique<TRgbToPaletteConverter>(palette_);
  } catch (const std::bad_alloc&) {
    ReleaseImage();
    throw EOutOfResources("Out of resources");
  } catch (...) {
    ReleaseImage();
    throw;
  }
}

void TDibGraphic::ReleaseImage() {
  std::vector<std::uint8_t>().swap(bits_);
  std::vector<TRGBQuad>().swap(colorTable_);
  converter_.reset();
  header_ = TBitmapInfoHeader{};
  palette_ = TLogPalette{};
  bytesPerRow_ = 0;
}

std::uint8_t* TDibGraphic::ScanLine(std::int32_t row) {
  return const_cast<std::uint8_t*>(std::as_const(*this).ScanLine(row));
}

const std::uint8_t* TDibGraphic::ScanLine(std::int32_t row) const {
  if (Empty() || row < 0 || row >= Height()) throw EViewerError("Scan line index out of range");
  return bits_.data() + static_cast<std::size_t>(Height() - 1 - row) * bytesPerRow_;
}

std::uint16_t TDibGraphic::XResolution() const {
  return DotsPerInch(header_.biXPelsPerMeter);
}

std::uint16_t TDibGraphic::YResolution() const {
  return DotsPerInch(header_.biYPelsPerMeter);
}

void TDibGraphic::SetXResolution(std::uint16_t dpi) {
  header_.biXPelsPerMeter = PixelsPerMetre(dpi);
}

void TDibGraphic::SetYResolution(std::uint16_t dpi) {
  header_.biYPelsPerMeter = PixelsPerMetre(dpi);
}

void TDibGraphic::SetWidth(std::int32_t) {
  throw EViewerError("Dimensions must be change with the NewImage method");
}

void TDibGraphic::SetHeight(std::int32_t) {
  throw EViewerError("Dimensions must be change with the NewImage method");
}

// The copy keeps the source's header fields exactly, its resolution included, so that a
// resolution of 0 stays 0 instead of becoming the screen's.
void TDibGraphic::Assign(const TDibGraphic* source) {
  if (source == this) return;
  ReleaseImage();
  if (source == nullptr || source->Empty()) return;
  NewImage(source->Width(), source->Height(), source->format_, &source->palette_, 0, 0);
  header_.biXPelsPerMeter = source->header_.biXPelsPerMeter;
  header_.biYPelsPerMeter = source->header_.biYPelsPerMeter;
  FrameDelay = source->FrameDelay;
  std::copy(source->bits_.begin(), source->bits_.end(), bits_.begin());
}

void TDibGraphic::TakeOver(TDibGraphic& source) {
  if (&source == this) return;
  ReleaseImage();
  if (source.Empty()) {
    source.ReleaseImage();
    return;
  }
  header_ = source.header_;
  colorTable_ = std::move(source.colorTable_);
  palette_ = source.palette_;
  format_ = source.format_;
  bytesPerRow_ = source.bytesPerRow_;
  bits_ = std::move(source.bits_);
  converter_ = std::move(source.converter_);
  FrameDelay = source.FrameDelay;
  source.ReleaseImage();
}

std::int32_t TDibGraphic::ImageCount(TStream&) {
  return 1;
}

void TDibGraphic::ReadImage(TStream&, std::int32_t) {}

// A new read replaces the frames of an earlier one.
void TDibGraphic::LoadFromStream(TStream& stream) {
  frames_.clear();
  currentFrame_ = -1;
  std::int32_t count = 1;
  std::int64_t start = 0;
  if (ReadAllImages) {
    start = stream.Position();
    count = ImageCount(stream);
    if (count == 1) {
      ReadAllImages = false;
      stream.Seek(start, soBeginning);
    }
  }
  if (!ReadAllImages) {
    ReadImage(stream, ImageIndex);
    return;
  }
  for (std::int32_t i = 1; i <= count; ++i) {
    std::unique_ptr<TDibGraphic> frame = NewOfSameClass();
    stream.Seek(start, soBeginning);
    frame->ReadImage(stream, i);
    frames_.push_back(std::move(frame));
  }
  SelectFrame(1);
}

void TDibGraphic::SelectFrame(std::int32_t n) {
  if (n == currentFrame_) return;
  if (n < 1 || n > FrameCount()) {
    throw EViewerError("Frame " + std::to_string(n) + " does not exist");
  }
  Assign(frames_[static_cast<std::size_t>(n - 1)].get());
  currentFrame_ = n;
}

void TDibGraphic::AfterDraw() const {
  if (OnAfterDraw) OnAfterDraw(this);
}

std::unique_ptr<TDibGraphic> TDibGraphic::NewOfSameClass() const {
  return std::make_unique<TDibGraphic>();
}
