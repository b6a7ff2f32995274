#pragma once

#include "ConfigCommands.h"
#include "SetAllPlan.h"

#include "link/ModbusException.h"
#include "link/TransactionOutcome.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace climate::link {
class CommEngine;
} // namespace climate::link

namespace climate::config {

class GroupWriteTransaction;
struct ParameterGroup;

// How the group that stopped Set All ended, as a person is told: `exception` is the code of an
// exception reply that came instead of the reply the engine waited for.
[[nodiscard]] GroupFailure failureOf(link::TransactionOutcome outcome,
                                     std::optional<std::uint8_t> exception);

// Set All on the engine: the groups of setAllGroups() written one after the other, from values
// already staged. The next group is posted in the tick the previous one ended, so the engine stays
// busy throughout, and the first failure stops it. The groups raise no success box meanwhile.
// Whoever shows Set All (the page, a command line) only watches through the hooks.
class SetAllRun {
public:
    // The registered write of a group.
    using GroupWrite = std::function<GroupWriteTransaction&(ConfigCommand)>;
    struct Hooks {
        std::function<void(std::size_t step)> writing;       // the group at `step` is posted
        std::function<void(const ParameterGroup&)> accepted; // the controller took it
        // Set All has ended: `written` groups were taken; `outcome` is Good when all were, else
        // how the group at `written` ended, and `failure` says so as a person is told.
        std::function<void(std::size_t written, link::TransactionOutcome outcome,
                           std::optional<GroupFailure> failure)>
            finished;
    };

    SetAllRun(link::CommEngine& engine, GroupWrite groupWrite, Hooks hooks);
    ~SetAllRun();
    SetAllRun(const SetAllRun&) = delete;
    SetAllRun& operator=(const SetAllRun&) = delete;

    // Posts the first group; the caller has checked the port and that nothing is busy.
    void start();
    [[nodiscard]] bool running() const { return m_step.has_value(); }

private:
    void post();
    void ended(link::TransactionOutcome outcome);
    void finish(link::TransactionOutcome outcome);
    void announce(bool on);

    link::CommEngine& m_engine;
    GroupWrite m_groupWrite;
    Hooks m_hooks;
    // The step whose group is posted, while Set All runs.
    std::optional<std::size_t> m_step;
    // Attached to the engine while Set All runs, to tell a refusal from silence.
    link::ExceptionWatch m_exceptions;
};

} // namespace climate::config
