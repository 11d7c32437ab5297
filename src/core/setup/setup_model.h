#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vrn::setup {

// The inclusive range of a spin box; a value set from the program is brought into it.
struct SpinRange {
    int min;
    int max;
    int clamp(int64_t v) const { return static_cast<int>(v < min ? min : v > max ? max : v); }
};

inline constexpr SpinRange kIntervalRange{0, 99};
inline constexpr SpinRange kFieldsPerRecordRange{1, 25};
inline constexpr SpinRange kScrollPauseRange{1, 99};
inline constexpr SpinRange kScrollEndRange{1, 8};
inline constexpr SpinRange kWidthRange{1, 9};
inline constexpr SpinRange kPrecisionRange{0, 6};

inline constexpr int kFieldCount = 25;
inline constexpr size_t kLabelMaxChars = 25;
inline constexpr int kBaudItemCount = 8;
inline constexpr int kCom1TypeCount = 2;
inline constexpr int kFieldTypeCount = 3;

enum class FieldType : int { Number = 0, Date = 1, Time = 2 };

// Captions of the list items, index for index.
inline constexpr std::array<const char*, kBaudItemCount> kBaudItems = {"1200",  "2400",  "4800",   "9600",
                                                                       "19.2K", "38.4K", "115.2K", "230.4K"};
inline constexpr std::array<const char*, kCom1TypeCount> kCom1TypeItems = {"RS-232", "RS-485"};
inline constexpr std::array<const char*, kFieldTypeCount> kFieldTypeItems = {"Number", "Date", "Time"};

// One logged field. The type index is kept as it was set, even outside 0..2 (a setup file may
// hold anything); typeOrNone() is the safe way to read it.
struct RecordField {
    std::string label;  // UTF-8, at most kLabelMaxChars characters
    int32_t type = 0;
    int width = 7;
    int precision = 1;

    bool hasValidType() const { return type >= 0 && type < kFieldTypeCount; }
};

// The default label of field index i (0..24): "FIELD 01" .. "FIELD 25".
std::string defaultFieldLabel(int index);

// The Setup as the Setup page holds it, behaving like the page's controls: spin values are brought
// into their ranges, list indexes into -1 (nothing selected) .. last item, labels cut to 25
// characters. Every change is reported to the listener, so a page can show it at once.
class SetupModel {
public:
    SetupModel();

    int com1Type() const { return com1Type_; }
    int com1Baud() const { return com1Baud_; }
    int com2Baud() const { return com2Baud_; }
    bool stopOnError() const { return stopOnError_; }
    bool keyLock() const { return keyLock_; }
    int interval() const { return interval_; }
    int fieldsPerRecord() const { return fieldsPerRecord_; }
    bool autoScroll() const { return autoScroll_; }
    int scrollPause() const { return scrollPause_; }
    int scrollEnd() const { return scrollEnd_; }
    bool usePcTime() const { return usePcTime_; }
    // The two masked boxes' texts, "HH:MM:SS" and "MM-DD-YYYY"; empty until set.
    const std::string& time() const { return time_; }
    const std::string& date() const { return date_; }
    const RecordField& field(int index) const { return fields_.at(static_cast<size_t>(index)); }
    // Whether the row of field index i is in use (enabled on the page).
    bool rowEnabled(int index) const { return index < fieldsPerRecord_; }

    void setCom1Type(int64_t index);
    void setCom1Baud(int64_t index);
    void setCom2Baud(int64_t index);
    void setStopOnError(bool on);
    void setKeyLock(bool on);
    void setInterval(int64_t v);
    void setFieldsPerRecord(int64_t v);
    void setAutoScroll(bool on);
    void setScrollPause(int64_t v);
    void setScrollEnd(int64_t v);
    void setUsePcTime(bool on);
    void setTime(std::string_view text);
    void setDate(std::string_view text);

    void setLabel(int index, std::string_view utf8);
    void setType(int index, int32_t type);
    void setWidth(int index, int64_t v);
    void setPrecision(int index, int64_t v);

    // Called after every change (the page refreshes; fields per record enables rows).
    std::function<void()> onChanged;

private:
    RecordField& row(int index) { return fields_.at(static_cast<size_t>(index)); }
    void changed() {
        if (onChanged) onChanged();
    }

    int com1Type_ = 0;
    int com1Baud_ = 3;
    int com2Baud_ = 3;
    bool stopOnError_ = false;
    bool keyLock_ = false;
    int interval_ = 1;
    int fieldsPerRecord_ = 1;
    bool autoScroll_ = false;
    int scrollPause_ = 1;
    int scrollEnd_ = 8;
    bool usePcTime_ = true;
    std::string time_;
    std::string date_;
    std::array<RecordField, kFieldCount> fields_;
};

}  // namespace vrn::setup
