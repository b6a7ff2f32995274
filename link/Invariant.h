#pragma once

#include <stdexcept>

namespace climate::link {

// A check of an invariant of the code itself (a wiring or programming fault, never a user's
// input). It stays on in every build: a failure throws std::logic_error, which the window's
// handlers report in the application's error box.
inline void checkInvariant(bool holds, const char* what) {
    if (!holds) {
        throw std::logic_error(what);
    }
}

} // namespace climate::link
