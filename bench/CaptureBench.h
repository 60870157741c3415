#pragma once

#include "ModuleLibrary.h"
#include "Recording.h"

#include <ostream>
#include <string>

// Loads capture folders of a recording three ways, one capture per trial:
// through the module (run plus getResult), with a bare cv::imread loop over
// the same files in the same order, and by reading the files' bytes (the I/O
// floor); and a fourth through another build of the module, where one is
// given, so that a change is measured against the build before it in the
// same run. Writes "result KEY VALUE" lines: the median milliseconds per
// capture of each and the bytes per capture.
struct CaptureRun {
    std::string modulePath;
    std::string baselineModulePath; // empty: none
    std::string root;
    std::string camera;
    RecordingShape shape;
    int rounds = 5; // timed passes over all capture folders
};

void measureCaptures(const CaptureRun& run, std::ostream& out);

// A module object configured with camera and root; throws if it refuses.
ModulePtr configuredModule(const ModuleLibrary& library, const std::string& camera,
                           const std::string& root);
