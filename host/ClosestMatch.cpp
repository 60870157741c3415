#include "ClosestMatch.h"

#include <algorithm>

namespace {

// Optimal string alignment distance: insertions, deletions, substitutions
// and swaps of neighbours, each one edit.
std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (std::size_t j = 0; j <= b.size(); ++j) {
        d[0][j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitution = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + substitution});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

std::string withoutDashes(const std::string& text) {
    return text.substr(std::min(text.find_first_not_of('-'), text.size()));
}

} // namespace

std::optional<std::string> closestMatch(const std::string& word,
                                        const std::vector<std::string>& candidates) {
    const std::string bare = withoutDashes(word);
    if (bare.empty()) {
        return std::nullopt;
    }
    // About one edit per three letters: "captrues" finds "captures", "fast"
    // does not find "save".
    const std::size_t allowed = std::max<std::size_t>(1, bare.size() / 3);
    std::optional<std::string> best;
    std::size_t bestDistance = allowed + 1;
    for (const std::string& candidate : candidates) {
        const std::string bareCandidate = withoutDashes(candidate);
        std::size_t distance = editDistance(bare, bareCandidate);
        if (bare.size() >= 2 && bareCandidate.compare(0, bare.size(), bare) == 0) {
            distance = std::min(distance, allowed); // a beginning: "--cam"
        }
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}
