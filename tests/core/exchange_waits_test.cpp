// Every kind of wait on the instrument goes through the exchange's one wait: an instrument that
// streams bytes without the awaited marker ends each at its bound, and the abort ends each at once.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/records/record_erase.h"
#include "core/records/record_retrieval.h"
#include "core/service/calibration.h"
#include "core/service/firmware_update.h"
#include "fault_matrix.h"
#include "memory_file_store.h"
#include "whole_instrument_rig.h"

namespace vrn::test {
namespace {

constexpr const char* kFirmwarePath = "/fw/new.glo";

struct WaitRig : WholeInstrumentRig<MatrixLink> {
    MemoryFileStore files;
    records::RecordRetrieval retrieval{setupTransfer, files};
    WaitRig() {
        instrument.state.setup.fieldsPerRecord = 3;
        std::ifstream firmware(std::string(VRN_FIRMWARE_DIR) + "/demo.glo", std::ios::binary);
        files.files[kFirmwarePath] = {std::istreambuf_iterator<char>(firmware), {}};
    }
};

constexpr uint32_t kRecordsAsked = 40;

// One kind of wait: the command it waits on, how long it may take against a stream at most, and
// a run that says whether it ended as the kind of wait it is ends when it fails (or is aborted).
struct WaitKind {
    const char* name;
    int command;
    int64_t boundMs;
    std::function<bool(WaitRig&, Outcome::Kind wanted)> run;
};

std::vector<WaitKind> waitKinds() {
    return {
        {"marker", 250, Exchange::kSettingWaitSeconds * 1000,
         [](WaitRig& r, Outcome::Kind wanted) {
             r.ex.SendCommand("CMD250 5\r");
             return r.ex.WaitForByte(Exchange::kAck, Exchange::kSettingWaitSeconds).kind() == wanted;
         }},
        {"check echo", 952, int64_t{service::kCalEchoLimitSeconds} * 1000,
         [](WaitRig& r, Outcome::Kind wanted) {
             return service::runCalibrationCheck(r.ex, service::CalCheck::Se).kind() == wanted;
         }},
        {"erase progress", 345, records::RecordErase::kEraseLimitMs,
         [](WaitRig& r, Outcome::Kind wanted) {
             r.host.setNextAnswer(MsgResult::Yes);
             return records::RecordErase(r.ex).EraseRecords1Click().kind() == wanted;
         }},
        {"records silence", 340,
         records::RecordRetrieval::kDownloadBaseMs +
             int64_t{kRecordsAsked} * 12 / int64_t{records::RecordRetrieval::kDownloadBytesPerMs},
         [](WaitRig& r, Outcome::Kind wanted) {
             records::RetrievalOptions o;
             o.count = kRecordsAsked;
             o.formatNotice = false;
             o.path = "/data/records.txt";
             o.askBeforeShortSave = false;
             return r.retrieval.ButtonGetRecordsClick(o).kind() == wanted;
         }},
        {"screens ready", 210, screens::ScreenTransfer::kReadySeconds * 1000,
         [](WaitRig& r, Outcome::Kind wanted) {
             return r.screenTransfer.SendUserScreens().kind() == wanted;
         }},
        {"calibration data", 805, service::kCalDataLimitMs,
         [](WaitRig& r, Outcome::Kind wanted) { return service::getCalData(r.ex).kind() == wanted; }},
        {"program blocks", 115, program::ProgramTransfer::kFirstBlockTries * 1000,
         [](WaitRig& r, Outcome::Kind wanted) {
             return r.programTransfer.GetUserProgram().kind() == wanted;
         }},
        {"program replies", 110,
         program::ProgramTransfer::kMaxErrors * program::ProgramTransfer::kReplyTimeoutMs,
         [](WaitRig& r, Outcome::Kind wanted) {
             return r.programTransfer.SendUserProgram().kind() == wanted;
         }},
        {"firmware loader", 980, (service::kLoaderSeconds + 1) * 1000,
         [](WaitRig& r, Outcome::Kind wanted) {
             r.host.setNextAnswer(MsgResult::Yes);
             service::FirmwareRequest request;
             request.path = kFirmwarePath;
             return service::updateFirmware(r.ex, r.files, request).kind() == wanted;
         }},
    };
}

TEST(ExchangeWaits, AStreamWithoutTheMarkerEndsEveryKindOfWaitAtItsBound) {
    for (const WaitKind& kind : waitKinds()) {
        for (const char* stream : {"12.5 C\r", "!"}) {
            SCOPED_TRACE(std::string(kind.name) + " streaming \"" + stream + "\"");
            WaitRig r;
            // A byte every 200 ms: never a silent read, never the end, and slower than a download.
            r.instrument.faults.perCommand[kind.command] = sim::Fault::stream(stream, 200000);
            const int64_t start = r.host.clock_.nowMs();
            r.host.deadlineUs = (start + 2 * kind.boundMs) * 1000;
            bool failed = false;
            EXPECT_NO_THROW(failed = kind.run(r, Outcome::Kind::Failed))
                << "still waiting at twice its bound";
            EXPECT_TRUE(failed);
            EXPECT_LE(r.host.clock_.nowMs() - start, kind.boundMs + 1000);
        }
    }
}

TEST(ExchangeWaits, TheAbortEndsEveryKindOfWaitAtOnce) {
    for (const WaitKind& kind : waitKinds()) {
        for (const bool byClosing : {false, true}) {
            SCOPED_TRACE(std::string(kind.name) + (byClosing ? " closing" : " abortWaits"));
            WaitRig r;
            r.instrument.faults.perCommand[kind.command] = sim::Fault::stream("12.5 C\r", 200000);
            int64_t abortedAtMs = -1;
            // The command has gone out once the instrument counted it: the abort comes at the
            // wait's next look at the window.
            r.host.closingWhen = [&r, &abortedAtMs, &kind, byClosing] {
                if (abortedAtMs < 0 && r.instrument.commandCounts[kind.command] > 0) {
                    abortedAtMs = r.host.clock_.nowMs();
                    if (!byClosing) r.ex.abortWaits();
                }
                return byClosing && abortedAtMs >= 0;
            };
            r.host.deadlineUs = 2 * kind.boundMs * 1000;
            bool aborted = false;
            EXPECT_NO_THROW(aborted = kind.run(r, Outcome::Kind::Aborted));
            EXPECT_TRUE(aborted);
            ASSERT_GE(abortedAtMs, 0);
            EXPECT_LE(r.host.clock_.nowMs() - abortedAtMs, UsbPort::kReadTimeoutMs + 200);
        }
    }
}

}  // namespace
}  // namespace vrn::test
