#include "host/components/graphics/BmpFormat.h"

#include "host/components/graphics/Bitmap.h"

#include <algorithm>
#include <array>
#include <string>

namespace vorn {

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::array<std::uint32_t, 5> InfoHeaderSizes = {40, 52, 56, 108, 124};
constexpr std::uint32_t UncompressedRgb = 0;
constexpr std::uint32_t MaxPaletteSize = 256;

[[noreturn]] void Invalid(const std::string& What) {
    throw EInvalidGraphic(What);
}

// Little-endian reads that raise, naming Part, rather than read past the end.
class TReader {
public:
    explicit TReader(std::span<const std::uint8_t> Data) : FData(Data) {}

    std::size_t Size() const { return FData.size(); }

    void Require(std::size_t Offset, std::size_t Length, const std::string& Part) const {
        if (Offset > FData.size() || FData.size() - Offset < Length)
            Invalid(Part + " is truncated: " + std::to_string(Length) + " bytes needed at offset " +
                    std::to_string(Offset) + ", the data has " + std::to_string(FData.size()));
    }
    std::uint8_t U8(std::size_t Offset) const { return FData[Offset]; }
    std::uint16_t U16(std::size_t Offset, const std::string& Part) const {
        Require(Offset, 2, Part);
        return static_cast<std::uint16_t>(FData[Offset] | (FData[Offset + 1] << 8));
    }
    std::uint32_t U32(std::size_t Offset, const std::string& Part) const {
        Require(Offset, 4, Part);
        return static_cast<std::uint32_t>(FData[Offset]) |
               (static_cast<std::uint32_t>(FData[Offset + 1]) << 8) |
               (static_cast<std::uint32_t>(FData[Offset + 2]) << 16) |
               (static_cast<std::uint32_t>(FData[Offset + 3]) << 24);
    }

private:
    std::span<const std::uint8_t> FData;
};

struct THeader {
    std::int64_t Width = 0;
    std::int64_t Height = 0; // negative for rows stored from the top
    unsigned BitCount = 0;
    std::uint32_t ColorsUsed = 0;
    std::size_t PaletteEntrySize = 0;
    std::size_t PaletteStart = 0;
};

THeader ReadHeader(const TReader& Reader, std::size_t Start) {
    const std::string Part = "the bitmap header";
    const std::uint32_t Size = Reader.U32(Start, Part);
    THeader Header;
    unsigned Planes = 0;
    std::uint32_t Compression = UncompressedRgb;
    if (Size == CoreHeaderSize) {
        Reader.Require(Start, Size, Part);
        Header.Width = Reader.U16(Start + 4, Part);
        Header.Height = Reader.U16(Start + 6, Part);
        Planes = Reader.U16(Start + 8, Part);
        Header.BitCount = Reader.U16(Start + 10, Part);
        Header.PaletteEntrySize = 3;
    } else if (std::find(InfoHeaderSizes.begin(), InfoHeaderSizes.end(), Size) !=
               InfoHeaderSizes.end()) {
        Reader.Require(Start, Size, Part);
        Header.Width = static_cast<std::int32_t>(Reader.U32(Start + 4, Part));
        Header.Height = static_cast<std::int32_t>(Reader.U32(Start + 8, Part));
        Planes = Reader.U16(Start + 12, Part);
        Header.BitCount = Reader.U16(Start + 14, Part);
        Compression = Reader.U32(Start + 16, Part);
        Header.ColorsUsed = Reader.U32(Start + 32, Part);
        Header.PaletteEntrySize = 4;
    } else {
        Invalid("the bitmap header has the unknown size " + std::to_string(Size));
    }
    Header.PaletteStart = Start + Size;

    if (Planes != 1)
        Invalid("the bitmap has " + std::to_string(Planes) + " colour planes instead of 1");
    const unsigned Bits = Header.BitCount;
    if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 24 && Bits != 32)
        Invalid("a depth of " + std::to_string(Bits) +
                " bits per pixel is not supported (1, 4, 8, 24 and 32 are)");
    if (Compression != UncompressedRgb)
        Invalid("compressed bitmaps (compression " + std::to_string(Compression) +
                ") are not supported");
    if (Header.Width <= 0)
        Invalid("the bitmap width " + std::to_string(Header.Width) + " is not positive");
    if (Header.Height == 0)
        Invalid("the bitmap height is 0");
    if (Header.ColorsUsed > MaxPaletteSize)
        Invalid("the palette size " + std::to_string(Header.ColorsUsed) + " exceeds " +
                std::to_string(MaxPaletteSize));
    const std::int64_t Pixels = Header.Width * (Header.Height < 0 ? -Header.Height : Header.Height);
    if (Pixels > MaxBitmapPixels)
        Invalid("the bitmap of " + std::to_string(Header.Width) + " x " +
                std::to_string(Header.Height) + " pixels is larger than " +
                std::to_string(MaxBitmapPixels) + " pixels");
    return Header;
}

