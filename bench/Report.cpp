#include "Report.h"

#include <iomanip>
#include <sstream>

namespace {

std::string formatted(double value, int decimals) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}

constexpr int labelWidth = 52;
constexpr int valueWidth = 12;
constexpr int targetWidth = 10;

} // namespace

void Report::addSection(std::string title) {
    sections_.emplace_back(figures_.size(), title);
}

void Report::print(std::ostream& out) const {
    out << std::left << std::setw(labelWidth) << "figure" << std::right << std::setw(valueWidth)
        << "value" << std::setw(targetWidth) << "target"
        << "  result\n";
    auto section = sections_.begin();
    for (std::size_t i = 0; i < figures_.size(); ++i) {
        for (; section != sections_.end() && section->first == i; ++section) {
            out << "-- " << section->second << '\n';
        }
        const Figure& figure = figures_[i];
        out << std::left << std::setw(labelWidth) << figure.label << std::right
            << std::setw(valueWidth) << formatted(figure.value, figure.decimals);
        if (figure.limit) {
            const char* result = !judged_                        ? "  not judged"
                                 : figure.value <= *figure.limit ? "  met"
                                                                 : "  MISSED";
            out << std::setw(targetWidth) << ("<= " + formatted(*figure.limit, 2)) << result;
        }
        out << '\n';
    }
    out << '\n';
    for (const Figure& figure : figures_) {
        out << figure.key << ' ' << formatted(figure.value, figure.decimals + 2) << '\n';
    }
}
