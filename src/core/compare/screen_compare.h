#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/compare/difference.h"
#include "core/screens/screen_store.h"

namespace vrn::compare {

// Compares two sets of eight screens cell by cell, one line per run of differing columns in a
// row, numbered from 1 as the Screens page counts: screen 3 row 2 col 5..11: file "TEMP   ",
// instrument "TMP    ". A cell shows its character (the degree sign as °, a control byte or the
// triangle as ?); a side whose run is in the large font, wholly or partly, says so after its
// text. Empty when every cell agrees.
std::vector<std::string> compareScreens(std::span<const uint8_t, screens::kStoreBytes> file,
                                        std::span<const uint8_t, screens::kStoreBytes> instrument);
// The same differences as data: "screen S row R col C..D" and the two quoted runs.
std::vector<Difference> screenDifferences(std::span<const uint8_t, screens::kStoreBytes> file,
                                          std::span<const uint8_t, screens::kStoreBytes> instrument);

}  // namespace vrn::compare
