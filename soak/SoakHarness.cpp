// climate-soak: runs the window offscreen on the RealTimeData page against a simulator that
// scripts/soak.sh starts and troubles with faults. Every 100 ms it looks at the link bar and at
// what the page shows; every minute it prints the resident memory and the counts. When the stop
// file appears (the faults have been switched off and the simulator's fan 1 speed moved on by
// one) it waits for the link to come back with that new value.
//
// Exit status: 0 when the link came back within the recovery time and the memory stayed within
// bounds; 1 otherwise; 2 for bad arguments or a port that does not open.
#include "app/PortComboBox.h"
#include "app/TForm1.h"
#include "realtime/RealTimeMonitor.h"
#include "widgets/LedBar.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

using namespace climate::app;
using namespace climate::realtime;
using namespace climate::widgets;

namespace {

constexpr int SampleMs = 100;
constexpr int MinuteMs = 60000;
constexpr int SettleMinutes = 5;        // memory grows while caches fill; judged after this
constexpr long RssGrowthLimitKb = 2048; // beyond the level at the end of the settling minutes
constexpr qint64 RecoveryLimitMs = 10000;
const QColor LinkAliveColor(0, 255, 64);

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

struct Counts {
    long aliveSamples = 0;
    long lostSamples = 0;
    long losses = 0;     // link bar turned red
    long recoveries = 0; // link bar turned green again
    long updates = 0;    // samples in which the live values had changed
    long pinnedShown = 0;
    long clearedShown = 0;
    long wrongShown = 0; // neither the simulator's value nor the cleared 0: a corrupted reply taken
};

class Soak {
public:
    Soak(TForm1& form, QString stopFile, quint32 fan1)
        : m_form(form), m_stopFile(std::move(stopFile)), m_fan1(fan1) {
        m_bar = form.findChild<LedBar*>(QStringLiteral("iLedBar1"));
        m_edit19 = form.findChild<QLineEdit*>(QStringLiteral("Edit19"));
    }

    [[nodiscard]] bool ready() const { return m_bar && m_edit19; }

    void start() {
        m_clock.start();
        QObject::connect(&m_sampler, &QTimer::timeout, [this] { sample(); });
        m_sampler.start(SampleMs);
    }

    [[nodiscard]] int exitCode() const { return m_failed ? 1 : 0; }

private:
    void sample() {
        const bool alive = m_bar->sectionColor1() == LinkAliveColor;
        const LiveData live = m_form.realTime().liveData();
        const QString shown = m_edit19->text();
        if (m_stopAt < 0) {
            Counts& c = m_counts;
            ++(alive ? c.aliveSamples : c.lostSamples);
            if (alive != m_wasAlive)
                ++(alive ? c.recoveries : c.losses);
            if (!(live == m_lastLive))
                ++c.updates;
            // The script moves the value on by one just before the stop file appears.
            if (shown == QString::number(m_fan1) || shown == QString::number(m_fan1 + 1))
                ++c.pinnedShown;
            else if (shown == QStringLiteral("0") || shown.isEmpty())
                ++c.clearedShown;
            else
                ++c.wrongShown;
        }
        m_wasAlive = alive;
        m_lastLive = live;

        if (m_clock.elapsed() >= (m_minute + 1) * qint64{MinuteMs})
            minuteReport();

        if (m_stopAt < 0 && QFileInfo::exists(m_stopFile)) {
            m_stopAt = m_clock.elapsed();
            std::printf("faults stopped after %.1f min; waiting for fan 1 = %u on a live link\n",
                        static_cast<double>(m_stopAt) / 60000.0, m_fan1 + 1);
        }
        if (m_stopAt >= 0) {
            const qint64 waited = m_clock.elapsed() - m_stopAt;
            if (alive && shown == QString::number(m_fan1 + 1)) {
                std::printf("recovered %.1f s after the faults stopped\n", static_cast<double>(waited) / 1000.0);
                finish();
            } else if (waited > RecoveryLimitMs) {
                std::printf("FAIL: link not back within %lld s after the faults stopped "
                            "(bar %s, Edit19 '%s')\n",
                            RecoveryLimitMs / 1000, alive ? "green" : "red", qPrintable(shown));
                m_failed = true;
                finish();
            }
        }
    }

