// Get Setup against an instrument whose every reply is fuzz bytes: the decimal replies, the date
// and time, the baud codes and the 800-byte record format block. Whatever arrives, the transfer
// ends and the model holds only values its controls allow.
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "core/text/utf8.h"
#include "fuzz_input.h"
#include "fuzz_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vrn::fuzz::Input input(data, size);
    const bool usePcTime = input.byte() & 1;
    vrn::fuzz::ReplayLink link(input.rest());
    vrn::setup::SetupModel model;
    model.setUsePcTime(usePcTime);
    vrn::setup::SetupTransfer transfer(link.exchange, model);
    (void)transfer.GetUserSettings();

    using namespace vrn::setup;
    vrn::fuzz::require(model.interval() == kIntervalRange.clamp(model.interval()), "interval in range");
    vrn::fuzz::require(model.fieldsPerRecord() == kFieldsPerRecordRange.clamp(model.fieldsPerRecord()),
                       "fields per record in range");
    vrn::fuzz::require(model.com1Baud() >= -1 && model.com1Baud() < kBaudItemCount, "COM1 baud an item");
    vrn::fuzz::require(model.com2Baud() >= -1 && model.com2Baud() < kBaudItemCount, "COM2 baud an item");
    for (int i = 0; i < kFieldCount; ++i) {
        const RecordField& f = model.field(i);
        vrn::fuzz::require(vrn::text::utf8Length(f.label) <= kLabelMaxChars, "label at most 25 characters");
        vrn::fuzz::require(f.width == kWidthRange.clamp(f.width), "width in range");
        vrn::fuzz::require(f.precision == kPrecisionRange.clamp(f.precision), "precision in range");
    }
    return 0;
}
