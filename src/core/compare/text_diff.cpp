#include "core/compare/text_diff.h"

#include <algorithm>
#include <cstdint>

namespace vrn::compare {
namespace {

// The exact search keeps a table of one entry per pair of middle lines; above this many the
// middle is replaced whole, so two unrelated programs still diff in bounded memory.
constexpr size_t kMaxTableCells = size_t{4} << 20;

enum class Op : uint8_t { Keep, Remove, Add };

struct Edit {
    Op op;
    size_t from;  // index into `from` (Keep, Remove)
    size_t to;    // index into `to` (Keep, Add)
};

std::vector<Edit> editScript(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    const size_t n = a.size() - head - tail;
    const size_t m = b.size() - head - tail;

    std::vector<Edit> edits;
    for (size_t k = 0; k < head; ++k)
        edits.push_back({Op::Keep, k, k});
    if ((n + 1) * (m + 1) <= kMaxTableCells) {
        // lcs[i][j]: the longest common subsequence of the middles from i and from j on.
        const size_t width = m + 1;
        std::vector<uint32_t> lcs((n + 1) * width, 0);
        for (size_t i = n; i-- > 0;)
            for (size_t j = m; j-- > 0;)
                lcs[i * width + j] = a[head + i] == b[head + j]
                                         ? lcs[(i + 1) * width + j + 1] + 1
                                         : std::max(lcs[(i + 1) * width + j], lcs[i * width + j + 1]);
        size_t i = 0;
        size_t j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a[head + i] == b[head + j]) {
                edits.push_back({Op::Keep, head + i++, head + j++});
            } else if (j == m || (i < n && lcs[(i + 1) * width + j] >= lcs[i * width + j + 1])) {
                edits.push_back({Op::Remove, head + i++, head + j});
            } else {
                edits.push_back({Op::Add, head + i, head + j++});
            }
        }
    } else {
        for (size_t i = 0; i < n; ++i)
            edits.push_back({Op::Remove, head + i, head});
        for (size_t j = 0; j < m; ++j)
            edits.push_back({Op::Add, head + n, head + j});
    }
    for (size_t k = 0; k < tail; ++k)
        edits.push_back({Op::Keep, head + n + k, head + m + k});
    return edits;
}

// "start,count" of a hunk side; an empty side names the line before it, as diff does.
std::string range(size_t first, size_t count) {
    return std::to_string(count == 0 ? first : first + 1) + "," + std::to_string(count);
}

}  // namespace

std::vector<std::string> unifiedDiff(const std::vector<std::string>& from, const std::vector<std::string>& to,
                                     const std::string& fromLabel, const std::string& toLabel) {
    const std::vector<Edit> edits = editScript(from, to);
    std::vector<std::string> out;
    size_t at = 0;
    while (at < edits.size()) {
        while (at < edits.size() && edits[at].op == Op::Keep)
            ++at;
        if (at == edits.size()) break;
        // A hunk: context before, then changes until a run of unchanged lines longer than twice
        // the context, then context after.
        const size_t begin = at - std::min(at, kDiffContext);
        size_t end = at;
        while (end < edits.size()) {
            size_t kept = 0;
            while (end + kept < edits.size() && edits[end + kept].op == Op::Keep)
                ++kept;
            if (end + kept == edits.size() || kept > 2 * kDiffContext) {
                end += std::min(kept, kDiffContext);
                break;
            }
            end += kept;
            while (end < edits.size() && edits[end].op != Op::Keep)
                ++end;
        }
        if (out.empty()) {
            out.push_back("--- " + fromLabel);
            out.push_back("+++ " + toLabel);
        }
        size_t fromCount = 0;
        size_t toCount = 0;
        std::vector<std::string> body;
        for (size_t k = begin; k < end; ++k) {
            const Edit& e = edits[k];
            if (e.op != Op::Add) ++fromCount;
            if (e.op != Op::Remove) ++toCount;
            if (e.op == Op::Keep) body.push_back(" " + from[e.from]);
            if (e.op == Op::Remove) body.push_back("-" + from[e.from]);
            if (e.op == Op::Add) body.push_back("+" + to[e.to]);
        }
        out.push_back("@@ -" + range(edits[begin].from, fromCount) + " +" + range(edits[begin].to, toCount) +
                      " @@");
        out.insert(out.end(), body.begin(), body.end());
        at = end;
    }
    return out;
}

}  // namespace vrn::compare
