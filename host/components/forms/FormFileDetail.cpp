#include "host/components/forms/FormFileDetail.h"

#include "host/components/text/AsciiText.h"

#include <algorithm>

namespace vorn::formfile {

TComponent* FindComponentInTree(TComponent& Root, const std::string& Name) {
    if (Name.empty())
        return nullptr;
    if (SameTextAscii(Root.Name(), Name))
        return &Root;
    for (int Index = 0; Index < Root.ComponentCount(); ++Index)
        if (TComponent* Found = FindComponentInTree(*Root.Components(Index), Name))
            return Found;
    return nullptr;
}

std::string PointerChild(const std::string& Pointer, const std::string& Token) {
    std::string Result = Pointer + "/";
    for (char C : Token) {
        if (C == '~')
            Result += "~0";
        else if (C == '/')
            Result += "~1";
        else
            Result += C;
    }
    return Result;
}

std::string PointerChild(const std::string& Pointer, std::size_t Index) {
    return Pointer + "/" + std::to_string(Index);
}

std::string DescribeJsonValue(const TJson& Value) {
    switch (Value.type()) {
    case TJson::value_t::null:
        return "null";
    case TJson::value_t::object:
        return "an object";
    case TJson::value_t::array:
        return "an array";
    case TJson::value_t::string:
        return "a string";
    case TJson::value_t::boolean:
        return "a boolean";
    case TJson::value_t::number_integer:
    case TJson::value_t::number_unsigned:
        return "an integer";
    case TJson::value_t::number_float:
        return "a fractional number";
    default:
        return "a value of an unsupported kind";
    }
}

namespace {

constexpr char Base64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Digit(char C) {
    if (C >= 'A' && C <= 'Z')
        return C - 'A';
    if (C >= 'a' && C <= 'z')
        return C - 'a' + 26;
    if (C >= '0' && C <= '9')
        return C - '0' + 52;
    if (C == '+')
        return 62;
    if (C == '/')
        return 63;
    return -1;
}

} // namespace

std::string EncodeBase64(const std::vector<std::uint8_t>& Data) {
    std::string Result;
    Result.reserve((Data.size() + 2) / 3 * 4);
    for (std::size_t Pos = 0; Pos < Data.size(); Pos += 3) {
        const std::size_t Available = std::min<std::size_t>(3, Data.size() - Pos);
        std::uint32_t Group = 0;
        for (std::size_t Index = 0; Index < 3; ++Index)
            Group = (Group << 8) | (Index < Available ? Data[Pos + Index] : 0);
        for (std::size_t Index = 0; Index < 4; ++Index)
            Result += Index <= Available ? Base64Alphabet[(Group >> (18 - 6 * Index)) & 0x3F] : '=';
    }
    return Result;
}

std::optional<std::vector<std::uint8_t>> DecodeBase64(const std::string& Text) {
    if (Text.size() % 4 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> Result;
    Result.reserve(Text.size() / 4 * 3);
    for (std::size_t Pos = 0; Pos < Text.size(); Pos += 4) {
        const bool Last = Pos + 4 == Text.size();
        std::uint32_t Group = 0;
        int Padding = 0;
        for (std::size_t Index = 0; Index < 4; ++Index) {
            const char C = Text[Pos + Index];
            // Padding may only end the text, and only in the last two places.
            if (C == '=' && Last && Index >= 2 && (Index == 3 || Text[Pos + 3] == '=')) {
                ++Padding;
                Group <<= 6;
                continue;
            }
            const int Digit = Base64Digit(C);
            if (Digit < 0 || Padding > 0)
                return std::nullopt;
            Group = (Group << 6) | static_cast<std::uint32_t>(Digit);
        }
        for (int Index = 0; Index < 3 - Padding; ++Index)
            Result.push_back(static_cast<std::uint8_t>(Group >> (16 - 8 * Index)));
    }
    return Result;
}

} // namespace vorn::formfile
