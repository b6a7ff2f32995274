#include "Invariant.h"

#include <stdexcept>

namespace climate::link {

void invariantFailed(const char* what) {
    throw std::logic_error(what);
}

} // namespace climate::link
