#include "sim/record_memory.h"

#include <algorithm>

namespace vrn::sim {
namespace {

// Forgets the oldest n held records.
void dropOldest(SimRecords& m, uint32_t n) {
    if (n == 0) return;
    if (n >= m.logged) {
        eraseRecords(m);
        return;
    }
    m.firstSeconds = recordSeconds(m, n);
    std::erase_if(m.breaks, [n](const RecordBreak& b) { return b.index <= n; });
    for (RecordBreak& b : m.breaks)
        b.index -= n;
    m.logged -= n;
    m.dropped += n;
}

}  // namespace

int64_t recordSeconds(const SimRecords& m, uint32_t r) {
    int64_t from = m.firstSeconds;
    uint32_t at = 0;
    for (const RecordBreak& b : m.breaks) {
        if (b.index > r) break;
        from = b.seconds;
        at = b.index;
    }
    return from + int64_t{r - at} * m.intervalSeconds;
}

uint32_t recordCapacity(const SimRecords& m, int fields) {
    return m.capacityValues / static_cast<uint32_t>(std::clamp(fields, 1, 25));
}

void logRecords(SimRecords& m, int64_t firstSeconds, uint64_t count, int fields) {
    const uint32_t capacity = recordCapacity(m, fields);
    if (count == 0 || capacity == 0) return;
    // Records that would be overwritten within this very call are never held.
    if (count > capacity) {
        const uint64_t skipped = count - capacity;
        eraseRecords(m);
        m.dropped += skipped;
        firstSeconds += static_cast<int64_t>(skipped) * m.intervalSeconds;
        count = capacity;
    }
    // Breaks past the end were left by a memory that was cut short from outside.
    std::erase_if(m.breaks, [&m](const RecordBreak& b) { return b.index >= m.logged; });
    const auto n = static_cast<uint32_t>(count);
    if (m.logged > capacity) dropOldest(m, m.logged - capacity);
    dropOldest(m, std::min(m.logged, m.logged + n > capacity ? m.logged + n - capacity : 0));
    if (m.logged == 0) {
        m.breaks.clear();
        m.firstSeconds = firstSeconds;
    } else if (recordSeconds(m, m.logged - 1) + m.intervalSeconds != firstSeconds) {
        m.breaks.push_back({m.logged, firstSeconds});
    }
    m.logged += n;
}

void eraseRecords(SimRecords& m) {
    m.dropped += m.logged;
    m.logged = 0;
    m.breaks.clear();
}

void logDue(SimRecords& m, int64_t clockNow, int fields) {
    if (m.intervalSeconds == 0) return;
    if (!m.nextSeconds) m.nextSeconds = clockNow + m.intervalSeconds;
    if (*m.nextSeconds > clockNow) return;
    const uint64_t due = static_cast<uint64_t>((clockNow - *m.nextSeconds) / m.intervalSeconds) + 1;
    logRecords(m, *m.nextSeconds, due, fields);
    *m.nextSeconds += static_cast<int64_t>(due) * m.intervalSeconds;
}

}  // namespace vrn::sim
