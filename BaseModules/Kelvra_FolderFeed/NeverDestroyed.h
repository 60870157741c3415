#pragma once

#include <new>
#include <utility>

// An object that lives until the process ends and is never destroyed: for
// what another thread of the host may still use while the process exits
// (a host thread inside an operation, a capture on the worker), where a
// destroyed lock would throw or a destroyed flag be read after its end.
template <typename T> class NeverDestroyed {
public:
    template <typename... Args> explicit NeverDestroyed(Args&&... args) {
        ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
    }
    NeverDestroyed(const NeverDestroyed&) = delete;
    NeverDestroyed& operator=(const NeverDestroyed&) = delete;

    T& get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};
