#include "core/setup/pc_time.h"

#include <cstdio>

namespace vrn::setup {

void showPcTime(SetupModel& model, const LocalDateTime& now) {
    char date[32];
    std::snprintf(date, sizeof date, "%02d-%02d-%04d", now.month, now.day, now.year);
    char time[32];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.hour, now.minute, now.second);
    model.setDate(date);
    model.setTime(time);
}

}  // namespace vrn::setup
