// The comparisons of a file with what the instrument holds: the first byte chooses the Setup, the
// screens or the listings' diff, and the rest is cut in two halves, the file's and the
// instrument's. Anything compared with itself is equal; a Setup difference names both sides; the
// screen runs cover exactly the differing cells; every hunk's header counts its own lines, and
// the diff is empty exactly when the texts are equal.
#include <string>
#include <vector>

#include "core/compare/screen_compare.h"
#include "core/compare/setup_compare.h"
#include "core/compare/text_diff.h"
#include "core/screens/screen_store.h"
#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"
#include "fuzz_input.h"

namespace {

using vrn::fuzz::require;

void compareSetups(std::span<const uint8_t> a, std::span<const uint8_t> b) {
    vrn::setup::SetupModel file;
    vrn::setup::SetupModel instrument;
    vrn::setup::readSetupFile(a, file);
    vrn::setup::readSetupFile(b, instrument);
    require(vrn::compare::compareSetup(file, file, true).empty(), "a Setup differs from itself");
    for (const std::string& line : vrn::compare::compareSetup(file, instrument, true))
        require(line.find(": file ") != std::string::npos && line.find(", instrument ") != std::string::npos,
                "a Setup difference without both sides");
}

void compareScreenSets(std::span<const uint8_t> a, std::span<const uint8_t> b) {
    vrn::screens::ScreenStore file;
    vrn::screens::ScreenStore instrument;
    file.load(a);
    instrument.load(b);
    require(vrn::compare::compareScreens(file.bytes(), file.bytes()).empty(),
            "screens differ from themselves");
    size_t differing = 0;
    for (size_t k = 0; k < vrn::screens::kStoreBytes; ++k)
        differing += file.bytes()[k] != instrument.bytes()[k] ? 1 : 0;
    size_t covered = 0;
    for (const std::string& line : vrn::compare::compareScreens(file.bytes(), instrument.bytes())) {
        const size_t col = line.find(" col ") + 5;
        const size_t dots = line.find("..", col);
        const size_t colon = line.find(':', col);
        const size_t first = std::stoul(line.substr(col));
        const size_t last =
            dots != std::string::npos && dots < colon ? std::stoul(line.substr(dots + 2)) : first;
        require(first >= 1 && last >= first && last <= vrn::screens::kColumns, "a run outside the row");
        covered += last - first + 1;
    }
    require(covered == differing, "the runs do not cover exactly the differing cells");
}

std::vector<std::string> lines(std::span<const uint8_t> bytes) {
    std::vector<std::string> out(1);
    for (uint8_t b : bytes) {
        if (b == '\n')
            out.emplace_back();
        else
            out.back().push_back(static_cast<char>(b));
    }
    return out;
}

void diffListings(std::span<const uint8_t> a, std::span<const uint8_t> b) {
    const std::vector<std::string> from = lines(a);
    const std::vector<std::string> to = lines(b);
    require(vrn::compare::unifiedDiff(from, from, "a", "b").empty(), "a listing differs from itself");
    const std::vector<std::string> diff = vrn::compare::unifiedDiff(from, to, "a", "b");
    require(diff.empty() == (from == to), "an empty diff of different listings");
    size_t fromLeft = 0;
    size_t toLeft = 0;
    for (size_t k = 2; k < diff.size(); ++k) {
        const std::string& d = diff[k];
        if (d.starts_with("@@ -")) {
            require(fromLeft == 0 && toLeft == 0, "a hunk shorter than its header");
            const size_t plus = d.find(" +");
            fromLeft = std::stoul(d.substr(d.find(',') + 1));
            toLeft = std::stoul(d.substr(d.find(',', plus) + 1));
            continue;
        }
        require(!d.empty(), "an empty diff line");
        if (d[0] != '+') require(fromLeft-- > 0, "a hunk longer than its header");
        if (d[0] != '-') require(toLeft-- > 0, "a hunk longer than its header");
    }
    require(fromLeft == 0 && toLeft == 0, "a hunk shorter than its header");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::span<const uint8_t> rest(data + 1, size - 1);
    const std::span<const uint8_t> a = rest.first(rest.size() / 2);
    const std::span<const uint8_t> b = rest.subspan(rest.size() / 2);
    switch (data[0] % 3) {
    case 0:
        compareSetups(a, b);
        break;
    case 1:
        compareScreenSets(a, b);
        break;
    default:
        diffListings(a, b);
        break;
    }
    return 0;
}
