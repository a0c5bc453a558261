// The row kernels of byte_kernels.h built for the wide instruction sets, chosen at run time.
// Plain declarations only: the wide sources include nothing else they could share inline.
#pragma once

#include <cstdint>

struct TByteKernelSet {
  void (*mapAboveLevel)(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                        std::uint8_t level, std::uint8_t low, std::uint8_t high);
  void (*packNonZeroBits)(const std::uint8_t* in, std::uint8_t* out, std::int32_t width);
  void (*packAboveLevel)(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                         std::uint8_t level, std::uint8_t low, std::uint8_t high);
};

extern const TByteKernelSet kSse2ByteKernels;
extern const TByteKernelSet kAvx2ByteKernels;
extern const TByteKernelSet kAvx512ByteKernels;
