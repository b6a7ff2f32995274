#pragma once

#include "config/ControllerParameters.h"
#include "config/ReadAllTransaction.h"
#include "link/Page.h"
#include "monitor/ControllerSearch.h"
#include "realtime/LiveData.h"
#include "session/ControllerSession.h"
#include "session/IntervalTimer.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace climate::cli {

class CircleWatch;
class MessageLog;
class TrafficWatch;

// The link broke: the port would not open, was lost, or the controller did not answer, answered
// wrongly or refused. what() is the one-line reason.
class LinkError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The controller behind one port, on the session the window builds on, with no window:
// each operation posts what the window's button would post and runs the event loop until the
// engine has ended it. The engine's own time-outs bound every wait.
class ControllerLink {
public:
    struct Settings {
        QString port; // a serial device, COMn, rtu+tcp://HOST:PORT or tcp://HOST[:PORT]
        std::int32_t baud = 9600;
        std::uint8_t address = 1;
    };

    // What Set All did: the groups the controller took, in order, and why it stopped early (empty
    // when all were written).
    struct SetAllResult {
        QStringList written;
        QString failure;
    };

    ControllerLink();
    ~ControllerLink();
    ControllerLink(const ControllerLink&) = delete;
    ControllerLink& operator=(const ControllerLink&) = delete;

    // Opens the port with 8 data bits, no parity, one stop bit; throws LinkError.
    void open(const Settings& settings);

    // Read All: holding registers 0 ... 46. Throws LinkError.
    [[nodiscard]] config::ReadAllTransaction::Registers readAll();
    // The firmware version text. Throws LinkError.
    [[nodiscard]] QString firmwareVersion();
    // Set All from values already staged by the window's rules (stageSetAll). A failure does not
    // throw: the groups written before it stay written, and the result says so.
    [[nodiscard]] SetAllResult setAll(const config::ControllerParameters& parameters);
    // The RealTimeData polling circle, `circles` times round or until `stop` says so; `circle`
    // gets the live record after each. Any step without a good reply ends it with LinkError.
    void poll(int circles, const std::function<void(const realtime::LiveData&)>& circle,
              const std::function<bool()>& stop = {});
    // The Bus Monitor's address search over [first, last]; `progress` hears how many addresses
    // of how many have been searched, from 0 on.
    [[nodiscard]] std::vector<monitor::ControllerSearch::Found>
    find(int first, int last, const std::function<void(int searched, int total)>& progress = {});

    // What the engine would have shown in boxes ("caption: text"), oldest first.
    [[nodiscard]] const QStringList& messages() const { return m_messages; }

    // Bytes that crossed the line so far: requests sent, and replies received or purged.
    [[nodiscard]] std::uint64_t bytesSent() const;
    [[nodiscard]] std::uint64_t bytesReceived() const;

private:
    // Posts a Configuration command and waits for its end; throws LinkError unless it was Good.
    void runCommand(std::uint8_t code, const char* what);
    // Runs the event loop until `done` or a fault of the engine; throws LinkError on a fault.
    void waitFor(const std::function<bool()>& done);
    void tick();
    [[nodiscard]] QString failureText(const char* what, link::TransactionOutcome outcome) const;

    QStringList m_messages;
    std::unique_ptr<MessageLog> m_messageLog; // the engine's boxes, into m_messages
    std::unique_ptr<session::ControllerSession> m_session;
    std::unique_ptr<TrafficWatch> m_traffic;
    std::unique_ptr<CircleWatch> m_circle;
    // The engine timer, ticking the session on the page the operation runs on.
    session::IntervalTimer m_timer;
    int m_page = link::ConfigurationPage;
    QString m_fault; // an error thrown out of the engine's tick
};

} // namespace climate::cli
