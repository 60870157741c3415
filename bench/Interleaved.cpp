#include "Interleaved.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

std::vector<std::vector<double>> timeInterleaved(const std::vector<Contestant>& contestants,
                                                 int warmUpTrials, int keptTrials) {
    using Clock = std::chrono::steady_clock;
    std::vector<std::vector<double>> samples(contestants.size());
    const std::size_t count = contestants.size();
    for (int trial = 0; trial < warmUpTrials + keptTrials; ++trial) {
        for (std::size_t turn = 0; turn < count; ++turn) {
            const std::size_t which = (static_cast<std::size_t>(trial) + turn) % count;
            const Contestant& contestant = contestants[which];
            const auto start = Clock::now();
            contestant.timed(trial);
            const auto stop = Clock::now();
            if (contestant.afterwards) {
                contestant.afterwards(trial);
            }
            if (trial >= warmUpTrials) {
                samples[which].push_back(
                    std::chrono::duration<double, std::milli>(stop - start).count());
            }
        }
    }
    return samples;
}

double median(std::vector<double> values) {
    if (values.empty()) {
        throw std::invalid_argument("median of no values");
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1) {
        return *middle;
    }
    const double upper = *middle;
    const double lower = *std::max_element(values.begin(), middle);
    return (lower + upper) / 2;
}
