#include "FakeEngineWindow.h"

#include <utility>

using namespace climate::link;

void FakeEngineWindow::setEngineInterval(int milliseconds) {
    m_intervalRequests.push_back(milliseconds);
    if (milliseconds != m_interval) {
        m_interval = milliseconds;
        m_intervalRestarts.push_back(milliseconds);
    }
}

void FakeEngineWindow::show(const UserMessage& message, std::function<void()> onClosed) {
    if (!message.repeatKey.empty()) {
        for (const ShownMessage& shown : m_messages) {
            if (!shown.closed && shown.message.repeatKey == message.repeatKey) {
                ++m_suppressed[message.repeatKey];
                return;
            }
        }
    }
    m_messages.push_back({message, std::move(onClosed), false});
}

std::vector<std::string> FakeEngineWindow::messageTexts() const {
    std::vector<std::string> texts;
    texts.reserve(m_messages.size());
    for (const ShownMessage& shown : m_messages) {
        texts.push_back(shown.message.text);
    }
    return texts;
}

int FakeEngineWindow::openMessageCount() const {
    int open = 0;
    for (const ShownMessage& shown : m_messages) {
        open += shown.closed ? 0 : 1;
    }
    return open;
}

int FakeEngineWindow::suppressedRepeats(const std::string& repeatKey) const {
    const auto it = m_suppressed.find(repeatKey);
    return it == m_suppressed.end() ? 0 : it->second;
}

void FakeEngineWindow::closeMessage(std::size_t index) {
    if (index >= m_messages.size() || m_messages[index].closed) {
        return;
    }
    m_messages[index].closed = true;
    // The callback may show further boxes, which moves the vector: take it out first.
    const std::function<void()> onClosed = std::move(m_messages[index].onClosed);
    m_messages[index].onClosed = nullptr;
    if (onClosed) {
        onClosed();
    }
}

void FakeEngineWindow::closeAll() {
    for (std::size_t i = 0; i < m_messages.size(); ++i) {
        closeMessage(i);
    }
}

void FakeEngineWindow::clearRecords() {
    m_intervalRequests.clear();
    m_intervalRestarts.clear();
}
