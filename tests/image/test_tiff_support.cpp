// Shared pieces of the TIFF tests: see test_tiff_support.h.
#include "tests/image/test_tiff_support.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "image/streams.h"
#include "tests/image/codec_fixtures.h"

std::vector<std::uint8_t> SaveTiffBytes(TDIB& image, TTIFFCompression compression,
                                        std::int32_t rowsPerStrip) {
  TMemoryStream stream;
  image.SaveTIFFToStream(stream, false, compression, rowsPerStrip);
  return stream.Bytes();
}

std::unique_ptr<TDIB> LoadTiffBytes(const std::vector<std::uint8_t>& file, int page) {
  TMemoryStream stream(file);
  auto image = std::make_unique<TDIB>();
  image->LoadFromStream(stream, page);
  return image;
}

std::int32_t LargestChannelDifference(const TDIB& a, const TDIB& b) {
  std::int32_t largest = 0;
  for (std::int32_t y = 0; y < std::min(a.Height(), b.Height()); ++y) {
    for (std::int32_t x = 0; x < std::min(a.Width(), b.Width()); ++x) {
      const std::uint32_t ca = ColourAt(a, x, y);
      const std::uint32_t cb = ColourAt(b, x, y);
      for (int shift = 0; shift < 24; shift += 8) {
        const auto da = static_cast<std::int32_t>((ca >> shift) & 255);
        const auto db = static_cast<std::int32_t>((cb >> shift) & 255);
        largest = std::max(largest, std::abs(da - db));
      }
    }
  }
  return largest;
}

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutAt(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

int TypeSize(std::uint16_t type) {
  switch (type) {
    case ttShort:
      return 2;
    case ttLong:
      return 4;
    case ttRational:
      return 8;
    default:
      return 1;
  }
}

std::uint32_t ItemCount(const TTiffEntry& entry) {
  return static_cast<std::uint32_t>(entry.type == ttRational ? entry.values.size() / 2
                                                             : entry.values.size());
}

void PutValues(std::vector<std::uint8_t>& out, const TTiffEntry& entry) {
  const int size = entry.type == ttRational ? 4 : TypeSize(entry.type);
  for (std::uint32_t value : entry.values) Put(out, value, size);
}

}  // namespace

std::vector<std::uint8_t> CraftTiff(std::vector<TTiffEntry> entries,
                                    const std::vector<std::vector<std::uint8_t>>& blocks,
                                    bool tiles) {
  std::vector<std::uint8_t> out = {'I', 'I', 42, 0, 0, 0, 0, 0};
  TTiffEntry offsets{static_cast<std::uint16_t>(tiles ? 324 : 273), ttLong, {}};
  TTiffEntry counts{static_cast<std::uint16_t>(tiles ? 325 : 279), ttLong, {}};
  for (const auto& block : blocks) {
    offsets.values.push_back(static_cast<std::uint32_t>(out.size()));
    counts.values.push_back(static_cast<std::uint32_t>(block.size()));
    out.insert(out.end(), block.begin(), block.end());
  }
  if (out.size() % 2 != 0) out.push_back(0);
  entries.push_back(offsets);
  entries.push_back(counts);
  std::sort(entries.begin(), entries.end(),
            [](const TTiffEntry& a, const TTiffEntry& b) { return a.tag < b.tag; });

  const std::size_t directory = out.size();
  PutAt(out, 4, static_cast<std::uint32_t>(directory));
  std::size_t extra = directory + 2 + 12 * entries.size() + 4;
  std::vector<std::uint8_t> extraBytes;
  Put(out, static_cast<std::uint32_t>(entries.size()), 2);
  for (const TTiffEntry& entry : entries) {
    Put(out, entry.tag, 2);
    Put(out, entry.type, 2);
    Put(out, ItemCount(entry), 4);
    std::vector<std::uint8_t> data;
    PutValues(data, entry);
    if (data.size() <= 4) {
      data.resize(4, 0);
      out.insert(out.end(), data.begin(), data.end());
    } else {
      Put(out, static_cast<std::uint32_t>(extra + extraBytes.size()), 4);
      extraBytes.insert(extraBytes.end(), data.begin(), data.end());
      if (extraBytes.size() % 2 != 0) extraBytes.push_back(0);
    }
  }
  Put(out, 0, 4);
  out.insert(out.end(), extraBytes.begin(), extraBytes.end());
  return out;
}

