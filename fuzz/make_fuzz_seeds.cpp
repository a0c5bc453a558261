// Writes the starting corpora of the fuzz targets with the system's own writers: small
// images of every pixel format as bitmap, PNG and TIFF files, plus bitmap variants (top-down
// rows, colour masks, run-length coding, OS/2 headers: bitmap_variant_seeds.h) that lead the
// bitmap reader down its other paths. JPEG seeds are
// made from the bitmaps by scripts/fuzz with cjpeg. Usage: make_fuzz_seeds FOLDER
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/bitmap_variant_seeds.h"
#include "image/dibunit.h"
#include "image/streams.h"
#include "platform/errors.h"

namespace {

struct TSize {
  std::int32_t width, height;
};

void WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  TFileStream file(name, fmCreate);
  file.Write(bytes.data(), bytes.size());
}

std::vector<std::uint8_t> Save(TDIB& image, void (TDIB::*write)(TStream&)) {
  TMemoryStream stream;
  (image.*write)(stream);
  return stream.Bytes();
}

// Empty when the TIFF writer refuses the format.
std::vector<std::uint8_t> SaveTIFF(TDIB& image, TTIFFCompression compression) {
  TMemoryStream stream;
  try {
    image.SaveTIFFToStream(stream, false, compression, 4);
  } catch (const EError&) {
    return {};
  }
  return stream.Bytes();
}

void MakeImage(TDIB& image, TDIBFormat format, TSize size, std::int32_t dpi) {
  image.Allocate(size.width, size.height, format, dpi, dpi);
  for (std::int32_t y = 0; y < size.height; ++y) {
    for (std::int32_t x = 0; x < size.width; ++x) {
      image.SetPixel(x, y, x * 0x2F1D3 + y * 0x71B5 + (x ^ y));
    }
  }
  for (std::int32_t i = 0; i < image.PaletteCount(); ++i) {
    image.SetPaletteEntry(i, static_cast<std::uint32_t>(i) * 0x0B3D17u);
  }
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  std::memcpy(bytes.data() + offset, &value, 4);
}

// The same bitmap with its rows stored top row first.
std::vector<std::uint8_t> TopDown(std::vector<std::uint8_t> file, const TDIB& image) {
  std::int32_t height = image.Height();
  std::size_t offset = file.size() - static_cast<std::size_t>(height) * image.Stride();
  std::vector<std::uint8_t> rows(file.begin() + static_cast<std::ptrdiff_t>(offset), file.end());
  for (std::int32_t i = 0; i < height; ++i) {
    std::memcpy(file.data() + offset + static_cast<std::size_t>(i) * image.Stride(),
                rows.data() + static_cast<std::size_t>(height - 1 - i) * image.Stride(),
                static_cast<std::size_t>(image.Stride()));
  }
  PutU32(file, 22, static_cast<std::uint32_t>(-height));
  return file;
}

// A 16-bit bitmap with the plain 5-5-5 colour masks written out after the header.
std::vector<std::uint8_t> WithMasks(const std::vector<std::uint8_t>& file) {
  std::vector<std::uint8_t> result(file.begin(), file.begin() + 54);
  result.resize(66);
  PutU32(result, 54, 0x7C00);
  PutU32(result, 58, 0x03E0);
  PutU32(result, 62, 0x001F);
  result.insert(result.end(), file.begin() + 54, file.end());
  PutU32(result, 30, 3);
  PutU32(result, 10, 66);
  PutU32(result, 2, static_cast<std::uint32_t>(result.size()));
  return result;
}

// The view's TIFF reader: every compression our writer has, and the image appended as a
// second page of its Group 4 or LZW file, which the processed view reads last.
void WriteViewTIFFSeeds(TDIB& image, const std::string& stem) {
  for (TTIFFCompression compression = tcNone; compression <= tcLZW; ++compression) {
    std::vector<std::uint8_t> tiff = SaveTIFF(image, compression);
    if (tiff.empty()) continue;
    WriteFile(stem + "_" + std::to_string(compression) + ".tif", tiff);
  }
  TMemoryStream pages;
  try {
    image.SaveTIFFToStream(pages, false, tcAuto, 4);
    image.SaveTIFFToStream(pages, true, tcLZW, 4);
  } catch (const EError&) {
    return;
  }
  WriteFile(stem + "_pages.tif", pages.Bytes());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  for (const char* kind : {"", "/bmp", "/png", "/tiff", "/view_tiff"}) {
    ::mkdir((folder + kind).c_str(), 0777);
  }
  const TSize sizes[] = {{1, 1}, {7, 3}, {33, 17}};
  int count = 0;
  for (TDIBFormat format = df1Bit; format <= df24Bit; ++format) {
    for (TSize size : sizes) {
      TDIB image;
      MakeImage(image, format, size, size.width == 7 ? 300 : 0);
      std::string stem = std::to_string(format) + "_" + std::to_string(size.width);
      std::vector<std::uint8_t> bitmap = Save(image, &TDIB::SaveBMPToStream);
      WriteFile(folder + "/bmp/" + stem + ".bmp", bitmap);
      WriteFile(folder + "/bmp/" + stem + "_topdown.bmp", TopDown(bitmap, image));
      if (format == df16Bit) WriteFile(folder + "/bmp/" + stem + "_masks.bmp", WithMasks(bitmap));
      for (const auto& [kind, file] : seeds::BitmapVariants(image, bitmap)) {
        WriteFile(folder + "/bmp/" + stem + "_" + kind + ".bmp", file);
      }
      WriteFile(folder + "/png/" + stem + ".png", Save(image, &TDIB::SavePNGToStream));
      for (TTIFFCompression compression : {tcAuto, tcNone, tcLZW, tcDeflate, tcPackBits}) {
        std::vector<std::uint8_t> tiff = SaveTIFF(image, compression);
        if (tiff.empty()) continue;
        WriteFile(folder + "/tiff/" + stem + "_" + std::to_string(compression) + ".tif", tiff);
      }
      WriteViewTIFFSeeds(image, folder + "/view_tiff/" + stem);
      ++count;
    }
  }
  std::printf("%d images written as seeds to %s\n", count, folder.c_str());
  return 0;
}
