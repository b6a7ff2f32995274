#include "FakeHostResolver.h"

#include <QTimer>

void FakeHostResolver::lookup(const QString& host, Answer answer) {
    m_lookups << host;
    ++m_generation;
    if (!m_table.contains(host)) {
        return;
    }
    const quint64 generation = m_generation;
    QTimer::singleShot(
        0, &m_context,
        [this, generation, addresses = m_table.value(host), answer = std::move(answer)] {
            if (generation == m_generation) {
                answer(addresses);
            }
        });
}
