#pragma once

#include <functional>
#include <string>
#include <utility>

namespace climate::link {

// A message box: text, caption, an OK button. The boxes have no owner window and do not block:
// the window and the timers go on while one is open, and `onClosed` runs once the user has
// dismissed it.
struct UserMessage {
    enum class Icon { None, Error };

    UserMessage() = default;
    UserMessage(std::string messageText, std::string messageCaption, Icon messageIcon = Icon::None)
        : text(std::move(messageText)), caption(std::move(messageCaption)), icon(messageIcon) {}

    std::string text;    // UTF-8
    std::string caption; // UTF-8
    Icon icon = Icon::None;
    // Optional detail behind the box's text (e.g. why a port could not be opened).
    std::string details;
    // Boxes that a timer can raise again and again without anyone acting (the test log's
    // failures, errors raised inside a tick) carry a key; while a box with the same key is open,
    // a further one is only counted, not shown.
    std::string repeatKey;
};

// A message box's two strings.
struct MessageText {
    const char* text;
    const char* caption;
};

// The box of a message without icon or key.
[[nodiscard]] inline UserMessage toUserMessage(const MessageText& message) {
    return UserMessage(message.text, message.caption);
}

// Texts more than one page shows.
namespace SharedMessages {
inline constexpr MessageText PortNotOpen{"ComPort Not Open!!", "Comm Error"};
inline constexpr const char* BusyText = "Systerm Busy,Please Wait";
// Read All, the firmware read and both curve draws use the Internal Fan group's busy caption.
inline constexpr MessageText Busy{BusyText, "Set Intfan1!"};
} // namespace SharedMessages

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void show(const UserMessage& message, std::function<void()> onClosed = {}) = 0;
};

} // namespace climate::link
