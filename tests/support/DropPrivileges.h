#pragma once

#include <functional>
#include <string>

// Root reads every folder whatever its permissions, so a test of permission
// errors runs its body in a child process that has become the unprivileged
// user "nobody". When the test already runs unprivileged, the body runs in
// place. Returns the body's result, or runUnprivilegedUnavailable when
// privileges could not be dropped.
extern const std::string runUnprivilegedUnavailable;
std::string runUnprivileged(const std::function<std::string()>& body);
