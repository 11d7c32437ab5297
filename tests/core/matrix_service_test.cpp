// Calibration steps and checks, the hardware tests and the firmware update against every fault of
// the simulated instrument: each ends within its bound with its no-response line or box.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/service/calibration.h"
#include "core/service/diagnostics.h"
#include "core/service/firmware_update.h"
#include "fault_matrix.h"
#include "memory_file_store.h"

namespace vrn::service {
namespace {

using Lines = std::vector<std::string>;

std::vector<test::FaultCase> faultsOf(const std::vector<int>& commands, uint64_t bytes, uint64_t points) {
    auto faults = test::replyFaults(commands);
    const auto link = test::linkFaults(bytes, bytes / points + 1);
    faults.insert(faults.end(), link.begin(), link.end());
    return faults;
}

struct CalRig : test::MatrixLink {
    std::vector<bool> stepsFinished;
    std::vector<bool> checksFailed;
};

TEST(FaultMatrix, CalibrationSteps) {
    test::Matrix<CalRig> m;
    m.transfer = "calibration steps";
    m.boundMs = static_cast<int64_t>(calSteps().size()) * (kCalWaitSeconds + 2) * 1000;
    m.run = [](CalRig& r) {
        for (const CalStepInfo& info : calSteps())
            r.stepsFinished.push_back(runCalibrationStep(r.ex, info.step, false, "4999.5").ok());
        return std::count(r.stepsFinished.begin(), r.stepsFinished.end(), true) !=
               std::ssize(r.stepsFinished);
    };
    m.check = [](CalRig& r, bool) {
        test::Verdict v;
        Lines wanted;
        for (size_t k = 0; k < r.stepsFinished.size(); ++k) {
            wanted.push_back(startLineOf(calSteps()[k]));
            wanted.push_back(r.stepsFinished[k] ? calSteps()[k].finishedLine : calSteps()[k].noResponseLine);
        }
        if (r.host.lines != wanted || !r.host.boxes.empty())
            v.messages = "not a starting line and one finished or no-response line a step";
        const auto finished = std::count(r.stepsFinished.begin(), r.stepsFinished.end(), true);
        if (finished > r.instrument.state.service.calibrationSteps)
            v.model = "a step the instrument never ran was reported finished";
        return v;
    };
    test::runMatrix(m, faultsOf({810, 815, 820, 825, 830, 835, 840, 845}, test::replyBytesOf(m), 8));
}

TEST(FaultMatrix, CalibrationChecks) {
    test::Matrix<CalRig> m;
    m.transfer = "calibration checks";
    m.boundMs = static_cast<int64_t>(calChecks().size()) * (kCalWaitSeconds + 3) * 1000;
    m.run = [](CalRig& r) {
        for (const CalCheckInfo& info : calChecks())
            r.checksFailed.push_back(!runCalibrationCheck(r.ex, info.check).ok());
        return std::count(r.checksFailed.begin(), r.checksFailed.end(), true) > 0;
    };
    m.check = [](CalRig& r, bool) {
        test::Verdict v;
        for (size_t k = 0; k < r.checksFailed.size(); ++k) {
            const bool said =
                std::count(r.host.lines.begin(), r.host.lines.end(), calChecks()[k].noResponseLine) > 0;
            if (said != r.checksFailed[k])
                v.messages += std::string(calChecks()[k].cliName) + " no-response line wrong; ";
        }
        if (!r.host.boxes.empty()) v.messages += "a box";
        return v;
    };
    test::runMatrix(m, faultsOf({952, 954, 956}, test::replyBytesOf(m), 10));
}

constexpr std::string_view kLongestLabel = "PGM Signature: 0x";

struct TestsRig : test::MatrixLink {
    std::vector<std::optional<std::string>> results;
    // What a test's result box shows: nothing where the test was refused.
    void keep(const Result<std::string>& shown) {
        results.push_back(shown.hasValue() ? std::optional(shown.value()) : std::nullopt);
    }
};

TEST(FaultMatrix, HardwareTests) {
    std::vector<std::optional<std::string>> wanted;
    const auto runAll = [](TestsRig& r) {
        for (size_t kind = 0; kind < inputKinds().size(); ++kind)
            r.keep(testInput(r.ex, kind, 2));
        r.keep(testRam(r.ex));
        r.keep(testPgm(r.ex));
        r.keep(testRom(r.ex));
    };
    {
        TestsRig ref;
        runAll(ref);
        wanted = ref.results;
    }
    test::Matrix<TestsRig> m;
    m.transfer = "hardware tests";
    m.boundMs = 30000;
    m.run = [&](TestsRig& r) {
        runAll(r);
        return r.results != wanted;
    };
    m.check = [&](TestsRig& r, bool) {
        test::Verdict v;
        for (size_t k = 0; k < r.results.size(); ++k) {
            const auto& got = r.results[k];
            if (!got) v.model += "test " + std::to_string(k) + " showed no result; ";
            // The result box shows what came: at most one read of 25 bytes after its label.
            else if (*got != wanted[k] && *got != kNoResponse &&
                     got->size() > kLongestLabel.size() + kReplyRead)
                v.model += "test " + std::to_string(k) + " result too long; ";
        }
        if (!r.host.boxes.empty()) v.messages = "a box";
        return v;
    };
    auto faults = faultsOf({922, 924, 926, 935, 940, 910, 905, 900}, test::replyBytesOf(m), 12);
    test::runMatrix(m, faults);
}

constexpr const char* kFirmwarePath = "/fw/new.glo";

std::vector<uint8_t> demoFirmware() {
    std::ifstream in(std::string(VRN_FIRMWARE_DIR) + "/demo.glo", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct FirmwareRig : test::MatrixLink {
    test::MemoryFileStore files;
    Outcome outcome = Outcome::done();
    FirmwareRig() { files.files[kFirmwarePath] = demoFirmware(); }
};

TEST(FaultMatrix, FirmwareUpdate) {
    const std::vector<uint8_t> file = demoFirmware();
    ASSERT_GT(file.size(), 100u);
    sim::SimService updated;
    test::Matrix<FirmwareRig> m;
    m.transfer = "firmware update";
    m.boundMs = (kWakeSeconds + kLoaderSeconds + kProgramSeconds + 5) * 1000;
    m.run = [](FirmwareRig& r) {
        r.host.setNextAnswer(MsgResult::Yes);
        FirmwareRequest request;
        request.path = kFirmwarePath;
        r.outcome = updateFirmware(r.ex, r.files, request);
        return !r.outcome.ok();
    };
    {
        FirmwareRig ref;
        ASSERT_FALSE(m.run(ref));
        updated = ref.instrument.state.service;
    }
    m.check = [&](FirmwareRig& r, bool) {
        test::Verdict v;
        if (r.files.files.size() != 1 || r.files.files.at(kFirmwarePath) != file)
            v.file = "the firmware file changed";
        const sim::SimService& s = r.instrument.state.service;
        // Before the confirmation only the wake can fail; after it the loader or the records.
        const bool confirmed = r.outcome.reason() != kFwNoWakeText;
        switch (r.outcome.kind()) {
        case Outcome::Kind::Done:
            if (s.firmwareRecords != updated.firmwareRecords || s.firmwareSum != updated.firmwareSum)
                v.model = "finished, says the PC, but the instrument holds other firmware";
            v.messages = test::expectEnd(r, "FINISHED FIRMWARE UPDATE.", {kFwConfirmText});
            break;
        case Outcome::Kind::Failed:
            if (!confirmed) {
                if (r.boxTexts() != Lines{kFwNoWakeText}) v.messages = "not the no-contact box alone";
            } else if (r.boxTexts() != Lines{kFwConfirmText, kFwNoLoaderText} &&
                       r.boxTexts() != Lines{kFwConfirmText, kFwTimeoutText}) {
                v.messages = "not the confirmation and the failure box";
            }
            break;
        default:
            v.messages = "outcome " + std::to_string(static_cast<int>(r.outcome.kind()));
        }
        return v;
    };
    auto faults = faultsOf({-1, 980}, test::replyBytesOf(m), 12);
    const std::vector<test::FaultCase> loader = {
        {"loader silent at once", [](sim::Faults& f) { f.loaderAcks = 0; }},
        {"loader silent after 5 records", [](sim::Faults& f) { f.loaderAcks = 5; }},
        {"loader stray before every ack", [](sim::Faults& f) { f.loaderStray = "x?"; }},
    };
    faults.insert(faults.end(), loader.begin(), loader.end());
    test::runMatrix(m, faults);
}

}  // namespace
}  // namespace vrn::service
