#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vrn::store {

// Rows for vrn_records, all of one station: each row's UTC key, its collection and its first
// `fields` values (a value that is not finite is stored as NULL).
struct RecordRows {
    size_t fields = 0;
    std::vector<int64_t> utc;
    std::vector<int64_t> collection;
    std::vector<float> values;  // row r's value k at r * fields + k

    size_t size() const { return utc.size(); }
    float value(size_t r, size_t k) const { return values[r * fields + k]; }
    void clear() {
        utc.clear();
        collection.clear();
        values.clear();
    }
};

}  // namespace vrn::store
