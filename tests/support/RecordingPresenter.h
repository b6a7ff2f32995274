#pragma once

#include "link/UserMessage.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Records the boxes the window shows instead of opening them. A box stays "open" until the test
// closes it; its onClosed runs then, once.
class RecordingPresenter : public climate::link::MessagePresenter {
public:
    struct Shown {
        climate::link::UserMessage message;
        std::function<void()> onClosed;
        bool closed = false;
    };

    void show(const climate::link::UserMessage& message,
              std::function<void()> onClosed = {}) override;

    // Every box shown so far, in order, closed ones included.
    [[nodiscard]] const std::vector<Shown>& shown() const { return m_shown; }
    // The boxes' texts, in order.
    [[nodiscard]] std::vector<std::string> texts() const;
    // The boxes as "text / caption", with " (details)" when there are details: one string per box,
    // so a comparison covers all three.
    [[nodiscard]] std::vector<std::string> lines() const;
    // Every box on one line, "[text / caption (details)] ...", for assertion messages.
    [[nodiscard]] std::string describe() const;

    // Closes box `index` as the user would; closing it again does nothing.
    void close(std::size_t index);
    // Closes every open box, also those that closing one of them shows.
    void closeAll();
    void clear() { m_shown.clear(); }

private:
    std::vector<Shown> m_shown;
};
