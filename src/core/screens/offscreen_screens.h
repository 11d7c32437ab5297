#pragma once

#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"

namespace vrn {
class Host;
}

namespace vrn::screens {

// The eight screens with a picture nobody sees: the transfers and the editor draw on one, also
// where no window shows it (the command line, a backup of the instrument).
struct OffscreenScreens {
    explicit OffscreenScreens(Host& host) : display(store, image), editor(display, host) {}
    ScreenStore store;
    PixelBuffer image{kPictureWidth, kScreenImageHeight};
    ScreenDisplay display;
    ScreenEditor editor;
};

}  // namespace vrn::screens
