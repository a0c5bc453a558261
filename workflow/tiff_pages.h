// The number of pages of a TIFF file, for binarizing every page of a multi-page input.
#pragma once

#include <cstdint>
#include <string>

// The number of images (directories) in a TIFF file; 1 for a file that libtiff cannot open,
// which is then read as a single image and fails there with the reader's message.
std::int32_t TIFFPageCount(const std::string& fileName);
