// Opening image files: the format comes from the first bytes, never from the name; readers
// start at the stream's current position; the signature tests put the position back; and
// readers and writers run on several threads at once without disturbing each other.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "image/dibunit.h"
#include "image/streams.h"
#include "platform/errors.h"
#include "tests/image/codec_fixtures.h"

namespace {

TEST(Load, FormatIsToldByTheFirstBytesNotTheName) {
  TScratchDir dir;
  auto image = MakePatternImage(df8Bit, 9, 7, 150);
  image->SaveBMPToFile(dir.Path("bitmap.tif"));
  image->SavePNGToFile(dir.Path("png.jpg"));
  WriteFileBytes(dir.Path("text.png"), {'H', 'e', 'l', 'l', 'o', '\n'});
  for (const char* name : {"bitmap.tif", "png.jpg"}) {
    SCOPED_TRACE(name);
    TDIB copy;
    copy.LoadFromFile(dir.Path(name), 0);
    ExpectSameImage(*image, copy);
  }
  TDIB text;
  EXPECT_EQ(FailureOf([&] { text.LoadFromFile(dir.Path("text.png"), 0); }),
            "Not a JPEG file: starts with 0x48 0x65")
      << "whatever matches no signature goes to the JPEG reader";
}

TEST(Load, MissingFileGivesTheSystemsErrorWithItsName) {
  TScratchDir dir;
  TDIB image;
  image.Allocate(2, 2, df8Bit, 0, 0);
  try {
    image.LoadFromFile(dir.Path("absent.png"), 0);
    FAIL() << "no exception";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.ErrorCode(), ENOENT);
    EXPECT_NE(std::string(error.what()).find("absent.png"), std::string::npos) << error.what();
  }
  EXPECT_EQ(image.Width(), 2) << "the image is left as it was";
}

TEST(Load, SignatureTests) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    bool bmp, tiff, png;
    const char* why;
  };
  const Case cases[] = {
      {{'B', 'M'}, true, false, false, "two bytes are enough for a bitmap"},
      {{'I', 'I', 42, 0}, false, true, false, "little-endian TIFF"},
      {{'M', 'M', 0, 7}, false, true, false, "the TIFF version is not checked"},
      {{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, false, false, true, "PNG signature"},
      {{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A}, false, false, false, "PNG signature cut short"},
      {{'B'}, false, false, false, "one byte"},
      {{}, false, false, false, "empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::vector<std::uint8_t> bytes = {1, 2, 3};  // the signature starts where the stream is
    bytes.insert(bytes.end(), c.bytes.begin(), c.bytes.end());
    TMemoryStream stream(bytes);
    stream.Seek(3, soBeginning);
    EXPECT_EQ(TDIB::IsBMPStream(stream), c.bmp);
    EXPECT_EQ(TDIB::IsTIFFStream(stream), c.tiff);
    EXPECT_EQ(TDIB::IsPNGStream(stream), c.png);
    EXPECT_EQ(stream.Position(), 3) << "the position is put back";
  }
}

TEST(Load, ReadersStartWhereTheStreamIs) {
  auto image = MakePatternImage(df24Bit, 10, 6, 96);
  struct Case {
    TStreamWriter write;
    const char* why;
  };
  const Case cases[] = {{&TDIB::SaveBMPToStream, "bitmap"}, {&TDIB::SavePNGToStream, "PNG"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::vector<std::uint8_t> bytes(37, 0xEE);  // whatever comes before the image
    std::vector<std::uint8_t> file = SaveToBytes(*image, c.write);
    bytes.insert(bytes.end(), file.begin(), file.end());
    TMemoryStream stream(bytes);
    stream.Seek(37, soBeginning);
    TDIB copy;
    copy.LoadFromStream(stream, 0);
    ExpectSameImage(*image, copy);
  }
}

TEST(Load, JPEGStartsWhereTheStreamIs) {
  ZW_REQUIRE_TOOL("cjpeg");
  TScratchDir dir;
  auto image = MakePatternImage(df24Bit, 16, 8, 0);
  WritePNM(*image, dir.Path("page.ppm"));
  ASSERT_TRUE(RunTool("cjpeg -outfile " + dir.Path("page.jpg") + " " + dir.Path("page.ppm")));
  std::vector<std::uint8_t> bytes(5, 0);
  std::vector<std::uint8_t> file = ReadFileBytes(dir.Path("page.jpg"));
  bytes.insert(bytes.end(), file.begin(), file.end());
  TMemoryStream stream(bytes);
  stream.Seek(5, soBeginning);
  TDIB copy;
  copy.LoadFromStream(stream, 0);
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_EQ(copy.Format(), df24Bit);
}

TEST(Load, EveryResolutionSurvivesBitmapAndPNG) {
  // Pixels per metre are whole numbers in both files; rounding twice must still give back
  // every dots-per-inch value a scanner may report.
  for (TStreamWriter write : {&TDIB::SaveBMPToStream, &TDIB::SavePNGToStream}) {
    for (std::int32_t dpi = 0; dpi <= 4800; dpi += dpi < 400 ? 1 : 37) {
      TDIB image;
      image.Allocate(1, 1, df1Bit, dpi, 4800 - dpi);
      TMemoryStream stream(SaveToBytes(image, write));
      TDIB copy;
      copy.LoadFromStream(stream, 0);
      ASSERT_EQ(copy.XResolution(), dpi);
      ASSERT_EQ(copy.YResolution(), 4800 - dpi);
    }
  }
}

// Each thread writes and reads its own images and meets broken files of every reader; the
// results and messages must be those a single thread gets.
TEST(Load, ReadersAndWritersRunOnSeveralThreadsAtOnce) {
  auto worker = [](int seed, std::string& failure) {
    auto image = MakePatternImage(seed % 2 ? df24Bit : df4Bit, 31 + seed, 17, 72 + seed);
    for (int round = 0; round < 20 && failure.empty(); ++round) {
      for (TStreamWriter write : {&TDIB::SaveBMPToStream, &TDIB::SavePNGToStream}) {
        TMemoryStream stream;
        ((*image).*write)(stream);
        stream.Seek(0, soBeginning);
        TDIB copy;
        copy.LoadFromStream(stream, 0);
        if (copy.Width() != image->Width() || copy.XResolution() != image->XResolution() ||
            std::memcmp(copy.Row(5), image->Row(5),
                        static_cast<std::size_t>(image->BytesPerRow())) != 0) {
          failure = "round trip differs";
        }
      }
      std::string jpeg = ReadFailure({'X', 'Y', 'Z'}, &TDIB::LoadJPEGFromStream);
      std::string png = ReadFailure({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0},
                                    &TDIB::LoadPNGFromStream);
      if (jpeg != "Not a JPEG file: starts with 0x58 0x59") failure = "JPEG message: " + jpeg;
      if (png != "Unexpected end of PNG data") failure = "PNG message: " + png;
    }
  };
  constexpr int kThreads = 4;
  std::vector<std::string> failures(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) threads.emplace_back(worker, i, std::ref(failures[i]));
  for (std::thread& thread : threads) thread.join();
  for (const std::string& failure : failures) EXPECT_EQ(failure, "");
}

}  // namespace
