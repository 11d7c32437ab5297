#pragma once

#include <QStringList>
#include <string_view>

namespace vrn::gui {

// The name filters of a file dialog from the "Text (*.x)|*.x|All (*.*)|*.*" pairs the transfers
// give: one filter per pair, its patterns taken from the pattern half, blank-separated as Qt wants.
QStringList qtNameFilters(std::string_view pairs);

}  // namespace vrn::gui
