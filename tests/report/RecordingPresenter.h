#pragma once

#include "link/UserMessage.h"

#include <vector>

// Keeps every message box it is asked to show.
class RecordingPresenter : public MessagePresenter {
public:
    void show(const UserMessage& message, std::function<void()>) override {
        shown.push_back(message);
    }
    std::vector<UserMessage> shown;
};
