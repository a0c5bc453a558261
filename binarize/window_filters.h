// Window filters shared by the local methods: box mean, inward-shifted minimum and maximum,
// clipped minimum and maximum. Each reads an 8-bit image and writes one byte per pixel into
// an 8-bit destination of the same size, in constant work per pixel whatever the window.
// Other depths fail with the 8-bit message, a destination of another size or depth with its
// own message; destination may be the image itself.
#pragma once

#include <cstdint>
#include <memory>

#include "image/dibunit.h"

// Mean over a window of half-widths max(1, (areaW + 1) div 2) x max(1, (areaH + 1) div 2),
// clipped at the borders, rounded half to even.
void LocalMean(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH);
// Minimum / maximum over an n x m window shifted inward at the borders, never clipped: a size
// of 1 or less becomes 2, one of at least the image size becomes size - 1, and
// n = 2 (areaW div 2) + 1, m likewise.
void LocalMinimum(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH);
void LocalMaximum(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH);
// Minimum / maximum over half-widths areaW div 2 x areaH div 2, clipped at the borders; a
// negative half-width leaves the window empty, giving 255 (minimum) or 0 (maximum).
void WindowMinimum(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH);
void WindowMaximum(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH);
// A duplicate of image overwritten by the filter; the caller owns it.
std::unique_ptr<TDIB> MeanFiltered(const TDIB& image, std::int32_t areaW, std::int32_t areaH);
std::unique_ptr<TDIB> MinimumFiltered(const TDIB& image, std::int32_t areaW, std::int32_t areaH);
std::unique_ptr<TDIB> MaximumFiltered(const TDIB& image, std::int32_t areaW, std::int32_t areaH);
