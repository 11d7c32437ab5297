#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>

// The entry point every fuzz target defines; libFuzzer or the seed replayer calls it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace vrn::fuzz {

// A property every input must keep; a broken one ends the run like a crash, with its reason.
inline void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::abort();
}

// Takes bytes off the front of the input to steer a target, then hands over the rest.
class Input {
public:
    Input(const uint8_t* data, size_t size) : rest_(data, size) {}

    uint8_t byte() {
        if (rest_.empty()) return 0;
        const uint8_t b = rest_.front();
        rest_ = rest_.subspan(1);
        return b;
    }

    std::span<const uint8_t> rest() const { return rest_; }
    std::string_view restText() const { return {reinterpret_cast<const char*>(rest_.data()), rest_.size()}; }

private:
    std::span<const uint8_t> rest_;
};

}  // namespace vrn::fuzz
