// The engine's receive path against the fake port: arbitrary chunks, replies that are right,
// corrupted, truncated or late, page switches, a lost and re-opened device, address changes and
// posted commands, in any order. After every tick the received length and the poll step stay in
// range, and whatever a transaction is handed as a good reply is one: the right length, address
// and function, and a valid CRC.
#include "link/CheckReply.h"
#include "link/CommEngine.h"
#include "link/LinkState.h"
#include "link/ModbusCrc.h"
#include "link/Transaction.h"
#include "support/EngineDriver.h"
#include "support/FakeEngineWindow.h"
#include "support/FakeSerialPort.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace climate::link;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

// What any transaction is handed as a good reply must pass an independent look.
void checkGoodReply(std::uint8_t address, std::span<const std::uint8_t> reply,
                    const Transaction& transaction) {
    const std::uint32_t length = transaction.replyLength();
    check(reply.size() >= length && length >= 4);
    check(reply[0] == address && reply[1] == transaction.function());
    const std::uint16_t crc = ModbusCrc16(reply.first(length - 2));
    check(reply[length - 2] == crc >> 8 && reply[length - 1] == (crc & 0xFF));
}

// The engine's own reply as it stands when a poll step is handed a good one.
class FuzzPoll : public PollTransaction {
public:
    FuzzPoll(const RequestShape& shape, const CommEngine*& engine, bool moveOnAtBadCrc = false)
        : PollTransaction(shape, moveOnAtBadCrc), m_engine(engine) {}

protected:
    void decode(std::span<const std::uint8_t> reply) override {
        checkGoodReply(static_cast<std::uint8_t>(m_engine->state().DeviceAddress), reply, *this);
    }

private:
    const CommEngine*& m_engine;
};

class FuzzCommand : public CommandTransaction {
public:
    using CommandTransaction::CommandTransaction;

    void onGood(TransactionContext& context, std::span<const std::uint8_t> reply) override {
        checkGoodReply(context.deviceAddress(), reply, *this);
        context.endCommand();
        context.purgeInput();
        context.MarkLinkAlive();
    }
};

class FuzzLive : public ShapedTransaction {
public:
    using ShapedTransaction::ShapedTransaction;

    [[nodiscard]] ModbusFrame request(std::uint8_t deviceAddress) const override {
        return buildWriteSingle(deviceAddress, function(), shape().first, 1);
    }
    void onGood(TransactionContext& context, std::span<const std::uint8_t> reply) override {
        checkGoodReply(context.deviceAddress(), reply, *this);
        context.restartPolling();
        context.purgeInput();
        context.MarkLinkAlive();
    }
    void onWrongHeader(TransactionContext& context) override {
        context.MarkLinkAlive();
        context.restartPolling();
    }
    void onTimeout(TransactionContext& context) override { context.restartPolling(); }
};

// The engine with the tool's request shapes plugged in. The one place that knows how
// transactions are registered.
struct FuzzRig {
    FakeSerialPort port;
    FakeEngineWindow window;
    LinkState link{port};
    const CommEngine* engineSeen = nullptr;
    std::unique_ptr<CommEngine> engine;
    std::unique_ptr<EngineDriver> driver;
    std::array<FuzzPoll, 4> polls{FuzzPoll{Requests::PollCoils, engineSeen},
                                  FuzzPoll{Requests::PollAlarmInputs, engineSeen, true},
                                  FuzzPoll{Requests::PollCompressorSettings, engineSeen},
                                  FuzzPoll{Requests::PollMeasurements, engineSeen}};
    FuzzCommand readAll{Requests::ReadAll, 300};
    FuzzCommand firmware{Requests::ReadFirmwareVersion, 300, true};
    FuzzCommand drawFan{Requests::DrawIntfan, 300};
    FuzzLive debugTemperature{Requests::DebugTemperature, 300};
    FuzzLive forcedOutput{Requests::ForcedOutput, 300};
    std::vector<CommEngine::Registration> registrations;
};

std::unique_ptr<FuzzRig> makeRig() {
    auto rig = std::make_unique<FuzzRig>();
    rig->port.setOpen(true);
    rig->engine = std::make_unique<CommEngine>(rig->port, rig->window, rig->link);
    rig->engineSeen = rig->engine.get();
    rig->driver = std::make_unique<EngineDriver>(*rig->engine, rig->port, rig->window);
    CommEngine& engine = *rig->engine;
    using Table = CommEngine::Table;
    auto& registered = rig->registrations;
    for (std::uint8_t step = 0; step < 4; ++step) {
        registered.push_back(engine.registerTransaction(Table::PollStep, step, rig->polls[step]));
    }
    registered.push_back(engine.registerTransaction(Table::ConfigurationCommand, 0, rig->readAll));
    registered.push_back(engine.registerTransaction(Table::ConfigurationCommand, 1, rig->firmware));
    registered.push_back(engine.registerTransaction(Table::DeclarationCommand, 1, rig->drawFan));
    registered.push_back(engine.registerTransaction(Table::LiveCommand, 1, rig->debugTemperature));
    registered.push_back(engine.registerTransaction(Table::LiveCommand, 2, rig->forcedOutput));
    return rig;
}

