#include "core/setup/setup_model.h"

#include <cstdio>

#include "core/text/utf8.h"

namespace vrn::setup {
namespace {

// A radio group's index: nothing selected below 0, the last item above the list.
int listIndex(int64_t index, int count) {
    return static_cast<int>(index < -1 ? -1 : index >= count ? count - 1 : index);
}

}  // namespace

std::string defaultFieldLabel(int index) {
    char text[32];
    std::snprintf(text, sizeof text, "FIELD %02d", index + 1);
    return text;
}

SetupModel::SetupModel() {
    for (int i = 0; i < kFieldCount; ++i)
        row(i).label = defaultFieldLabel(i);
}

void SetupModel::setCom1Type(int64_t index) {
    com1Type_ = listIndex(index, kCom1TypeCount);
    changed();
}

void SetupModel::setCom1Baud(int64_t index) {
    com1Baud_ = listIndex(index, kBaudItemCount);
    changed();
}

void SetupModel::setCom2Baud(int64_t index) {
    com2Baud_ = listIndex(index, kBaudItemCount);
    changed();
}

void SetupModel::setStopOnError(bool on) {
    stopOnError_ = on;
    changed();
}

void SetupModel::setKeyLock(bool on) {
    keyLock_ = on;
    changed();
}

void SetupModel::setInterval(int64_t v) {
    interval_ = kIntervalRange.clamp(v);
    changed();
}

void SetupModel::setFieldsPerRecord(int64_t v) {
    fieldsPerRecord_ = kFieldsPerRecordRange.clamp(v);
    changed();
}

void SetupModel::setAutoScroll(bool on) {
    autoScroll_ = on;
    changed();
}

void SetupModel::setScrollPause(int64_t v) {
    scrollPause_ = kScrollPauseRange.clamp(v);
    changed();
}

void SetupModel::setScrollEnd(int64_t v) {
    scrollEnd_ = kScrollEndRange.clamp(v);
    changed();
}

void SetupModel::setUsePcTime(bool on) {
    usePcTime_ = on;
    changed();
}

void SetupModel::setTime(std::string_view text) {
    time_ = text;
    changed();
}

void SetupModel::setDate(std::string_view text) {
    date_ = text;
    changed();
}

void SetupModel::setLabel(int index, std::string_view utf8) {
    row(index).label = text::utf8Left(utf8, kLabelMaxChars);
    changed();
}

void SetupModel::setType(int index, int32_t type) {
    row(index).type = type;
    changed();
}

void SetupModel::setWidth(int index, int64_t v) {
    row(index).width = kWidthRange.clamp(v);
    changed();
}

void SetupModel::setPrecision(int index, int64_t v) {
    row(index).precision = kPrecisionRange.clamp(v);
    changed();
}

}  // namespace vrn::setup
