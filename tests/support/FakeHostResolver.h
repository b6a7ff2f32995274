#pragma once

#include "link/HostResolver.h"

#include <QMap>
#include <QObject>
#include <QStringList>

// A name service for tests: answers from a table, from the event loop, never asking the system.
// A name that is not in the table is never answered (a name server that does not reply).
class FakeHostResolver : public climate::link::HostResolver {
public:
    // `host` resolves to `addresses` (empty: "no such host").
    void answer(const QString& host, const QList<QHostAddress>& addresses) {
        m_table.insert(host, addresses);
    }

    void lookup(const QString& host, Answer answer) override;
    void cancel() override { ++m_generation; }

    // Every name looked up, in order.
    [[nodiscard]] const QStringList& lookups() const { return m_lookups; }

private:
    QMap<QString, QList<QHostAddress>> m_table;
    QStringList m_lookups;
    quint64 m_generation = 0;
    QObject m_context; // answers still queued die with the resolver
};
