#include "QtMessagePresenter.h"

#include <QMessageBox>

namespace climate::app {

using namespace climate::link;

QtMessagePresenter::QtMessagePresenter(QObject* parent) : QObject(parent) {}

QtMessagePresenter::~QtMessagePresenter() = default;

int QtMessagePresenter::suppressedCount(const std::string& repeatKey) const {
    const auto it = m_repeats.find(repeatKey);
    return it == m_repeats.end() ? 0 : it->second.suppressed;
}

void QtMessagePresenter::show(const UserMessage& message, std::function<void()> onClosed) {
    if (!message.repeatKey.empty()) {
        RepeatState& repeat = m_repeats[message.repeatKey];
        if (repeat.open) {
            ++repeat.suppressed;
            return;
        }
        repeat.open = true;
    }

    // No parent: the box belongs to no window, like the controller tool's boxes always did.
    auto* box = new QMessageBox(message.icon == UserMessage::Icon::Error ? QMessageBox::Critical
                                                                         : QMessageBox::NoIcon,
                                QString::fromStdString(message.caption),
                                QString::fromStdString(message.text), QMessageBox::Ok);
    box->setObjectName(QStringLiteral("messageBox"));
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (!message.details.empty()) {
        box->setDetailedText(QString::fromStdString(message.details));
    }
    ++m_openBoxes;
    const std::string key = message.repeatKey;
    connect(box, &QMessageBox::finished, this, [this, key, onClosed = std::move(onClosed)] {
        --m_openBoxes;
        if (!key.empty()) {
            m_repeats[key].open = false;
        }
        if (onClosed) {
            onClosed();
        }
    });
    box->show();
    emit boxShown(box);
}

} // namespace climate::app
