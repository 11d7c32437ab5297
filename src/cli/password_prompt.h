#pragma once

#include <optional>
#include <string>

namespace vrn::cli {

// Asks for a password on the controlling terminal without showing what is typed; none when there
// is no terminal to ask on.
std::optional<std::string> askPasswordOnTerminal(const char* prompt);

}  // namespace vrn::cli
