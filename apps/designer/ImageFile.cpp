#include "apps/designer/ImageFile.h"

#include "host/components/text/AsciiText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace vorn::designer {

namespace {

using TBytes = std::vector<std::uint8_t>;

void AppendBigEndian(TBytes& Bytes, std::uint32_t Value) {
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        Bytes.push_back(static_cast<std::uint8_t>(Value >> Shift));
}

std::uint32_t Crc32(const TBytes& Bytes, std::size_t From) {
    static const std::array<std::uint32_t, 256> Table = [] {
        std::array<std::uint32_t, 256> Result{};
        for (std::uint32_t Entry = 0; Entry < 256; ++Entry) {
            std::uint32_t Value = Entry;
            for (int Bit = 0; Bit < 8; ++Bit)
                Value = (Value & 1) != 0 ? 0xEDB88320u ^ (Value >> 1) : Value >> 1;
            Result[Entry] = Value;
        }
        return Result;
    }();
    std::uint32_t Crc = 0xFFFFFFFFu;
    for (std::size_t Index = From; Index < Bytes.size(); ++Index)
        Crc = Table[(Crc ^ Bytes[Index]) & 0xFF] ^ (Crc >> 8);
    return Crc ^ 0xFFFFFFFFu;
}

void AppendChunk(TBytes& Png, const char* Type, const TBytes& Data) {
    AppendBigEndian(Png, static_cast<std::uint32_t>(Data.size()));
    const std::size_t TypeStart = Png.size();
    Png.insert(Png.end(), Type, Type + 4);
    Png.insert(Png.end(), Data.begin(), Data.end());
    AppendBigEndian(Png, Crc32(Png, TypeStart));
}

// A zlib stream of stored (uncompressed) deflate blocks: palette images are tiny, and
// this needs no compression library.
TBytes StoredZlibStream(const TBytes& Raw) {
    constexpr std::size_t MaxBlock = 65535;
    TBytes Stream{0x78, 0x01};
    std::size_t Offset = 0;
    do {
        const std::size_t Length = std::min(MaxBlock, Raw.size() - Offset);
        const bool Last = Offset + Length == Raw.size();
        Stream.push_back(Last ? 1 : 0);
        const auto Len = static_cast<std::uint16_t>(Length);
        const auto NotLen = static_cast<std::uint16_t>(~Len);
        for (std::uint16_t Half : {Len, NotLen}) {
            Stream.push_back(static_cast<std::uint8_t>(Half));
            Stream.push_back(static_cast<std::uint8_t>(Half >> 8));
        }
        Stream.insert(Stream.end(), Raw.begin() + static_cast<std::ptrdiff_t>(Offset),
                      Raw.begin() + static_cast<std::ptrdiff_t>(Offset + Length));
        Offset += Length;
    } while (Offset < Raw.size());
    std::uint32_t A = 1, B = 0;
    for (std::uint8_t Byte : Raw) {
        A = (A + Byte) % 65521;
        B = (B + A) % 65521;
    }
    AppendBigEndian(Stream, B << 16 | A);
    return Stream;
}

TBytes EncodePng(const TBitmap& Image) {
    TBytes Raw;
    for (int Y = 0; Y < Image.Height(); ++Y) {
        Raw.push_back(0); // no filter
        for (int X = 0; X < Image.Width(); ++X) {
            const TColor Colour = Image.Pixels(X, Y); // 0x00BBGGRR
            for (int Shift : {0, 8, 16})
                Raw.push_back(static_cast<std::uint8_t>(Colour >> Shift));
        }
    }
    TBytes Header;
    AppendBigEndian(Header, static_cast<std::uint32_t>(Image.Width()));
    AppendBigEndian(Header, static_cast<std::uint32_t>(Image.Height()));
    Header.insert(Header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace
    TBytes Png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    AppendChunk(Png, "IHDR", Header);
    AppendChunk(Png, "IDAT", StoredZlibStream(Raw));
    AppendChunk(Png, "IEND", {});
    return Png;
}

} // namespace

void SaveImageFile(const TBitmap& Image, const std::filesystem::path& FileName) {
    const std::string Extension = LowerCaseAscii(FileName.extension().string());
    TBytes Bytes;
    if (Extension == ".png")
        Bytes = EncodePng(Image);
    else if (Extension == ".bmp")
        Bytes = Image.SaveToBytes();
    else
        throw Exception("Cannot write " + FileName.string() +
                        ": the file name must end in .png or .bmp");
    std::filesystem::path Temporary = FileName;
    Temporary += ".tmp";
    {
        std::ofstream File(Temporary, std::ios::binary | std::ios::trunc);
        File.write(reinterpret_cast<const char*>(Bytes.data()),
                   static_cast<std::streamsize>(Bytes.size()));
        if (!File.flush()) {
            std::error_code Ignored;
            std::filesystem::remove(Temporary, Ignored);
            throw Exception("Cannot write " + FileName.string());
        }
    }
    std::filesystem::rename(Temporary, FileName);
}

} // namespace vorn::designer
