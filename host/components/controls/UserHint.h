#pragma once

#include <functional>
#include <string>

namespace vorn {

class TControl;

// A short note shown next to a control, saying why an act of the user changed nothing
// visible (a title that cannot sort, a search that found nothing). There is one handler
// per process: the widget set shows the note as a tooltip; without one it goes nowhere.
using TUserHintHandler = std::function<void(const TControl& Near, const std::string& Text)>;

// Installs Handler (empty: none) and returns the one it replaces.
TUserHintHandler SetUserHintHandler(TUserHintHandler Handler);

void ShowUserHint(const TControl& Near, const std::string& Text);

} // namespace vorn
