#include "RecordingPresenter.h"

#include <utility>

using namespace climate::link;

void RecordingPresenter::show(const UserMessage& message, std::function<void()> onClosed) {
    m_shown.push_back({message, std::move(onClosed)});
}

std::vector<std::string> RecordingPresenter::texts() const {
    std::vector<std::string> result;
    for (const Shown& shown : m_shown) {
        result.push_back(shown.message.text);
    }
    return result;
}

std::vector<std::string> RecordingPresenter::lines() const {
    std::vector<std::string> result;
    for (const Shown& shown : m_shown) {
        const UserMessage& message = shown.message;
        result.push_back(message.text + " / " + message.caption +
                         (message.details.empty() ? "" : " (" + message.details + ")"));
    }
    return result;
}

std::string RecordingPresenter::describe() const {
    if (m_shown.empty()) {
        return "no box shown";
    }
    std::string all;
    for (const std::string& line : lines()) {
        all += (all.empty() ? "[" : " [") + line + "]";
    }
    return all;
}

void RecordingPresenter::close(std::size_t index) {
    Shown& box = m_shown.at(index);
    if (box.closed) {
        return;
    }
    box.closed = true;
    // A copy: the callback may show another box, which moves the recorded ones.
    const std::function<void()> onClosed = box.onClosed;
    if (onClosed) {
        onClosed();
    }
}

void RecordingPresenter::closeAll() {
    // Index by index: boxes that a callback shows are appended and closed in turn.
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        close(i);
    }
}
