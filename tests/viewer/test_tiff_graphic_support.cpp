// Shared machinery of the view reader tests: see test_tiff_graphic_support.h.
#include "tests/viewer/test_tiff_graphic_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "image/streams.h"
#include "tests/image/codec_fixtures.h"

namespace {

void FillPixels(TDIB& image, std::int32_t levels) {
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      image.SetPixel(x, y, (x * 7 + y * 13 + x * y) % levels);
    }
  }
}

}  // namespace

std::unique_ptr<TDIB> MakePicture(TPicture kind, std::int32_t width, std::int32_t height) {
  switch (kind) {
    case TPicture::Colour16:
      return MakePatternImage(df4Bit, width, height, 300);
    case TPicture::Colour256:
      return MakePatternImage(df8Bit, width, height, 300);
    case TPicture::TrueColour:
      return MakePatternImage(df24Bit, width, height, 300);
    default:
      break;
  }
  auto image = std::make_unique<TDIB>();
  const TDIBFormat format =
      kind == TPicture::BiLevel ? df1Bit : (kind == TPicture::Gray16 ? df4Bit : df8Bit);
  image->Allocate(width, height, format, 300, 300);
  const std::int32_t levels = std::int32_t{1} << image->BitCount();
  for (std::int32_t i = 0; i < levels; ++i) {
    image->SetPaletteEntry(i, static_cast<std::uint32_t>(255 * i / (levels - 1)) * 0x010101u);
  }
  FillPixels(*image, levels);
  return image;
}

std::unique_ptr<TTiffGraphic> ReadTiffGraphic(const std::vector<std::uint8_t>& bytes,
                                              std::int32_t index, std::size_t offset) {
  std::vector<std::uint8_t> data(offset, 0x5A);
  data.insert(data.end(), bytes.begin(), bytes.end());
  TMemoryStream stream(std::move(data));
  stream.Seek(static_cast<std::int64_t>(offset), soBeginning);
  auto graphic = std::make_unique<TTiffGraphic>();
  graphic->ReadImage(stream, index);
  return graphic;
}

std::string TiffReadFailure(const std::vector<std::uint8_t>& bytes, std::int32_t index) {
  TMemoryStream stream(bytes);
  TTiffGraphic graphic;
  const std::string failure = FailureOf([&] { graphic.ReadImage(stream, index); });
  if (!failure.empty()) {
    EXPECT_TRUE(graphic.Empty()) << failure;
  }
  return failure;
}

std::vector<int> ProgressOf(TDibGraphic& graphic, const std::vector<std::uint8_t>& bytes) {
  std::vector<int> percents;
  graphic.OnProgress = [&](const void* sender, std::uint8_t percent) {
    EXPECT_EQ(sender, &graphic);
    percents.push_back(percent);
  };
  TMemoryStream stream(bytes);
  graphic.ReadImage(stream, 1);
  graphic.OnProgress = nullptr;
  return percents;
}

void ExpectGraphicColours(const TDIB& picture, const TDibGraphic& graphic, int tolerance) {
  ASSERT_EQ(graphic.Width(), picture.Width());
  ASSERT_EQ(graphic.Height(), picture.Height());
  int mismatches = 0;
  for (std::int32_t y = 0; y < picture.Height(); ++y) {
    for (std::int32_t x = 0; x < picture.Width(); ++x) {
      const std::uint32_t want = ColourAt(picture, x, y);
      const std::uint32_t got = graphic.GetPixelColor(x, y);
      for (int shift : {16, 8, 0}) {
        const int difference = std::abs(static_cast<int>((want >> shift) & 255) -
                                        static_cast<int>((got >> shift) & 255));
        if (difference > tolerance && ++mismatches <= 3) {
          ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << got << " for " << want;
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}
