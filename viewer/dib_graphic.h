// TDibGraphic, the image type of a view: one bitmap kept in memory of its own as bottom-up
// rows with a BITMAPINFOHEADER, a colour table and a logical palette, so that whole images
// change hands with the image library as packed DIB blocks (AssignHDIB, CreateHDIB).
//
// A view owns two: the source graphic (the image at full resolution) and the display
// graphic (the source scaled to the zoom, what is painted). This class knows no toolkit; the
// widgets turn a display graphic into a picture once per display rebuild.
//
// Row y (0 = top row) starts at Bits + (height - 1 - y) x BytesPerRow. One-bit pixels are
// packed most significant bit first, four-bit pixels high nibble first, 24-bit pixels as
// blue, green, red. Resolution is kept as pixels per metre.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "image/dibunit.h"
#include "platform/memory_block.h"

class TStream;

// Pixel formats of a display graphic.
enum TGraphicFormat : std::uint8_t {
  gfBilevel = 0,
  gfGray16 = 1,
  gfGray256 = 2,
  gfColor16 = 3,
  gfColor256 = 4,
  gfTrueColor = 5
};

// "Black and white", "16 shades of gray", ... ; the texts the viewer's messages name.
const char* GraphicFormatDescription(TGraphicFormat format);
// Bits per pixel of a format: 1, 4, 8, 4, 8, 24.
std::int32_t GraphicFormatBitCount(TGraphicFormat format);
// The palette a format takes when none is given (empty for gfTrueColor).
const TLogPalette& DefaultPalette(TGraphicFormat format);

// One colour table entry as stored after the header: blue, green, red, 0.
struct TRGBQuad {
  std::uint8_t rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

// The logical dots per inch of the screen, which a resolution of 0 stands for. The widget
// layer sets it from the screen; until then it is 96 x 96.
struct TScreenResolution {
  std::uint16_t X = 96, Y = 96;
};
TScreenResolution ScreenResolution();
void SetScreenResolution(TScreenResolution resolution);

// Inches per metre: dpi = Round(pixels per metre / this), halves to even.
inline constexpr double kInchesPerMetre = 39.37007874015748;

// A colour value packs red shl 16 | green shl 8 | blue.
using TColorValue = std::uint32_t;

// Nearest palette entry of a colour by squared distance over red, green and blue; the first
// best entry wins. Answers are cached in 1020 slots indexed by colour mod 1020.
class TRgbToPaletteConverter {
 public:
  explicit TRgbToPaletteConverter(const TLogPalette& palette);
  std::uint8_t IndexOf(TColorValue color);

 private:
  struct Slot {
    TColorValue Color;
    std::uint8_t Index;
    bool Used;
  };
  TLogPalette palette_;
  std::vector<Slot> cache_;
};

class TDibGraphic {
 public:
  // Sender is the graphic (or transform) that reports.
  using TNotifyEvent = std::function<void(const void* sender)>;
  using TProgressEvent = std::function<void(const void* sender, std::uint8_t percent)>;

  TDibGraphic();
  virtual ~TDibGraphic();
  TDibGraphic(const TDibGraphic&) = delete;
  TDibGraphic& operator=(const TDibGraphic&) = delete;

  // The only way to give a graphic a size. The previous content is released first; the
  // new pixels are unspecified. palette null takes the format's default; a resolution of 0
  // takes the screen's. Pixel data over the image library's limit raise kImageTooLarge; a
  // failure leaves the graphic empty.
  void NewImage(std::int32_t width, std::int32_t height, TGraphicFormat format,
                const TLogPalette* palette, std::uint16_t xResolution, std::uint16_t yResolution);
  // Frees the pixels; the header and colour table become all zero.
  void ReleaseImage();

  bool Empty() const { return bits_.empty(); }
  std::int32_t Width() const { return header_.biWidth; }
  std::int32_t Height() const { return header_.biHeight; }
  TGraphicFormat ImageFormat() const { return format_; }
  std::int32_t BytesPerRow() const { return bytesPerRow_; }
  // Address of row y, 0 being the top row; other rows raise "Scan line index out of range".
  std::uint8_t* ScanLine(std::int32_t row);
  const std::uint8_t* ScanLine(std::int32_t row) const;
  std::uint8_t* Bits() { return bits_.data(); }
  const std::uint8_t* Bits() const { return bits_.data(); }

