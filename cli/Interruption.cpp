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
#ifdef SIGBREAK
    // Windows' console: Ctrl+Break, the one a program can send to another's process group.
    std::signal(SIGBREAK, noteSignal);
#endif
}

bool interrupted() {
    return signalled != 0;
}

} // namespace climate::cli
