#pragma once

#include "Recording.h"

#include <ostream>
#include <string>

// In a fresh process: the peak resident memory that one capture adds, against
// the decoded pixel bytes that the capture hands over, for the module (run
// plus getResult) and for a bare cv::imread loop over the same files. Writes
// "result KEY VALUE" lines.
//
// One capture of each kind runs first and is thrown away, so that code pages,
// the worker's stack and the decoders' tables are in place and the figure is
// what every later capture costs. Memory blocks of 128 KiB and more are taken
// from and given back to the system one by one (a fixed malloc mmap
// threshold): memory freed by the warm-up is then not resident any more, so
// it cannot be reused unseen and hide a copy of the pixels.
struct MemoryRun {
    std::string modulePath;
    std::string root;
    std::string camera;
    RecordingShape shape;
};

void measureCaptureMemory(const MemoryRun& run, std::ostream& out);
