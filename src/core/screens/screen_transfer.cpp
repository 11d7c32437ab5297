#include "core/screens/screen_transfer.h"

#include <utility>
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
namespace {

constexpr const char* kGetFailed = "GET SCREENS FAILED.";
constexpr const char* kSendError = "SEND SCREENS ERROR.";

}  // namespace

Host& ScreenTransfer::host() {
    return ex_.host();
}

static_assert(ScreenTransfer::kReadyTicks * Timer1::kIntervalMs ==
              int64_t{ScreenTransfer::kReadySeconds} * 1000);

Outcome ScreenTransfer::GetUserScreens() {
    Host& h = host();
    h.appendLine("GET SCREENS...");
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
        h.appendLine(kGetFailed);
        return ex_.failure(kGetFailed);
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
    return Outcome::done();
}

Outcome ScreenTransfer::SendUserScreens() {
    Host& h = host();
    h.appendLine("SEND SCREENS...");
    h.setProgressMax(static_cast<int>(kStoreBytes));
    ex_.SendCommand("CMD210\r");
    // As this wait always has: the window's events before each read, and its box instead of the beep.
    Outcome ready = ex_.waitForMarker(
        kReady, {.silenceMs = int64_t{kReadySeconds} * 1000, .pumpFirst = true, .beeps = false});
    if (!ready.ok()) {
        warn(h, kNoResponseText);
        h.appendLine(kSendError);
        return std::move(ready).orReason(kSendError);
    }
    int sent = 0;
    for (const uint8_t byte : display_.store().bytes()) {
        ex_.port().write({&byte, 1});
        h.setProgress(++sent);
    }
    h.setProgress(0);
    h.appendLine("FINISHED SENDING SCREENS.");
    return Outcome::done();
}

}  // namespace vrn::screens
