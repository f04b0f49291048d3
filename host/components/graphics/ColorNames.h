#pragma once

// The names of the standard and system colours (clRed, clBtnFace), as a form designer
// shows and accepts them.

#include "host/components/graphics/Graphics.h"

#include <optional>
#include <string>
#include <vector>

namespace vorn {

// The colour a name denotes (letter case of a to z ignored), or nothing.
std::optional<TColor> ColorFromName(const std::string& Name);
// The name of Color, or nothing for a colour without one. Of two names for one colour
// (clSilver, clLtGray) the first listed is given.
std::optional<std::string> ColorName(TColor Color);
// Every colour name, standard colours first, then clNone, clDefault and the system colours.
std::vector<std::string> ColorNames();

} // namespace vorn
