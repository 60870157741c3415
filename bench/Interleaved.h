#pragma once

#include <functional>
#include <string>
#include <vector>

// One way of doing the same job: the timed part, and an untimed part that
// checks what the timed part produced and releases it.
struct Contestant {
    std::string name;
    std::function<void(int trial)> timed;
    std::function<void(int trial)> afterwards;
};

// Runs every contestant once per trial, rotating who goes first, so that the
// load of the other processes on this shared machine falls on all of them
// alike. The first warmUpTrials trials are run but not kept. Returns the
// milliseconds of each kept trial, per contestant.
std::vector<std::vector<double>> timeInterleaved(const std::vector<Contestant>& contestants,
                                                 int warmUpTrials, int keptTrials);

double median(std::vector<double> values);
