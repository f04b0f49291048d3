#pragma once

#include "host/components/graphics/Graphics.h"
#include "host/components/model/Component.h"
#include "host/components/model/Events.h"

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

namespace vorn {

// The most pixels a bitmap may hold (8192 x 8192), so that a forged header cannot make a
// small file claim gigabytes.
inline constexpr std::int64_t MaxBitmapPixels = std::int64_t{1} << 26;

// A bitmap held in memory as RGB colours. It reads uncompressed BMP data of 1, 4, 8, 24
// and 32 bits per pixel, bottom-up or top-down, with or without the 14-byte file header
// (resources carry the data without it), and writes 24-bit BMP files. OnChange fires
// after every change of size or pixels.
class TBitmap : public TPersistent {
public:
    TBitmap() = default;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    // Keeps the pixels that stay inside and makes new ones white. Raises for a negative
    // size or one above MaxBitmapPixels.
    void SetSize(int NewWidth, int NewHeight);
    bool Empty() const { return FWidth == 0 || FHeight == 0; }

    // The RGB colour at column X, row Y (row 0 at the top); raises EListError outside.
    TColor Pixels(int X, int Y) const;
    // Stores the RGB value of Color (a system colour is resolved through ColorToRGB).
    void SetPixel(int X, int Y, TColor Color);

    // Loads the RT_BITMAP resource ResourceName of Module; raises EResNotFound naming the
    // resource when the module has none, and EInvalidGraphic for data that is no readable BMP.
    void LoadFromResourceName(const std::string& Module, const std::string& ResourceName);
    // These raise EInvalidGraphic for data that is no readable BMP; the bitmap is then
    // unchanged.
    void LoadFromBytes(std::span<const std::uint8_t> Data);
    void LoadFromStream(std::istream& Stream);
    void LoadFromFile(const std::string& FileName);

    // A 24-bit BMP file (with file header). Raises for an empty bitmap.
    std::vector<std::uint8_t> SaveToBytes() const;
    void SaveToStream(std::ostream& Stream) const;
    void SaveToFile(const std::string& FileName) const;

    // Copies another TBitmap; other sources raise.
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    void Load(std::span<const std::uint8_t> Data, const std::string& Operation);
    std::size_t PixelIndex(int X, int Y, const char* Operation) const;
    void Changed();

    int FWidth = 0;
    int FHeight = 0;
    // Rows from the top, each FWidth pixels.
    std::vector<TColor> FPixels;
};

// Type information of a TBitmap sub-object property (a button's Glyph).
const TTypeInfo& BitmapTypeInfo();

} // namespace vorn
