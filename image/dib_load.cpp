// Reading an image file: the format is told by the file's first bytes, never by its name, and
// the matching reader fills the image. Anything unrecognised is handed to the JPEG reader,
// whose own message then says what is wrong with it.
#include <array>
#include <cstring>

#include "image/dibunit.h"
#include "image/streams.h"

namespace {

// Reads the first size bytes at the current position and puts the position back.
template <std::size_t size>
std::array<std::uint8_t, size> Peek(TStream& stream, std::size_t& got) {
  std::array<std::uint8_t, size> bytes{};
  std::int64_t start = stream.Position();
  got = stream.Read(bytes.data(), size);
  stream.Seek(start, soBeginning);
  return bytes;
}

}  // namespace

void TDIB::LoadFromFile(const std::string& fileName, std::int32_t page) {
  TFileStream stream(fileName, fmOpenRead);
  LoadFromStream(stream, page);
}

void TDIB::LoadFromStream(TStream& stream, std::int32_t page) {
  if (IsBMPStream(stream)) {
    LoadBMPFromStream(stream);
  } else if (IsTIFFStream(stream)) {
    LoadTIFFFromStream(stream, page);
  } else if (IsPNGStream(stream)) {
    LoadPNGFromStream(stream);
  } else {
    LoadJPEGFromStream(stream);
  }
}

bool TDIB::IsBMPStream(TStream& stream) {
  std::size_t got = 0;
  auto bytes = Peek<14>(stream, got);
  return got >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

bool TDIB::IsTIFFStream(TStream& stream) {
  std::size_t got = 0;
  auto bytes = Peek<4>(stream, got);
  return got >= 2 && ((bytes[0] == 'I' && bytes[1] == 'I') || (bytes[0] == 'M' && bytes[1] == 'M'));
}

bool TDIB::IsPNGStream(TStream& stream) {
  static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::size_t got = 0;
  auto bytes = Peek<8>(stream, got);
  return got == 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}
