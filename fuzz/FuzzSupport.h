#pragma once

#include <string>

// What both fuzz targets need around the module.

// Keeps the fuzzer's own output readable: the module's log lines and console
// message would otherwise be printed for every input.
void silenceModuleOutput();

// Stops the run with a crash report the fuzzer keeps as an artifact; for
// outcomes the module must never produce.
[[noreturn]] void fuzzFailure(const std::string& what);

// Puts the module-wide state back as the library loads it, so that every
// input starts from the same state and the folder list does not grow across
// inputs (each configuration appends to it).
void resetModuleState();
