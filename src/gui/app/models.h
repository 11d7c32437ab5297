#pragma once

#include "core/program/program_model.h"
#include "core/screens/screen_store.h"
#include "core/setup/setup_model.h"

namespace vrn::gui {

// What the window works on for the whole run, outside its widget tree: the pages show these and
// write edits back; transfers, files and groups fill them. The window keeps them alive until its
// pages are gone, as the pages let go of them when they are deleted.
struct Models {
    setup::SetupModel setup;
    screens::ScreenStore screens;
    ProgramModel program;
};

}  // namespace vrn::gui