// Colours that indexed pixels refer to; images of more than 8 bits per pixel may still
// carry entries (a hint for display on palette devices), which are skipped.
std::size_t PaletteEntryCount(const THeader& Header) {
    if (Header.ColorsUsed != 0 || Header.BitCount > 8)
        return Header.ColorsUsed;
    return std::size_t{1} << Header.BitCount;
}

std::vector<TColor> ReadPalette(const TReader& Reader, const THeader& Header) {
    const std::size_t Count = PaletteEntryCount(Header);
    Reader.Require(Header.PaletteStart, Count * Header.PaletteEntrySize, "the palette");
    std::vector<TColor> Palette;
    if (Header.BitCount > 8)
        return Palette;
    for (std::size_t Entry = 0; Entry < Count; ++Entry) {
        const std::size_t At = Header.PaletteStart + Entry * Header.PaletteEntrySize;
        Palette.push_back(RGB(Reader.U8(At + 2), Reader.U8(At + 1), Reader.U8(At)));
    }
    return Palette;
}

TColor IndexedPixel(const std::vector<TColor>& Palette, unsigned Index, std::int64_t X,
                    std::int64_t Y) {
    if (Index >= Palette.size())
        Invalid("pixel (" + std::to_string(X) + ", " + std::to_string(Y) + ") uses colour " +
                std::to_string(Index) + " of a palette of " + std::to_string(Palette.size()) +
                " colours");
    return Palette[Index];
}

TColor ReadPixel(const TReader& Reader, std::size_t RowStart, const THeader& Header,
                 const std::vector<TColor>& Palette, std::int64_t X, std::int64_t Y) {
    const auto Column = static_cast<std::size_t>(X);
    switch (Header.BitCount) {
    case 1: {
        const unsigned Byte = Reader.U8(RowStart + Column / 8);
        return IndexedPixel(Palette, (Byte >> (7 - Column % 8)) & 1u, X, Y);
    }
    case 4: {
        const unsigned Byte = Reader.U8(RowStart + Column / 2);
        return IndexedPixel(Palette, Column % 2 == 0 ? Byte >> 4 : Byte & 0x0Fu, X, Y);
    }
    case 8:
        return IndexedPixel(Palette, Reader.U8(RowStart + Column), X, Y);
    default: {
        const std::size_t At = RowStart + Column * (Header.BitCount / 8);
        return RGB(Reader.U8(At + 2), Reader.U8(At + 1), Reader.U8(At));
    }
    }
}

} // namespace

