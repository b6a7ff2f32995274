#include "HostResolver.h"

#include <QHostInfo>

namespace climate::link {

SystemHostResolver::~SystemHostResolver() {
    cancel();
}

void SystemHostResolver::lookup(const QString& host, Answer answer) {
    cancel();
    m_answer = std::make_shared<Answer>(std::move(answer));
    std::weak_ptr<Answer> pending = m_answer;
    m_lookupId = QHostInfo::lookupHost(host, [pending](const QHostInfo& info) {
        if (const auto receiver = pending.lock()) {
            (*receiver)(info.error() == QHostInfo::NoError ? info.addresses()
                                                           : QList<QHostAddress>{});
        }
    });
}

void SystemHostResolver::cancel() {
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    m_answer.reset();
}

} // namespace climate::link
