#pragma once

#include <optional>
#include <string>
#include <vector>

// The candidate that word was most likely meant to be, for "did you mean"
// hints: the one fewest edits away (a swap of two neighbouring letters is
// one edit), if that is few for the word's length, or one that word begins.
std::optional<std::string> closestMatch(const std::string& word,
                                        const std::vector<std::string>& candidates);
