// Module-wide state that the run time never destroys. At process exit the C++ run time
// destroys statics while the module may still be attached and its threads may still run; an
// object held here stays whole until the process is gone. It is built on first use; what it
// owns is released explicitly when the module is unloaded.
#pragma once

#include <new>
#include <utility>

namespace driver {

// Threads: construction on first use is the language's thread-safe static initialisation;
// the object's own methods say what they guard.
template <typename T> class NeverDestroyed {
public:
    template <typename... Args> explicit NeverDestroyed(Args&&... args) {
        new (storage_) T(std::forward<Args>(args)...);
    }
    NeverDestroyed(const NeverDestroyed&) = delete;
    NeverDestroyed& operator=(const NeverDestroyed&) = delete;

    T& Get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

} // namespace driver
