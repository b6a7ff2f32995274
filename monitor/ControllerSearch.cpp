#include "ControllerSearch.h"

#include "link/ModbusCrc.h"
#include "link/ModbusFrame.h"
#include "link/SerialPort.h"

#include <algorithm>
#include <array>

namespace climate::monitor {

using namespace climate::link;

namespace {

constexpr RequestShape Probe{4, 0, 1, 7};
constexpr std::uint8_t ExceptionFlag = 0x80;
constexpr std::size_t ExceptionLength = 5;
constexpr std::size_t FirmwareBytes = 24;

QString latin1UpToZero(std::span<const std::uint8_t> bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()),
                               static_cast<qsizetype>(end - bytes.begin()));
}

} // namespace

ControllerSearch::ControllerSearch(SerialPort& port, Hooks hooks, QObject* parent)
    : QObject(parent), m_port(port), m_hooks(std::move(hooks)) {
    if (!m_hooks.firmwareText) {
        m_hooks.firmwareText = latin1UpToZero;
    }
    m_look.setTimerType(Qt::PreciseTimer);
    m_look.setInterval(LookIntervalMs);
    connect(&m_look, &QTimer::timeout, this, &ControllerSearch::look);
}

ControllerSearch::~ControllerSearch() {
    // Give the port back to the engine, without telling listeners that may be gone already.
    blockSignals(true);
    cancel();
}

bool ControllerSearch::start(int first, int last) {
    first = std::clamp(first, FirstAddress, LastAddress);
    last = std::clamp(last, first, LastAddress);
    if (m_running || !m_port.isOpen()) {
        return false;
    }
    m_running = true;
    if (m_hooks.pauseEngine) {
        m_hooks.pauseEngine();
    }
    m_first = first;
    m_last = last;
    m_probed = 0;
    m_found.clear();
    m_input.clear();
    m_phase = Phase::Probe;
    m_address = first;
    m_port.purgeInput();
    emit foundChanged();
    emit progressed(0, total());
    sendProbe();
    m_look.start();
    return true;
}

void ControllerSearch::cancel() {
    if (m_running) {
        finish(End::Cancelled);
    }
}

std::vector<ControllerSearch::Found> ControllerSearch::found() const {
    std::vector<Found> list;
    for (const auto& [address, found] : m_found) {
        list.push_back(found);
    }
    return list;
}

void ControllerSearch::sendProbe() {
    const ModbusFrame request = buildReadRequest(static_cast<std::uint8_t>(m_address), Probe);
    m_port.write(request.bytes.data(), request.length);
    m_answered = false;
    m_sinceSend.start();
}

void ControllerSearch::sendFirmwareRead() {
    const ModbusFrame request =
        buildReadRequest(static_cast<std::uint8_t>(m_address), Requests::ReadFirmwareVersion);
    m_port.write(request.bytes.data(), request.length);
    m_answered = false;
    m_sinceSend.start();
}

void ControllerSearch::look() {
    if (!m_port.isOpen()) {
        finish(End::PortClosed);
        return;
    }
    std::array<std::uint8_t, 1024> chunk{};
    while (const std::uint32_t waiting = m_port.bytesWaiting()) {
        const std::uint32_t got =
            m_port.read(chunk.data(), std::min<std::uint32_t>(waiting, chunk.size()));
        if (got == 0) {
            break;
        }
        m_input.insert(m_input.end(), chunk.begin(), chunk.begin() + got);
    }
    takeFrames();

    const int waitMs = m_phase == Phase::Probe ? ProbeWaitMs : FirmwareWaitMs;
    if (!m_answered && m_sinceSend.elapsed() < waitMs) {
        return;
    }
    if (m_phase == Phase::Probe) {
        ++m_probed;
        emit progressed(m_probed, total());
        if (m_address < m_last) {
            ++m_address;
            sendProbe();
            return;
        }
        m_phase = Phase::Firmware;
        m_address = 0;
    } else if (auto it = m_found.find(m_address); it != m_found.end()) {
        if (!it->second.firmwareDone) {
            it->second.firmwareDone = true;
            it->second.firmwareNote = QStringLiteral("no reply");
            emit foundChanged();
        }
    }
    nextFirmwareRead();
}

void ControllerSearch::nextFirmwareRead() {
    const auto next = std::find_if(m_found.begin(), m_found.end(),
                                   [](const auto& entry) { return !entry.second.firmwareDone; });
    if (next == m_found.end()) {
        finish(End::Completed);
        return;
    }
    m_address = next->first;
    sendFirmwareRead();
}

void ControllerSearch::takeFrames() {
    std::size_t at = 0;
    while (m_input.size() - at >= 2) {
        const std::span<const std::uint8_t> rest(m_input.data() + at, m_input.size() - at);
        std::size_t length = 0;
        if (rest[1] == (Probe.function | ExceptionFlag)) {
            length = ExceptionLength;
        } else if (rest[1] == Probe.function) {
            if (rest.size() < 3) {
                break;
            }
            // Only the two replies asked for: 1 register or the 12 of the firmware version.
            if (rest[2] == 2 || rest[2] == FirmwareBytes) {
                length = 5u + rest[2];
            }
        }
        if (length == 0) {
            ++at; // starts no frame the search asked for
            continue;
        }
        if (rest.size() < length) {
            break;
        }
        if (crcHolds(rest.first(length))) {
            accept(rest.first(length));
            at += length;
        } else {
            ++at;
        }
    }
    m_input.erase(m_input.begin(), m_input.begin() + static_cast<std::ptrdiff_t>(at));
}

void ControllerSearch::accept(std::span<const std::uint8_t> frame) {
    const int address = frame[0];
    if (address < m_first || address > m_last) {
        return;
    }
    const bool exception = (frame[1] & ExceptionFlag) != 0;
    auto [it, added] = m_found.try_emplace(address);
    Found& found = it->second;
    if (added) {
        found.address = address;
        found.exception = exception;
        found.exceptionCode = exception ? frame[2] : 0;
    }
    if (m_phase == Phase::Firmware && address == m_address && !found.firmwareDone) {
        found.firmwareDone = true;
        if (exception) {
            found.firmwareNote = QStringLiteral("exception %1").arg(frame[2]);
        } else if (frame[2] == FirmwareBytes) {
            found.firmware = m_hooks.firmwareText(frame.subspan(3, FirmwareBytes));
        }
    }
    // A late probe reply during the firmware reads does not answer the firmware read.
    const bool answersFirmwareRead = exception || frame[2] == FirmwareBytes;
    if (address == m_address && (m_phase == Phase::Probe || answersFirmwareRead)) {
        m_answered = true;
    }
    emit foundChanged();
}

void ControllerSearch::finish(End end) {
    m_look.stop();
    m_running = false;
    m_input.clear();
    if (m_port.isOpen()) {
        m_port.purgeInput();
        if (m_hooks.resumeEngine) {
            m_hooks.resumeEngine();
        }
    }
    emit finished(end);
}

} // namespace climate::monitor
