// The CRC over a whole program transfer image, against Boost.CRC with the same parameters (an
// implementation of its own): both must give the same value on every image, and the time of each
// is the best of many runs. Prints one "row" line; exits 1 if the two disagree.
#include <algorithm>
#include <boost/crc.hpp>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "core/link/crc32.h"
#include "core/program/transfer_image.h"

namespace {

using Steady = std::chrono::steady_clock;
using BoostCrc = boost::crc_optimal<32, 0x04C11DB7, 0xFFFFFFFF, 0, false, false>;

uint32_t boostCrc(const std::vector<uint8_t>& bytes) {
    BoostCrc crc;
    crc.process_bytes(bytes.data(), bytes.size());
    return crc.checksum();
}

// Best time of one call, in microseconds; the sum of results keeps the calls from being dropped.
template <typename F>
double bestUs(F&& f, const std::vector<uint8_t>& bytes, uint32_t& sink) {
    double best = 1e300;
    for (int run = 0; run < 300; ++run) {
        const auto start = Steady::now();
        sink += f(bytes);
        best = std::min(best, std::chrono::duration<double, std::micro>(Steady::now() - start).count());
    }
    return best;
}

}  // namespace

int main() {
    constexpr size_t kSize = vrn::kTransferImageSize;
    std::vector<uint8_t> image(kSize);
    std::mt19937 random(41700);
    // Agreement first, on many images (with a few edge images) and on the standard check string.
    const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    if (vrn::crc32Mpeg2(check) != 0x0376E6E7u) {
        std::puts("crc_bench: the check value of \"123456789\" is wrong");
        return 1;
    }
    for (int i = 0; i < 200; ++i) {
        if (i == 0)
            std::fill(image.begin(), image.end(), uint8_t{0});
        else if (i == 1)
            std::fill(image.begin(), image.end(), uint8_t{0xFF});
        else
            for (uint8_t& b : image)
                b = static_cast<uint8_t>(random());
        const size_t length = i < 100 ? kSize : random() % (kSize + 1);
        const std::vector<uint8_t> part(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length));
        if (vrn::crc32Mpeg2(part) != boostCrc(part)) {
            std::printf("crc_bench: the two disagree on image %d of %zu bytes\n", i, length);
            return 1;
        }
    }
    uint32_t sink = 0;
    const double ours = bestUs([](const std::vector<uint8_t>& b) { return vrn::crc32Mpeg2(b); }, image, sink);
    const double boost = bestUs(boostCrc, image, sink);
    std::printf("(sum %08x)\n", sink);
    std::printf("row\tCRC over the %zu-byte image\t%.1f us\t%.1f us Boost.CRC\t%.2f\t<= 1.10, agree\t%s\n",
                kSize, ours, boost, ours / boost, ours / boost <= 1.10 ? "met" : "not met");
    return 0;
}
