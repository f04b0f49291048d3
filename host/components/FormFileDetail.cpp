#include "host/components/FormFileDetail.h"

#include "host/components/Strings.h"

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

} // namespace vorn::formfile
