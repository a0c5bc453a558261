// A reader's refusal keeps the fixed text the operator knows and carries the library's or
// the reader's own reason beside it, as "text (reason)"; the two parts stay apart for a
// message box that shows the reason as detail.
#include <gtest/gtest.h>

#include "image/dibunit.h"
#include "image/read_error.h"
#include "image/streams.h"
#include "tests/image/codec_fixtures.h"
#include "tests/image/test_tiff_support.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

TEST(ReaderReasons, FixedTextsCarryTheirReason) {
  std::vector<TTiffEntry> packBits = PlainEntries(8, 8, 8, 1, 1);
  packBits.push_back({259, ttShort, {32773}});
  struct TCase {
    TBytes file;
    const char* text;
    const char* why;
  } const cases[] = {
      {{'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F}, "TIFFOpen", "directory beyond the file"},
      {{'M', 'M', 0, 42}, "TIFFOpen", "header only"},
      {CraftTiff(packBits, {{0x05, 1, 2}}), "TIFFReadEncodedStrip", "strip shorter than its rows"},
      {{'B', 'M', 0, 0, 0, 0}, kInvalidBitmap, "bitmap shorter than its headers"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.why);
    TMemoryStream stream(c.file);
    TDIB image;
    try {
      image.LoadFromStream(stream, 0);
      ADD_FAILURE() << "read without a failure";
    } catch (const EReadError& error) {
      EXPECT_EQ(error.Text(), c.text);
      EXPECT_FALSE(error.Reason().empty());
      EXPECT_EQ(std::string(error.what()), std::string(c.text) + " (" + error.Reason() + ")");
      EXPECT_EQ(error.Reason().rfind(": ", 0), std::string::npos) << "no empty file name";
    }
  }
}

TEST(ReaderReasons, WithoutAReasonTheTextStandsAlone) {
  EXPECT_STREQ(EReadError("TIFFOpen", "").what(), "TIFFOpen");
}

}  // namespace
