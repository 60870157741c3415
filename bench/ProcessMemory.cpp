#include "ProcessMemory.h"

#include <fstream>
#include <stdexcept>
#include <string>

namespace {

std::uint64_t statusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") == 0) {
            return std::stoull(line.substr(field.size() + 1)) * 1024; // given in kB
        }
    }
    throw std::runtime_error("no " + field + " in /proc/self/status");
}

} // namespace

std::uint64_t residentBytes() {
    return statusBytes("VmRSS");
}

std::uint64_t peakResidentBytes() {
    return statusBytes("VmHWM");
}

bool resetPeakResident() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return static_cast<bool>(clearRefs);
}
