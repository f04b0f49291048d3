#pragma once

#include <exception>
#include <functional>

namespace vorn {

// Shows an error that escaped a handler of user input. There is one per process; the
// widget set installs one that shows a message box, tests install one that records.
using TApplicationErrorHandler = std::function<void(const std::exception& Error)>;

// Installs Handler and returns the one it replaces. An empty Handler restores the
// default, which writes the error's message to stderr.
TApplicationErrorHandler SetApplicationErrorHandler(TApplicationErrorHandler Handler);

// Hands Error to the installed handler. Never throws: when the handler itself raises,
// both messages go to stderr instead.
void HandleApplicationError(const std::exception& Error) noexcept;

} // namespace vorn
