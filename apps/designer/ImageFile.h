#pragma once

#include "host/components/graphics/Bitmap.h"

#include <filesystem>

namespace vorn::designer {

// Writes Image to FileName as PNG or BMP, after the file's extension (letter case
// ignored), through a temporary file so that a failure leaves no partial file. Raises for
// another extension or a file that cannot be written.
void SaveImageFile(const TBitmap& Image, const std::filesystem::path& FileName);

} // namespace vorn::designer
