#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace vrn::test {

// Reads a FIFO on a thread of its own until `expected` bytes came, the writer closed after writing,
// or the time limit passed: a test whose writer never comes (a FIFO replaced by a file) still ends.
// The FIFO is opened at once without waiting, so a writer's open never waits for the reader.
class FifoReader {
public:
    FifoReader(const std::string& path, size_t expected, std::chrono::milliseconds limit)
        : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)),
          thread_([this, expected, limit] { run(expected, limit); }) {}
    ~FifoReader() { wait(); }
    FifoReader(const FifoReader&) = delete;
    FifoReader& operator=(const FifoReader&) = delete;

    // Everything read, once the reading ended.
    const std::vector<uint8_t>& wait() {
        if (thread_.joinable()) thread_.join();
        return got_;
    }

private:
    void run(size_t expected, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        uint8_t buffer[4096];
        while (fd_ >= 0 && got_.size() < expected && std::chrono::steady_clock::now() < deadline) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0)
                got_.insert(got_.end(), buffer, buffer + n);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (fd_ >= 0) ::close(fd_);
    }

    int fd_;
    std::vector<uint8_t> got_;
    std::thread thread_;
};

}  // namespace vrn::test
