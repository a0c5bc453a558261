// Which pixels count as ink, for every depth a result or a ground truth may come in, and from
// files.
#include <gtest/gtest.h>

#include "evaluate/ink_mask.h"
#include "tests/temp_folder.h"

namespace {

// A one-row image of the format whose pixel 0 has the value, and palette entries as given.
std::unique_ptr<TDIB> OnePixel(TDIBFormat format, std::int32_t value,
                               const std::vector<std::uint32_t>& palette = {}) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(2, 1, format, 72, 72);
  for (std::size_t i = 0; i < palette.size(); ++i)
    image->SetPaletteEntry(std::int32_t(i), palette[i]);
  image->SetPixel(0, 0, value);
  return image;
}

TEST(InkMask, GrayBelow128IsInkInEveryDepth) {
  struct TCase {
    const char* Reason;
    TDIBFormat Format;
    std::int32_t Value;
    std::vector<std::uint32_t> Palette;
    std::uint8_t Ink;
  } cases[] = {
      {"1 bit, black listed first: index 0 is ink", df1Bit, 0, {0x000000, 0xFFFFFF}, 1},
      {"1 bit, white listed first: index 0 is paper", df1Bit, 0, {0xFFFFFF, 0x000000}, 0},
      {"1 bit, white listed first: index 1 is ink", df1Bit, 1, {0xFFFFFF, 0x000000}, 1},
      {"8 bit gray 127 is ink", df8Bit, 127, {}, 1},
      {"8 bit gray 128 is paper", df8Bit, 128, {}, 0},
      {"8 bit: the colour table decides, not the index", df8Bit, 5, {0, 0, 0, 0, 0, 0xF0F0F0}, 0},
      {"24 bit red weighs 0.30 x 255 = 76: ink", df24Bit, 0xFF0000, {}, 1},
      {"24 bit yellow weighs 226: paper", df24Bit, 0xFFFF00, {}, 0},
      {"24 bit gray 127: ink", df24Bit, 0x7F7F7F, {}, 1},
      {"16 bit (5-5-5) white: paper", df16Bit, 0x7FFF, {}, 0},
      {"16 bit black: ink", df16Bit, 0, {}, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Reason);
    auto image = OnePixel(c.Format, c.Value, c.Palette);
    if (c.Format == df8Bit && c.Palette.empty()) {
      for (std::int32_t i = 0; i < 256; ++i) image->SetPaletteEntry(i, i * 0x010101u);
    }
    const TInkMask mask = InkMaskOf(*image);
    ASSERT_EQ(mask.Width, 2);
    ASSERT_EQ(mask.Height, 1);
    EXPECT_EQ(mask.At(0, 0), c.Ink);
    EXPECT_EQ(image->Format(), c.Format);  // the image is left as it is
  }
}

TEST(InkMask, ReadsRowsFromTheTop) {
  TDIB image;
  image.Allocate(3, 2, df1Bit, 72, 72);
  image.SetPaletteEntry(0, 0x000000);
  image.SetPaletteEntry(1, 0xFFFFFF);
  image.Fill(0xFF);
  image.SetPixel(2, 0, 0);
  const TTempFolder folder;
  image.SavePNGToFile(folder / "page.png");
  const TInkMask mask = ReadInkMask(folder / "page.png");
  EXPECT_EQ(mask.Ink, (std::vector<std::uint8_t>{0, 0, 1, 0, 0, 0}));
}

}  // namespace
