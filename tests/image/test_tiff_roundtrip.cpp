// The TIFF writer against the TIFF reader: every pixel format under every compression code
// comes back with the same colours (and, where the file can carry them, the same format,
// colour table and resolution); the fields the writer sets; pages appended; the image left
// unchanged by writing; failures that leave an existing file as it was.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "image/dibunit.h"
#include "image/streams.h"
#include "platform/errors.h"
#include "tests/image/codec_fixtures.h"
#include "tests/image/test_tiff_support.h"

namespace {

std::unique_ptr<TDIB> BlackWhiteImage(bool whiteFirst, std::int32_t width, std::int32_t height) {
  auto image = MakePatternImage(df1Bit, width, height, 300);
  image->SetPaletteEntry(0, whiteFirst ? 0xFFFFFF : 0);
  image->SetPaletteEntry(1, whiteFirst ? 0 : 0xFFFFFF);
  return image;
}

// An image as Allocate makes it (gray tables), with a ramp of its pixel values.
std::unique_ptr<TDIB> RampImage(TDIBFormat format, std::int32_t width, std::int32_t height) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(width, height, format, 200, 100);
  const std::int32_t levels = std::int32_t{1} << image->BitCount();
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) image->SetPixel(x, y, (x * 3 + y) % levels);
  }
  return image;
}

// The pattern image of a format with one value per 8 x 8 block: JPEG keeps flat blocks
// nearly exact, so what comes back shows whether colours landed in the right place.
std::unique_ptr<TDIB> BlockImage(TDIBFormat format) {
  auto image = MakePatternImage(format, 64, 40, 300);
  for (std::int32_t y = 0; y < image->Height(); ++y) {
    for (std::int32_t x = 0; x < image->Width(); ++x) {
      image->SetPixel(x, y, image->GetPixel(x / 8 * 8, y / 8 * 8));
    }
  }
  return image;
}

struct TSourceCase {
  const char* name;
  std::function<std::unique_ptr<TDIB>()> make;
  bool keepsFormat;  // whether the file carries format and colour table as they are
};

const std::vector<TSourceCase>& Sources() {
  static const std::vector<TSourceCase> sources = {
      {"1 bit black, white", [] { return BlackWhiteImage(false, 37, 19); }, true},
      {"1 bit white, black", [] { return BlackWhiteImage(true, 37, 19); }, false},
      {"4 bit colour table", [] { return MakePatternImage(df4Bit, 37, 19, 150); }, true},
      {"4 bit gray 16 x i", [] { return RampImage(df4Bit, 37, 19); }, true},
      {"8 bit colour table", [] { return MakePatternImage(df8Bit, 37, 19, 300); }, true},
      {"8 bit gray ramp", [] { return RampImage(df8Bit, 37, 19); }, true},
      {"15 bit", [] { return MakePatternImage(df15Bit, 37, 19, 300); }, false},
      {"16 bit", [] { return MakePatternImage(df16Bit, 37, 19, 300); }, false},
      {"24 bit", [] { return MakePatternImage(df24Bit, 37, 19, 96); }, true},
  };
  return sources;
}

}  // namespace

TEST(TiffRoundTrip, LosslessCodesGiveTheSameImageBack) {
  const TTIFFCompression codes[] = {tcNone, tcPackBits, tcDeflate, tcLZW, 9};
  for (const TSourceCase& source : Sources()) {
    for (TTIFFCompression code : codes) {
      SCOPED_TRACE(std::string(source.name) + ", code " + std::to_string(code));
      const auto image = source.make();
      const auto back = LoadTiffBytes(SaveTiffBytes(*image, code));
      ExpectSameColours(*image, *back);
      EXPECT_EQ(back->XResolution(), image->XResolution());
      EXPECT_EQ(back->YResolution(), image->YResolution());
      if (source.keepsFormat) ExpectSameImage(*image, *back);
    }
  }
}

TEST(TiffRoundTrip, FaxCodesCarryBiLevelImagesAndRefuseOthers) {
  for (TTIFFCompression code : {tcCCITT3, tcCCITT3_2D, tcCCITT4}) {
    for (const TSourceCase& source : Sources()) {
      SCOPED_TRACE(std::string(source.name) + ", code " + std::to_string(code));
      const auto image = source.make();
      if (image->Format() == df1Bit) {
        const auto back = LoadTiffBytes(SaveTiffBytes(*image, code));
        ExpectSameColours(*image, *back);
        EXPECT_EQ(back->Format(), df1Bit);
      } else {
        EXPECT_EQ(FailureOf([&] { SaveTiffBytes(*image, code); }), "TIFFWriteScanLine, row 0")
            << "fax coding exists for one bit per pixel only";
      }
    }
  }
}

