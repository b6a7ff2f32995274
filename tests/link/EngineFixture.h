#pragma once

// The engine against the fake port and window, with probe transactions in every table: the
// fixture of the engine's tests.
#include "link/CommEngine.h"
#include "link/Page.h"
#include "link/Transaction.h"
#include "support/EngineRig.h"
#include "support/EngineStaging.h"
#include "support/FrameHex.h"

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <vector>

using Kind = FakeSerialPort::Operation::Kind;
using Bytes = std::vector<std::uint8_t>;

// A command that, on a good reply, ends the way the tool's commands do: command ended, input
// purged, then the link marked alive.
class ProbeCommand : public climate::link::CommandTransaction {
public:
    using climate::link::CommandTransaction::CommandTransaction;

    void onGood(climate::link::TransactionContext& context,
                std::span<const std::uint8_t> /*reply*/) override {
        ++goods;
        context.endCommand();
        context.purgeInput();
        context.MarkLinkAlive();
    }

    int goods = 0;
};

// A poll step that records what it decodes and the state around its decode.
class ProbePoll : public climate::link::PollTransaction {
public:
    using climate::link::PollTransaction::PollTransaction;

    int decodes = 0;
    Bytes decoded;
    std::size_t purgesBeforeDecode = 0;
    int stepAfterDecode = -1;
    int aliveTicksAfterDecode = -1;

protected:
    void decode(std::span<const std::uint8_t> reply) override {
        ++decodes;
        decoded.assign(reply.begin(), reply.end());
        purgesBeforeDecode = m_port->purges().size();
    }
    void afterDecode() override {
        stepAfterDecode = m_engine->state().PollStep;
        aliveTicksAfterDecode = m_engine->state().LinkAliveTicks;
    }

public:
    const FakeSerialPort* m_port = nullptr;
    const climate::link::CommEngine* m_engine = nullptr;
};

// A live command shaped like the debug-temperature write: it ends by restarting the circle.
class ProbeLive : public climate::link::Transaction {
public:
    [[nodiscard]] climate::link::ModbusFrame request(std::uint8_t deviceAddress) const override {
        return climate::link::buildWriteSingle(deviceAddress, 6, 30, 250);
    }
    [[nodiscard]] std::uint8_t function() const override { return 6; }
    [[nodiscard]] std::uint32_t replyLength() const override { return 8; }
    [[nodiscard]] int sendIntervalMs() const override { return 300; }
    void onGood(climate::link::TransactionContext& context,
                std::span<const std::uint8_t> /*reply*/) override {
        ++goods;
        context.restartPolling();
        context.purgeInput();
        context.MarkLinkAlive();
    }
    void onWrongHeader(climate::link::TransactionContext& context) override {
        ++failures;
        context.MarkLinkAlive();
        context.restartPolling();
    }
    void onTimeout(climate::link::TransactionContext& context) override {
        ++failures;
        context.restartPolling();
    }

    int goods = 0;
    int failures = 0;
};

const climate::link::RequestShape SetHeater{16, 22, 5, 8};

class EngineTest : public testing::Test {
protected:
    EngineTest() {
        for (auto& poll : polls) {
            poll->m_port = &rig.port;
            poll->m_engine = &rig.engine;
        }
        add(Table::ConfigurationCommand, 2, heaterSet);
        add(Table::ConfigurationCommand, 3, alarmSet);
        add(Table::ConfigurationCommand, 9, readAll);
        add(Table::DeclarationCommand, 1, drawIntfan);
        add(Table::DeclarationCommand, 2, drawExtfan);
        for (std::uint8_t step = 0; step < 4; ++step) {
            add(Table::PollStep, step, *polls[step]);
        }
        add(Table::LiveCommand, 1, live);
    }

    using Table = climate::link::CommEngine::Table;
    void add(Table table, std::uint8_t code, climate::link::Transaction& transaction) {
        registrations.push_back(rig.engine.registerTransaction(table, code, transaction));
    }
    [[nodiscard]] const climate::link::EngineState& state() const { return rig.engine.state(); }
    [[nodiscard]] EngineStaging stage() { return EngineStaging(rig.engine); }
    [[nodiscard]] int now() const { return rig.port.tick(); }
    // Posts a command and runs its send tick; returns that tick.
    int postAndSend(std::uint8_t code) {
        rig.engine.postCommand(code);
        rig.driver.tick();
        return now();
    }
    // Shows RealTimeData and runs the entry tick and the send tick of poll step 0.
    void startPolling() {
        rig.driver.showPage(climate::link::RealTimeDataPage);
        rig.driver.tick();
    }

    EngineRig rig;
    ProbeCommand heaterSet{SetHeater, 200, /*wrongHeaderIsSignOfLife=*/true};
    ProbeCommand alarmSet{climate::link::RequestShape{16, 28, 2, 8}, 200};
    ProbeCommand readAll{climate::link::Requests::ReadAll, 100};
    ProbeCommand drawIntfan{climate::link::Requests::DrawIntfan, 200};
    ProbeCommand drawExtfan{climate::link::Requests::DrawExtfan, 200};
    std::array<std::unique_ptr<ProbePoll>, 4> polls{
        std::make_unique<ProbePoll>(climate::link::Requests::PollCoils),
        std::make_unique<ProbePoll>(climate::link::Requests::PollAlarmInputs,
                                    /*moveOnAtBadCrc=*/true),
        std::make_unique<ProbePoll>(climate::link::Requests::PollCompressorSettings),
        std::make_unique<ProbePoll>(climate::link::Requests::PollMeasurements)};
    ProbeLive live;
    std::vector<climate::link::CommEngine::Registration> registrations;
};
