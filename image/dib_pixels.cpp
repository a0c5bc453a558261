// Pixel fetch and store for each format. 1-bit: the leftmost pixel is the most significant
// bit; 4-bit: even x in the high nibble; 24-bit values are red + 256 green + 65536 blue.
#include "image/dib_pixels.h"

namespace {

using Bytes = std::uint8_t*;
using ConstBytes = const std::uint8_t*;

std::int32_t Read1(ConstBytes row, std::int32_t x) {
  auto ux = static_cast<std::uint32_t>(x);
  return (row[ux / 8] >> (7 - ux % 8)) & 1;
}

void Write1(Bytes row, std::int32_t x, std::int32_t value) {
  auto ux = static_cast<std::uint32_t>(x);
  auto mask = static_cast<std::uint8_t>(0x80u >> (ux % 8));
  if (value > 0) {
    row[ux / 8] |= mask;
  } else {
    row[ux / 8] &= static_cast<std::uint8_t>(~mask);
  }
}

std::int32_t Read4(ConstBytes row, std::int32_t x) {
  auto ux = static_cast<std::uint32_t>(x);
  std::uint8_t byte = row[ux / 2];
  return ux % 2 == 0 ? byte >> 4 : byte & 15;
}

void Write4(Bytes row, std::int32_t x, std::int32_t value) {
  auto ux = static_cast<std::uint32_t>(x);
  std::uint8_t& byte = row[ux / 2];
  if (ux % 2 == 1) {
    byte = static_cast<std::uint8_t>((byte & 0xF0) | (value & 15));
  } else {
    byte = static_cast<std::uint8_t>((byte & 0x0F) | ((value << 4) & 0xF0));
  }
}

std::int32_t Read8(ConstBytes row, std::int32_t x) {
  return row[x];
}

void Write8(Bytes row, std::int32_t x, std::int32_t value) {
  row[x] = static_cast<std::uint8_t>(value);
}

std::int32_t Read16(ConstBytes row, std::int32_t x) {
  return row[2 * x] | row[2 * x + 1] << 8;
}

void Write16(Bytes row, std::int32_t x, std::int32_t value) {
  row[2 * x] = static_cast<std::uint8_t>(value);
  row[2 * x + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::int32_t Read24(ConstBytes row, std::int32_t x) {
  ConstBytes pixel = row + 3 * x;
  return pixel[2] | pixel[1] << 8 | pixel[0] << 16;
}

void Write24(Bytes row, std::int32_t x, std::int32_t value) {
  Bytes pixel = row + 3 * x;
  pixel[0] = static_cast<std::uint8_t>(value >> 16);
  pixel[1] = static_cast<std::uint8_t>(value >> 8);
  pixel[2] = static_cast<std::uint8_t>(value);
}

}  // namespace

TPixelOperations PixelOperationsOf(TDIBFormat format) {
  switch (format) {
    case df1Bit:
      return {Read1, Write1};
    case df4Bit:
      return {Read4, Write4};
    case df8Bit:
      return {Read8, Write8};
    case df15Bit:
    case df16Bit:
      return {Read16, Write16};
    case df24Bit:
      return {Read24, Write24};
    default:
      return {nullptr, nullptr};
  }
}