TEST(TiffRoundTrip, JpegComesBackCloseInColourForEveryFormat) {
  for (TDIBFormat format : {df1Bit, df4Bit, df8Bit, df15Bit, df16Bit, df24Bit}) {
    SCOPED_TRACE("format " + std::to_string(format));
    const auto image = BlockImage(format);
    const auto back = LoadTiffBytes(SaveTiffBytes(*image, tcJPEG));
    EXPECT_LE(LargestChannelDifference(*image, *back), 6);
    EXPECT_EQ(back->XResolution(), image->XResolution());
  }
  const auto gray = BlockImage(df8Bit);
  for (std::int32_t i = 0; i < 256; ++i) gray->SetPaletteEntry(i, 0x010101u * i);
  EXPECT_EQ(LoadTiffBytes(SaveTiffBytes(*gray, tcJPEG))->Format(), df8Bit)
      << "gray stays gray; colour tables come back as 24 bits";
}

TEST(TiffRoundTrip, AutomaticCompressionFollowsTheFormat) {
  struct TCase {
    TDIBFormat format;
    std::uint32_t compression;
    std::uint32_t rowsPerStrip;
    const char* reason;
  } const cases[] = {
      {df1Bit, 4, 16, "1 bit: Group 4"},
      {df4Bit, 32773, 16, "4 bits: PackBits"},
      {df8Bit, 7, 8, "8 bits: JPEG in strips of 8 rows"},
      {df15Bit, 7, 8, "15 bits: JPEG (after widening to 24 bits)"},
      {df16Bit, 7, 8, "16 bits: JPEG"},
      {df24Bit, 7, 8, "24 bits: JPEG"},
  };
  for (const TCase& c : cases) {
    const auto image = MakePatternImage(c.format, 20, 20, 300);
    const TTiffTags tags(SaveTiffBytes(*image, tcAuto, 16), 0);
    EXPECT_EQ(tags.Number(259), c.compression) << c.reason;
    EXPECT_EQ(tags.Number(278), c.rowsPerStrip) << c.reason;
  }
}

namespace {

// "yyyy:mm:dd hh:nn:ss"
bool IsTiffDateTime(const std::string& text) {
  const std::string shape = "dddd:dd:dd dd:dd:dd";
  if (text.size() != shape.size()) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (shape[i] == 'd' ? !digit : text[i] != shape[i]) return false;
  }
  return true;
}

}  // namespace

TEST(TiffWriter, SetsTheFieldsOfAPage) {
  auto image = MakePatternImage(df24Bit, 30, 12, 0);
  image->InfoHeader()->biXPelsPerMeter = 11811;  // 300 dpi
  image->InfoHeader()->biYPelsPerMeter = 5906;   // 150 dpi
  const TTiffTags tags(SaveTiffBytes(*image, tcLZW, 5), 0);
  EXPECT_EQ(tags.Number(256), 30);
  EXPECT_EQ(tags.Number(257), 12);
  EXPECT_EQ(tags.Number(258, 0), 8);
  EXPECT_EQ(tags.Number(258, 2), 8);
  EXPECT_EQ(tags.Number(277), 3);
  EXPECT_EQ(tags.Number(262), 2) << "RGB";
  EXPECT_EQ(tags.Number(259), 5) << "LZW";
  EXPECT_EQ(tags.Number(278), 5) << "rows per strip as asked";
  EXPECT_EQ(tags.Number(284), 1);
  EXPECT_EQ(tags.Number(296), 2) << "inch";
  EXPECT_EQ(tags.Number(282), 300);
  EXPECT_EQ(tags.Number(283), 150);
  EXPECT_EQ(tags.Text(305), "Vardemont Image Library");
  EXPECT_TRUE(IsTiffDateTime(tags.Text(306))) << tags.Text(306);
}

