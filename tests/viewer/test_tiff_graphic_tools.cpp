// The view's TIFF reader on files made at test time by libtiff's tools (tiffcp, ppm2tiff,
// tiff2bw, fax2tiff) and ImageMagick: lossless files must show the picture they were made
// from; lossy or converted ones what the image library reads from the same file. Each test is
// skipped when its tool is missing.
#include <gtest/gtest.h>

#include "tests/image/codec_fixtures.h"
#include "tests/image/test_tiff_support.h"
#include "tests/viewer/test_tiff_graphic_support.h"

namespace {

// What a file must show: the picture it was made from, what the image library reads from it,
// or that within one level (16-bit colour maps scale by 256 / 65535 here and by 255 / 65535
// in the image library).
enum TReference { rfPicture, rfLibrary, rfLibraryMap };

struct TToolCase {
  TPicture picture;
  const char* command;  // {in} is the base file of the picture, {out} the file to read
  TGraphicFormat format;
  TTiffCompressionCode code;
  TReference reference;
  const char* reason;
};

std::string Expand(std::string command, const std::string& in, const std::string& out) {
  command.replace(command.find("{in}"), 4, in);
  command.replace(command.find("{out}"), 5, out);
  return command;
}

// The picture as a TIFF to start from: gray and colour through ppm2tiff, bi-level as our
// writer's Group 4 file made plain by tiffcp, so that it is min-is-white as fax pages are.
std::string BaseFile(const TScratchDir& dir, TPicture kind, TDIB& picture) {
  const std::string base = dir.Path("base.tif");
  if (kind == TPicture::BiLevel) {
    const std::string fax = dir.Path("fax.tif");
    WriteFileBytes(fax, SaveTiffBytes(picture, tcCCITT4));
    EXPECT_TRUE(RunTool("tiffcp -c none " + fax + " " + base));
    return base;
  }
  const std::string pnm = dir.Path("base.pnm");
  WritePNM(picture, pnm);
  EXPECT_TRUE(RunTool("ppm2tiff " + pnm + " " + base));
  return base;
}

void CheckToolFiles(const std::vector<TToolCase>& cases) {
  for (const TToolCase& c : cases) {
    SCOPED_TRACE(c.reason);
    TScratchDir dir;
    const auto picture = MakePicture(c.picture, 45, 33);
    const std::string out = dir.Path("out.tif");
    ASSERT_TRUE(RunTool(Expand(c.command, BaseFile(dir, c.picture, *picture), out)));
    const auto file = ReadFileBytes(out);
    const auto graphic = ReadTiffGraphic(file);
    EXPECT_EQ(graphic->ImageFormat(), c.format);
    EXPECT_EQ(graphic->Compression(), c.code);
    ExpectGraphicColours(c.reference == rfPicture ? *picture : *LoadTiffBytes(file), *graphic,
                         c.reference == rfLibraryMap ? 1 : 0);
  }
}

TEST(TiffGraphicTools, TiffcpCompressionsAndTiles) {
  ZW_REQUIRE_TOOL("tiffcp");
  ZW_REQUIRE_TOOL("ppm2tiff");
  using P = TPicture;
  CheckToolFiles({
      {P::BiLevel, "tiffcp -c none {in} {out}", gfBilevel, ctNone, rfPicture, "plain"},
      {P::BiLevel, "tiffcp -c lzw {in} {out}", gfBilevel, ctLZW, rfPicture, "LZW"},
      {P::BiLevel, "tiffcp -c zip {in} {out}", gfBilevel, ctZLib, rfPicture, "Deflate, code 8"},
      {P::BiLevel, "tiffcp -c packbits {in} {out}", gfBilevel, ctPackbits, rfPicture, "PackBits"},
      {P::BiLevel, "tiffcp -c g3 {in} {out}", gfBilevel, ctGroup3_1D, rfPicture, "Group 3"},
      {P::BiLevel, "tiffcp -c g3:2d {in} {out}", gfBilevel, ctGroup3_2D, rfPicture, "Group 3 2-D"},
      {P::BiLevel, "tiffcp -c g4 {in} {out}", gfBilevel, ctGroup4, rfPicture, "Group 4"},
      {P::BiLevel, "tiffcp -f lsb2msb -c g4 {in} {out}", gfBilevel, ctGroup4, rfPicture,
       "bits filled from the low end"},
      {P::BiLevel, "tiffcp -c g4 -t -w 16 -l 16 {in} {out}", gfBilevel, ctGroup4, rfPicture,
       "Group 4 tiles"},
      {P::BiLevel, "tiffcp -t -w 16 -l 16 {in} {out}", gfBilevel, ctNone, rfPicture,
       "uncompressed min-is-white tiles"},
      {P::Gray256, "tiffcp -c lzw:2 {in} {out}", gfGray256, ctLZW, rfPicture, "LZW, differencing"},
      {P::Gray256, "tiffcp -c none -t -w 16 -l 32 {in} {out}", gfGray256, ctNone, rfPicture,
       "gray tiles"},
      {P::Gray256, "tiffcp -c jpeg {in} {out}", gfGray256, ctJPEG, rfLibrary, "gray JPEG"},
      {P::TrueColour, "tiffcp -c zip:2 {in} {out}", gfTrueColor, ctZLib, rfPicture,
       "colour Deflate"},
      {P::TrueColour, "tiffcp -c none -p separate {in} {out}", gfTrueColor, ctNone, rfPicture,
       "planes"},
      {P::TrueColour, "tiffcp -c none -t -w 32 -l 16 {in} {out}", gfTrueColor, ctNone, rfPicture,
       "colour tiles"},
      {P::TrueColour, "tiffcp -B -c lzw {in} {out}", gfTrueColor, ctLZW, rfPicture, "big-endian"},
      {P::TrueColour, "tiffcp -c jpeg {in} {out}", gfTrueColor, ctJPEG, rfLibrary, "YCbCr JPEG"},
      {P::TrueColour, "tiffcp -c jpeg:r -t -w 16 -l 16 {in} {out}", gfTrueColor, ctJPEG, rfLibrary,
       "RGB JPEG tiles"},
  });
}

TEST(TiffGraphicTools, Tiff2bwGrays) {
  ZW_REQUIRE_TOOL("tiff2bw");
  ZW_REQUIRE_TOOL("ppm2tiff");
  CheckToolFiles({{TPicture::TrueColour, "tiff2bw {in} {out}", gfGray256, ctNone, rfLibrary,
                   "gray by tiff2bw's weights"}});
}

// fax2tiff takes raw Group 3 rows: those of our writer's one-strip Group 3 file.
TEST(TiffGraphicTools, Fax2tiffPages) {
  ZW_REQUIRE_TOOL("fax2tiff");
  TScratchDir dir;
  const auto picture = MakePicture(TPicture::BiLevel, 45, 33);
  const auto g3 = SaveTiffBytes(*picture, tcCCITT3, 1000);
  const TTiffTags tags(g3, 0);
  const auto start = g3.begin() + static_cast<std::ptrdiff_t>(tags.Number(273));
  WriteFileBytes(dir.Path("fax.g3"),
                 {start, start + static_cast<std::ptrdiff_t>(tags.Number(279))});
  ASSERT_TRUE(RunTool("fax2tiff -M -X 45 -o " + dir.Path("out.tif") + " " + dir.Path("fax.g3")));
  const auto graphic = ReadTiffGraphic(ReadFileBytes(dir.Path("out.tif")));
  EXPECT_EQ(graphic->Compression(), ctGroup3_1D);
  EXPECT_EQ(graphic->RowsPerStrip(), 33u);  // "infinite" rows per strip: the whole page
  ExpectGraphicColours(*picture, *graphic);
}

TEST(TiffGraphicTools, ImageMagickDepthsPalettesAndAlpha) {
  ZW_REQUIRE_TOOL("convert");
  ZW_REQUIRE_TOOL("ppm2tiff");
  ZW_REQUIRE_TOOL("tiffcp");
  using P = TPicture;
  CheckToolFiles({
      {P::Gray256, "convert {in} -depth 16 -compress none {out}", gfGray256, ctNone, rfPicture,
       "16-bit gray"},
      {P::Gray256,
       "convert {in} -depth 16 -define quantum:polarity=min-is-white -compress lzw {out}",
       gfGray256, ctLZW, rfLibrary, "16-bit min-is-white, samples kept: a negative"},
      {P::TrueColour, "convert {in} -depth 16 -compress zip {out}", gfTrueColor, ctZLib, rfPicture,
       "48-bit colour"},
      {P::TrueColour, "convert {in} -alpha set -compress none {out}", gfTrueColor, ctNone,
       rfPicture, "RGBA, opaque"},
      {P::TrueColour, "convert {in} -colors 200 -type Palette -compress none {out}", gfColor256,
       ctNone, rfLibraryMap, "8-bit palette"},
      {P::Gray256, "convert {in} -colors 12 -type Palette -compress none {out}", gfColor16, ctNone,
       rfLibraryMap, "4-bit palette"},
      {P::BiLevel, "convert {in} -define quantum:polarity=min-is-black -compress none {out}",
       gfBilevel, ctNone, rfPicture, "min-is-black"},
      {P::BiLevel, "convert {in} -define quantum:polarity=min-is-white -compress none {out}",
       gfBilevel, ctNone, rfPicture, "min-is-white"},
  });
}

}  // namespace
