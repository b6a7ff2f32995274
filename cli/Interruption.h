#pragma once

namespace climate::cli {

// From now on SIGINT and SIGTERM (and on Windows Ctrl+Break) only note that they came, so that a
// run without an end of its own (live without --count) can finish its output and record.
void watchInterruptions();
// One of them came since watchInterruptions().
[[nodiscard]] bool interrupted();

} // namespace climate::cli
