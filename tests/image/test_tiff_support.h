// TIFF files at the byte level for the TIFF tests: a maker of small classic little-endian
// files with exactly the tags a test wants (hostile ones included), and a reader of the tags
// of any page of such a file, to see what the writer put there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum TTiffType : std::uint16_t { ttAscii = 2, ttShort = 3, ttLong = 4, ttRational = 5 };

struct TTiffEntry {
  std::uint16_t tag;
  TTiffType type;
  std::vector<std::uint32_t> values;  // numerator, denominator pairs for ttRational
};

// A one-page file: the header, the strips one after the other, then the directory. The
// StripOffsets and StripByteCounts entries are made from the strips; the given entries may
// come in any order.
std::vector<std::uint8_t> CraftTiff(std::vector<TTiffEntry> entries,
                                    const std::vector<std::vector<std::uint8_t>>& strips);

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
