#pragma once

#include "link/UserMessage.h"

#include <functional>
#include <string>
#include <vector>

// Records the boxes the window shows instead of opening them. A box stays "open" until the test
// closes it; its onClosed runs then.
class RecordingPresenter : public MessagePresenter {
public:
    struct Shown {
        UserMessage message;
        std::function<void()> onClosed;
        bool closed = false;
    };

    void show(const UserMessage& message, std::function<void()> onClosed = {}) override {
        m_shown.push_back({message, std::move(onClosed)});
    }

    [[nodiscard]] const std::vector<Shown>& shown() const { return m_shown; }
    [[nodiscard]] std::vector<std::string> texts() const;
    void closeAll();
    void clear() { m_shown.clear(); }

private:
    std::vector<Shown> m_shown;
};
