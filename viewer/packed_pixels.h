// Palette indexes in packed rows: one-bit pixels most significant bit first, four-bit pixels
// high nibble first, eight-bit pixels a byte each. x must lie inside the row.
#pragma once

#include <cstdint>

inline std::int32_t PackedIndexAt(const std::uint8_t* row, std::int32_t x, std::int32_t bits) {
  const auto ux = static_cast<std::uint32_t>(x);
  switch (bits) {
    case 1:
      return (row[ux / 8] >> (7 - ux % 8)) & 1;
    case 4:
      return ux % 2 == 0 ? row[ux / 2] >> 4 : row[ux / 2] & 0x0F;
    default:
      return row[ux];
  }
}

// Stores index; for one-bit pixels any index above 0 sets the bit.
inline void PutPackedIndex(std::uint8_t* row, std::int32_t x, std::int32_t bits,
                           std::int32_t index) {
  const auto ux = static_cast<std::uint32_t>(x);
  switch (bits) {
    case 1: {
      const auto mask = static_cast<std::uint8_t>(0x80u >> (ux % 8));
      row[ux / 8] = static_cast<std::uint8_t>(index > 0 ? row[ux / 8] | mask : row[ux / 8] & ~mask);
      break;
    }
    case 4: {
      const auto nibble = static_cast<std::uint8_t>(index & 0x0F);
      std::uint8_t& byte = row[ux / 2];
      byte = static_cast<std::uint8_t>(ux % 2 == 0 ? (byte & 0x0F) | (nibble << 4)
                                                   : (byte & 0xF0) | nibble);
      break;
    }
    default:
      row[ux] = static_cast<std::uint8_t>(index);
      break;
  }
}
