#include "LinkState.h"

#include "SerialPort.h"

#include <algorithm>

namespace climate::link {

LinkState::LinkState(const SerialPort& port, QObject* parent) : QObject(parent), m_port(port) {}

bool LinkState::portOpen() const {
    return m_port.isOpen();
}

void LinkState::replyReceived() {
    moveBar(m_barPosition + 1);
}

void LinkState::timerTick(bool linkAnswering) {
    if (linkAnswering) {
        moveBar(m_barPosition < EndPosition ? m_barPosition + 1 : WrapPosition);
    } else {
        moveBar(EndPosition);
    }
    if (linkAnswering != m_answering) {
        m_answering = linkAnswering;
        emit answeringChanged(m_answering);
    }
}

void LinkState::moveBar(double position) {
    position = std::clamp(position, 0.0, EndPosition);
    if (position != m_barPosition) {
        m_barPosition = position;
        emit barPositionChanged(m_barPosition);
    }
}

} // namespace climate::link
