#pragma once

#include "host/components/graphics/Graphics.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vorn {

// Pixels of a decoded image as RGB colours, rows from the top.
struct TDecodedBitmap {
    int Width = 0;
    int Height = 0;
    std::vector<TColor> Pixels;
};

// Reads uncompressed BMP data (1, 4, 8, 24 or 32 bits per pixel, with or without file
// header). Raises EInvalidGraphic with a message that says what is wrong; never reads
// outside Data.
TDecodedBitmap DecodeBmp(std::span<const std::uint8_t> Data);

// Writes a 24-bit bottom-up BMP file with file header. Width and Height are positive and
// Pixels holds Width * Height RGB colours, rows from the top.
std::vector<std::uint8_t> EncodeBmp(int Width, int Height, const std::vector<TColor>& Pixels);

} // namespace vorn
