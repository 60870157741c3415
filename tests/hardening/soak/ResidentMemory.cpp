#include "ResidentMemory.h"

#include <fstream>
#include <sstream>
#include <string>

std::int64_t residentKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            std::istringstream fields(line.substr(6));
            std::int64_t kib = -1;
            fields >> kib;
            return kib;
        }
    }
    return -1;
}