// The Comm/Address switch.
void changeAddress(CommEngine& engine, std::uint8_t address) {
    engine.switchDeviceAddress(address);
}

// A right reply to the request last sent: address and function from it, the length the request
// expects, arbitrary data, a valid CRC.
std::vector<std::uint8_t> replyTo(const EngineState& state, std::uint32_t length,
                                  FuzzedDataProvider& input) {
    std::vector<std::uint8_t> reply(length < 4 ? 4 : length);
    reply[0] = state.TxFrame.length > 0 ? state.TxFrame.bytes[0] : 1;
    reply[1] = state.TxFrame.length > 1 ? state.TxFrame.bytes[1] : 3;
    reply[2] = static_cast<std::uint8_t>(reply.size() - 5);
    for (std::size_t i = 3; i + 2 < reply.size(); ++i)
        reply[i] = input.ConsumeIntegral<std::uint8_t>();
    const std::uint16_t crc = ModbusCrc16(std::span(reply).first(reply.size() - 2));
    reply[reply.size() - 2] = static_cast<std::uint8_t>(crc >> 8);
    reply[reply.size() - 1] = static_cast<std::uint8_t>(crc & 0xFF);
    return reply;
}

std::uint32_t expectedLength(const EngineState& state) {
    switch (state.TxFrame.length > 1 ? state.TxFrame.bytes[1] : 0) {
    case 1:
        return 7;
    case 2:
        return 8;
    case 3:
    case 4: // reads: 5 + 2 per register asked for
        return 5 + 2 * (state.TxFrame.bytes[5] | state.TxFrame.bytes[4] << 8);
    default:
        return 8;
    }
}

void checkInvariants(const CommEngine& engine) {
    const EngineState& s = engine.state();
    check(s.RxLength <= EngineState::RxCapacity);
    check(s.PollStep <= 3);
    check(s.LiveCommand <= 2);
    check(s.DeviceAddress <= 255);
    check(s.ReplyWaitTicks >= 0 && s.ReplyWaitTicks <= CommEngine::TimeoutTicks);
    check(s.TxFrame.length <= ModbusFrame::Capacity);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto rig = makeRig();
    CommEngine& engine = *rig->engine;
    FakeSerialPort& port = rig->port;

    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange(0, 9)) {
        case 0: // arbitrary bytes, now or later
        {
            const auto bytes =
                input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(1, 64));
            if (input.ConsumeBool())
                port.feed(bytes);
            else
                port.arriveAt(port.tick() + input.ConsumeIntegralInRange(1, 150), bytes);
            break;
        }
        case 1:
        case 2: { // a reply to the request last sent: right, corrupted, truncated or late
            auto reply = replyTo(engine.state(), expectedLength(engine.state()), input);
            switch (input.ConsumeIntegralInRange(0, 3)) {
            case 1:
                reply[input.ConsumeIntegralInRange<std::size_t>(0, reply.size() - 1)] ^=
                    input.ConsumeIntegralInRange<std::uint8_t>(1, 255);
                break;
            case 2:
                reply.resize(input.ConsumeIntegralInRange<std::size_t>(0, reply.size() - 1));
                break;
            default:
                break;
            }
            // Split into two chunks, the second possibly late.
            const std::size_t cut = input.ConsumeIntegralInRange<std::size_t>(0, reply.size());
            const int delay = input.ConsumeIntegralInRange(0, 120);
            port.arriveAt(port.tick() + 1, std::span(reply).first(cut));
            port.arriveAt(port.tick() + 1 + delay, std::span(reply).subspan(cut));
            break;
        }
        case 3:
        case 4:
            rig->driver->run(input.ConsumeIntegralInRange(1, 40));
            break;
        case 5:
            rig->driver->showPage(input.ConsumeIntegralInRange(0, 3));
            break;
        case 6: // the device is lost, or the port closed and opened again
            if (input.ConsumeBool()) {
                port.loseDevice();
            } else {
                port.close();
                (void)port.open("fuzz");
            }
            break;
        case 7:
            changeAddress(engine, input.ConsumeIntegral<std::uint8_t>());
            break;
        case 8: // a button posts a command when none is busy, as the handlers do
            if (!engine.state().CommandBusy)
                engine.postCommand(input.ConsumeIntegralInRange<std::uint8_t>(0, 11));
            break;
        case 9:
            engine.postLiveCommand(input.ConsumeIntegralInRange<std::uint8_t>(1, 2));
            break;
        }
        checkInvariants(engine);
    }
    rig->driver->run(5);
    checkInvariants(engine);
    return 0;
}