  const TBitmapInfoHeader& Header() const { return header_; }
  // The colour table: PaletteCount() entries (0 for gfTrueColor).
  const TRGBQuad* ColorTable() const { return colorTable_.data(); }
  std::int32_t PaletteCount() const { return static_cast<std::int32_t>(header_.biClrUsed); }
  // The same colours as a logical palette record (version 0x300).
  const TLogPalette& Palette() const { return palette_; }

  // Dots per inch, derived from pixels per metre (halves to even) and stored back as
  // Round(dpi x kInchesPerMetre).
  std::uint16_t XResolution() const;
  std::uint16_t YResolution() const;
  void SetXResolution(std::uint16_t dpi);
  void SetYResolution(std::uint16_t dpi);

  // Setting the size directly raises "Dimensions must be change with the NewImage method".
  void SetWidth(std::int32_t width);
  void SetHeight(std::int32_t height);

  // --- whole images ----------------------------------------------------------------------
  // Replaces the image with the content of a packed DIB block; the block stays the caller's
  // and is left unlocked. A block whose counts do not fit its size raises "Invalid HDIB", one
  // of 2 bits or another odd depth "Unsupported bit count"; a failure leaves the graphic empty.
  void AssignHDIB(TMemoryHandle block);
  // A new packed DIB block holding the image; the caller owns it.
  TMemoryHandle CreateHDIB() const;
  // A copy of source (null or empty: an empty graphic), with its frame delay.
  void Assign(const TDibGraphic* source);
  // The result of Assign(&source) without copying the pixels: the image moves over and
  // source is left empty. Frames stay where they are.
  void TakeOver(TDibGraphic& source);

  // --- pixels, for readers -------------------------------------------------------------
  // Palette formats answer the palette entry of the pixel's index; true colour its pixel.
  // Outside the image reads answer 0 and writes do nothing.
  TColorValue GetPixelColor(std::int32_t x, std::int32_t y) const;
  // Palette formats store the nearest entry's index.
  void SetPixelColor(std::int32_t x, std::int32_t y, TColorValue color);
  // Raise "The image does not have a palette" for gfTrueColor.
  std::int32_t GetPixelIndex(std::int32_t x, std::int32_t y) const;
  void SetPixelIndex(std::int32_t x, std::int32_t y, std::int32_t index);

  // --- reading from streams: the reader contract -----------------------------------------
  virtual std::int32_t ImageCount(TStream& stream);
  virtual void ReadImage(TStream& stream, std::int32_t index);
  // Reads image ImageIndex, or every image into the frames when ReadAllImages is set.
  void LoadFromStream(TStream& stream);
  std::int32_t ImageIndex = 1;
  bool ReadAllImages = false;

  // --- frames --------------------------------------------------------------------------
  std::int32_t FrameCount() const { return static_cast<std::int32_t>(frames_.size()); }
  std::int32_t CurrentFrame() const { return currentFrame_; }
  // Copies frame n (1-based) into the graphic; raises "Frame %d does not exist".
  void SelectFrame(std::int32_t n);
  std::int32_t FrameDelay = 200;

  // --- notifications -------------------------------------------------------------------
  // Called at the end of every paint of the graphic; one subscriber at a time.
  TNotifyEvent OnAfterDraw;
  // Progress of a read, passed on to readers.
  TProgressEvent OnProgress;
  // Tells the subscriber of OnAfterDraw that the graphic was painted.
  void AfterDraw() const;

 protected:
  // A new, empty graphic of the same class, for the frames of a multi-image read.
  virtual std::unique_ptr<TDibGraphic> NewOfSameClass() const;

 private:
  // AssignHDIB without its clean-up on failure.
  void AssignBlock(TMemoryHandle block);

  TBitmapInfoHeader header_{};
  std::vector<TRGBQuad> colorTable_;
  TLogPalette palette_{};
  TGraphicFormat format_ = gfBilevel;
  std::int32_t bytesPerRow_ = 0;
  std::vector<std::uint8_t> bits_;
  std::unique_ptr<TRgbToPaletteConverter> converter_;
  std::vector<std::unique_ptr<TDibGraphic>> frames_;
  std::int32_t currentFrame_ = -1;
};