std::vector<TTiffEntry> PlainEntries(std::uint32_t width, std::uint32_t height,
                                     std::uint32_t bitsPerSample, std::uint32_t samples,
                                     std::uint32_t photometric) {
  return {{256, ttLong, {width}},
          {257, ttLong, {height}},
          {258, ttShort, std::vector<std::uint32_t>(samples, bitsPerSample)},
          {262, ttShort, {photometric}},
          {277, ttShort, {samples}},
          {278, ttLong, {height}}};
}

TTiffTags::TTiffTags(const std::vector<std::uint8_t>& file, int page) : file_(file) {
  if (file.size() < 8) throw std::runtime_error("not a TIFF");
  bigEndian_ = file[0] == 'M';
  std::size_t directory = Read(4, 4);
  for (int i = 0; i < page && directory != 0; ++i) {
    directory = Read(directory + 2 + 12 * Read(directory, 2), 4);
  }
  if (directory == 0) throw std::runtime_error("no such page");
  const std::uint32_t count = Read(directory, 2);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = directory + 2 + 12 * i;
    TFound found{static_cast<std::uint16_t>(Read(at + 2, 2)), Read(at + 4, 4), at + 8};
    if (found.count * TypeSize(found.type) > 4) found.dataOffset = Read(at + 8, 4);
    entries_.emplace_back(static_cast<std::uint16_t>(Read(at, 2)), found);
  }
}

std::uint32_t TTiffTags::Read(std::size_t offset, int bytes) const {
  if (offset + bytes > file_.size()) throw std::runtime_error("TIFF offset outside the file");
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) {
    const std::uint32_t byte = file_[offset + (bigEndian_ ? i : bytes - 1 - i)];
    value = (value << 8) | byte;
  }
  return value;
}

const TTiffTags::TFound* TTiffTags::Find(std::uint16_t tag) const {
  for (const auto& [number, found] : entries_) {
    if (number == tag) return &found;
  }
  return nullptr;
}

bool TTiffTags::Has(std::uint16_t tag) const {
  return Find(tag) != nullptr;
}

std::uint32_t TTiffTags::Count(std::uint16_t tag) const {
  const TFound* found = Find(tag);
  return found ? found->count : 0;
}

double TTiffTags::Number(std::uint16_t tag, std::size_t index) const {
  const TFound* found = Find(tag);
  if (found == nullptr || index >= found->count) throw std::runtime_error("no such value");
  const int size = TypeSize(found->type);
  const std::size_t at = found->dataOffset + index * size;
  if (found->type == ttRational) return static_cast<double>(Read(at, 4)) / Read(at + 4, 4);
  return Read(at, size);
}

std::string TTiffTags::Text(std::uint16_t tag) const {
  const TFound* found = Find(tag);
  if (found == nullptr) return "";
  std::string text;
  for (std::uint32_t i = 0; i < found->count; ++i) {
    const char c = static_cast<char>(Read(found->dataOffset + i, 1));
    if (c == '\0') break;
    text += c;
  }
  return text;
}

int TiffPageCount(const std::vector<std::uint8_t>& file) {
  int pages = 0;
  for (;; ++pages) {
    try {
      TTiffTags tags(file, pages);
    } catch (const std::runtime_error&) {
      return pages;
    }
  }
}

namespace {

// Where the 12-byte entry of a tag starts in page 0 of a little-endian TIFF.
std::size_t EntryOffset(const std::vector<std::uint8_t>& file, std::uint16_t tag) {
  const auto u16 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(file.at(at) | file.at(at + 1) << 8);
  };
  const std::size_t directory = u16(4) | u16(6) << 16;
  for (std::uint32_t i = 0; i < u16(directory); ++i) {
    const std::size_t at = directory + 2 + 12 * i;
    if (u16(at) == tag) return at;
  }
  throw std::runtime_error("no tag " + std::to_string(tag));
}

}  // namespace

void PatchTiffTag(std::vector<std::uint8_t>& file, std::uint16_t tag, std::uint32_t value) {
  const std::size_t at = EntryOffset(file, tag);
  const int bytes = file[at + 2] == ttShort ? 2 : 4;
  for (int i = 0; i < bytes; ++i) file[at + 8 + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void HideTiffTag(std::vector<std::uint8_t>& file, std::uint16_t tag) {
  const std::size_t at = EntryOffset(file, tag);
  file[at] = 0xE8;  // 65000, a private tag no reader knows
  file[at + 1] = 0xFD;
}
