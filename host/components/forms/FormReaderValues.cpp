#include "host/components/forms/FormFileDetail.h"
#include "host/components/graphics/Bitmap.h"
#include "host/components/model/Strings.h"
#include "host/components/text/CodePage.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace vorn::formfile {

namespace {

std::int64_t MemberOrdinal(const TTypeInfo& Type, const std::string& Member,
                           const std::string& Pointer, const std::string& ClassProperty) {
    const auto& Names = Type.ElementNames;
    const auto Found = std::find(Names.begin(), Names.end(), Member);
    if (Found == Names.end())
        FailReading(Pointer, ClassProperty, "\"" + Member + "\" is not a value of " + Type.Name);
    return Found - Names.begin();
}

std::int64_t SetBits(const TTypeInfo& Type, const TJson& Value, const std::string& Pointer,
                     const std::string& ClassProperty) {
    if (!Value.is_array())
        FailReading(Pointer, ClassProperty,
                    "expected an array of member names of " + Type.Name + ", found " +
                        DescribeJsonValue(Value));
    std::uint64_t Bits = 0;
    for (std::size_t Index = 0; Index < Value.size(); ++Index) {
        const TJson& Member = Value[Index];
        const std::string MemberPointer = PointerChild(Pointer, Index);
        if (!Member.is_string())
            FailReading(MemberPointer, ClassProperty,
                        "expected a member name of " + Type.Name + ", found " +
                            DescribeJsonValue(Member));
        const auto& Names = Type.ElementNames;
        const auto Found = std::find(Names.begin(), Names.end(), Member.get<std::string>());
        if (Found == Names.end() || Found - Names.begin() >= 64)
            FailReading(MemberPointer, ClassProperty,
                        "\"" + Member.get<std::string>() + "\" is not a member of " + Type.Name);
        Bits |= std::uint64_t{1} << (Found - Names.begin());
    }
    return static_cast<std::int64_t>(Bits);
}

} // namespace

TPropertyValue ReadScalarValue(const TTypeInfo& Type, const TJson& Value,
                               const std::string& Pointer, const std::string& ClassProperty) {
    auto Mismatch = [&](const std::string& Expected) {
        FailReading(Pointer, ClassProperty,
                    "expected " + Expected + ", found " + DescribeJsonValue(Value));
    };
    switch (Type.Kind) {
    case tkInteger:
        if (!Value.is_number_integer())
            Mismatch("an integer");
        if (Value.is_number_unsigned() &&
            Value.get<std::uint64_t>() >
                static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            FailReading(Pointer, ClassProperty, Value.dump() + " is out of range");
        return Value.get<std::int64_t>();
    case tkBoolean:
        if (!Value.is_boolean())
            Mismatch("true or false");
        return Value.get<bool>();
    case tkString:
        if (!Value.is_string())
            Mismatch("a string");
        return Utf8ToHost(Value.get<std::string>());
    case tkEnumeration:
        if (!Value.is_string())
            Mismatch("a value name of " + Type.Name);
        return MemberOrdinal(Type, Value.get<std::string>(), Pointer, ClassProperty);
    case tkSet:
        return SetBits(Type, Value, Pointer, ClassProperty);
    default:
        FailReading(Pointer, ClassProperty, "the property's type cannot be read");
    }
}

void ReadStringsValue(TStrings& Strings, const TJson& Value, const std::string& Pointer,
                      const std::string& ClassProperty) {
    if (!Value.is_array())
        FailReading(Pointer, ClassProperty,
                    "expected an array of strings, found " + DescribeJsonValue(Value));
    std::vector<std::string> Lines;
    for (std::size_t Index = 0; Index < Value.size(); ++Index) {
        if (!Value[Index].is_string())
            FailReading(PointerChild(Pointer, Index), ClassProperty,
                        "expected a string, found " + DescribeJsonValue(Value[Index]));
        Lines.push_back(Utf8ToHost(Value[Index].get<std::string>()));
    }
    try {
        Strings.BeginUpdate();
        try {
            Strings.Clear();
            for (const std::string& Line : Lines)
                Strings.Add(Line);
        } catch (...) {
            Strings.EndUpdate();
            throw;
        }
        Strings.EndUpdate();
    } catch (const std::exception& E) {
        FailReading(Pointer, ClassProperty, E.what());
    }
}

void ReadBitmapValue(TBitmap& Bitmap, const TJson& Value, const std::string& Pointer,
                     const std::string& ClassProperty) {
    if (!Value.is_string())
        FailReading(Pointer, ClassProperty,
                    "expected the base64 text of a bitmap, found " + DescribeJsonValue(Value));
    const std::optional<std::vector<std::uint8_t>> Data =
        formfile::DecodeBase64(Value.get<std::string>());
    if (!Data)
        FailReading(Pointer, ClassProperty, "the bitmap's text is not valid base64");
    try {
        if (Data->empty())
            Bitmap.SetSize(0, 0);
        else
            Bitmap.LoadFromBytes(*Data);
    } catch (const std::exception& E) {
        FailReading(Pointer, ClassProperty, E.what());
    }
}

} // namespace vorn::formfile
