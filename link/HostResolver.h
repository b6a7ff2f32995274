#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace climate::link {

// Turns a host name into addresses for the network ports. Behind an interface so that tests
// answer from a table instead of asking the system's name service.
class HostResolver {
public:
    // The addresses found (empty: the name does not resolve).
    using Answer = std::function<void(const QList<QHostAddress>& addresses)>;

    virtual ~HostResolver() = default;

    // Starts looking `host` up and returns at once; `answer` is called later from the event loop,
    // at most once. A pending lookup is forgotten by cancel().
    virtual void lookup(const QString& host, Answer answer) = 0;
    virtual void cancel() = 0;
};

// The system's name service, through QHostInfo.
class SystemHostResolver : public HostResolver {
public:
    SystemHostResolver() = default;
    ~SystemHostResolver() override;
    SystemHostResolver(const SystemHostResolver&) = delete;
    SystemHostResolver& operator=(const SystemHostResolver&) = delete;

    void lookup(const QString& host, Answer answer) override;
    void cancel() override;

private:
    int m_lookupId = -1;
    // Shared with the pending lookup, so that an answer after cancel() or destruction is dropped.
    std::shared_ptr<Answer> m_answer;
};

} // namespace climate::link
