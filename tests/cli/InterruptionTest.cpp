// What ends a run without an end of its own (live without --count): each signal the system sends
// for it is only noted, so the run can finish its output and record. Each case runs in a child
// process of its own, where the signal's default action would end the child.
#include "cli/Interruption.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <vector>

using namespace climate::cli;

namespace {

std::vector<int> signalsAskingForAnEnd() {
    std::vector<int> signals{SIGINT, SIGTERM};
#ifdef SIGBREAK
    signals.push_back(SIGBREAK); // Windows' console: Ctrl+Break
#endif
    return signals;
}

TEST(InterruptionDeathTest, EverySignalAskingForAnEndIsNotedAndTheProgramGoesOn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const int signal : signalsAskingForAnEnd()) {
        SCOPED_TRACE(signal);
        EXPECT_EXIT(
            {
                watchInterruptions();
                const bool before = interrupted();
                std::raise(signal);
                std::exit(!before && interrupted() ? 0 : 1);
            },
            testing::ExitedWithCode(0), "");
    }
}

} // namespace
