#include "SetAllRun.h"

#include "GroupWriteTransaction.h"
#include "ParameterGroups.h"

#include "link/CommEngine.h"

namespace climate::config {

using namespace climate::link;

GroupFailure failureOf(TransactionOutcome outcome) {
    switch (outcome) {
    case TransactionOutcome::Timeout:
        return GroupFailure::NoReply;
    case TransactionOutcome::Abandoned:
        return GroupFailure::Abandoned;
    case TransactionOutcome::Good:
    case TransactionOutcome::WrongHeader:
    case TransactionOutcome::BadCrc:
        break;
    }
    return GroupFailure::WrongReply;
}

SetAllRun::SetAllRun(CommEngine& engine, GroupWrite groupWrite, Hooks hooks)
    : m_engine(engine), m_groupWrite(std::move(groupWrite)), m_hooks(std::move(hooks)) {}

void SetAllRun::start() {
    announce(false);
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
    announce(true);
    if (m_hooks.finished) {
        m_hooks.finished(written, outcome);
    }
}

} // namespace climate::config
