#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace vrn {

// What an exchange step, a transfer or a menu command running one came to. A caller cannot drop
// it unread: ignoring it does not build.
class [[nodiscard]] Outcome {
public:
    enum class Kind : uint8_t {
        Done,
        Failed,    // the instrument did not answer, or not as it should
        Aborted,   // Stop Calibration, or the window closing, ended it
        PortGone,  // the port was closed, or went away while it ran
        Refused,   // nothing was sent: it cannot be sent as it is, or the user said no
    };

    static Outcome done() { return {Kind::Done, {}}; }
    static Outcome failed(std::string reason = {}) { return {Kind::Failed, std::move(reason)}; }
    static Outcome aborted(std::string reason = {}) { return {Kind::Aborted, std::move(reason)}; }
    static Outcome portGone(std::string reason = {}) { return {Kind::PortGone, std::move(reason)}; }
    static Outcome refused(std::string reason = {}) { return {Kind::Refused, std::move(reason)}; }

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

private:
    Outcome(Kind kind, std::string reason) : kind_(kind), reason_(std::move(reason)) {}

    Kind kind_;
    std::string reason_;
};

}  // namespace vrn
