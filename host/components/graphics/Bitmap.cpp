#include "host/components/graphics/Bitmap.h"

#include "host/components/graphics/BmpFormat.h"
#include "host/components/graphics/Resources.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace vorn {

const TClass& TBitmap::StaticClass() {
    static const TClass Class("TBitmap", &TPersistent::StaticClass());
    return Class;
}

const TTypeInfo& BitmapTypeInfo() {
    static const TTypeInfo Info{"TBitmap", tkObject, {}, &TBitmap::StaticClass()};
    return Info;
}

void TBitmap::SetSize(int NewWidth, int NewHeight) {
    if (NewWidth < 0 || NewHeight < 0 ||
        static_cast<std::int64_t>(NewWidth) * NewHeight > MaxBitmapPixels)
        throw EInvalidGraphic("TBitmap.SetSize() " + std::to_string(NewWidth) + " x " +
                              std::to_string(NewHeight) + " is not a valid bitmap size");
    if (NewWidth == FWidth && NewHeight == FHeight)
        return;
    std::vector<TColor> Resized(static_cast<std::size_t>(NewWidth) * NewHeight, clWhite);
    for (int Y = 0; Y < std::min(FHeight, NewHeight); ++Y)
        for (int X = 0; X < std::min(FWidth, NewWidth); ++X)
            Resized[static_cast<std::size_t>(Y) * NewWidth + X] =
                FPixels[static_cast<std::size_t>(Y) * FWidth + X];
    FPixels.swap(Resized);
    FWidth = NewWidth;
    FHeight = NewHeight;
    Changed();
}

std::size_t TBitmap::PixelIndex(int X, int Y, const char* Operation) const {
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        throw EListError(std::string(Operation) + " Pixel (" + std::to_string(X) + ", " +
                         std::to_string(Y) + ") lies outside the bitmap of " +
                         std::to_string(FWidth) + " x " + std::to_string(FHeight));
    return static_cast<std::size_t>(Y) * FWidth + X;
}

TColor TBitmap::Pixels(int X, int Y) const {
    return FPixels[PixelIndex(X, Y, "TBitmap.Pixels()")];
}

void TBitmap::SetPixel(int X, int Y, TColor Color) {
    const std::size_t Index = PixelIndex(X, Y, "TBitmap.SetPixel()");
    const TColor Value = ColorToRGB(Color);
    if (FPixels[Index] == Value)
        return;
    FPixels[Index] = Value;
    Changed();
}

void TBitmap::Load(std::span<const std::uint8_t> Data, const std::string& Operation) {
    TDecodedBitmap Decoded;
    try {
        Decoded = DecodeBmp(Data);
    } catch (const EInvalidGraphic& Error) {
        throw EInvalidGraphic(Operation + " Invalid BMP data: " + Error.Message());
    }
    FWidth = Decoded.Width;
    FHeight = Decoded.Height;
    FPixels = std::move(Decoded.Pixels);
    Changed();
}

void TBitmap::LoadFromResourceName(const std::string& Module, const std::string& ResourceName) {
    const std::string Operation = "TBitmap.LoadFromResourceName()";
    const auto Bytes = FindResource(Module, ResourceName, RT_BITMAP);
    if (!Bytes)
        throw EResNotFound(Operation + " Resource " + ResourceName + " not found in module " +
                           Module);
    Load(*Bytes, Operation + " Resource " + ResourceName + ":");
}

void TBitmap::LoadFromBytes(std::span<const std::uint8_t> Data) {
    Load(Data, "TBitmap.LoadFromBytes()");
}

void TBitmap::LoadFromStream(std::istream& Stream) {
    const std::vector<std::uint8_t> Bytes{std::istreambuf_iterator<char>(Stream),
                                          std::istreambuf_iterator<char>()};
    if (Stream.bad())
        throw EInvalidGraphic("TBitmap.LoadFromStream() The stream could not be read");
    Load(Bytes, "TBitmap.LoadFromStream()");
}

void TBitmap::LoadFromFile(const std::string& FileName) {
    std::ifstream File(FileName, std::ios::binary);
    if (!File)
        throw EInvalidGraphic("TBitmap.LoadFromFile() Cannot open " + FileName);
    const std::vector<std::uint8_t> Bytes{std::istreambuf_iterator<char>(File),
                                          std::istreambuf_iterator<char>()};
    if (File.bad())
        throw EInvalidGraphic("TBitmap.LoadFromFile() Cannot read " + FileName);
    Load(Bytes, "TBitmap.LoadFromFile() " + FileName + ":");
}

std::vector<std::uint8_t> TBitmap::SaveToBytes() const {
    if (Empty())
        throw EInvalidGraphic("TBitmap.SaveToBytes() An empty bitmap cannot be saved");
    return EncodeBmp(FWidth, FHeight, FPixels);
}

void TBitmap::SaveToStream(std::ostream& Stream) const {
    const std::vector<std::uint8_t> Bytes = SaveToBytes();
    Stream.write(reinterpret_cast<const char*>(Bytes.data()),
                 static_cast<std::streamsize>(Bytes.size()));
    if (!Stream)
        throw EInvalidGraphic("TBitmap.SaveToStream() The stream could not be written");
}

void TBitmap::SaveToFile(const std::string& FileName) const {
    const std::vector<std::uint8_t> Bytes = SaveToBytes();
    std::ofstream File(FileName, std::ios::binary | std::ios::trunc);
    if (!File)
        throw EInvalidGraphic("TBitmap.SaveToFile() Cannot create " + FileName);
    File.write(reinterpret_cast<const char*>(Bytes.data()),
               static_cast<std::streamsize>(Bytes.size()));
    File.close();
    if (!File)
        throw EInvalidGraphic("TBitmap.SaveToFile() Cannot write " + FileName);
}

void TBitmap::Assign(const TPersistent* Source) {
    const auto* Bitmap = dynamic_cast<const TBitmap*>(Source);
    if (Bitmap == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (Bitmap == this)
        return;
    FWidth = Bitmap->FWidth;
    FHeight = Bitmap->FHeight;
    FPixels = Bitmap->FPixels;
    Changed();
}

void TBitmap::Changed() {
    if (OnChange)
        OnChange(this);
}

} // namespace vorn
