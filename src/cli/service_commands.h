#pragma once

#include <string>
#include <vector>

namespace vrn::cli {

struct Session;

int runCalData(Session& s, const std::vector<std::string>& args);
int runCalibrate(Session& s, const std::vector<std::string>& args);
int runCalCheck(Session& s, const std::vector<std::string>& args);
int runTest(Session& s, const std::vector<std::string>& args);
int runPullDown(Session& s, const std::vector<std::string>& args);
int runResetAll(Session& s, const std::vector<std::string>& args);
int runFirmware(Session& s, const std::vector<std::string>& args);

}  // namespace vrn::cli
