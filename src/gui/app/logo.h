#pragma once

#include <QPixmap>

namespace vrn::gui {

// The program's logo for the About box: a wind vane over a station mast, 80 x 95 pixels.
QPixmap drawLogo();

}  // namespace vrn::gui
