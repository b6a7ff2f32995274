#include "SetAllRun.h"

#include "GroupWriteTransaction.h"
#include "ParameterGroups.h"

#include "link/CommEngine.h"

namespace climate::config {

using namespace climate::link;

GroupFailure failureOf(TransactionOutcome outcome, std::optional<std::uint8_t> exception) {
    using Kind = GroupFailure::Kind;
    switch (outcome) {
    case TransactionOutcome::Timeout:
    case TransactionOutcome::WrongHeader:
        if (exception) {
            return {Kind::Refused, *exception};
        }
        return {outcome == TransactionOutcome::Timeout ? Kind::NoReply : Kind::WrongReply};
    case TransactionOutcome::Abandoned:
        return {Kind::Abandoned};
    case TransactionOutcome::Good:
    case TransactionOutcome::BadCrc:
        break;
    }
    return {Kind::WrongReply};
}

SetAllRun::SetAllRun(CommEngine& engine, GroupWrite groupWrite, Hooks hooks)
    : m_engine(engine), m_groupWrite(std::move(groupWrite)), m_hooks(std::move(hooks)) {}

SetAllRun::~SetAllRun() {
    if (m_step) {
        m_engine.removeObserver(m_exceptions);
    }
}

void SetAllRun::start() {
    announce(false);
    m_engine.addObserver(m_exceptions);
    m_step = 0;
    post();
}

void SetAllRun::announce(bool on) {
    for (const ParameterGroup* group : setAllGroups()) {
        m_groupWrite(group->command).announceSuccess(on);
    }
}

void SetAllRun::post() {
    const ParameterGroup& group = *setAllGroups().at(m_step.value());
    if (m_hooks.writing) {
        m_hooks.writing(*m_step);
    }
    m_engine.postCommand(codeOf(group.command),
                         [this](TransactionOutcome outcome) { ended(outcome); });
}

void SetAllRun::ended(TransactionOutcome outcome) {
    if (outcome != TransactionOutcome::Good) {
        finish(outcome);
        return;
    }
    if (m_hooks.accepted) {
        m_hooks.accepted(*setAllGroups().at(m_step.value()));
    }
    ++*m_step;
    if (*m_step < setAllGroups().size()) {
        post();
        return;
    }
    finish(outcome);
}

void SetAllRun::finish(TransactionOutcome outcome) {
    const std::size_t written = m_step.value();
    m_step.reset();
    m_engine.removeObserver(m_exceptions);
    announce(true);
    const std::optional<GroupFailure> failure =
        outcome == TransactionOutcome::Good
            ? std::nullopt
            : std::optional(failureOf(outcome, m_exceptions.lastException()));
    if (m_hooks.finished) {
        m_hooks.finished(written, outcome, failure);
    }
}

} // namespace climate::config
