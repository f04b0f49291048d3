#include "host/components/graphics/Bitmap.h"

#include "host/components/graphics/Resources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace vorn;

namespace {

using TBytes = std::vector<std::uint8_t>;

void Put16(TBytes& Bytes, std::size_t At, std::uint32_t Value) {
    Bytes[At] = Value & 0xFF;
    Bytes[At + 1] = (Value >> 8) & 0xFF;
}

void Put32(TBytes& Bytes, std::size_t At, std::uint32_t Value) {
    Put16(Bytes, At, Value & 0xFFFF);
    Put16(Bytes, At + 2, Value >> 16);
}

// Writes BMP data the way an image editor would, independently of the reader under test.
// Pixels are palette indices (Bits <= 8) or RGB colours, rows from the top; Height < 0
// stores the rows from the top.
struct TBmpBuilder {
    int Width = 0;
    int Height = 0;
    int Bits = 24;
    std::vector<TColor> Palette;
    std::vector<std::uint32_t> Pixels;
    bool FileHeader = false;

    TBytes Build() const {
        const int Rows = Height < 0 ? -Height : Height;
        const std::size_t Stride = (static_cast<std::size_t>(Width) * Bits + 31) / 32 * 4;
        const std::size_t HeaderStart = FileHeader ? 14 : 0;
        const std::size_t PaletteStart = HeaderStart + 40;
        const std::size_t PixelStart = PaletteStart + Palette.size() * 4;
        TBytes Bytes(PixelStart + Stride * Rows, 0);
        if (FileHeader) {
            Bytes[0] = 'B';
            Bytes[1] = 'M';
            Put32(Bytes, 2, static_cast<std::uint32_t>(Bytes.size()));
            Put32(Bytes, 10, static_cast<std::uint32_t>(PixelStart));
        }
        Put32(Bytes, HeaderStart, 40);
        Put32(Bytes, HeaderStart + 4, static_cast<std::uint32_t>(Width));
        Put32(Bytes, HeaderStart + 8, static_cast<std::uint32_t>(Height));
        Put16(Bytes, HeaderStart + 12, 1);
        Put16(Bytes, HeaderStart + 14, static_cast<std::uint32_t>(Bits));
        Put32(Bytes, HeaderStart + 32, static_cast<std::uint32_t>(Palette.size()));
        for (std::size_t Entry = 0; Entry < Palette.size(); ++Entry) {
            Bytes[PaletteStart + Entry * 4] = GetBValue(Palette[Entry]);
            Bytes[PaletteStart + Entry * 4 + 1] = GetGValue(Palette[Entry]);
            Bytes[PaletteStart + Entry * 4 + 2] = GetRValue(Palette[Entry]);
        }
        for (int Y = 0; Y < Rows; ++Y) {
            const int StoredRow = Height < 0 ? Y : Rows - 1 - Y;
            const std::size_t Row = PixelStart + StoredRow * Stride;
            for (int X = 0; X < Width; ++X)
                PutPixel(Bytes, Row, X, Pixels[static_cast<std::size_t>(Y) * Width + X]);
        }
        return Bytes;
    }

private:
    void PutPixel(TBytes& Bytes, std::size_t Row, int X, std::uint32_t Value) const {
        switch (Bits) {
        case 1:
            Bytes[Row + X / 8] |= static_cast<std::uint8_t>(Value << (7 - X % 8));
            break;
        case 4:
            Bytes[Row + X / 2] |= static_cast<std::uint8_t>(X % 2 == 0 ? Value << 4 : Value);
            break;
        case 8:
            Bytes[Row + X] = static_cast<std::uint8_t>(Value);
            break;
        default:
            Bytes[Row + X * (Bits / 8)] = GetBValue(Value);
            Bytes[Row + X * (Bits / 8) + 1] = GetGValue(Value);
            Bytes[Row + X * (Bits / 8) + 2] = GetRValue(Value);
        }
    }
};

const std::vector<TColor> FourColours = {clBlack, clRed, clLime, clBlue};

std::vector<TColor> PixelsOf(const TBitmap& Bitmap) {
    std::vector<TColor> Result;
    for (int Y = 0; Y < Bitmap.Height(); ++Y)
        for (int X = 0; X < Bitmap.Width(); ++X)
            Result.push_back(Bitmap.Pixels(X, Y));
    return Result;
}

struct TDecodeCase {
    const char* Name;
    TBmpBuilder Builder;
    std::vector<TColor> Expected; // rows from the top
};

TEST(Bitmap, DecodesEveryDepthBothRowOrdersAndBothHeaderForms) {
    // Widths are chosen so that rows need padding to four bytes.
    const std::vector<std::uint32_t> Indices = {0, 1, 2, 3, 2, 1}; // 3 x 2
    const std::vector<TColor> Expected = {clBlack, clRed, clLime, clBlue, clLime, clRed};
    const std::vector<std::uint32_t> Rgb = {RGB(1, 2, 3), RGB(250, 0, 7), clWhite,
                                            RGB(9, 8, 7), clBlack,        RGB(0, 128, 255)};
    const std::vector<TColor> RgbExpected(Rgb.begin(), Rgb.end());
    const std::vector<std::uint32_t> Bits1 = {1, 0, 0, 1, 1, 1, 0, 0, 1, //
                                              0, 1, 1, 0, 0, 0, 1, 1, 0};
    std::vector<TColor> Bits1Expected;
    for (std::uint32_t Bit : Bits1)
        Bits1Expected.push_back(Bit ? clWhite : clNavy);

    const TDecodeCase Cases[] = {
        {.Name = "4-bit bottom-up",
         .Builder = {3, 2, 4, FourColours, Indices, false},
         .Expected = Expected},
        {.Name = "4-bit top-down",
         .Builder = {3, -2, 4, FourColours, Indices, false},
         .Expected = Expected},
        {.Name = "4-bit full palette by default",
         .Builder = {3, 2, 4, {}, {0, 0, 0, 0, 0, 0}, false},
         .Expected = {}},
        {.Name = "8-bit with file header",
         .Builder = {3, 2, 8, FourColours, Indices, true},
         .Expected = Expected},
        {.Name = "8-bit top-down",
         .Builder = {3, -2, 8, FourColours, Indices, false},
         .Expected = Expected},
        {.Name = "1-bit across a byte",
         .Builder = {9, 2, 1, {clNavy, clWhite}, Bits1, false},
         .Expected = Bits1Expected},
        {.Name = "24-bit bottom-up",
         .Builder = {3, 2, 24, {}, Rgb, false},
         .Expected = RgbExpected},
        {.Name = "24-bit top-down with file header",
         .Builder = {3, -2, 24, {}, Rgb, true},
         .Expected = RgbExpected},
        {.Name = "32-bit", .Builder = {3, 2, 32, {}, Rgb, false}, .Expected = RgbExpected},
    };
    for (const TDecodeCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TBmpBuilder Builder = Case.Builder;
        if (Builder.Bits == 4 && Builder.Palette.empty()) {
            // No colour count in the header: all sixteen entries follow it.
            Builder.Palette.assign(16, clMaroon);
            TBytes Bytes = Builder.Build();
            Put32(Bytes, 32, 0);
            TBitmap Bitmap;
            Bitmap.LoadFromBytes(Bytes);
            EXPECT_EQ(PixelsOf(Bitmap), std::vector<TColor>(6, clMaroon));
            continue;
        }
        TBitmap Bitmap;
        Bitmap.LoadFromBytes(Builder.Build());
        EXPECT_EQ(Bitmap.Width(), Builder.Width);
        EXPECT_EQ(Bitmap.Height(), std::abs(Builder.Height));
        EXPECT_EQ(PixelsOf(Bitmap), Case.Expected);
    }
}

TEST(Bitmap, DecodesTheOldCoreHeaderWithThreeBytePaletteEntries) {
    const TBytes Bytes = {
        12,   0, 0,   0, 2, 0, 1, 0, 1, 0, 1, 0, // size, width 2, height 1, 1 plane, 1 bit
        0,    0, 0,                              // palette: black
        0,    0, 255,                            // red
        0x40, 0, 0,   0,                         // pixels 0, 1 and padding
    };
    TBitmap Bitmap;
    Bitmap.LoadFromBytes(Bytes);
    EXPECT_EQ(PixelsOf(Bitmap), (std::vector<TColor>{clBlack, clRed}));
}

TBmpBuilder ValidFourBit() {
    return {3, 2, 4, FourColours, {0, 1, 2, 3, 2, 1}, true};
}

TEST(Bitmap, EveryTruncationOfValidDataRaisesAndKeepsTheOldImage) {
    const TBytes Valid = ValidFourBit().Build();
    TBitmap Bitmap;
    Bitmap.SetSize(2, 2);
    for (std::size_t Length = 0; Length < Valid.size(); ++Length) {
        SCOPED_TRACE(Length);
        const TBytes Prefix(Valid.begin(), Valid.begin() + static_cast<std::ptrdiff_t>(Length));
        EXPECT_THROW(Bitmap.LoadFromBytes(Prefix), EInvalidGraphic);
    }
    EXPECT_EQ(Bitmap.Width(), 2);
    EXPECT_EQ(PixelsOf(Bitmap), std::vector<TColor>(4, clWhite));
}

// The valid data is 78 bytes: file header (14), info header (40), palette (16), pixels (8).
struct TCorruption {
    const char* Expected; // part of the message
    std::size_t Offset;   // from the start of the data
    std::uint32_t Value;
    int Size; // 1, 2 or 4 bytes
};

TEST(Bitmap, MalformedHeadersRaiseSayingWhatIsWrong) {
    constexpr std::size_t Info = 14;
    constexpr std::size_t TopRow = 74;
    const TCorruption Cases[] = {
        {.Expected = "unknown size 41", .Offset = Info, .Value = 41, .Size = 4},
        {.Expected = "unknown size 0", .Offset = Info, .Value = 0, .Size = 4},
        {.Expected = "2 colour planes", .Offset = Info + 12, .Value = 2, .Size = 2},
        {.Expected = "16 bits per pixel is not supported",
         .Offset = Info + 14,
         .Value = 16,
         .Size = 2},
        {.Expected = "0 bits per pixel", .Offset = Info + 14, .Value = 0, .Size = 2},
        {.Expected = "compression 1", .Offset = Info + 16, .Value = 1, .Size = 4},
        {.Expected = "width 0", .Offset = Info + 4, .Value = 0, .Size = 4},
        {.Expected = "width -3",
         .Offset = Info + 4,
         .Value = static_cast<std::uint32_t>(-3),
         .Size = 4},
        {.Expected = "height is 0", .Offset = Info + 8, .Value = 0, .Size = 4},
        {.Expected = "larger than", .Offset = Info + 4, .Value = 50000000, .Size = 4},
        {.Expected = "larger than", .Offset = Info + 8, .Value = 0x80000000u, .Size = 4},
        {.Expected = "palette size 257", .Offset = Info + 32, .Value = 257, .Size = 4},
        {.Expected = "the palette is truncated", .Offset = Info + 32, .Value = 200, .Size = 4},
        {.Expected = "the pixel data is truncated", .Offset = Info + 8, .Value = 3, .Size = 4},
        {.Expected = "pixel (0, 0) uses colour 7 of a palette of 4",
         .Offset = TopRow,
         .Value = 0x70,
         .Size = 1},
        {.Expected = "pixel (2, 1) uses colour 15 of a palette of 4",
         .Offset = TopRow - 4 + 1,
         .Value = 0xF0,
         .Size = 1},
    };
    for (const TCorruption& Case : Cases) {
        SCOPED_TRACE(Case.Expected);
        TBytes Bytes = ValidFourBit().Build();
        ASSERT_EQ(Bytes.size(), 78u);
        if (Case.Size == 1)
            Bytes[Case.Offset] = static_cast<std::uint8_t>(Case.Value);
        else if (Case.Size == 2)
            Put16(Bytes, Case.Offset, Case.Value);
        else
            Put32(Bytes, Case.Offset, Case.Value);
        try {
            TBitmap Bitmap;
            Bitmap.LoadFromBytes(Bytes);
            ADD_FAILURE() << "no EInvalidGraphic";
        } catch (const EInvalidGraphic& Error) {
            EXPECT_NE(Error.Message().find("TBitmap.LoadFromBytes() Invalid BMP data: "),
                      std::string::npos)
                << Error.Message();
            EXPECT_NE(Error.Message().find(Case.Expected), std::string::npos) << Error.Message();
        }
    }
}

TEST(Bitmap, RandomlyDamagedDataEitherLoadsConsistentlyOrRaisesInvalidGraphic) {
    const TBytes Originals[] = {
        ValidFourBit().Build(),
        TBmpBuilder{3, -2, 8, FourColours, {0, 1, 2, 3, 2, 1}, false}.Build(),
        TBmpBuilder{2, 2, 24, {}, {clRed, clLime, clBlue, clWhite}, true}.Build(),
    };
    std::mt19937 Random(20261208);
    for (int Round = 0; Round < 3000; ++Round) {
        TBytes Bytes = Originals[Round % 3];
        const int Damages = 1 + static_cast<int>(Random() % 4);
        for (int Damage = 0; Damage < Damages; ++Damage) {
            // Mostly the headers, where a wrong value misleads the reader.
            const std::size_t Span =
                Random() % 4 == 0 ? Bytes.size() : std::min<std::size_t>(Bytes.size(), 60);
            Bytes[Random() % Span] = static_cast<std::uint8_t>(Random());
        }
        if (Random() % 5 == 0)
            Bytes.resize(Random() % Bytes.size());
        TBitmap Bitmap;
        try {
            Bitmap.LoadFromBytes(Bytes);
        } catch (const EInvalidGraphic&) {
            EXPECT_TRUE(Bitmap.Empty());
            continue;
        }
        ASSERT_FALSE(Bitmap.Empty()) << Round;
        EXPECT_EQ(PixelsOf(Bitmap).size(), static_cast<std::size_t>(Bitmap.Width()) *
                                               static_cast<std::size_t>(Bitmap.Height()));
    }
}

TEST(Bitmap, PixelOffsetInsideTheHeaderRaises) {
    TBytes Bytes = ValidFourBit().Build();
    Put32(Bytes, 10, 20);
    TBitmap Bitmap;
    EXPECT_THROW(Bitmap.LoadFromBytes(Bytes), EInvalidGraphic);
    Put32(Bytes, 10, 0xFFFFFFF0u);
    EXPECT_THROW(Bitmap.LoadFromBytes(Bytes), EInvalidGraphic);
}

TEST(Bitmap, SaveAndLoadRoundTripThroughBytesStreamsAndFiles) {
    TBitmap Source;
    Source.SetSize(5, 3);
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 5; ++X)
            Source.SetPixel(
                X, Y,
                RGB(static_cast<std::uint8_t>(X * 50), 7, static_cast<std::uint8_t>(Y * 100)));

