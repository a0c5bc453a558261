// What the view reader tests share: pictures of every display format as TDIB images, reading
// bytes into a view reader, the progress a read reports, and comparing a graphic with the
// picture it was made from by colour.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/dibunit.h"
#include "viewer/dib_graphic.h"
#include "viewer/tiff_graphic.h"

// Black-first 1-bit, gray ramps of 4 and 8 bits, coloured 4- and 8-bit tables and 24 bits.
enum class TPicture { BiLevel, Gray16, Gray256, Colour16, Colour256, TrueColour };
std::unique_ptr<TDIB> MakePicture(TPicture kind, std::int32_t width, std::int32_t height);

// Reads image `index` of the bytes, from `offset` bytes into a stream that starts with junk.
std::unique_ptr<TTiffGraphic> ReadTiffGraphic(const std::vector<std::uint8_t>& bytes,
                                              std::int32_t index = 1, std::size_t offset = 0);
// The message a read raises ("" when none); the graphic is checked to be left empty then.
std::string TiffReadFailure(const std::vector<std::uint8_t>& bytes, std::int32_t index = 1);

// Every percent a read of the graphic reports, in order.
std::vector<int> ProgressOf(TDibGraphic& graphic, const std::vector<std::uint8_t>& bytes);

// Same size and, at every pixel, colours no channel of which differs by more than tolerance.
void ExpectGraphicColours(const TDIB& picture, const TDibGraphic& graphic, int tolerance = 0);
