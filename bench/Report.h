#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// One measured figure; a target, where there is one, is met by a value at
// most the limit.
struct Figure {
    std::string key;   // for scripts, e.g. walk.module_over_filesystem
    std::string label; // for people
    double value = 0;
    int decimals = 2;
    std::optional<double> limit;
};

class Report {
public:
    void add(Figure figure) { figures_.push_back(std::move(figure)); }
    void addSection(std::string title);
    // Off for runs on data too small for the targets to mean anything: the
    // targets are shown but not marked met or missed.
    void judgeTargets(bool judged) { judged_ = judged; }

    // A table for people, then one "KEY VALUE" line per figure for scripts.
    void print(std::ostream& out) const;

private:
    std::vector<Figure> figures_;
    std::vector<std::pair<std::size_t, std::string>> sections_; // before figure index
    bool judged_ = true;
};
