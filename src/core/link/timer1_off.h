#pragma once

namespace vrn {

class Host;

// Switches Timer1 off for a stretch its ticks must not interrupt (a download read as fast as it
// comes) and puts it back as it was on every way out: on again, its half-second phase restarting
// then, only if it was on.
class Timer1Off {
public:
    explicit Timer1Off(Host& host);
    ~Timer1Off();
    Timer1Off(const Timer1Off&) = delete;
    Timer1Off& operator=(const Timer1Off&) = delete;

private:
    Host& host_;
    bool wasOn_;
};

}  // namespace vrn
