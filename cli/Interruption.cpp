#include "Interruption.h"

#include <csignal>

namespace climate::cli {

namespace {

volatile std::sig_atomic_t signalled = 0;

extern "C" void noteSignal(int /*signal*/) {
    signalled = 1;
}

} // namespace

void watchInterruptions() {
    std::signal(SIGINT, noteSignal);
    std::signal(SIGTERM, noteSignal);
}

bool interrupted() {
    return signalled != 0;
}

} // namespace climate::cli