    TBitmap FromBytes;
    FromBytes.LoadFromBytes(Source.SaveToBytes());
    EXPECT_EQ(PixelsOf(FromBytes), PixelsOf(Source));

    std::stringstream Stream;
    Source.SaveToStream(Stream);
    TBitmap FromStream;
    FromStream.LoadFromStream(Stream);
    EXPECT_EQ(PixelsOf(FromStream), PixelsOf(Source));

    const std::string FileName =
        (std::filesystem::temp_directory_path() / "vorn-bitmap-test.bmp").string();
    Source.SaveToFile(FileName);
    TBitmap FromFile;
    FromFile.LoadFromFile(FileName);
    std::remove(FileName.c_str());
    EXPECT_EQ(FromFile.Width(), 5);
    EXPECT_EQ(PixelsOf(FromFile), PixelsOf(Source));

    EXPECT_THROW(TBitmap().SaveToBytes(), EInvalidGraphic);
    EXPECT_THROW(FromFile.LoadFromFile(FileName), EInvalidGraphic);
    EXPECT_THROW(Source.SaveToFile("/nonexistent-dir/x.bmp"), EInvalidGraphic);
}

TEST(Bitmap, ResizingKeepsTheOverlapAndPixelAccessIsBounded) {
    TBitmap Bitmap;
    int Changes = 0;
    Bitmap.OnChange = [&](TObject*) { ++Changes; };
    EXPECT_TRUE(Bitmap.Empty());
    Bitmap.SetSize(2, 2);
    Bitmap.SetPixel(1, 1, clRed);
    Bitmap.SetPixel(0, 0, clBtnFace); // stored as its screen colour
    Bitmap.SetSize(3, 1);
    EXPECT_EQ(PixelsOf(Bitmap), (std::vector<TColor>{ColorToRGB(clBtnFace), clWhite, clWhite}));
    EXPECT_EQ(Changes, 4);

    for (auto [X, Y] : {std::pair{-1, 0}, {3, 0}, {0, 1}, {0, -1}}) {
        SCOPED_TRACE(X * 10 + Y);
        EXPECT_THROW(Bitmap.Pixels(X, Y), EListError);
        EXPECT_THROW(Bitmap.SetPixel(X, Y, clRed), EListError);
    }
    EXPECT_THROW(Bitmap.SetSize(-1, 5), EInvalidGraphic);
    EXPECT_THROW(Bitmap.SetSize(100000, 100000), EInvalidGraphic);
    EXPECT_THROW(Bitmap.SetPixel(0, 0, clNone), EConvertError);
    EXPECT_EQ(Bitmap.Width(), 3);
    EXPECT_EQ(Changes, 4);

    TBitmap Copy;
    Copy.Assign(&Bitmap);
    EXPECT_EQ(PixelsOf(Copy), PixelsOf(Bitmap));
    TFont NotABitmap;
    EXPECT_THROW(Copy.Assign(&NotABitmap), EConvertError);
}

