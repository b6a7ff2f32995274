#include "TrendWindow.h"

#include "TrendChart.h"
#include "TrendCsv.h"
#include "TrendHistory.h"

#include "link/SaveWhole.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <exception>

namespace climate::trend {

namespace {

constexpr int FollowIntervalMs = 1000;
constexpr const char* SpanProperty = "spanMs"; // a span button's span

QIcon colourIcon(QRgb colour) {
    QPixmap swatch(14, 14);
    swatch.fill(Qt::transparent);
    QPainter painter(&swatch);
    painter.fillRect(QRect(1, 5, 12, 4), QColor(colour));
    return QIcon(swatch);
}

QString timeText(std::int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

TrendWindow::TrendWindow(TrendHistory& live, QWidget* parent)
    : QWidget(parent, Qt::Window), m_live(live) {
    setObjectName(QStringLiteral("TrendWindow"));
    setWindowTitle(QStringLiteral("Trend"));
    setAccessibleName(QStringLiteral("Trend"));
    buildLayout();
    m_chart->setHistory(&m_live);
    connect(&m_live, &TrendHistory::changed, this, [this] {
        if (!m_showingLog) {
            follow();
            refreshReadout();
            refreshDescription();
        }
    });
    m_followTimer = new QTimer(this);
    m_followTimer->setInterval(FollowIntervalMs);
    connect(m_followTimer, &QTimer::timeout, this, [this] {
        follow();
        refreshDescription();
    });
    m_followTimer->start();
    follow();
    refreshReadout();
    refreshDescription();
    resize(1100, 680);
}

TrendWindow::~TrendWindow() = default;

void TrendWindow::buildLayout() {
    auto* spans = new QHBoxLayout;
    m_spans = new QButtonGroup(this);
    m_spans->setExclusive(true);
    const struct {
        const char* text;
        const char* name;
        std::int64_t ms;
    } spanButtons[] = {{"5 min", "TrendSpan5Min", FiveMinutes},
                       {"30 min", "TrendSpan30Min", ThirtyMinutes},
                       {"2 h", "TrendSpan2Hours", TwoHours},
                       {"Everything", "TrendSpanEverything", Everything}};
    auto* spanLabel = new QLabel(QStringLiteral("Span:"));
    spans->addWidget(spanLabel);
    for (const auto& s : spanButtons) {
        auto* button = new QPushButton(QString::fromUtf8(s.text));
        button->setObjectName(QString::fromLatin1(s.name));
        button->setCheckable(true);
        button->setProperty(SpanProperty, QVariant::fromValue<qint64>(s.ms));
        button->setAccessibleName(s.ms == Everything
                                      ? QStringLiteral("Span: everything")
                                      : QStringLiteral("Span: last %1").arg(button->text()));
        m_spans->addButton(button);
        spans->addWidget(button);
        // Toggled, not clicked: a screen reader's "Toggle" checks the button without a click.
        connect(button, &QPushButton::toggled, this, [this, ms = s.ms](bool on) {
            if (on && m_spanMs != ms) {
                setSpan(ms);
            }
        });
        // A click on the span already chosen follows again after a pause.
        connect(button, &QPushButton::clicked, this, [this, ms = s.ms] { setSpan(ms); });
        if (s.ms == m_spanMs) {
            button->setChecked(true);
        }
    }
    m_pause = new QPushButton(QStringLiteral("Pause"));
    m_pause->setObjectName(QStringLiteral("TrendPause"));
    m_pause->setCheckable(true);
    m_pause->setToolTip(QStringLiteral("Stop following new samples (Space)"));
    connect(m_pause, &QPushButton::toggled, this, [this](bool on) {
        if (on != m_paused) {
            setPaused(on);
        }
    });
    auto* pauseKey = new QShortcut(QKeySequence(Qt::Key_Space), this);
    connect(pauseKey, &QShortcut::activated, this, [this] { setPaused(!m_paused); });
    spans->addSpacing(12);
    spans->addWidget(m_pause);
    spans->addStretch(1);

    const auto action = [&](const QString& text, const char* name, auto handler) {
        auto* button = new QPushButton(text);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, handler);
        spans->addWidget(button);
        return button;
    };
    action(QStringLiteral("Open log…"), "TrendOpenLog", [this] {
        const QString path =
            m_chooseFile(QStringLiteral("Open test log"),
                         QStringLiteral("Test logs (*.xls);;All files (*)"), false);
        if (!path.isEmpty()) {
            openLog(path);
        }
    });
    m_liveButton = action(QStringLiteral("Live"), "TrendLive", [this] { showLive(); });
    m_liveButton->setEnabled(false);
    action(QStringLiteral("Export PNG…"), "TrendExportPng", [this] {
        const QString path = m_chooseFile(QStringLiteral("Export chart"),
                                          QStringLiteral("PNG images (*.png)"), true);
        if (!path.isEmpty()) {
            exportPng(path);
        }
    });
    action(QStringLiteral("Export CSV…"), "TrendExportCsv", [this] {
        const QString path = m_chooseFile(QStringLiteral("Export samples"),
                                          QStringLiteral("CSV files (*.csv)"), true);
        if (!path.isEmpty()) {
            exportCsv(path);
        }
    });

    // Check boxes rather than a list's checkable items: a screen reader's "Toggle" checks a box,
    // while on a list item it only selects it.
    m_channels = new QGroupBox(QStringLiteral("Channels"));
    m_channels->setObjectName(QStringLiteral("TrendChannels"));
    m_channels->setAccessibleName(QStringLiteral("Channels"));
    m_channels->setFixedWidth(230);
    auto* channelColumn = new QVBoxLayout(m_channels);
    m_chart = new TrendChart;
    m_chart->setObjectName(QStringLiteral("TrendChart"));
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        auto* box = new QCheckBox(channelTitle(c));
        box->setObjectName(QStringLiteral("TrendChannel%1").arg(c));
        box->setIcon(colourIcon(channelInfo(c).colour));
        box->setChecked(true);
        channelColumn->addWidget(box);
        m_chart->setChannelShown(c, true);
        connect(box, &QCheckBox::toggled, this, [this, c](bool on) {
            m_chart->setChannelShown(c, on);
            refreshReadout();
            refreshDescription();
        });
    }
    channelColumn->addStretch(1);