TEST(TiffWriter, RowsPerStripAndFaxOptions) {
  struct TCase {
    TDIBFormat format;
    TTIFFCompression code;
    std::int32_t rowsPerStrip;
    std::uint32_t expectedRows;
    std::int32_t t4Options;  // -1: no T4Options field
    const char* reason;
  } const cases[] = {
      {df8Bit, tcNone, 16, 16, -1, "rows per strip as passed"},
      {df8Bit, tcNone, 0, 16, -1, "0 means 16"},
      {df8Bit, tcNone, -3, 16, -1, "below 0 means 16"},
      {df8Bit, tcJPEG, 3, 8, -1, "JPEG always takes 8"},
      {df1Bit, tcCCITT3, 7, 7, 0, "Group 3 one-dimensional"},
      {df1Bit, tcCCITT3_2D, 7, 7, 1, "Group 3 two-dimensional"},
      {df1Bit, tcCCITT4, 7, 7, -1, "Group 4 has no T4Options"},
  };
  for (const TCase& c : cases) {
    const auto image = MakePatternImage(c.format, 20, 20, 300);
    const TTiffTags tags(SaveTiffBytes(*image, c.code, c.rowsPerStrip), 0);
    EXPECT_EQ(tags.Number(278), c.expectedRows) << c.reason;
    EXPECT_EQ(tags.Has(292), c.t4Options >= 0) << c.reason;
    if (c.t4Options >= 0) {
      EXPECT_EQ(tags.Number(292), c.t4Options) << c.reason;
    }
  }
}

namespace {

// The first strip of an uncompressed page as stored.
std::vector<std::uint8_t> FirstStrip(const std::vector<std::uint8_t>& file) {
  const TTiffTags tags(file, 0);
  const auto offset = static_cast<std::size_t>(tags.Number(273));
  const auto count = static_cast<std::size_t>(tags.Number(279));
  return {file.begin() + static_cast<std::ptrdiff_t>(offset),
          file.begin() + static_cast<std::ptrdiff_t>(offset + count)};
}

}  // namespace

TEST(TiffWriter, BiLevelFilesShowBlackAsBlackWhateverTheTable) {
  // One row of 8 pixels: values 1,1,0,0,1,0,1,0 = 0xCA as stored.
  struct TCase {
    bool whiteFirst;
    TTIFFCompression code;
    std::uint32_t photometric;
    std::uint8_t fileByte;
    const char* reason;
  } const cases[] = {
      {false, tcNone, 1, 0xCA, "min-is-black, entry 1 white: bits as stored"},
      {true, tcNone, 1, 0x35, "min-is-black, entry 0 white: complemented, not shown inverted"},
      {false, tcCCITT4, 0, 0x35, "min-is-white, entry 1 white: complemented"},
      {true, tcCCITT4, 0, 0xCA, "min-is-white, entry 0 white: as stored"},
  };
  for (const TCase& c : cases) {
    auto image = BlackWhiteImage(c.whiteFirst, 8, 1);
    image->Row(0)[0] = 0xCA;
    const auto file = SaveTiffBytes(*image, c.code);
    EXPECT_EQ(TTiffTags(file, 0).Number(262), c.photometric) << c.reason;
    if (c.code == tcNone) {
      EXPECT_EQ(FirstStrip(file)[0], c.fileByte) << c.reason;
    }
    ExpectSameColours(*image, *LoadTiffBytes(file));
  }
}

TEST(TiffWriter, ColourRowsGoOutRedGreenBlue) {
  TDIB image;
  image.Allocate(1, 1, df24Bit, 0, 0);
  image.Row(0)[0] = 1;  // blue
  image.Row(0)[1] = 2;  // green
  image.Row(0)[2] = 3;  // red
  const auto strip = FirstStrip(SaveTiffBytes(image, tcNone));
  EXPECT_EQ(strip, (std::vector<std::uint8_t>{3, 2, 1}));
}

