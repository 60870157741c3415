// Soak: many captures in one process, with a fresh module object made by
// create and released by destory around every few captures, as a host that
// opens and closes its camera would. Every capture is checked by content.
// Resident memory is taken after the warm-up and at the end; the run fails
// when it grew by more than the allowed amount.
//
//   folderfeed_soak [--cycles N] [--warmup N] [--captures-per-object N]
//                   [--max-growth-kb N (0: report only)] [--module PATH]

#include "ResidentMemory.h"
#include "SoakRecording.h"

#include "ModuleLibrary.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

struct Options {
    long cycles = 5000;
    long warmup = 500;
    long capturesPerObject = 1;
    long maxGrowthKib = 4096;
    std::string modulePath = FOLDERFEED_MODULE_PATH;
};

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) {
            throw std::invalid_argument("missing value after " + name);
        }
        const std::string value = argv[++i];
        if (name == "--module") {
            options.modulePath = value;
            continue;
        }
        const long number = std::stol(value);
        if (number < 0) {
            throw std::invalid_argument(name + " must not be negative");
        }
        if (name == "--cycles") {
            options.cycles = number;
        } else if (name == "--warmup") {
            options.warmup = number;
        } else if (name == "--captures-per-object") {
            options.capturesPerObject = number == 0 ? 1 : number;
        } else if (name == "--max-growth-kb") {
            options.maxGrowthKib = number;
        } else {
            throw std::invalid_argument("unknown option " + name);
        }
    }
    return options;
}

// The module logs every create, capture and destory; thousands of lines
// would only slow the soak down.
void discardMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

// One create, configuration on the very first object only (the folder list
// is module-wide and every applyParam appends to it), the captures, destory.
std::string runCycle(const ModuleLibrary& library, const SoakRecording& recording,
                     const Options& options, long cycle, long& captureNumber) {
    ModulePtr module = library.createModule();
    const std::string param = recording.parameterString();
    module->setParam(nullptr, QByteArray(param.data(), static_cast<int>(param.size())));
    if (cycle == 0 && !module->applyParam(nullptr)) {
        return "the parameter string was rejected";
    }
    for (long i = 0; i < options.capturesPerObject; ++i, ++captureNumber) {
        std::vector<cv::Mat> images;
        module->run();
        module->getResult(images, nullptr);
        const std::string fault = recording.checkCapture(captureNumber, images);
        if (!fault.empty()) {
            return "capture " + std::to_string(captureNumber) + ": " + fault;
        }
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Options options = parse(argc, argv);
        qInstallMessageHandler(discardMessage);
        const SoakRecording recording(3);
        const ModuleLibrary library(options.modulePath);

        long captureNumber = 0;
        std::int64_t afterWarmup = residentKib();
        for (long cycle = 0; cycle < options.warmup + options.cycles; ++cycle) {
            if (cycle == options.warmup) {
                afterWarmup = residentKib();
            }
            // Figures along the way show a slow climb that the end alone
            // would hide behind a lucky release.
            const long tenth = options.cycles / 10;
            if (tenth > 0 && cycle > options.warmup && (cycle - options.warmup) % tenth == 0) {
                std::cout << "soak: after " << cycle - options.warmup << " cycles " << residentKib()
                          << " KiB\n";
            }
            const std::string fault = runCycle(library, recording, options, cycle, captureNumber);
            if (!fault.empty()) {
                std::cerr << "soak: cycle " << cycle << ": " << fault << "\n";
                return 1;
            }
        }
        const std::int64_t atEnd = residentKib();
        const std::int64_t growth = atEnd - afterWarmup;
        std::cout << "soak: " << options.warmup << " warm-up + " << options.cycles
                  << " create/capture/destory cycles, " << captureNumber << " captures checked\n"
                  << "soak: resident memory after warm-up " << afterWarmup << " KiB, at end "
                  << atEnd << " KiB, growth " << growth << " KiB\n";
        if (options.maxGrowthKib > 0 && (afterWarmup < 0 || growth > options.maxGrowthKib)) {
            std::cerr << "soak: resident memory grew by more than " << options.maxGrowthKib
                      << " KiB after the warm-up\n";
            return 1;
        }
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "soak: " << error.what() << "\n";
        return 2;
    }
}
