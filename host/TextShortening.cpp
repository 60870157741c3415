#include "TextShortening.h"

std::string shortenedFromLeft(const std::string& text,
                              const std::function<bool(const std::string&)>& fits) {
    if (fits(text)) {
        return text;
    }
    // Longest tail first; texts are short, so a linear search is plenty.
    for (std::size_t dropped = 1; dropped <= text.size(); ++dropped) {
        const std::string candidate = "..." + text.substr(dropped);
        if (fits(candidate)) {
            return candidate;
        }
    }
    return std::string();
}
