// A language resource module for the VornData package that replaces one palette image by
// a plain red square, so that a test can tell which module an image came from.

#include "host/components/model/Package.h"

#include <array>
#include <cstdint>

namespace {

constexpr int Side = 24;
constexpr std::size_t HeaderSize = 40;
constexpr std::size_t RowSize = Side * 3; // 72 bytes, already a multiple of four

constexpr auto RedSquare = [] {
    std::array<std::uint8_t, HeaderSize + RowSize * Side> Bytes{};
    const std::uint8_t Header[] = {40, 0, 0, 0, Side, 0, 0, 0, Side, 0, 0, 0, 1, 0, 24, 0};
    for (std::size_t Index = 0; Index < sizeof Header; ++Index)
        Bytes[Index] = Header[Index];
    for (std::size_t Pixel = HeaderSize; Pixel < Bytes.size(); Pixel += 3)
        Bytes[Pixel + 2] = 0xFF; // blue, green, red
    return Bytes;
}();

constexpr vorn::TResourceModuleEntry Entries[] = {
    {"TDBGRIDTITLESORT", "BITMAP", RedSquare.data(), RedSquare.size()},
};

constexpr vorn::TResourceModuleTable Table = {Entries, 1};

} // namespace

extern "C" const vorn::TResourceModuleTable* GetResourceModuleTable() {
    return &Table;
}
