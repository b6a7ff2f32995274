#pragma once

namespace climate::link {

// Throws std::logic_error(what); kept out of line so the checks cost only a test and a branch.
[[noreturn]] [[gnu::cold]] void invariantFailed(const char* what);

// A check of an invariant of the code itself (a wiring or programming fault, never a user's
// input). It stays on in every build: a failure throws std::logic_error, which the window's
// handlers report in the application's error box.
inline void checkInvariant(bool holds, const char* what) {
    if (!holds) [[unlikely]] {
        invariantFailed(what);
    }
}

} // namespace climate::link
