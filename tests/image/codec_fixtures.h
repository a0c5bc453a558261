// What the file reader and writer tests share: a scratch folder per test, the Debian tools
// that make files no one here wrote, patterned images of every format, a PNM bridge to those
// tools, and comparisons of images by their stored bytes or by their colours.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/dibunit.h"
#include "image/streams.h"
#include "platform/errors.h"

// A folder of its own for one test, removed with everything in it at the end.
class TScratchDir {
 public:
  TScratchDir();
  ~TScratchDir();
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Folder() const { return path_; }

 private:
  std::string path_;
};

bool HaveTool(const std::string& tool);
// Runs a shell command with its output discarded; true when it exited with 0.
bool RunTool(const std::string& command);

// Skips the test when a tool that makes its fixtures is not installed.
#define ZW_REQUIRE_TOOL(tool) \
  if (!HaveTool(tool)) GTEST_SKIP() << "needs the tool " << (tool)

std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName);
void WriteFileBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes);

// An image of every pixel value the format has (as far as the size allows), with a colour
// table of distinct non-gray colours for 1, 4 and 8 bits, so that a reader that mixes up
// rows, nibbles, channels or table entries shows it.
std::unique_ptr<TDIB> MakePatternImage(TDIBFormat format, std::int32_t width, std::int32_t height,
                                       std::int32_t dpi);
// A 24-bit image with only the given colours (0xRRGGBB), in a pattern.
std::unique_ptr<TDIB> MakeFewColourImage(const std::vector<std::uint32_t>& colours,
                                         std::int32_t width, std::int32_t height);

// Binary PNM: P6 for 24 bits, P5 for 8 bits (gray levels of the colour table). maxValue
// below 255 writes the gray levels scaled down to 0 .. maxValue.
void WritePNM(const TDIB& image, const std::string& fileName, int maxValue = 255);
// The same with 16-bit samples: the high byte is the image's, the low byte a pattern that
// makes the file truly need 16 bits.
void WritePNM16(const TDIB& image, const std::string& fileName);
std::unique_ptr<TDIB> ReadPNM(const std::string& fileName);

// The colour of a pixel as 0xRRGGBB, through the colour table where there is one.
std::uint32_t ColourAt(const TDIB& image, std::int32_t x, std::int32_t y);

// Same geometry and the same colour at every pixel, whatever the formats.
void ExpectSameColours(const TDIB& expected, const TDIB& actual);
// Same format, geometry, resolution, colour table and pixel bytes (padding aside).
void ExpectSameImage(const TDIB& expected, const TDIB& actual);

// The bytes of a PNG chunk's data (IHDR, PLTE, pHYs ...), empty when the file has none.
std::vector<std::uint8_t> PngChunk(const std::vector<std::uint8_t>& file, const char* type);
// Rewrites the data of a PNG chunk in place and fixes its CRC.
void PatchPngChunk(std::vector<std::uint8_t>& file, const char* type,
                   const std::vector<std::uint8_t>& data);

std::uint32_t U32LE(const std::vector<std::uint8_t>& bytes, std::size_t offset);
std::uint32_t U32BE(const std::vector<std::uint8_t>& bytes, std::size_t offset);
void PutU16LE(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);
void PutU32LE(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
void PutU32BE(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);

// A stream whose reads and writes fail with an operating-system error once a number of
// bytes has passed, as a full disk or a broken network share would.
class TBudgetStream : public TMemoryStream {
 public:
  TBudgetStream(std::vector<std::uint8_t> bytes, std::size_t budget, int errorCode)
      : TMemoryStream(std::move(bytes)), budget_(budget), errorCode_(errorCode) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    Spend(count);
    return TMemoryStream::Read(buffer, count);
  }
  void Write(const void* buffer, std::size_t count) override {
    Spend(count);
    TMemoryStream::Write(buffer, count);
  }

 private:
  void Spend(std::size_t count) {
    if (count > budget_) throw EOSError(errorCode_, "failing stream");
    budget_ -= count;
  }
  std::size_t budget_;
  int errorCode_;
};

// A writer or a reader of one format, as a member of TDIB.
using TStreamWriter = void (TDIB::*)(TStream&);
using TStreamReader = void (TDIB::*)(TStream&);
std::vector<std::uint8_t> SaveToBytes(TDIB& image, TStreamWriter write);
std::unique_ptr<TDIB> LoadFromBytes(const std::vector<std::uint8_t>& bytes, TStreamReader read);
// The message a reader raises on bytes, or "" when it raises none.
std::string ReadFailure(const std::vector<std::uint8_t>& bytes, TStreamReader read);

// The message of the exception load throws, or "" when it throws none.
template <typename Load>
std::string FailureOf(Load load) {
  try {
    load();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "";
}
