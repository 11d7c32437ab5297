#pragma once

#include "core/program/program_model.h"
#include "core/program/program_transfer.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "core/workspace/whole_transfer.h"

namespace vrn::test {

// The window's three models and their transfers over a link (a SimLink, a MatrixLink), for the
// whole get and send.
template <class Link>
struct WholeInstrumentRig : Link {
    setup::SetupModel setup;
    screens::ScreenStore store;
    screens::PixelBuffer image{screens::kPictureWidth, screens::kScreenImageHeight};
    screens::ScreenDisplay display{store, image};
    screens::ScreenEditor editor{display, this->host};
    ProgramModel program;
    setup::SetupTransfer setupTransfer{this->ex, setup};
    screens::ScreenTransfer screenTransfer{this->ex, display, editor};
    program::ProgramTransfer programTransfer{this->ex, program};
    workspace::Transfers transfers{setupTransfer, screenTransfer, programTransfer};
};

}  // namespace vrn::test
