#include "WindowOnSimulator.h"

#include "app/PortComboBox.h"
#include "link/CommEngine.h"
#include "support/SimulatorChannel.h"

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace climate::app;
using namespace climate::link;

void WindowOnSimulator::SetUp() {
    ASSERT_TRUE(m_workFolder.isValid());
    m_previousFolder = QDir::currentPath();
    QDir::setCurrent(m_workFolder.path());
    if (simulatorFraming.isEmpty() && !SimulatorChannel::servesSerialPorts()) {
        // The same window and engine over RTU over TCP: the frames are the serial line's.
        simulatorFraming = QStringLiteral("rtu");
    }
    ASSERT_TRUE(simulatorFraming.isEmpty() ? sim.start(simulatorArguments)
                                           : sim.startTcp(simulatorFraming, simulatorArguments))
        << sim.diagnostics().toStdString();

    std::unique_ptr<MessagePresenter> presenter; // none: the window makes its QtMessagePresenter
    if (!realMessageBoxes) {
        auto recorder = std::make_unique<RecordingPresenter>();
        messages = recorder.get();
        presenter = std::move(recorder);
    }
    form = std::make_unique<TForm1>(QStringList{sim.portName()}, std::move(presenter), [](int) {});
    if (openPortInSetUp) {
        openPort();
    }
}

void WindowOnSimulator::TearDown() {
    form.reset();
    messages = nullptr;
    sim.stop();
    QDir::setCurrent(m_previousFolder);
}

void WindowOnSimulator::openPort() {
    auto* ports = child<PortComboBox>("rdCOM");
    ASSERT_NE(ports, nullptr);
    const int index = ports->findText(sim.portName());
    ASSERT_GE(index, 0) << sim.portName().toStdString();
    ports->setCurrentIndex(index);
    auto* button = child<QPushButton>("Button1");
    ASSERT_NE(button, nullptr);
    button->click();
    if (!simulatorFraming.isEmpty()) {
        // Connecting ends with "Close" or with a message box.
        (void)QTest::qWaitFor(
            [&] {
                return button->text() == QStringLiteral("Close") ||
                       (messages != nullptr && !messages->shown().empty());
            },
            5000);
    }
    ASSERT_EQ(button->text(), QStringLiteral("Close"))
        << (messages != nullptr ? messages->describe() : "(real message boxes)");
}

bool WindowOnSimulator::clickAndWait(const std::string& name, int timeoutMs) {
    button(name)->click();
    if (!form->engine().state().CommandBusy) {
        ADD_FAILURE() << name << " posted nothing"
                      << (messages != nullptr ? ": " + messages->describe() : std::string());
        return false;
    }
    return QTest::qWaitFor([this] { return !form->engine().state().CommandBusy; }, timeoutMs);
}

void WindowOnSimulator::typeGroup(const GroupWrite& group) {
    for (const auto& [name, text] : group.edits) {
        edit(name)->setText(QString::fromStdString(text));
    }
    for (const auto& [name, item] : group.combos) {
        combo(name)->setCurrentIndex(item);
    }
}

std::vector<std::uint16_t> WindowOnSimulator::simulatorHolding() {
    const QString answer = sim.command(QStringLiteral("get hr 0 47"));
    const QStringList words = answer.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::vector<std::uint16_t> registers;
    EXPECT_EQ(words.size(), 48) << answer.toStdString();
    for (qsizetype k = 1; k < words.size(); ++k) {
        registers.push_back(words[k].toUShort());
    }
    registers.resize(47);
    return registers;
}

bool WindowOnSimulator::waitTimerTicks(const char* timer, int ticks, int timeoutMs) {
    auto* source = form->findChild<QTimer*>(QString::fromLatin1(timer));
    EXPECT_NE(source, nullptr) << timer;
    if (source == nullptr) {
        return false;
    }
    int seen = 0;
    const QMetaObject::Connection counting =
        QObject::connect(source, &QTimer::timeout, [&seen] { ++seen; });
    const bool done = QTest::qWaitFor([&seen, ticks] { return seen >= ticks; }, timeoutMs);
    QObject::disconnect(counting);
    return done;
}
