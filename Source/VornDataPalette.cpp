#include "Source/VornData.h"

#include "host/components/graphics/Resources.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vorn {

namespace {

constexpr int PictureSize = 24;
using TPicture = std::array<std::string_view, PictureSize>;

// The standard 16-colour palette as BMP colour-table entries (blue, green, red, 0).
constexpr std::array<std::uint32_t, 16> StandardPalette = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// The pictures are drawn as text, one character per pixel, so that they can be read and
// changed in the source. The characters name palette entries.
std::uint8_t PaletteIndexOf(char Pixel) {
    switch (Pixel) {
    case '#':
        return 0x0; // black
    case 'm':
        return 0x1; // maroon
    case 'o':
        return 0x3; // olive
    case 'n':
        return 0x4; // navy
    case 't':
        return 0x6; // teal
    case '.':       // the silver background, drawn as the palette's transparent colour
    case '7':
        return 0x7; // silver
    case 'g':
        return 0x8; // grey
    case 'b':
        return 0xC; // blue
    case 'y':
        return 0xB; // yellow
    default:
        return 0xF; // white
    }
}

// A combo box over its open list of fields, each with a type mark.
constexpr TPicture FieldComboBoxPicture = {{
    "........................", "ggggggggggggggggggggggg.", "gwwwwwwwwwwwwwwww77777#.",
    "gwwnnnnnnnnwwwwww7www7#.", "gwwwwwwwwwwwwwwww7#####.", "gwwwwwwwwwwwwwwww7w###7#",
    "gwwwwwwwwwwwwwwww7ww#w7#", "ggggggggggggggggg7######", "#######################.",
    "#wwwwwwwwwwwwwwwwwwwww#.", "#wmmwwnnnnnnnnnwwwwwww#.", "#wmmwwwwwwwwwwwwwwwwww#.",
    "#wwwwwwwwwwwwwwwwwwwww#.", "#nnnnnnnnnnnnnnnnnnnnn#.", "#nwwnnwwwwwwwwwwwnnnnn#.",
    "#nwwnnnnnnnnnnnnnnnnnn#.", "#wwwwwwwwwwwwwwwwwwwww#.", "#wmmwwnnnnnnnnwwwwwwww#.",
    "#wmmwwwwwwwwwwwwwwwwww#.", "#wwwwwwwwwwwwwwwwwwwww#.", "#wmmwwnnnnnnnnnnnwwwww#.",
    "#wmmwwwwwwwwwwwwwwwwww#.", "#######################.", "........................",
}};

// A funnel over a grid of filter rows.
constexpr TPicture FilterGridPicture = {{
    "....oooooooooooooooo....", "....oyyyyyyyyyyyyyyo....", ".....oyyyyyyyyyyyyo.....",
    "......oyyyyyyyyyyo......", ".......oyyyyyyyyo.......", "........oyyyyyyo........",
    ".........oyyyyo.........", ".........oyyyyo.........", ".........oyyyyo.........",
    ".........oyyyyo.........", "..........oyyo..........", "........................",
    "########################", "#gggggg#ggggggg#ggggggg#", "########################",
    "#wwwwww#wwwwwww#wwwwwww#", "#w##www#w###www#w##w#ww#", "########################",
    "#wwwwww#wwwwwww#wwwwwww#", "#w#w#ww#w##w#ww#w###www#", "########################",
    "#wwwwww#wwwwwww#wwwwwww#", "#w###ww#w#w##ww#w#w#www#", "########################",
}};

// A data grid whose first title carries a sort arrow.
constexpr TPicture GridTitleSortPicture = {{
    "........................", "........................", "#######################.",
    "#nnnnnnn#nnnnnnn#nnnnnn#", "#nnwwnnn#nnnnnnn#nnnnnn#", "#nwwwwnn#nnnnnnn#nnnnnn#",
    "#wwwwwwn#nnnnnnn#nnnnnn#", "#######################.", "#wwwwwww#wwwwwww#wwwwww#",
    "#w##w#ww#w###w#w#w##www#", "#wwwwwww#wwwwwww#wwwwww#", "#######################.",
    "#wwwwwww#wwwwwww#wwwwww#", "#w#w##ww#w##w##w#w#w##w#", "#wwwwwww#wwwwwww#wwwwww#",
    "#######################.", "#wwwwwww#wwwwwww#wwwwww#", "#w###www#w#w###w#w###ww#",
    "#wwwwwww#wwwwwww#wwwwww#", "#######################.", "#wwwwwww#wwwwwww#wwwwww#",
    "#w##w#ww#w##w#ww#w#w#ww#", "#wwwwwww#wwwwwww#wwwwww#", "########################",
}};

// An edit box with typed text and a magnifier.
constexpr TPicture LocateEditPicture = {{
    "........................", "........................", "........................",
    "........................", "ggggggggggggggggggggggg.", "gwwwwwwwwwwwwwwwwwwwww#.",
    "gwww#wwwwwwwwwwwwwwwww#.", "gww#w#ww#wwwwwwwwwwwww#.", "gww###w#w#wwwwwwwwwwww#.",
    "gw#www####wwwwwwwwwwww#.", "gw#www#w#wwwwwwwwwwwww#.", "gwwwwwwwwwwwwwwwwwwwww#.",
    "g######################.", "..............###.......", ".............#tt##......",
    "............#tt#tt#.....", "............#t#ttt#.....", "............#tttt##.....",
    ".............#####......", "............##..........", "...........##...........",
    "..........##............", ".........##.............", "........................",
}};

// A combo box showing A-Z over its list of sort orders.
constexpr TPicture SortComboBoxPicture = {{
    "........................", "........................", "........................",
    "........................", "ggggggggggggggggggggggg.", "gwwwwwwwwwwwwwwww77777#.",
    "gwwwwwwwwwwwwwwww7www7#.", "gwwbwwwwbbbbbwwww7www7#.", "gwbwbwwwwwwbwwwww7#####.",
    "gwbbbwbbwwbwwwwww7w###7#", "gwbwbwwwwbwwwwwww7ww#w7#", "gwbwbwwwbbbbbwwww7wwww7#",
    "gwwwwwwwwwwwwwwww7######", "ggggggggggggggggg#######", "....#wwwwwwwwwwwwwwwww#.",
    "....#wbwwwwwwwwwwwwwww#.", "....#bbbwbbbbbwwwwwwww#.", "....#wbwwwwwwwwwwwwwww#.",
    "....#wbwwwbbbbbbbwwwww#.", "....#wbwwwwwwwwwwwwwww#.", "....#bbbwbbbbwwwwwwwww#.",
    "....#wbwwwwwwwwwwwwwww#.", "....###################.", "........................",
}};

void AppendLittleEndian(std::vector<std::uint8_t>& Bytes, std::uint32_t Value, int Size) {
    for (int Byte = 0; Byte < Size; ++Byte)
        Bytes.push_back(static_cast<std::uint8_t>(Value >> (8 * Byte)));
}

// A 4-bit device-independent bitmap without file header, rows bottom-up, as bitmap
// resources carry it. A 24-pixel row is 12 bytes, already a multiple of four.
std::vector<std::uint8_t> EncodeBitmap(const TPicture& Picture) {
    constexpr int RowBytes = PictureSize / 2;
    std::vector<std::uint8_t> Bytes;
    AppendLittleEndian(Bytes, 40, 4);          // header size
    AppendLittleEndian(Bytes, PictureSize, 4); // width
    AppendLittleEndian(Bytes, PictureSize, 4); // height, positive: bottom-up
    AppendLittleEndian(Bytes, 1, 2);           // planes
    AppendLittleEndian(Bytes, 4, 2);           // bits per pixel
    AppendLittleEndian(Bytes, 0, 4);           // no compression
    AppendLittleEndian(Bytes, RowBytes * PictureSize, 4);
    AppendLittleEndian(Bytes, 2835, 4); // 72 dots per inch
    AppendLittleEndian(Bytes, 2835, 4);
    AppendLittleEndian(Bytes, 16, 4); // colours used
    AppendLittleEndian(Bytes, 16, 4); // colours important
    for (std::uint32_t Colour : StandardPalette)
        AppendLittleEndian(Bytes, Colour, 4);
    for (int Row = PictureSize - 1; Row >= 0; --Row)
        for (int Column = 0; Column < PictureSize; Column += 2)
            Bytes.push_back(static_cast<std::uint8_t>(PaletteIndexOf(Picture[Row][Column]) << 4 |
                                                      PaletteIndexOf(Picture[Row][Column + 1])));
    return Bytes;
}

struct TPaletteImage {
    const char* Name;
    const TPicture& Picture;
};

const std::array<TPaletteImage, 5> PaletteImages = {{
    {"TDBFIELDCOMBOBOX", FieldComboBoxPicture},
    {"TDBFILTERGRID", FilterGridPicture},
    {"TDBGRIDTITLESORT", GridTitleSortPicture},
    {"TDBLOCATEEDIT", LocateEditPicture},
    {"TDBSORTCOMBOBOX", SortComboBoxPicture},
}};

} // namespace

void RegisterPaletteBitmaps() {
    // A resource already there came from a language resource module, which takes precedence.
    for (const TPaletteImage& Image : PaletteImages)
        if (!FindResource(VornDataModuleName, Image.Name, RT_BITMAP))
            RegisterResource(VornDataModuleName, Image.Name, RT_BITMAP,
                             EncodeBitmap(Image.Picture));
}

} // namespace vorn
