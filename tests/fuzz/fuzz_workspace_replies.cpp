// Get and Send Setup/Screens/Pgm against an instrument whose every reply is fuzz bytes. Whatever
// arrives, the three transfers end at the first failure with the whole transfer's failure line;
// the Get changes the program only when all three got through, and the Send changes no model.
#include <algorithm>
#include <vector>

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
#include "fuzz_input.h"
#include "fuzz_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vrn;
    using fuzz::require;
    fuzz::Input input(data, size);
    const bool send = input.byte() & 1;
    fuzz::ReplayLink link(input.rest());
    setup::SetupModel setupModel;
    setupModel.setUsePcTime(false);
    setupModel.setDate("01-02-2026");
    setupModel.setTime("03:04:05");
    screens::ScreenStore store;
    screens::PixelBuffer image{screens::kPictureWidth, screens::kScreenImageHeight};
    screens::ScreenDisplay display{store, image};
    screens::ScreenEditor editor{display, link.host};
    ProgramModel program;
    program.tree.append({}, "LEFT OVER");
    setup::SetupTransfer setupTransfer{link.exchange, setupModel};
    screens::ScreenTransfer screenTransfer{link.exchange, display, editor};
    program::ProgramTransfer programTransfer{link.exchange, program};
    workspace::Transfers transfers{setupTransfer, screenTransfer, programTransfer};
    const std::vector<uint8_t> screensBefore(store.bytes().begin(), store.bytes().end());
    const std::vector<uint8_t> programBefore(program.store.image().begin(), program.store.image().end());
    const auto unchanged = [&] {
        return std::equal(screensBefore.begin(), screensBefore.end(), store.bytes().begin()) &&
               std::equal(programBefore.begin(), programBefore.end(), program.store.image().begin()) &&
               program.tree.topCount() == 2;
    };

    const bool failed = !(send ? workspace::sendAll(transfers, {}) : workspace::getAll(transfers, {})).ok();
    const char* last =
        send ? (failed ? "SEND SETUP/SCREENS/PROGRAM FAILED." : "FINISHED SENDING SETUP/SCREENS/PROGRAM.")
             : (failed ? "GET SETUP/SCREENS/PROGRAM FAILED." : "FINISHED GETTING SETUP/SCREENS/PROGRAM.");
    require(link.host.lastLine == last, "the whole transfer's last line says how it went");
    if (send) {
        require(unchanged(), "a Send changes no model");
    } else if (failed) {
        require(std::equal(programBefore.begin(), programBefore.end(), program.store.image().begin()) &&
                    program.tree.topCount() == 2,
                "a failed Get leaves the program");
    } else {
        require(program.tree.topLevel().back().text == "PGM END", "a program got ends in PGM END");
    }
    return 0;
}