    m_source = new QLabel;
    m_source->setObjectName(QStringLiteral("TrendSource"));
    m_readout = new QLabel;
    m_readout->setObjectName(QStringLiteral("TrendCursor"));
    m_readout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_readout->setTextFormat(Qt::PlainText);
    m_readout->setWordWrap(true);
    m_readout->setMinimumHeight(200);
    connect(m_chart, &TrendChart::cursorMoved, this, [this] { refreshReadout(); });
    connect(m_chart, &TrendChart::viewChangedByUser, this, [this] { setPaused(true); });

    auto* side = new QVBoxLayout;
    side->addWidget(m_channels, 1);
    side->addWidget(m_source);
    side->addWidget(m_readout);

    auto* body = new QHBoxLayout;
    body->addLayout(side);
    body->addWidget(m_chart, 1);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(spans);
    whole->addLayout(body, 1);

    m_chooseFile = [this](const QString& caption, const QString& filter, bool save) {
        return save ? QFileDialog::getSaveFileName(this, caption, QString(), filter)
                    : QFileDialog::getOpenFileName(this, caption, QString(), filter);
    };
}

const TrendHistory& TrendWindow::shownHistory() const {
    return m_showingLog ? *m_log : m_live;
}

std::int64_t TrendWindow::now() const {
    return m_clock ? m_clock() : QDateTime::currentMSecsSinceEpoch();
}

void TrendWindow::setSpan(std::int64_t spanMs) {
    m_spanMs = spanMs;
    for (QAbstractButton* button : m_spans->buttons()) {
        const bool mine = button->property(SpanProperty).value<qint64>() == spanMs;
        if (mine && !button->isChecked()) {
            button->setChecked(true);
        }
    }
    setPaused(false);
    refreshDescription();
}

void TrendWindow::setPaused(bool paused) {
    m_paused = paused;
    m_pause->setChecked(paused);
    m_pause->setText(paused ? QStringLiteral("Follow") : QStringLiteral("Pause"));
    m_pause->setToolTip(paused ? QStringLiteral("Follow new samples again (Space)")
                               : QStringLiteral("Stop following new samples (Space)"));
    if (!paused) {
        follow();
    }
}

void TrendWindow::follow() {
    if (m_paused) {
        return;
    }
    const TrendHistory& history = shownHistory();
    const auto rows = history.rows();
    // The live view runs on with the clock, so a silent line shows as a growing gap.
    std::int64_t end = m_showingLog ? (rows.empty() ? now() : rows.back().ms) : now();
    if (!rows.empty()) {
        end = std::max(end, rows.back().ms);
    }
    if (m_spanMs == Everything) {
        const std::int64_t start = rows.empty() ? end - FiveMinutes : rows.front().ms;
        m_chart->setTimeRange(double(start), double(std::max(end, start + 1000)));
    } else {
        m_chart->setTimeRange(double(end - m_spanMs), double(end));
    }
}

QString TrendWindow::spanText() const {
    switch (m_spanMs) {
    case FiveMinutes:
        return QStringLiteral("last 5 min");
    case ThirtyMinutes:
        return QStringLiteral("last 30 min");
    case TwoHours:
        return QStringLiteral("last 2 h");
    default:
        return QStringLiteral("everything");
    }
}

QString TrendWindow::readoutText() const {
    return m_readout->text();
}

void TrendWindow::refreshReadout() {
    const TrendHistory& history = shownHistory();
    const auto cursor = m_chart->cursorMs();
    std::int64_t at = 0;
    QString text;
    if (cursor) {
        at = *cursor;
        text = QStringLiteral("Cursor: %1").arg(timeText(at));
    } else if (!history.empty()) {
        at = history.rows().back().ms;
        text = QStringLiteral("Latest: %1").arg(timeText(at));
    } else {
        text = QStringLiteral("No samples");
    }
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        if (!m_chart->channelShown(c)) {
            continue;
        }
        const auto value = history.empty() ? std::nullopt : history.valueAt(c, at);
        text += QStringLiteral("\n%1: %2")
                    .arg(QString::fromUtf8(channelInfo(c).name),
                         value ? valueText(c, *value) : QStringLiteral("—"));
    }
    if (cursor) {
        // Alarm marks within a few pixels of the cursor, so the marks can be read too.
        const double near =
            4 * (m_chart->toMs() - m_chart->fromMs()) / std::max(1, m_chart->plotRect().width());
        for (const AlarmRise& rise : history.alarmRises()) {
            if (std::abs(double(rise.ms - at)) <= near) {
                text += QStringLiteral("\nAlarm: %1 at %2")
                            .arg(QString::fromUtf8(alarmName(rise.alarm)), timeText(rise.ms));
            }
        }
    }
    m_readout->setText(text);
    m_readout->setAccessibleName(text);
}

