#pragma once

#include <functional>
#include <string>

// text, or its end behind "..." when it does not fit: the longest end that
// fits with the "..." in front, so that a long path keeps its most telling
// part, the folder's own name. fits tells whether a text fits; when not even
// "..." does, the result is empty.
std::string shortenedFromLeft(const std::string& text,
                              const std::function<bool(const std::string&)>& fits);
