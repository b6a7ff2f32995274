// Opening network ports with Button1: the open finishes later, the window goes on meanwhile, and
// a failure names its cause. The simulator serves RTU over TCP on loopback; host names go to a
// fake name service.
#include "PortWindowFixture.h"
#include "link/NamedPort.h"
#include "support/EventLoopWait.h"
#include "support/FakeHostResolver.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace climate::app;
using namespace climate::link;

namespace {

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
    int paints = 0;
};

class NetworkPortSwitchTest : public PortWindowFixture {
protected:
    void SetUp() override {
        PortWindowFixture::SetUp();
        ASSERT_TRUE(sim.startTcp(QStringLiteral("rtu"))) << sim.diagnostics().toStdString();
        QTcpServer probe; // a loopback port nobody listens on
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        refusedName = QStringLiteral("tcp://127.0.0.1:%1").arg(probe.serverPort());
        probe.close();

        makeWindow({sim.portName(), refusedName, SilentName, UnknownName, NamedSimulator()});
        if (HasFatalFailure()) {
            return;
        }
        auto fake = std::make_unique<FakeHostResolver>();
        resolver = fake.get();
        resolver->answer(QStringLiteral("unknown.site.example"), {});
        resolver->answer(QStringLiteral("unit7.site.example"), {QHostAddress::LocalHost});
        form->port().useResolver(std::move(fake));
    }

    [[nodiscard]] QString NamedSimulator() const {
        return QStringLiteral("rtu+tcp://unit7.site.example:") +
               sim.tcpAddress().section(QLatin1Char(':'), 1);
    }

    // Clicks Open on `port` and waits until the open has finished one way or the other.
    void openAndWait(const QString& port) {
        select(port);
        button->click();
        ASSERT_TRUE(spinUntil(
            [&] { return button->text() == QStringLiteral("Close") || !messages->shown().empty(); },
            5000));
    }

    [[nodiscard]] bool settingsEnabled() const {
        return form->findChild<QComboBox*>(QStringLiteral("baudrate"))->isEnabled();
    }

    const QString SilentName = QStringLiteral("tcp://silent.site.example");
    const QString UnknownName = QStringLiteral("tcp://unknown.site.example");
    QString refusedName;
    FakeHostResolver* resolver = nullptr; // owned by the window's port
};

TEST_F(NetworkPortSwitchTest, ConnectingKeepsOpenIgnoresClicksAndKeepsPainting) {
    form->show();
    PaintCounter counter;
    form->installEventFilter(&counter);
    select(SilentName); // the name service never answers: the connect time runs out

    QElapsedTimer clock;
    clock.start();
    button->click();
    EXPECT_LT(clock.elapsed(), 500) << "the click must not wait for the connection";
    EXPECT_EQ(button->text(), QStringLiteral("Open"));
    button->click();
    button->click();
    EXPECT_EQ(resolver->lookups(), QStringList{QStringLiteral("silent.site.example")})
        << "clicks while connecting start nothing";
    const int paintsBefore = counter.paints;
    form->update();
    spinFor(200);
    EXPECT_GT(counter.paints, paintsBefore) << "the window paints while connecting";
    EXPECT_EQ(button->text(), QStringLiteral("Open"));
    EXPECT_TRUE(messages->shown().empty());

    ASSERT_TRUE(spinUntil([&] { return !messages->shown().empty(); }, 5000));
    ASSERT_EQ(messages->shown().size(), 1u) << messages->describe();
    EXPECT_EQ(messages->lines().front(), "Open Port Error!! / Comm Error (" +
                                             SilentName.toStdString() + ": connection timed out)");
    EXPECT_EQ(button->text(), QStringLiteral("Open"));
    EXPECT_FALSE(form->port().isOpen());

    // Clicks count again once the attempt is over.
    messages->clear();
    openAndWait(sim.portName());
    EXPECT_EQ(button->text(), QStringLiteral("Close")) << messages->describe();
}

TEST_F(NetworkPortSwitchTest, FailuresNameTheirCause) {
    const struct {
        QString port;
        std::string cause;
    } cases[] = {{refusedName, "connection refused"}, {UnknownName, "host not found"}};
    for (const auto& c : cases) {
        messages->clear();
        openAndWait(c.port);
        ASSERT_EQ(messages->shown().size(), 1u) << c.cause;
        EXPECT_EQ(messages->lines().front(),
                  "Open Port Error!! / Comm Error (" + c.port.toStdString() + ": " + c.cause + ")");
        EXPECT_EQ(button->text(), QStringLiteral("Open")) << c.cause;
        EXPECT_FALSE(form->port().isOpen()) << c.cause;
    }
}

TEST_F(NetworkPortSwitchTest, ConnectedPortIsSetUpAsASerialOne) {
    for (const QString& port : {sim.portName(), NamedSimulator()}) {
        SCOPED_TRACE(port.toStdString());
        openAndWait(port);
        ASSERT_TRUE(messages->shown().empty()) << messages->describe();
        EXPECT_EQ(button->text(), QStringLiteral("Close"));
        EXPECT_TRUE(form->port().isOpen());
        EXPECT_TRUE(timersActive());
        EXPECT_FALSE(settingsEnabled());

        button->click();
        EXPECT_EQ(button->text(), QStringLiteral("Open"));
        EXPECT_FALSE(form->port().isOpen());
        EXPECT_TRUE(settingsEnabled());
    }
}

TEST_F(NetworkPortSwitchTest, TypedNetworkNamesOpen) {
    // Typed as is, or upper-cased as the Windows box does; blanks around are trimmed.
    const QString address = sim.tcpAddress();
    for (const QString& typed : {QStringLiteral("rtu+tcp://") + address,
                                 QStringLiteral(" RTU+TCP://") + address + QStringLiteral(" ")}) {
        SCOPED_TRACE(typed.toStdString());
        messages->clear();
        ports->setCurrentIndex(-1);
        ports->setEditText(typed);
        button->click();
        ASSERT_TRUE(spinUntil(
            [&] { return button->text() == QStringLiteral("Close") || !messages->shown().empty(); },
            5000));
        EXPECT_EQ(button->text(), QStringLiteral("Close")) << messages->describe();
        button->click();
        EXPECT_EQ(button->text(), QStringLiteral("Open"));
    }
}

} // namespace
