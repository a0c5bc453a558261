// Row kernels that every binarization ends in: the two-value level map and the packing of
// 8-bit values into 1-bit rows, 16 pixels at a time in SSE2 (64 when packing) and 32 or 64 in
// AVX2 or AVX-512, whichever the processor offers (within ZW_SIMD).
#pragma once

#include <cstdint>

// out[x] = in[x] > level ? high : low, for x < width; in and out may be the same row.
void MapAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                   std::uint8_t level, std::uint8_t low, std::uint8_t high);

// Sets bit x of out (leftmost pixel in the most significant bit) when in[x] is not 0; the
// bits of out must be zero on entry.
void PackNonZeroBits(const std::uint8_t* in, std::uint8_t* out, std::int32_t width);

// The level map and the packing in one: sets bit x of out when (in[x] > level ? high : low) is
// not 0; the bits of out must be zero on entry.
void PackAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                    std::uint8_t level, std::uint8_t low, std::uint8_t high);
