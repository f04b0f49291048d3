#pragma once

// Shared by the form reader and writer; not part of the library's interface.

#include "host/components/Component.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// Bitmaps travel in form files as the base64 text of their BMP data.
std::string EncodeBase64(const std::vector<std::uint8_t>& Data);
// The decoded bytes, or nothing for text that is not padded base64.
std::optional<std::vector<std::uint8_t>> DecodeBase64(const std::string& Text);

} // namespace vorn::formfile
