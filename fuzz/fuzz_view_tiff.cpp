// Fuzz target: the view's TIFF reader, as the processed view uses it: the pages are counted,
// the first page and the last one are read. A refusal with the system's message must leave
// the graphic empty; a page that reads is checked whole (every row byte and colour-table
// entry touched, so that the sanitizers see any row outside the pixels) and must survive the
// trip through a packed DIB block unchanged. Anything else is a finding.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/dibunit.h"
#include "image/streams.h"
#include "platform/errors.h"
#include "platform/memory_block.h"
#include "viewer/tiff_graphic.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

std::uint32_t TouchEveryByte(const TDibGraphic& graphic) {
  std::uint32_t sum = 0;
  for (std::int32_t y = 0; y < graphic.Height(); ++y) {
    const std::uint8_t* row = graphic.ScanLine(y);
    for (std::int32_t i = 0; i < graphic.BytesPerRow(); ++i) sum += row[i];
  }
  for (std::int32_t i = 0; i < graphic.PaletteCount(); ++i) sum += graphic.ColorTable()[i].rgbRed;
  return sum;
}

void CheckBlockTrip(const TDibGraphic& graphic) {
  TBlockOwner block(graphic.CreateHDIB());
  TDibGraphic copy;
  copy.AssignHDIB(block.Get());
  Require(copy.Width() == graphic.Width() && copy.Height() == graphic.Height());
  const auto bytes = static_cast<std::size_t>(graphic.BytesPerRow()) * graphic.Height();
  Require(std::memcmp(copy.Bits(), graphic.Bits(), bytes) == 0);
}

void ReadPage(TStream& stream, std::int32_t index) {
  stream.Seek(0, soBeginning);
  TTiffGraphic graphic;
  std::uint8_t last = 0;
  bool reported = false;
  graphic.OnProgress = [&](const void*, std::uint8_t percent) {
    Require(!reported || percent > last);
    reported = true;
    last = percent;
  };
  try {
    graphic.ReadImage(stream, index);
  } catch (const EError&) {
    Require(graphic.Empty());
    return;
  }
  Require(last == 100);
  volatile std::uint32_t sink = TouchEveryByte(graphic);
  (void)sink;
  CheckBlockTrip(graphic);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TMemoryStream stream(data, size);
  if (!TDIB::IsTIFFStream(stream)) return -1;
  std::int32_t count = 0;
  try {
    count = TTiffGraphic().ImageCount(stream);
  } catch (const EError&) {
    return 0;
  }
  ReadPage(stream, 1);
  if (count > 1) ReadPage(stream, count);
  return 0;
}
