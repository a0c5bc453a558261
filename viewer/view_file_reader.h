// Reading a file into a view's source graphic. The reader is chosen by the file's extension:
// "TIF" and "TIFF" go to the view's TIFF reader, "JPG" and "JPEG" to its JPEG reader; every
// other file (bitmap, PNG) is read by the image library and taken over as a packed DIB block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "image/stream.h"
#include "viewer/dib_graphic.h"

// The extension that chooses the reader: upper-cased, without the dot; a name without an
// extension gives the whole name.
std::string ReaderExtension(const std::string& fileName);

// Reads the open file stream named fileName. imageIndex n > 0 reads image n; 0 reads the last
// image of the file, which for a multi-page output file is its newest result. progress
// receives the reader's percents (sender: the reader), or for a library-read file the
// percents 0, 25, 90 and 100 with sender as given. Failures raise.
std::unique_ptr<TDibGraphic> ReadViewGraphic(TStream& stream, const std::string& fileName,
                                             std::int32_t imageIndex,
                                             const TDibGraphic::TProgressEvent& progress,
                                             const void* sender);