TDecodedBitmap DecodeBmp(std::span<const std::uint8_t> Data) {
    const TReader Reader(Data);
    const bool HasFileHeader = Data.size() >= 2 && Data[0] == 'B' && Data[1] == 'M';
    const std::size_t HeaderStart = HasFileHeader ? FileHeaderSize : 0;
    if (HasFileHeader)
        Reader.Require(0, FileHeaderSize, "the file header");
    const THeader Header = ReadHeader(Reader, HeaderStart);
    const std::vector<TColor> Palette = ReadPalette(Reader, Header);

    const std::size_t PaletteEnd =
        Header.PaletteStart + PaletteEntryCount(Header) * Header.PaletteEntrySize;
    std::size_t PixelStart = PaletteEnd;
    if (HasFileHeader) {
        PixelStart = Reader.U32(10, "the file header");
        if (PixelStart < PaletteEnd)
            Invalid("the pixel data offset " + std::to_string(PixelStart) +
                    " lies inside the header or palette, which end at " +
                    std::to_string(PaletteEnd));
    }

    const bool TopDown = Header.Height < 0;
    const std::int64_t Height = TopDown ? -Header.Height : Header.Height;
    const std::int64_t RowBits = Header.Width * Header.BitCount;
    const auto Stride = static_cast<std::size_t>((RowBits + 31) / 32 * 4);
    Reader.Require(PixelStart, Stride * static_cast<std::size_t>(Height), "the pixel data");

    TDecodedBitmap Result;
    Result.Width = static_cast<int>(Header.Width);
    Result.Height = static_cast<int>(Height);
    Result.Pixels.resize(static_cast<std::size_t>(Header.Width * Height));
    for (std::int64_t Row = 0; Row < Height; ++Row) {
        const std::int64_t Y = TopDown ? Row : Height - 1 - Row;
        const std::size_t RowStart = PixelStart + static_cast<std::size_t>(Row) * Stride;
        for (std::int64_t X = 0; X < Header.Width; ++X)
            Result.Pixels[static_cast<std::size_t>(Y * Header.Width + X)] =
                ReadPixel(Reader, RowStart, Header, Palette, X, Y);
    }
    return Result;
}

std::vector<std::uint8_t> EncodeBmp(int Width, int Height, const std::vector<TColor>& Pixels) {
    const std::size_t Stride = (static_cast<std::size_t>(Width) * 3 + 3) / 4 * 4;
    const std::size_t PixelStart = FileHeaderSize + InfoHeaderSize;
    const std::size_t FileSize = PixelStart + Stride * static_cast<std::size_t>(Height);
    std::vector<std::uint8_t> Bytes(FileSize, 0);
    auto Put16 = [&](std::size_t At, std::uint32_t Value) {
        Bytes[At] = Value & 0xFF;
        Bytes[At + 1] = (Value >> 8) & 0xFF;
    };
    auto Put32 = [&](std::size_t At, std::uint32_t Value) {
        Put16(At, Value & 0xFFFF);
        Put16(At + 2, Value >> 16);
    };
    constexpr std::uint32_t PixelsPerMetre = 2835; // 72 dots per inch
    Bytes[0] = 'B';
    Bytes[1] = 'M';
    Put32(2, static_cast<std::uint32_t>(FileSize));
    Put32(10, static_cast<std::uint32_t>(PixelStart));
    Put32(14, InfoHeaderSize);
    Put32(18, static_cast<std::uint32_t>(Width));
    Put32(22, static_cast<std::uint32_t>(Height));
    Put16(26, 1);
    Put16(28, 24);
    Put32(30, UncompressedRgb);
    Put32(34, static_cast<std::uint32_t>(Stride * static_cast<std::size_t>(Height)));
    Put32(38, PixelsPerMetre);
    Put32(42, PixelsPerMetre);
    for (int Y = 0; Y < Height; ++Y) {
        const std::size_t RowStart = PixelStart + static_cast<std::size_t>(Height - 1 - Y) * Stride;
        for (int X = 0; X < Width; ++X) {
            const TColor Color = Pixels[static_cast<std::size_t>(Y) * Width + X];
            const std::size_t At = RowStart + static_cast<std::size_t>(X) * 3;
            Bytes[At] = GetBValue(Color);
            Bytes[At + 1] = GetGValue(Color);
            Bytes[At + 2] = GetRValue(Color);
        }
    }
    return Bytes;
}

} // namespace vorn
