#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/link/outcome.h"
#include "core/setup/setup_model.h"

namespace vrn {
class Exchange;
class Host;
}  // namespace vrn

namespace vrn::setup {

struct SetupQuery;

// Moves the Setup between the model and the instrument, one command pair per value, with the
// message-area lines and progress positions of the window. Nothing done before a failure is
// undone.
class SetupTransfer {
public:
    // CMD325: tries, and the pause after the purge of each try.
    static constexpr int kRecordFormatTries = 5;
    static constexpr int64_t kRecordFormatPauseMs = 100;
    // A baud query tolerates this many codes outside the table; the next one fails it.
    static constexpr int kWrongBaudCodesTolerated = 5;
    // CMD320: the wait for "!" after each block, and for "*" after the last.
    static constexpr int kBlockWaitSeconds = 2;
    static constexpr int kLastBlockWaitSeconds = 5;

    SetupTransfer(Exchange& exchange, SetupModel& model) : ex_(exchange), model_(model) {}

    Outcome GetUserSettings();
    // Refuses (a box saying why, its text the reason, nothing sent) a Setup the instrument cannot
    // hold; with "Use PC System Time" the PC's time at the moment of sending goes out.
    Outcome SendUserSettings();
    // The instrument's date and time alone (the first two queries of a Get) into the model.
    Outcome GetClock();
    Outcome GetFieldsPerRecord();
    Outcome GetRecordFormats();
    Outcome SendRecordFormats();

    Exchange& exchange() { return ex_; }
    SetupModel& model() { return model_; }

private:
    // One Get step per query of the table, taken by the kind of its reply.
    Outcome getStep(const SetupQuery& q);
    Outcome ask(const SetupQuery& q, std::string& reply);
    Outcome getNumber(const SetupQuery& q);
    Outcome getDateOrTime(const SetupQuery& q);
    Outcome getCom1(const SetupQuery& q);
    Outcome getCom2(const SetupQuery& q);
    Outcome getRecordFormats(const SetupQuery& q);

    Host& host();

    Exchange& ex_;
    SetupModel& model_;
};

// The ten setting commands of a Send, in order, with their carriage returns; none when the date or
// time box does not hold a real date or time.
std::vector<std::string> settingCommands(const SetupModel& model);

// The time the protocol itself mandates for a whole Get or Send, the floor under any run: the
// send routine's pacing of every command, the pause before each query's read and after each
// record-format purge. Replies, acknowledgements and block writes add to it.
int64_t mandatedGetUs(bool usePcTime);
int64_t mandatedSendUs(const SetupModel& model);

}  // namespace vrn::setup
