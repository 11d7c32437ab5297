// The firmware update against an instrument whose every reply is fuzz bytes: the wake's "C", the
// loader's stars, the acknowledgements of the records and the final text. Whatever arrives, the
// update ends within its time limits, leaves the firmware file alone, and says it finished only
// when it did.
#include <string>

#include "../support/memory_file_store.h"
#include "core/service/firmware_update.h"
#include "fuzz_input.h"
#include "fuzz_link.h"

namespace {

constexpr const char* kFirmware =
    "S007000066757A7A29\r\n"
    "S1131000000102030405060708090A0B0C0D0E0F64\r\n"
    "S10F101056524E206669726D776172655D\r\n"
    "S9031000EC\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vrn::service;
    using vrn::fuzz::require;
    vrn::fuzz::ReplayLink link({data, size});
    link.host.answer = vrn::MsgResult::Yes;
    vrn::test::MemoryFileStore files;
    const std::string firmware = kFirmware;
    files.files["/fw.glo"].assign(firmware.begin(), firmware.end());
    FirmwareRequest request;
    request.path = "/fw.glo";
    const int64_t start = link.host.clock_.nowMs();
    const vrn::Outcome outcome = updateFirmware(link.exchange, files, request);
    require(outcome.kind() != vrn::Outcome::Kind::Refused, "a good file is sent");
    require(outcome.ok() == (link.host.lastLine == "FINISHED FIRMWARE UPDATE."), "finished only when it did");
    require(link.host.clock_.nowMs() - start <= (kWakeSeconds + kLoaderSeconds + kProgramSeconds + 3) * 1000,
            "the update ends within its time limits");
    require(files.files.size() == 1 && std::string(files.files.begin()->second.begin(),
                                                   files.files.begin()->second.end()) == firmware,
            "the firmware file is left alone");
    return 0;
}
