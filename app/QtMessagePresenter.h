#pragma once

#include "link/UserMessage.h"

#include <QObject>
#include <QString>

#include <map>
#include <string>

class QMessageBox;

namespace climate::app {

// Shows message boxes the way the tool needs them: no owner window, not modal, never blocking, so
// the engine timer keeps ticking and the window keeps taking input while a box is open. The steps
// that follow the closing of a box run from its finished signal.
//
// Boxes that carry a repeat key are shown once: while one with the same key is open, further ones
// are only counted, so a failure repeated by a timer all night leaves one box, not hundreds.
class QtMessagePresenter : public QObject, public link::MessagePresenter {
    Q_OBJECT

public:
    explicit QtMessagePresenter(QObject* parent = nullptr);
    ~QtMessagePresenter() override;

    void show(const link::UserMessage& message, std::function<void()> onClosed = {}) override;

    // Boxes currently open, and how many repeats were held back while their key's box was open.
    [[nodiscard]] int openBoxCount() const { return m_openBoxes; }
    [[nodiscard]] int suppressedCount(const std::string& repeatKey) const;

signals:
    void boxShown(QMessageBox* box);

private:
    struct RepeatState {
        bool open = false;
        int suppressed = 0;
    };

    int m_openBoxes = 0;
    std::map<std::string, RepeatState> m_repeats;
};

} // namespace climate::app
