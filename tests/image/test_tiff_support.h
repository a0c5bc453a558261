// What the TIFF tests share: saving and loading through memory, a measure of how far two
// images' colours lie apart, a maker of small classic little-endian files with exactly the
// tags a test wants (hostile ones included), and a reader of the tags of any page of a file,
// to see what the writer put there.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/dibunit.h"

std::vector<std::uint8_t> SaveTiffBytes(TDIB& image, TTIFFCompression compression,
                                        std::int32_t rowsPerStrip = 16);
std::unique_ptr<TDIB> LoadTiffBytes(const std::vector<std::uint8_t>& file, int page = 0);

// The largest difference of one colour channel between two images of the same size.
std::int32_t LargestChannelDifference(const TDIB& a, const TDIB& b);

enum TTiffType : std::uint16_t { ttAscii = 2, ttShort = 3, ttLong = 4, ttRational = 5 };

struct TTiffEntry {
  std::uint16_t tag;
  TTiffType type;
  std::vector<std::uint32_t> values;  // numerator, denominator pairs for ttRational
};

// A one-page file: the header, the strips (or tiles) one after the other, then the
// directory. The StripOffsets and StripByteCounts (TileOffsets and TileByteCounts) entries are
// made from the blocks; the given entries may come in any order.
std::vector<std::uint8_t> CraftTiff(std::vector<TTiffEntry> entries,
                                    const std::vector<std::vector<std::uint8_t>>& blocks,
                                    bool tiles = false);

// The common entries of a one-strip page: width, height, bits per sample, samples per
// pixel, photometric and RowsPerStrip = height.
std::vector<TTiffEntry> PlainEntries(std::uint32_t width, std::uint32_t height,
                                     std::uint32_t bitsPerSample, std::uint32_t samples,
                                     std::uint32_t photometric);

// Tags of page `page` (0 = first) of a classic TIFF of either byte order.
class TTiffTags {
 public:
  TTiffTags(const std::vector<std::uint8_t>& file, int page);
  bool Has(std::uint16_t tag) const;
  // Value `index` of an integer tag (SHORT or LONG); a rational gives numerator / denominator.
  double Number(std::uint16_t tag, std::size_t index = 0) const;
  std::uint32_t Count(std::uint16_t tag) const;
  std::string Text(std::uint16_t tag) const;

 private:
  struct TFound {
    std::uint16_t type;
    std::uint32_t count;
    std::size_t dataOffset;
  };
  const TFound* Find(std::uint16_t tag) const;
  std::uint32_t Read(std::size_t offset, int bytes) const;

  std::vector<std::uint8_t> file_;
  bool bigEndian_ = false;
  std::vector<std::pair<std::uint16_t, TFound>> entries_;
};

// Number of pages (directories) of a classic TIFF.
int TiffPageCount(const std::vector<std::uint8_t>& file);

// Page 0 of a little-endian TIFF edited in place: the single SHORT or LONG value of a tag
// replaced, or the tag renumbered to an unknown private one, so that readers see it absent.
void PatchTiffTag(std::vector<std::uint8_t>& file, std::uint16_t tag, std::uint32_t value);
void HideTiffTag(std::vector<std::uint8_t>& file, std::uint16_t tag);
