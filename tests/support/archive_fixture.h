#pragma once
// The archive that the tables' version 4 made (tests/data/archive-v4), and what it holds.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "store/record_archive.h"

namespace vrn::test {

inline std::string versionFourFile(const char* name) {
    std::string path = VRN_TEST_DATA;
    path.append("/archive-v4/").append(name);
    return path;
}

// Every record of records.txt, read back from the archive bit for bit (a NULL as a NaN), and the
// station's other rows as they were made.
inline void expectWhatVersionFourHeld(store::RecordArchive& archive) {
    struct Held {
        std::vector<int64_t> utc;
        std::vector<float> values;
    };
    std::map<std::string, Held> expected;
    std::ifstream in(versionFourFile("records.txt"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with('#')) continue;
        std::istringstream words(line);
        std::string station, value;
        int64_t utc = 0;
        words >> station >> utc;
        expected[station].utc.push_back(utc);
        while (words >> value)
            expected[station].values.push_back(std::strtof(value.c_str(), nullptr));
    }
    ASSERT_EQ(expected.size(), 2U);
    std::string error;
    for (const auto& [station, held] : expected) {
        store::StoredRecords stored;
        ASSERT_TRUE(archive.read(station, held.utc.front(), held.utc.back(), stored, error)) << error;
        EXPECT_EQ(stored.utc, held.utc) << station;
        ASSERT_EQ(stored.bytes.size(), held.values.size() * 4) << station;
        for (size_t k = 0; k < held.values.size(); ++k) {
            const uint32_t bits = uint32_t{stored.bytes[4 * k]} | uint32_t{stored.bytes[4 * k + 1]} << 8 |
                                  uint32_t{stored.bytes[4 * k + 2]} << 16 |
                                  uint32_t{stored.bytes[4 * k + 3]} << 24;
            if (std::isnan(held.values[k]))
                EXPECT_TRUE(std::isnan(std::bit_cast<float>(bits))) << station << " value " << k;
            else
                EXPECT_EQ(bits, std::bit_cast<uint32_t>(held.values[k])) << station << " value " << k;
        }
    }
    EXPECT_EQ(archive.station("north", error)->utcOffsetMinutes, 120);
    EXPECT_EQ(archive.attempts("north", error).size(), 4U);
    EXPECT_EQ(archive.attempts("north", error)[3].outcome, "failed");
}

}  // namespace vrn::test