    void minuteReport() {
        ++m_minute;
        const long rss = residentKb();
        if (m_minute == SettleMinutes)
            m_settledRss = rss;
        if (m_settledRss > 0 && rss - m_settledRss > m_worstGrowth)
            m_worstGrowth = rss - m_settledRss;
        const Counts& c = m_counts;
        const long samples = c.aliveSamples + c.lostSamples;
        std::printf("minute %d: rss %ld kB, link alive %.1f%% (losses %ld, recoveries %ld), "
                    "value updates %ld, Edit19 pinned %ld / cleared %ld / wrong %ld, "
                    "open boxes %d\n",
                    m_minute, rss, samples ? 100.0 * static_cast<double>(c.aliveSamples) / static_cast<double>(samples) : 0.0, c.losses,
                    c.recoveries, c.updates, c.pinnedShown, c.clearedShown, c.wrongShown,
                    openBoxes());
        std::fflush(stdout);
    }

    static int openBoxes() {
        int open = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMessageBox*>(widget) && widget->isVisible())
                ++open;
        }
        return open;
    }

    void finish() {
        m_sampler.stop();
        const Counts& c = m_counts;
        std::printf("total: %d min, rss %ld kB, growth after minute %d: %s, losses %ld, "
                    "recoveries %ld, value updates %ld, wrong values shown %ld\n",
                    m_minute, residentKb(), SettleMinutes,
                    m_settledRss > 0 ? (std::to_string(m_worstGrowth) + " kB").c_str()
                                     : "not judged (run shorter than the settling time)",
                    c.losses, c.recoveries, c.updates, c.wrongShown);
        if (m_worstGrowth > RssGrowthLimitKb) {
            std::printf("FAIL: resident memory grew by %ld kB after minute %d\n", m_worstGrowth,
                        SettleMinutes);
            m_failed = true;
        }
        if (c.wrongShown > 0) {
            std::printf("FAIL: the page showed a value the simulator never held\n");
            m_failed = true;
        }
        std::fflush(stdout);
        QApplication::exit(exitCode());
    }

    TForm1& m_form;
    QString m_stopFile;
    quint32 m_fan1;
    LedBar* m_bar = nullptr;
    QLineEdit* m_edit19 = nullptr;
    QTimer m_sampler;
    QElapsedTimer m_clock;
    Counts m_counts;
    LiveData m_lastLive;
    bool m_wasAlive = true; // the bar starts green
    int m_minute = 0;
    long m_settledRss = -1;
    long m_worstGrowth = 0;
    qint64 m_stopAt = -1;
    bool m_failed = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Soak harness for the RealTimeData page"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("link"), QStringLiteral("Serial device of the simulator."),
                      QStringLiteral("path")});
    parser.addOption({QStringLiteral("stop-file"),
                      QStringLiteral("Appears when the faults have stopped."),
                      QStringLiteral("path")});
    parser.addOption({QStringLiteral("fan1"),
                      QStringLiteral("Fan 1 speed the simulator holds (input register 0)."),
                      QStringLiteral("rpm")});
    parser.process(application);
    const QString link = parser.value(QStringLiteral("link"));
    const QString stopFile = parser.value(QStringLiteral("stop-file"));
    bool numeric = false;
    const quint32 fan1 = parser.value(QStringLiteral("fan1")).toUInt(&numeric);
    if (link.isEmpty() || stopFile.isEmpty() || !numeric) {
        std::fprintf(stderr, "usage: climate-soak --link PATH --stop-file PATH --fan1 RPM\n");
        return 2;
    }

    TForm1 form(QStringList{link});
    form.show();
    auto* ports = form.findChild<PortComboBox*>(QStringLiteral("rdCOM"));
    auto* button1 = form.findChild<QPushButton*>(QStringLiteral("Button1"));
    if (!ports || !button1 || ports->findText(link) < 0) {
        std::fprintf(stderr, "the port list has no %s\n", qPrintable(link));
        return 2;
    }
    ports->setCurrentIndex(ports->findText(link));
    button1->click();
    if (button1->text() != QStringLiteral("Close")) {
        std::fprintf(stderr, "the port %s did not open\n", qPrintable(link));
        return 2;
    }
    form.findChild<QTabWidget*>(QStringLiteral("Data"))->setCurrentIndex(1);

    Soak soak(form, stopFile, fan1);
    if (!soak.ready()) {
        std::fprintf(stderr, "the window lacks iLedBar1 or Edit19\n");
        return 2;
    }
    soak.start();
    return QApplication::exec();
}