TEST(TiffWriter, GrayRampsGoOutAsGrayAndOtherTablesAsAColourMap) {
  auto readerRamp = RampImage(df4Bit, 8, 2);
  for (std::int32_t i = 0; i < 16; ++i) readerRamp->SetPaletteEntry(i, 0x111111u * i);
  struct TCase {
    std::unique_ptr<TDIB> image;
    std::uint32_t photometric;
    const char* reason;
  } cases[] = {
      {RampImage(df8Bit, 8, 2), 1, "8 bits with entry i gray i"},
      {MakePatternImage(df8Bit, 8, 2, 0), 3, "8 bits with colours"},
      {MakePatternImage(df4Bit, 8, 2, 0), 3, "4 bits with colours"},
      {RampImage(df4Bit, 8, 2), 3, "4 bits with the 16 x i ramp Allocate gives"},
      {std::move(readerRamp), 1, "4 bits with the 17 x i ramp the reader gives"},
  };
  for (const TCase& c : cases) {
    const auto file = SaveTiffBytes(*c.image, tcNone);
    EXPECT_EQ(TTiffTags(file, 0).Number(262), c.photometric) << c.reason;
    ExpectSameImage(*c.image, *LoadTiffBytes(file));
  }
}

TEST(TiffWriter, LeavesTheImageAsItWas) {
  for (TDIBFormat format : {df1Bit, df16Bit, df24Bit}) {
    const auto image = MakePatternImage(format, 21, 9, 300);
    const auto before = image->Duplicate();
    for (TTIFFCompression code : {tcNone, tcAuto, tcCCITT4}) {
      if (format != df1Bit && code == tcCCITT4) continue;
      SaveTiffBytes(*image, code);
      EXPECT_EQ(image->Format(), format);
      EXPECT_EQ(0, std::memcmp(image->Block(), before->Block(),
                               static_cast<std::size_t>(image->BlockSize())))
          << "format " << int{format} << ", code " << int{code};
    }
  }
}

TEST(TiffWriter, WidensFifteenAndSixteenBitImagesToTwentyFourBits) {
  for (TDIBFormat format : {df15Bit, df16Bit}) {
    const auto image = MakePatternImage(format, 13, 7, 300);
    const auto file = SaveTiffBytes(*image, tcNone);
    const TTiffTags tags(file, 0);
    EXPECT_EQ(tags.Number(277), 3);
    EXPECT_EQ(tags.Number(262), 2);
    const auto back = LoadTiffBytes(file);
    EXPECT_EQ(back->Format(), df24Bit);
    ExpectSameColours(*image, *back);
  }
}

TEST(TiffWriter, RefusesImagesWithoutPixels) {
  TDIB empty, noColumns, noRows;
  noColumns.Allocate(0, 5, df1Bit, 0, 0);
  noRows.Allocate(5, 0, df24Bit, 0, 0);
  for (TDIB* image : {&empty, &noColumns, &noRows}) {
    TMemoryStream stream;
    EXPECT_EQ(FailureOf([&] { image->SaveTIFFToStream(stream, false, tcAuto, 16); }),
              "There is no image to save");
    EXPECT_EQ(stream.Size(), 0);
  }
}

TEST(TiffWriter, AppendingAddsPagesToAStream) {
  TMemoryStream stream;
  const auto first = BlackWhiteImage(false, 16, 8);
  const auto second = MakePatternImage(df8Bit, 9, 5, 300);
  const auto third = MakePatternImage(df24Bit, 7, 3, 300);
  first->SaveTIFFToStream(stream, true, tcAuto, 16);  // appending to nothing starts a file
  second->SaveTIFFToStream(stream, true, tcLZW, 16);
  third->SaveTIFFToStream(stream, true, tcNone, 16);
  ASSERT_EQ(TiffPageCount(stream.Bytes()), 3);
  ExpectSameImage(*first, *LoadTiffBytes(stream.Bytes(), 0));
  ExpectSameImage(*second, *LoadTiffBytes(stream.Bytes(), 1));
  ExpectSameImage(*third, *LoadTiffBytes(stream.Bytes(), 2));
}

TEST(TiffWriter, SavingToAFileAppendsOrReplaces) {
  TScratchDir dir;
  const std::string name = dir.Path("pages.tif");
  const auto page = BlackWhiteImage(false, 16, 8);
  page->SaveTIFFToFile(name, true, tcAuto, 16);
  EXPECT_EQ(TiffPageCount(ReadFileBytes(name)), 1) << "append to a missing file creates it";
  page->SaveTIFFToFile(name, true, tcAuto, 16);
  page->SaveTIFFToFile(name, true, tcNone, 16);
  EXPECT_EQ(TiffPageCount(ReadFileBytes(name)), 3);
  TDIB back;
  back.LoadFromFile(name, 2);
  ExpectSameImage(*page, back);
  page->SaveTIFFToFile(name, false, tcNone, 16);
  EXPECT_EQ(TiffPageCount(ReadFileBytes(name)), 1) << "without append the file is replaced";
}

