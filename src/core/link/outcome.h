#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace vrn {

// What an operation of core came to: an exchange step, a transfer, a retrieval, an erase, a
// calibration, a diagnostic, a firmware update or backup, a group save. A caller cannot drop it
// unread: ignoring it does not build.
class [[nodiscard]] Outcome {
public:
    enum class Kind : uint8_t {
        Done,
        Failed,          // the instrument did not answer, or not as it should
        Aborted,         // Stop Calibration, Stop, the window closing or a signal ended it
        PortGone,        // the port was closed, or went away while it ran
        Refused,         // nothing was sent: it cannot be sent as it is, or the user said no
        NotWritten,      // the instrument's part went through, but its files could not be written
        ProgramAtFault,  // the program that came cannot be used: its own box said why, not the link
    };

    static Outcome done() { return {Kind::Done, {}}; }
    static Outcome failed(std::string reason = {}) { return {Kind::Failed, std::move(reason)}; }
    static Outcome aborted(std::string reason = {}) { return {Kind::Aborted, std::move(reason)}; }
    static Outcome portGone(std::string reason = {}) { return {Kind::PortGone, std::move(reason)}; }
    static Outcome refused(std::string reason = {}) { return {Kind::Refused, std::move(reason)}; }
    static Outcome notWritten(std::string reason = {}) { return {Kind::NotWritten, std::move(reason)}; }
    static Outcome programAtFault(std::string reason = {}) {
        return {Kind::ProgramAtFault, std::move(reason)};
    }

    Kind kind() const { return kind_; }
    bool ok() const { return kind_ == Kind::Done; }
    // What the user was told went wrong: the message-area line that said it (a refusal's box),
    // empty where nothing said it.
    const std::string& reason() const { return reason_; }

    // The same outcome with `line` as its reason where it has none of its own: a step that failed
    // without a line of its own is explained by the line that ends its transfer.
    Outcome orReason(std::string line) && {
        if (!ok() && reason_.empty()) reason_ = std::move(line);
        return std::move(*this);
    }
    // The same kind with `line` as its reason.
    Outcome because(std::string line) const { return ok() ? *this : Outcome(kind_, std::move(line)); }

private:
    Outcome(Kind kind, std::string reason) : kind_(kind), reason_(std::move(reason)) {}

    Kind kind_;
    std::string reason_;
};

// An outcome with what the operation yields: the records that came, a reading, a file's path.
// A failure may carry what it got before it failed (the records of a download cut short, a
// diagnostic's "No Response").
template <class T>
class [[nodiscard]] Result : public Outcome {
public:
    // A result without a value, mostly a failure before anything came.
    Result(Outcome outcome) : Outcome(std::move(outcome)) {}  // NOLINT(google-explicit-constructor)
    Result(Outcome outcome, T value) : Outcome(std::move(outcome)), value_(std::move(value)) {}

    bool hasValue() const { return value_.has_value(); }
    const T& value() const { return value_.value(); }
    T& value() { return value_.value(); }
    const T& operator*() const { return value_.value(); }
    const T* operator->() const { return &value_.value(); }
    T* operator->() { return &value_.value(); }

private:
    std::optional<T> value_;
};

}  // namespace vrn