// ---------------------------------------------------------------- resources

struct ResourceFixture : ::testing::Test {
    void TearDown() override {
        UnregisterModuleResources("TestModule");
        UnregisterModuleResources("OtherModule");
    }
};

TEST_F(ResourceFixture, RegisteredBitmapsLoadByNameUntilTheModuleUnloads) {
    RegisterResource("TestModule", "DELETEFILTERROW", RT_BITMAP,
                     TBmpBuilder{3, 2, 4, FourColours, {0, 1, 2, 3, 2, 1}, false}.Build());
    TBitmap Bitmap;
    Bitmap.LoadFromResourceName("TestModule", "DeleteFilterRow");
    EXPECT_EQ(Bitmap.Width(), 3);
    EXPECT_EQ(Bitmap.Pixels(1, 0), clRed);

    EXPECT_FALSE(FindResource("OtherModule", "DELETEFILTERROW", RT_BITMAP));
    EXPECT_FALSE(FindResource("TestModule", "DELETEFILTERROW", "ICON"));
    EXPECT_TRUE(FindResource("TestModule", "deletefilterrow", "bitmap"));

    UnregisterModuleResources("TestModule");
    EXPECT_FALSE(FindResource("TestModule", "DELETEFILTERROW", RT_BITMAP));
    try {
        Bitmap.LoadFromResourceName("TestModule", "DELETEFILTERROW");
        ADD_FAILURE() << "no exception";
    } catch (const EResNotFound& Error) {
        EXPECT_EQ(Error.Message(), "TBitmap.LoadFromResourceName() Resource DELETEFILTERROW not "
                                   "found in module TestModule");
    }
    EXPECT_EQ(Bitmap.Width(), 3);
}

