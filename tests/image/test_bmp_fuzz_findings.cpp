// Inputs the fuzz targets found, kept as they were found (trimmed to the bytes that matter),
// each with what it showed.
#include <gtest/gtest.h>

#include "image/dibunit.h"
#include "tests/image/codec_fixtures.h"

namespace {

// A 1 x 1 pixel 1-bit bitmap whose single row byte is 0x65: bit 7 is the pixel (0), the other
// seven bits are not pixels. Writing it as PNG and reading it back changed those seven bits,
// which the fuzz harness first took for a changed image: the pixel itself must come back,
// and so must the colour table; what lies after the last pixel of a row is not an image's.
const std::vector<std::uint8_t> kJunkAfterLastPixel = {
    0x42, 0x4d, 0x42, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x3e, 0x00, 0x00, 0x00,
    0x28, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00,
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x65, 0x65, 0x65,
    0x65, 0x65, 0x65, 0x65, 0x65, 0x65, 0x65, 0x65, 0x65, 0x65};

TEST(BMPFuzzFindings, BitsAfterTheLastPixelAreNotPartOfTheImage) {
  auto image = LoadFromBytes(kJunkAfterLastPixel, &TDIB::LoadBMPFromStream);
  ASSERT_EQ(image->Format(), df1Bit);
  EXPECT_EQ(image->GetPixel(0, 0), 0);
  for (TStreamWriter write : {&TDIB::SaveBMPToStream, &TDIB::SavePNGToStream}) {
    auto copy = LoadFromBytes(SaveToBytes(*image, write), write == &TDIB::SaveBMPToStream
                                                              ? &TDIB::LoadBMPFromStream
                                                              : &TDIB::LoadPNGFromStream);
    EXPECT_EQ(copy->GetPixel(0, 0), 0);
    EXPECT_EQ(copy->GetPaletteEntry(0), image->GetPaletteEntry(0));
    EXPECT_EQ(copy->GetPaletteEntry(1), image->GetPaletteEntry(1));
  }
}

// A 32-bit bitmap of 1 348 534 272 x 2 048 920 320 pixels in a 58-byte file. Its row size
// times its height overflows even 64 bits, which the size check once computed as a product:
// the file must be refused as too large before anything is read or allocated.
const std::vector<std::uint8_t> kWidthTimesHeightOverflows = {
    0x42, 0x4d, 0x3a, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00, 0x28,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x61, 0x50, 0x00, 0x0b, 0x20, 0x7a, 0x01, 0x00, 0x20, 0x00,
    0x00, 0x00, 0x00, 0x00, 0xf9, 0xc6, 0xb2, 0x00, 0x51, 0x42, 0x00, 0x00, 0x00, 0x00, 0x00,
    0xff, 0xff, 0xff, 0x29, 0xff, 0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
};

TEST(BMPFuzzFindings, AWidthTimesHeightBeyondSixtyFourBitsIsTooLarge) {
  EXPECT_EQ(FailureOf([] { LoadFromBytes(kWidthTimesHeightOverflows, &TDIB::LoadBMPFromStream); }),
            kImageTooLarge);
}

TEST(BMPFuzzFindings, HugeGeometriesAreRefusedWithoutOverflow) {
  struct TCase {
    std::int32_t width, height;
    TDIBFormat format;
    const char* reason;
  } cases[] = {
      {INT32_MAX, 1, df24Bit, "a row longer than the 32-bit stride"},
      {INT32_MAX, INT32_MAX, df24Bit, "stride times height beyond 64 bits"},
      {1 << 20, 1 << 20, df1Bit, "a square of 128 GiB"},
  };
  for (const TCase& c : cases) {
    TDIB image;
    EXPECT_EQ(FailureOf([&] { image.Allocate(c.width, c.height, c.format, 0, 0); }), kImageTooLarge)
        << c.reason;
    TDIB small;
    small.Allocate(2, 2, c.format, 0, 0);
    EXPECT_EQ(FailureOf([&] { small.ResizeCanvas(c.width, c.height, 0); }), kImageTooLarge)
        << c.reason;
    EXPECT_EQ(small.Width(), 2) << "a refused resize leaves the image: " << c.reason;
  }
}

}  // namespace
