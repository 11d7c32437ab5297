#include "ports/trace_file.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace vrn {

std::unique_ptr<TraceFile> TraceFile::open(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        error = std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<TraceFile>(new TraceFile(file));
}

TraceFile::TraceFile(std::FILE* file) : file_(file), writer_([this] { writeLoop(); }) {}

TraceFile::~TraceFile() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
    std::fclose(file_);
}

void TraceFile::record(TraceEvent event) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(event));
    }
    wake_.notify_one();
}

void TraceFile::writeLoop() {
    std::deque<TraceEvent> batch;
    for (;;) {
        bool last = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            batch.swap(queue_);
            last = stopping_;
        }
        for (const TraceEvent& e : batch)
            formatter_.add(e);
        batch.clear();
        if (last) formatter_.finish();
        const std::string text = formatter_.take();
        std::fwrite(text.data(), 1, text.size(), file_);
        if (last) return;
    }
}

}  // namespace vrn
