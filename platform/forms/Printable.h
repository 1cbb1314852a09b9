#pragma once
// Text from outside (arguments, environment variables, names of files and displays) as a
// message may show it: on one line, harmless on a terminal, and not endless.

#include <cstddef>
#include <string>

namespace oz {

// The longest value a message of ozmir shows whole.
constexpr std::size_t kLongestShownValue = 80;

// Bytes other than printable ASCII (and the backslash) appear as \xHH. Text longer than
// `longest` bytes is cut there and ends in "... (N bytes)".
std::string Printable(const std::string& text, std::size_t longest = std::string::npos);

} // namespace oz
