#pragma once

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/link/trace.h"

namespace vrn {

// A trace written to a file by a thread of its own: record() only queues the event, so the
// exchange's timing is not touched by formatting or disk writes. Everything recorded is in the
// file once the object is gone.
class TraceFile final : public TraceSink {
public:
    // Creates (or empties) the file; nothing, with the reason in error, when it cannot.
    static std::unique_ptr<TraceFile> open(const std::string& path, std::string& error);
    ~TraceFile() override;
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    void record(TraceEvent event) override;

private:
    explicit TraceFile(std::FILE* file);
    void writeLoop();

    std::FILE* file_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<TraceEvent> queue_;
    bool stopping_ = false;
    TraceFormatter formatter_;
    std::thread writer_;
};

}  // namespace vrn
