// Which questions have No as their default button: those whose Yes erases or overwrites something
// in the instrument, so that Enter alone never does it.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "core/program/program_editor.h"
#include "core/program/program_model.h"
#include "core/program/program_transfer.h"
#include "core/records/record_erase.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"
#include "core/service/calibration.h"
#include "core/service/firmware_update.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "core/workspace/whole_transfer.h"
#include "memory_file_store.h"
#include "program_rig.h"
#include "sim_link.h"
#include "whole_instrument_rig.h"

namespace vrn {
namespace {

struct Rig : test::WholeInstrumentRig<test::SimLink> {
    test::MemoryFileStore files;
    test::ScriptedDialogs dialogs;
    ProgramEditor programEditor{program, host, dialogs};

    Rig() {
        usb.OpenUsbPort();
        editor.clearAll();
        std::ifstream in(std::string(VRN_FIRMWARE_DIR).append("/demo.glo"), std::ios::binary);
        const std::string firmware{std::istreambuf_iterator<char>(in), {}};
        files.files["/fw/new.glo"].assign(firmware.begin(), firmware.end());
    }
};

TEST(DestructiveQuestions, NoIsTheDefaultWhereYesChangesTheInstrument) {
    struct Row {
        const char* question;
        std::function<void(Rig&)> ask;
        MsgButtons buttons;
        int command;  // the command a Yes would lead to, never sent on No; 0: none
    } rows[] = {
        {"Erase ALL Recorded Data in 41700?",
         [](Rig& r) { (void)records::RecordErase(r.ex).EraseRecords1Click(); }, MsgButtons::YesNoDefaultNo,
         345},
        {"Replace all SE Zero calibration settings?",
         [](Rig& r) { (void)service::runCalibrationStep(r.ex, service::CalStep::SeZero, true, ""); },
         MsgButtons::YesNoDefaultNo, 0},
        {service::kFwConfirmText,
         [](Rig& r) {
             service::FirmwareRequest request;
             request.path = "/fw/new.glo";
             (void)service::updateFirmware(r.ex, r.files, request);
         },
         MsgButtons::YesNoDefaultNo, 980},
        {"Send Setup/Screens/Program.\nOverwrite settings in 41700?",
         [](Rig& r) { (void)workspace::SendCollection1(r.transfers, {}); }, MsgButtons::YesNoDefaultNo, 110},
        // Yes to these changes only what the window holds.
        {"Get Setup/Screens/Pgm from 41700.\nOverwrite settings in VRNComm?",
         [](Rig& r) { (void)workspace::GetCollection1(r.transfers, {}); }, MsgButtons::YesNo, 115},
        {"Erase all current instructions to start a new program?",
         [](Rig& r) { r.programEditor.newProgram(); }, MsgButtons::YesNo, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.question);
        Rig rig;
        rig.host.setNextAnswer(MsgResult::No);
        r.ask(rig);
        ASSERT_FALSE(rig.host.boxes.empty());
        EXPECT_EQ(rig.host.boxes.back().text, r.question);
        EXPECT_EQ(rig.host.boxes.back().kind, MsgKind::Confirmation);
        EXPECT_EQ(rig.host.boxes.back().buttons, r.buttons);
        if (r.command != 0) {
            EXPECT_EQ(rig.instrument.commandCounts[r.command], 0);
        }
        EXPECT_EQ(rig.instrument.state.service.calibrationSteps, 0);
    }
}

}  // namespace
}  // namespace vrn