TEST(TiffWriter, AFailedSaveLeavesTheExistingFileAsItWas) {
  TScratchDir dir;
  const std::string tiff = dir.Path("kept.tif");
  const std::string text = dir.Path("notes.tif");
  MakePatternImage(df1Bit, 16, 8, 300)->SaveTIFFToFile(tiff, false, tcAuto, 16);
  const std::vector<std::uint8_t> notes = {'h', 'e', 'l', 'l', 'o'};
  WriteFileBytes(text, notes);
  const auto tiffBefore = ReadFileBytes(tiff);
  const auto gray = MakePatternImage(df8Bit, 16, 8, 300);

  EXPECT_EQ(FailureOf([&] { gray->SaveTIFFToFile(tiff, true, tcCCITT4, 16); }),
            "TIFFWriteScanLine, row 0");
  EXPECT_EQ(ReadFileBytes(tiff), tiffBefore) << "appending failed half-way";
  EXPECT_EQ(FailureOf([&] { gray->SaveTIFFToFile(tiff, false, tcCCITT4, 16); }),
            "TIFFWriteScanLine, row 0");
  EXPECT_EQ(ReadFileBytes(tiff), tiffBefore) << "replacing failed half-way";
  EXPECT_EQ(FailureOf([&] { gray->SaveTIFFToFile(text, true, tcNone, 16); }), "TIFFOpen");
  EXPECT_EQ(ReadFileBytes(text), notes) << "a page cannot be added to what is not a TIFF";
}

namespace {

// A stream that fails like a full disk once `room` bytes have been written, or fails every
// read.
class TFailingStream : public TMemoryStream {
 public:
  TFailingStream(std::size_t room, bool failReads) : room_(room), failReads_(failReads) {}
  TFailingStream(std::vector<std::uint8_t> bytes, bool failReads)
      : TMemoryStream(std::move(bytes)), room_(SIZE_MAX), failReads_(failReads) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    if (failReads_) throw EOSError(EIO, "reading the test stream");
    return TMemoryStream::Read(buffer, count);
  }
  void Write(const void* buffer, std::size_t count) override {
    if (count > room_) throw EOSError(ENOSPC, "writing the test stream");
    room_ -= count;
    TMemoryStream::Write(buffer, count);
  }

 private:
  std::size_t room_;
  bool failReads_;
};

}  // namespace

TEST(TiffStreams, TheStreamsOwnFailureReachesTheCaller) {
  const auto image = MakePatternImage(df8Bit, 200, 100, 300);
  for (std::size_t room : {std::size_t{0}, std::size_t{100}, std::size_t{10000}}) {
    TFailingStream full(room, false);
    const std::string message =
        FailureOf([&] { image->SaveTIFFToStream(full, false, tcNone, 16); });
    EXPECT_NE(message.find("writing the test stream"), std::string::npos)
        << "room " << room << ": " << message;
  }
  TFailingStream unreadable(SaveTiffBytes(*image, tcNone), true);
  TDIB target;
  const std::string message = FailureOf([&] { target.LoadTIFFFromStream(unreadable, 0); });
  EXPECT_NE(message.find("reading the test stream"), std::string::npos) << message;
}

TEST(TiffStreams, ReadersAndWritersOnManyThreadsKeepTheirOwnResults) {
  const auto garbage = std::vector<std::uint8_t>{'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F};
  std::vector<std::string> failures(8);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < failures.size(); ++t) {
    threads.emplace_back([&, t] {
      const auto image = t % 2 ? BlackWhiteImage(false, 50 + int(t), 40)
                               : MakePatternImage(df24Bit, 50 + int(t), 40, 300);
      for (int round = 0; round < 20; ++round) {
        const auto back = LoadTiffBytes(SaveTiffBytes(*image, t % 2 ? tcCCITT4 : tcLZW));
        for (std::int32_t x = 0; x < image->Width(); ++x) {
          if (back->GetPixel(x, 7) != image->GetPixel(x, 7)) failures[t] = "pixels differ";
        }
        const std::string bad = FailureOf([&] { LoadTiffBytes(garbage); });
        if (bad.rfind("TIFFOpen", 0) != 0) failures[t] = "garbage gave: " + bad;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (const std::string& failure : failures) EXPECT_EQ(failure, "");
}
