#pragma once

#include <utility>

// Runs a callable when the scope ends, however it ends.
template <typename Callable> class ScopeExit {
public:
    explicit ScopeExit(Callable callable) : callable_(std::move(callable)) {}
    ~ScopeExit() { callable_(); }

    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Callable callable_;
};
