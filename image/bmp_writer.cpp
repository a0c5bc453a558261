// The bitmap file writer: the image's packed bitmap (info header, colour table, rows bottom
// row first, padding included) behind a 14-byte file header.
#include "image/dibunit.h"
#include "image/safe_file.h"
#include "image/stream.h"
#include "platform/errors.h"

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;

}  // namespace

void TDIB::SaveBMPToStream(TStream& stream) {
  if (infoHeader_ == nullptr) throw EError(kNoImageToSave);
  // The rows are written from where they are, so a block whose rows do not follow the
  // colour table directly still gives a well-formed file.
  std::uint32_t tableBytes = 4 * static_cast<std::uint32_t>(paletteCount_);
  std::uint32_t pixelBytes =
      static_cast<std::uint32_t>(Height()) * static_cast<std::uint32_t>(stride_);
  fileHeader_ = {};
  fileHeader_.bfType = 0x4D42;
  fileHeader_.bfOffBits = kFileHeaderSize + kInfoHeaderSize + tableBytes;
  fileHeader_.bfSize = fileHeader_.bfOffBits + pixelBytes;
  TBitmapInfoHeader header = *infoHeader_;
  header.biSize = kInfoHeaderSize;
  stream.Write(&fileHeader_, sizeof fileHeader_);
  stream.Write(&header, sizeof header);
  stream.Write(palette_, tableBytes);
  stream.Write(bits_, pixelBytes);
}

void TDIB::SaveBMPToFile(const std::string& fileName) {
  WriteFileSafely(fileName, false, [this](TStream& stream) { SaveBMPToStream(stream); });
}
