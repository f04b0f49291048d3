#pragma once

// Shared by the form reader and writer; not part of the library's interface.

#include "host/components/model/Component.h"
#include "host/components/model/TypeInfo.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorn {
class TBitmap;
class TStrings;
} // namespace vorn

namespace vorn::formfile {

// Ordered, so that properties are written in published order and read in file order.
using TJson = nlohmann::ordered_json;

// The component named Name in Root's tree: Root itself or any component it owns, directly
// or not, searched owner before owned and in creation order; nullptr when there is none.
// Names are compared with ASCII letter case ignored, as component names are.
TComponent* FindComponentInTree(TComponent& Root, const std::string& Name);

// Appends one reference token to a JSON pointer, escaping "~" and "/".
std::string PointerChild(const std::string& Pointer, const std::string& Token);
std::string PointerChild(const std::string& Pointer, std::size_t Index);

// "an integer", "a string", ... for messages about a value of the wrong type.
std::string DescribeJsonValue(const TJson& Value);

// Raises the reader's EReadError. Pointer is the JSON pointer of the offending value (empty
// for the document as a whole); ClassProperty names the property ("TEdit.Width"), if any.
[[noreturn]] void FailReading(const std::string& Pointer, const std::string& ClassProperty,
                              const std::string& Message);

// Parses a form file's text, refusing malformed JSON (with its line and column) and keys
// given twice in one object.
TJson ParseFormText(const std::string& Text);

// The value of an integer, boolean, string, enumeration or set property read from Value.
TPropertyValue ReadScalarValue(const TTypeInfo& Type, const TJson& Value,
                               const std::string& Pointer, const std::string& ClassProperty);
// Replaces the strings of a string list by an array of strings.
void ReadStringsValue(TStrings& Strings, const TJson& Value, const std::string& Pointer,
                      const std::string& ClassProperty);
// Loads a bitmap from base64 BMP data; the empty text empties it.
void ReadBitmapValue(TBitmap& Bitmap, const TJson& Value, const std::string& Pointer,
                     const std::string& ClassProperty);

// Bitmaps travel in form files as the base64 text of their BMP data.
std::string EncodeBase64(const std::vector<std::uint8_t>& Data);
// The decoded bytes, or nothing for text that is not padded base64.
std::optional<std::vector<std::uint8_t>> DecodeBase64(const std::string& Text);

} // namespace vorn::formfile
