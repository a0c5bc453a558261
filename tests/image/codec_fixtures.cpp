// Shared machinery of the file reader and writer tests: see codec_fixtures.h.
#include "tests/image/codec_fixtures.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "image/streams.h"

namespace {

std::string ScratchBase() {
  const char* base = std::getenv("ZW_TEST_TMP");
  std::string folder = base != nullptr && *base != 0 ? base : "/tmp";
  std::filesystem::create_directories(folder);
  return folder;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

// Where a chunk's length field starts, or npos.
std::size_t FindChunk(const std::vector<std::uint8_t>& file, const char* type) {
  std::size_t at = 8;
  while (at + 12 <= file.size()) {
    std::uint32_t length = U32BE(file, at);
    if (std::memcmp(file.data() + at + 4, type, 4) == 0) return at;
    at += 12 + static_cast<std::size_t>(length);
  }
  return std::string::npos;
}

std::uint32_t Widen5(std::uint32_t channel) {
  return (channel * 255 + 15) / 31;
}

std::int32_t PatternValue(std::int32_t x, std::int32_t y) {
  return x * 7 + y * 13 + x * y;
}

void InstallColourTable(TDIB& image) {
  std::int32_t count = image.PaletteCount();
  for (std::int32_t i = 0; i < count; ++i) {
    std::uint32_t red = (i * 97 + 40) & 255, green = (i * 53 + 200) & 255,
                  blue = (i * 29 + 7) & 255;
    image.SetPaletteEntry(i, blue | green << 8 | red << 16);
  }
}

std::string ImageMagick() {
  return access("/usr/bin/convert", X_OK) == 0 ? "/usr/bin/convert" : "convert";
}

}  // namespace

TScratchDir::TScratchDir() {
  std::string pattern = ScratchBase() + "/zw-codec-XXXXXX";
  std::vector<char> text(pattern.begin(), pattern.end());
  text.push_back(0);
  if (mkdtemp(text.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
  path_ = text.data();
}

TScratchDir::~TScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool HaveTool(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

bool RunTool(const std::string& command) {
  std::string line = command;
  // ImageMagick is called by its full name where it is, past any other convert on the path.
  if (line.rfind("convert ", 0) == 0) line = ImageMagick() + line.substr(7);
  // The group keeps a redirection inside the command (tool > file) working.
  return std::system(("{ " + line + "; } >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(fileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::unique_ptr<TDIB> MakePatternImage(TDIBFormat format, std::int32_t width, std::int32_t height,
                                       std::int32_t dpi) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(width, height, format, dpi, dpi);
  InstallColourTable(*image);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      std::int32_t v = PatternValue(x, y);
      std::int32_t value = 0;
      switch (format) {
        case df1Bit:
          value = v & 1;
          break;
        case df4Bit:
          value = v & 15;
          break;
        case df8Bit:
          value = v & 255;
          break;
        case df15Bit:
        case df16Bit:
          value = (x * 977 + y * 131) & 0x7FFF;
          break;
        default:
          value = ((x * 11 + y) & 255) | ((y * 5 + 3 * x) & 255) << 8 | ((x ^ y) * 3 & 255) << 16;
      }
      image->SetPixel(x, y, value);
    }
  }
  return image;
}

std::unique_ptr<TDIB> MakeFewColourImage(const std::vector<std::uint32_t>& colours,
                                         std::int32_t width, std::int32_t height) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(width, height, df24Bit, 0, 0);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint32_t rgb = colours[static_cast<std::size_t>(PatternValue(x, y)) % colours.size()];
      std::uint32_t red = rgb >> 16 & 255, green = rgb >> 8 & 255, blue = rgb & 255;
      image->SetPixel(x, y, static_cast<std::int32_t>(red | green << 8 | blue << 16));
    }
  }
  return image;
}

void WritePNM(const TDIB& image, const std::string& fileName, int maxValue) {
  bool colour = image.Format() == df24Bit;
  std::ofstream out(fileName, std::ios::binary);
  out << (colour ? "P6\n" : "P5\n") << image.Width() << ' ' << image.Height() << '\n'
      << maxValue << '\n';
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      std::uint32_t rgb = ColourAt(image, x, y);
      if (colour) {
        out.put(static_cast<char>(rgb >> 16)).put(static_cast<char>(rgb >> 8));
      }
      out.put(static_cast<char>((rgb & 255) * static_cast<std::uint32_t>(maxValue) / 255));
    }
  }
}

void WritePNM16(const TDIB& image, const std::string& fileName) {
  bool colour = image.Format() == df24Bit;
  std::ofstream out(fileName, std::ios::binary);
  out << (colour ? "P6\n" : "P5\n") << image.Width() << ' ' << image.Height() << "\n65535\n";
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      std::uint32_t rgb = ColourAt(image, x, y);
      for (int shift : {16, 8, 0}) {
        if (!colour && shift != 0) continue;
        out.put(static_cast<char>(rgb >> shift)).put(static_cast<char>(x * 37 + y * 11 + shift));
      }
    }
  }
}

