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

}  // namespace
