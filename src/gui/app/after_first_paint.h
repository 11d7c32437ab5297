#pragma once

#include <functional>

class QWidget;

namespace vrn::gui {

// Runs work once, when the event loop next comes round after the window's first frame has been
// painted, while the window is still shown: what the first frame does not need waits until the
// user sees the window.
void afterFirstPaint(QWidget* window, std::function<void()> work);

}  // namespace vrn::gui