std::unique_ptr<TDIB> ReadPNM(const std::string& fileName) {
  std::vector<std::uint8_t> bytes = ReadFileBytes(fileName);
  std::string text(bytes.begin(), bytes.end());
  std::istringstream header(text);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  header >> magic >> width >> height >> maxValue;
  if ((magic != "P5" && magic != "P6") || maxValue != 255) {
    throw std::runtime_error("unexpected PNM " + fileName);
  }
  std::size_t at = static_cast<std::size_t>(header.tellg()) + 1;
  bool colour = magic == "P6";
  auto image = std::make_unique<TDIB>();
  image->Allocate(width, height, colour ? df24Bit : df8Bit, 0, 0);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      if (colour) {
        image->SetPixel(x, y, bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16);
        at += 3;
      } else {
        image->SetPixel(x, y, bytes[at++]);
      }
    }
  }
  return image;
}

std::uint32_t ColourAt(const TDIB& image, std::int32_t x, std::int32_t y) {
  std::uint32_t value = static_cast<std::uint32_t>(image.GetPixel(x, y));
  switch (image.Format()) {
    case df1Bit:
    case df4Bit:
    case df8Bit:
      return image.GetPaletteEntry(static_cast<std::int32_t>(value)) & 0xFFFFFF;
    case df15Bit:
    case df16Bit:
      return Widen5(value >> 10 & 31) << 16 | Widen5(value >> 5 & 31) << 8 | Widen5(value & 31);
    default:
      return (value & 255) << 16 | (value & 0xFF00) | (value >> 16 & 255);
  }
}

void ExpectSameColours(const TDIB& expected, const TDIB& actual) {
  ASSERT_EQ(expected.Width(), actual.Width());
  ASSERT_EQ(expected.Height(), actual.Height());
  int mismatches = 0;
  for (std::int32_t y = 0; y < expected.Height(); ++y) {
    for (std::int32_t x = 0; x < expected.Width(); ++x) {
      if (ColourAt(expected, x, y) == ColourAt(actual, x, y)) continue;
      if (++mismatches <= 3) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): expected " << std::hex
                      << ColourAt(expected, x, y) << ", got " << ColourAt(actual, x, y);
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

void ExpectSameImage(const TDIB& expected, const TDIB& actual) {
  ASSERT_EQ(expected.Format(), actual.Format());
  ASSERT_EQ(expected.Width(), actual.Width());
  ASSERT_EQ(expected.Height(), actual.Height());
  EXPECT_EQ(expected.XResolution(), actual.XResolution());
  EXPECT_EQ(expected.YResolution(), actual.YResolution());
  ASSERT_EQ(expected.PaletteCount(), actual.PaletteCount());
  for (std::int32_t i = 0; i < expected.PaletteCount(); ++i) {
    EXPECT_EQ(expected.GetPaletteEntry(i), actual.GetPaletteEntry(i)) << "colour-table entry " << i;
  }
  for (std::int32_t y = 0; y < expected.Height(); ++y) {
    EXPECT_EQ(0, std::memcmp(expected.Row(y), actual.Row(y),
                             static_cast<std::size_t>(expected.BytesPerRow())))
        << "row " << y;
  }
}

std::vector<std::uint8_t> PngChunk(const std::vector<std::uint8_t>& file, const char* type) {
  std::size_t at = FindChunk(file, type);
  if (at == std::string::npos) return {};
  auto begin = file.begin() + static_cast<std::ptrdiff_t>(at + 8);
  return {begin, begin + U32BE(file, at)};
}

void PatchPngChunk(std::vector<std::uint8_t>& file, const char* type,
                   const std::vector<std::uint8_t>& data) {
  std::size_t at = FindChunk(file, type);
  ASSERT_NE(at, std::string::npos) << type;
  ASSERT_EQ(U32BE(file, at), data.size()) << type;
  std::copy(data.begin(), data.end(), file.begin() + static_cast<std::ptrdiff_t>(at + 8));
  PutU32BE(file, at + 8 + data.size(), Crc32(file.data() + at + 4, data.size() + 4));
}

std::uint32_t U32LE(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

std::uint32_t U32BE(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) << 24 | bytes[offset + 1] << 16 |
         bytes[offset + 2] << 8 | bytes[offset + 3];
}

void PutU16LE(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32LE(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutU32BE(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

std::vector<std::uint8_t> SaveToBytes(TDIB& image, TStreamWriter write) {
  TMemoryStream stream;
  (image.*write)(stream);
  return stream.Bytes();
}

std::unique_ptr<TDIB> LoadFromBytes(const std::vector<std::uint8_t>& bytes, TStreamReader read) {
  TMemoryStream stream(bytes);
  auto image = std::make_unique<TDIB>();
  ((*image).*read)(stream);
  return image;
}

std::string ReadFailure(const std::vector<std::uint8_t>& bytes, TStreamReader read) {
  return FailureOf([&] { LoadFromBytes(bytes, read); });
}
