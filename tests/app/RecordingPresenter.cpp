#include "RecordingPresenter.h"

std::vector<std::string> RecordingPresenter::texts() const {
    std::vector<std::string> result;
    for (const Shown& shown : m_shown) {
        result.push_back(shown.message.text);
    }
    return result;
}

void RecordingPresenter::closeAll() {
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        if (!m_shown[i].closed) {
            m_shown[i].closed = true;
            if (m_shown[i].onClosed) {
                auto onClosed = m_shown[i].onClosed;
                onClosed();
            }
        }
    }
}
