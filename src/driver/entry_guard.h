// The guard every entry of DrvFuncTable runs behind: nothing may leave the module as an
// exception (a host is C and would terminate), so whatever escapes an entry function
// (std::bad_alloc included) becomes that entry's failure answer.
#pragma once

#include <type_traits>

namespace driver {

// Threads: any; the guard keeps no state.
template <auto Function, auto Failure> struct Guarded;

template <typename Result, typename... Args, Result (*Function)(Args...), auto Failure>
struct Guarded<Function, Failure> {
    static Result Call(Args... args) noexcept {
        try {
            return Function(args...);
        } catch (...) {
            if constexpr (!std::is_void_v<Result>) {
                return Failure;
            }
        }
    }
};

// For entries that answer nothing: the failure is that nothing was done.
inline constexpr int kNoAnswer = 0;

} // namespace driver