TEST_F(ResourceFixture, RegistrationRejectsDuplicatesAndEmptyNames) {
    RegisterResource("TestModule", "GLYPH", RT_BITMAP, {1, 2, 3});
    EXPECT_THROW(RegisterResource("TestModule", "glyph", RT_BITMAP, {4}), Exception);
    EXPECT_EQ(*FindResource("TestModule", "GLYPH", RT_BITMAP), (TBytes{1, 2, 3}));
    RegisterResource("OtherModule", "GLYPH", RT_BITMAP, {4});
    RegisterResource("TestModule", "GLYPH", "DATA", {5});
    EXPECT_EQ(*FindResource("OtherModule", "GLYPH", RT_BITMAP), (TBytes{4}));

    for (auto [Module, Name, Type] : {std::tuple{"", "N", "T"}, {"M", "", "T"}, {"M", "N", ""}})
        EXPECT_THROW(RegisterResource(Module, Name, Type, {}), Exception);

    UnregisterModuleResources("OtherModule");
    EXPECT_TRUE(FindResource("TestModule", "GLYPH", RT_BITMAP));
    UnregisterModuleResources("NeverLoaded");
}

TEST_F(ResourceFixture, AResourceThatIsNoBitmapRaisesNamingIt) {
    RegisterResource("TestModule", "BROKEN", RT_BITMAP, {0x28, 0, 0, 0, 1});
    TBitmap Bitmap;
    try {
        Bitmap.LoadFromResourceName("TestModule", "BROKEN");
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& Error) {
        EXPECT_NE(Error.Message().find("BROKEN"), std::string::npos) << Error.Message();
        EXPECT_NE(Error.Message().find("truncated"), std::string::npos) << Error.Message();
    }
    EXPECT_TRUE(Bitmap.Empty());
}

} // namespace