void TrendWindow::refreshDescription() {
    const TrendHistory& history = shownHistory();
    QString description = QStringLiteral("Span: %1%2. ")
                              .arg(spanText(), m_paused ? QStringLiteral(", paused") : QString());
    // The latest sample that has values (the history may end in a gap).
    const auto rows = history.rows();
    auto latest = rows.rbegin();
    while (latest != rows.rend() && latest->isGap()) {
        ++latest;
    }
    if (latest == rows.rend()) {
        description += QStringLiteral("No samples.");
    } else {
        QStringList values;
        for (std::size_t c = 0; c < ChannelCount; ++c) {
            if (m_chart->channelShown(c) && latest->has(c)) {
                values << QStringLiteral("%1 %2").arg(QString::fromUtf8(channelInfo(c).name),
                                                      valueText(c, latest->values[c]));
            }
        }
        description += QStringLiteral("Latest values at %1: %2.")
                           .arg(timeText(latest->ms), values.join(QStringLiteral(", ")));
    }
    m_chart->setAccessibleDescription(description);
}

bool TrendWindow::openLog(const QString& path) {
    auto log = std::make_unique<TrendHistory>();
    try {
        if (!m_openLog) {
            throw std::runtime_error("This window cannot read test logs.");
        }
        m_openLog(path, *log);
    } catch (const std::exception& error) {
        showError(QStringLiteral("%1 cannot be opened as a test log.\n%2")
                      .arg(QFileInfo(path).fileName(), QString::fromUtf8(error.what())));
        return false;
    }
    m_log = std::move(log);
    m_showingLog = true;
    m_logName = QFileInfo(path).fileName();
    m_chart->setHistory(m_log.get());
    m_source->setText(
        QStringLiteral("Showing log %1 (%2 samples)").arg(m_logName).arg(m_log->rows().size()));
    m_liveButton->setEnabled(true);
    setSpan(Everything);
    refreshReadout();
    return true;
}

void TrendWindow::showLive() {
    m_showingLog = false;
    m_chart->setHistory(&m_live);
    m_source->setText(QString());
    m_liveButton->setEnabled(false);
    setSpan(FiveMinutes);
    refreshReadout();
}

bool TrendWindow::exportPng(const QString& path) {
    if (!m_chart->grab().save(path, "PNG")) {
        showError(QStringLiteral("The chart could not be written to %1.").arg(path));
        return false;
    }
    return true;
}

bool TrendWindow::exportCsv(const QString& path) {
    if (QString error; !link::saveWhole(path, trendCsv(shownHistory().rows()).toUtf8(), &error)) {
        showError(QStringLiteral("The samples could not be written to %1: %2.").arg(path, error));
        return false;
    }
    return true;
}

void TrendWindow::showError(const QString& text) {
    m_lastError = text;
    auto* box =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Trend"), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

} // namespace climate::trend
