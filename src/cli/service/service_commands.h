#pragma once

#include <string>
#include <vector>

#include "cli/command_args.h"

namespace vrn::cli {

struct Session;

int runCalData(Session& s);
int runCalibrate(Session& s, const CalibrateArgs& args);
int runCalCheck(Session& s, const CalCheckArgs& args);
int runTest(Session& s, const TestArgs& args);
int runPullDown(Session& s, const PullDownArgs& args);
int runResetAll(Session& s);
int runFirmware(Session& s, const FirmwareArgs& args);

}  // namespace vrn::cli
