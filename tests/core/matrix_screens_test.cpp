// Get and Send Screens against every fault of the simulated instrument: a failed Get leaves the
// store, the screen shown and the edit mode as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/screens/pixel_sink.h"
#include "core/screens/screen_actions.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"
#include "fault_matrix.h"
#include "whole_instrument_rig.h"

namespace vrn::screens {
namespace {

using Bytes = std::vector<uint8_t>;

struct Rig : test::WholeInstrumentRig<test::MatrixLink> {
    ScreenTransfer& transfer = screenTransfer;

    Rig() {
        editor.clearAll();
        for (size_t k = 0; k < instrument.state.screens.size(); ++k)
            instrument.state.screens[k] = static_cast<uint8_t>(33 + k % 90);
        editor.UpDownScrNumChangingEx(3);
        editor.ButtonStartEditClick();
        host.lines.clear();
    }
    Bytes storeBytes() const { return {store.bytes().begin(), store.bytes().end()}; }
    Bytes device() const { return {instrument.state.screens.begin(), instrument.state.screens.end()}; }
};

std::vector<test::FaultCase> faultsOf(const test::Matrix<Rig>& m, uint64_t stride) {
    auto faults = test::replyFaults({m.transfer == "get screens" ? 215 : 210});
    const auto link = test::linkFaults(test::replyBytesOf(m), stride);
    faults.insert(faults.end(), link.begin(), link.end());
    return faults;
}

TEST(FaultMatrix, GetScreens) {
    const Bytes before = Rig().storeBytes();
    test::Matrix<Rig> m;
    m.transfer = "get screens";
    m.boundMs = 5000;  // ten tries of a 350 ms read, or a 2.5 s wait for "*"
    m.run = [](Rig& r) {
        const Outcome outcome = RxScreens(r.transfer, {});
        const bool failed = r.host.lines.back() != "FINISHED GETTING SCREENS.";
        EXPECT_EQ(outcome.ok(), !failed) << "the outcome says what the last line says";
        return failed;
    };
    m.check = [&](Rig& r, bool failed) {
        test::Verdict v;
        if (failed) {
            if (r.storeBytes() != before || r.editor.screenNumber() != 3 || !r.editor.editing())
                v.model = "a failed Get changed the store, the screen shown or the edit mode";
            v.messages = test::expectEnd(r, "GET SCREENS FAILED.", {kCommErrorText});
        } else {
            // The image carries no check: the last 1,920 bytes read are the store, spoilt or not.
            const Bytes& read = r.driver.received;
            const Bytes came(read.end() - static_cast<std::ptrdiff_t>(std::min(read.size(), kStoreBytes)),
                             read.end());
            if (r.storeBytes() != came || r.editor.screenNumber() != 1 || r.editor.editing())
                v.model = "the Get got through with other screens than it read";
            else if (r.storeBytes() != r.device())
                v.model = "the Get took bytes that were not the instrument's screens";
            if (!r.host.boxes.empty()) v.messages = "a box after a Get that got through";
        }
        return v;
    };
    auto faults = faultsOf(m, 97);
    const std::string why = "the screen image carries no check and its reply no length";
    for (const char* row : {"CMD215 stray", "all stray", "flip byte", "stall 2 s"})
        test::markLimit(faults, row, why);
    test::runMatrix(m, faults);
}

TEST(FaultMatrix, SendScreens) {
    test::Matrix<Rig> m;
    m.transfer = "send screens";
    m.boundMs = 5000;  // ten tries of a 350 ms read, or a 2.5 s wait for "*"
    m.run = [](Rig& r) {
        r.editor.clearAll();
        r.store.setCell(4, 2, 7, 'Q');
        const Outcome outcome = TxScreens(r.transfer, {});
        const bool failed = r.host.lines.back() != "FINISHED SENDING SCREENS.";
        EXPECT_EQ(outcome.ok(), !failed) << "the outcome says what the last line says";
        return failed;
    };
    m.check = [](Rig& r, bool failed) {
        test::Verdict v;
        if (r.store.cell(4, 2, 7) != 'Q') v.model = "the Send changed the store";
        if (failed) {
            v.messages =
                test::expectEnd(r, "SEND SCREENS ERROR.", {ScreenTransfer::kNoResponseText, kCommErrorText});
        } else {
            // No answer follows the image: an instrument that gave up waiting for it keeps its own.
            if (r.device() != r.storeBytes() && r.device() != Rig().device())
                v.model += "the instrument holds other screens than sent";
            if (!r.host.boxes.empty()) v.messages = "a box after a Send that got through";
        }
        return v;
    };
    test::runMatrix(m, faultsOf(m, 1));
}

}  // namespace
}  // namespace vrn::screens
