#pragma once

namespace climate::cli {

// From now on SIGINT and SIGTERM only note that they came, so that a run without an end of its
// own (live without --count) can finish its output and record.
void watchInterruptions();
// SIGINT or SIGTERM came since watchInterruptions().
[[nodiscard]] bool interrupted();

} // namespace climate::cli
