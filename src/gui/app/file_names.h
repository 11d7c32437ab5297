#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace vrn::gui {

// The bytes of the file a dialog's path names. A file whose name is not valid in the locale's
// encoding reaches a QString with its odd bytes replaced; each part of the path that is then no
// longer on the disk is looked up among its folder's entries, and the one entry that reads the same
// gives its real bytes. A part that is not there yet (a new file's name) is encoded as typed.
std::string localFileName(const QString& path);

// The value of a "--name VALUE" or "--name=VALUE" option as the bytes it was given; none when the
// option is not there or has no value.
std::optional<std::string> rawOptionValue(int argc, char* const* argv, std::string_view name);

}  // namespace vrn::gui
