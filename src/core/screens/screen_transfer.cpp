#include "core/screens/screen_transfer.h"

#include <vector>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/timer1.h"
#include "core/link/usb_port.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"

namespace vrn::screens {

Host& ScreenTransfer::host() {
    return ex_.host();
}

bool ScreenTransfer::GetUserScreens() {
    Host& h = host();
    h.appendLine("GET SCREENS...");
    h.timer().arm(kReadyTicks);
    h.setProgressMax(static_cast<int>(kScreenBytes));
    std::vector<uint8_t> image(kStoreBytes);
    bool complete = false;
    for (int attempt = 0; attempt < kGetTries && !complete; ++attempt) {
        ex_.port().purge();
        h.clock().sleepMs(kGetPauseMs);
        ex_.SendCommand("CMD215\r");
        complete = ex_.port().read(image).count == image.size();
    }
    if (!complete) {
        h.appendLine("GET SCREENS FAILED.");
        return true;
    }
    ScreenStore& store = display_.store();
    store.load(image);
    int drawn = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            display_.drawStoredCell(r, c, false);
            h.setProgress(++drawn);
        }
    editor_.setScreenNumber(1);
    editor_.ButtonStopEditClick();
    h.setProgress(0);
    h.appendLine("FINISHED GETTING SCREENS.");
    return false;
}

bool ScreenTransfer::SendUserScreens() {
    Host& h = host();
    h.appendLine("SEND SCREENS...");
    Timer1& timer = h.timer();
    timer.arm(kReadyTicks);
    h.setProgressMax(static_cast<int>(kStoreBytes));
    ex_.SendCommand("CMD210\r");
    for (;;) {
        h.pump();
        uint8_t byte = 0;
        if (ex_.port().read({&byte, 1}).count == 1 && byte == kReady) break;
        if (timer.timedOut()) {
            warn(h, kNoResponseText);
            h.appendLine("SEND SCREENS ERROR.");
            return true;
        }
    }
    int sent = 0;
    for (const uint8_t byte : display_.store().bytes()) {
        ex_.port().write({&byte, 1});
        h.setProgress(++sent);
    }
    h.setProgress(0);
    h.appendLine("FINISHED SENDING SCREENS.");
    return false;
}

}  // namespace vrn::screens
