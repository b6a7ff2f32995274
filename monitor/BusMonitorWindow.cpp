#include "BusMonitorWindow.h"

#include "BusLogExport.h"
#include "BusLogTableModel.h"
#include "FrameMeaning.h"
#include "MonitorHost.h"

#include "link/ModbusException.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace climate::monitor {

using namespace climate::link;

namespace {

QPushButton* button(const QString& objectName, const QString& text, const QString& tip,
                    QWidget* parent) {
    auto* push = new QPushButton(text, parent);
    push->setObjectName(objectName);
    push->setAccessibleName(text.endsWith(QChar(0x2026)) ? text.chopped(1) : text);
    push->setToolTip(tip);
    return push;
}

QString milliseconds(double value) {
    return QStringLiteral("%1 ms").arg(value, 0, 'f', 1);
}

} // namespace

BusMonitorWindow::BusMonitorWindow(MonitorHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window), m_host(host) {
    ControllerSearch::Hooks hooks;
    hooks.pauseEngine = [this] { m_host.pauseEngine(); };
    hooks.resumeEngine = [this] { m_host.resumeEngine(); };
    hooks.firmwareText = [this](std::span<const std::uint8_t> bytes) {
        return m_host.firmwareText(bytes);
    };
    m_search = new ControllerSearch(m_host.port(), std::move(hooks), this);
    m_model = new BusLogTableModel(m_log, this);
    buildWindow();

    connect(m_search, &ControllerSearch::progressed, this, [this](int probed, int total) {
        m_progress->setMaximum(total);
        m_progress->setValue(probed);
    });
    connect(m_search, &ControllerSearch::foundChanged, this, &BusMonitorWindow::showFound);
    connect(m_search, &ControllerSearch::finished, this, &BusMonitorWindow::onSearchFinished);

    m_refresh.setInterval(RefreshIntervalMs);
    connect(&m_refresh, &QTimer::timeout, this, &BusMonitorWindow::refresh);
}

BusMonitorWindow::~BusMonitorWindow() {
    m_search->cancel();
    stopWatching();
}

void BusMonitorWindow::buildWindow() {
    setObjectName(QStringLiteral("BusMonitor"));
    setWindowTitle(QStringLiteral("Bus Monitor"));
    setAccessibleName(QStringLiteral("Bus Monitor"));
    resize(980, 640);

    auto* layout = new QVBoxLayout(this);

    auto* buttons = new QHBoxLayout;
    m_pause = button(QStringLiteral("PauseButton"), QStringLiteral("Pause"),
                     QStringLiteral("Stop the list from moving; counting goes on"), this);
    m_pause->setCheckable(true);
    auto* clear = button(QStringLiteral("ClearButton"), QStringLiteral("Clear"),
                         QStringLiteral("Empty the list; the counters stay"), this);
    auto* reset = button(QStringLiteral("ResetButton"), QStringLiteral("Reset"),
                         QStringLiteral("Zero the counters; the list stays"), this);
    auto* save = button(QStringLiteral("SaveButton"), QStringLiteral("Save…"),
                        QStringLiteral("Save the list as CSV or text"), this);
    buttons->addWidget(m_pause);
    buttons->addWidget(clear);
    buttons->addWidget(reset);
    buttons->addWidget(save);
    buttons->addStretch();
    layout->addLayout(buttons);

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("TrafficView"));
    m_view->setAccessibleName(QStringLiteral("Bus traffic"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->setVisible(false);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    QHeaderView* header = m_view->horizontalHeader();
    header->setStretchLastSection(false);
    m_view->setColumnWidth(BusLogTableModel::TimeColumn, 70);
    m_view->setColumnWidth(BusLogTableModel::WallClockColumn, 90);
    m_view->setColumnWidth(BusLogTableModel::DirectionColumn, 44);
    m_view->setColumnWidth(BusLogTableModel::HexColumn, 230);
    header->setSectionResizeMode(BusLogTableModel::MeaningColumn, QHeaderView::Stretch);
    m_view->setColumnWidth(BusLogTableModel::OutcomeColumn, 170);
    layout->addWidget(m_view, 1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLine")); // read out by its text, as a label is
    layout->addWidget(m_status);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(buildCounters(), 3, Qt::AlignTop);
    bottom->addWidget(buildSearch(), 2);
    layout->addLayout(bottom, 0);

    connect(m_pause, &QPushButton::toggled, this, [this](bool paused) {
        m_pause->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
        m_pause->setAccessibleName(m_pause->text());
        refresh();
    });
    connect(clear, &QPushButton::clicked, this, [this] {
        m_log.clear();
        refresh();
    });
    connect(reset, &QPushButton::clicked, this, [this] {
        m_log.reset();
        refresh();
    });
    connect(save, &QPushButton::clicked, this, &BusMonitorWindow::chooseSaveFile);
}

QWidget* BusMonitorWindow::buildCounters() {
    auto* box = new QGroupBox(QStringLiteral("Counters"), this);
    box->setObjectName(QStringLiteral("CountersGroup"));
    box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(2);
    const QStringList names{QStringLiteral("Requests"),     QStringLiteral("Good replies"),
                            QStringLiteral("Time-outs"),    QStringLiteral("Bad CRC"),
                            QStringLiteral("Wrong header"), QStringLiteral("Exception replies"),
                            QStringLiteral("Abandoned"),    QStringLiteral("Bytes purged"),
                            QStringLiteral("Mean reply"),   QStringLiteral("Max reply")};
    for (int i = 0; i < names.size(); ++i) {
        auto* caption = new QLabel(names[i] + QLatin1Char(':'), box);
        auto* value = new QLabel(QStringLiteral("0"), box);
        value->setObjectName(QString(names[i]).remove(QLatin1Char(' ')).remove(QLatin1Char('-')) +
                             QStringLiteral("Count"));
        value->setAccessibleName(names[i] + QStringLiteral(": 0"));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        caption->setBuddy(value);
        const int row = i % 5;
        const int column = (i / 5) * 2;
        grid->addWidget(caption, row, column);
        grid->addWidget(value, row, column + 1);
        m_counterValues[names[i]] = value;
    }
    return box;
}

QWidget* BusMonitorWindow::buildSearch() {
    auto* box = new QGroupBox(QStringLiteral("Find controller"), this);
    box->setObjectName(QStringLiteral("FindGroup"));
    auto* layout = new QVBoxLayout(box);
    auto* row = new QHBoxLayout;
    m_find = button(QStringLiteral("FindButton"), QStringLiteral("Find controller"), {}, box);
    m_cancel = button(QStringLiteral("CancelButton"), QStringLiteral("Cancel"),
                      QStringLiteral("Stop the search; polling resumes"), box);
    m_cancel->setEnabled(false);
    m_progress = new QProgressBar(box);
    m_progress->setObjectName(QStringLiteral("SearchProgress"));
    m_progress->setAccessibleName(QStringLiteral("Search progress"));
    m_progress->setRange(0, ControllerSearch::LastAddress);
    m_progress->setValue(0);
    m_progress->setFormat(QStringLiteral("%v of %m addresses"));
    row->addWidget(m_find);
    row->addWidget(m_cancel);
    row->addWidget(m_progress, 1);
    layout->addLayout(row);

    m_found = new QTreeWidget(box);
    m_found->setObjectName(QStringLiteral("FoundList"));
    m_found->setAccessibleName(QStringLiteral("Controllers found"));
    m_found->setRootIsDecorated(false);
    m_found->setHeaderLabels({QStringLiteral("Address"), QStringLiteral("Firmware version")});
    m_found->setColumnWidth(0, 70);
    m_found->setMaximumHeight(110);
    layout->addWidget(m_found, 1);

    m_use = button(QStringLiteral("UseButton"), QStringLiteral("Use address"),
                   QStringLiteral("Put the address into Comm Address and set it"), box);
    m_use->setEnabled(false);
    layout->addWidget(m_use, 0, Qt::AlignRight);

    connect(m_find, &QPushButton::clicked, this, [this] { findController(); });
    connect(m_cancel, &QPushButton::clicked, m_search, &ControllerSearch::cancel);
    connect(m_use, &QPushButton::clicked, this, &BusMonitorWindow::useSelectedAddress);
    connect(m_found, &QTreeWidget::itemSelectionChanged, this, &BusMonitorWindow::refresh);
    return box;
}

void BusMonitorWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    startWatching();
}

void BusMonitorWindow::closeEvent(QCloseEvent* event) {
    m_search->cancel();
    stopWatching();
    QWidget::closeEvent(event);
}

void BusMonitorWindow::startWatching() {
    if (m_watching) {
        return;
    }
    m_log.restartFrom(m_host.history());
    m_host.observeEngine(&m_log);
    m_watching = true;
    m_refresh.start();
    refresh();
}

void BusMonitorWindow::stopWatching() {
    if (!m_watching) {
        return;
    }
    m_host.observeEngine(nullptr);
    m_watching = false;
    m_refresh.stop();
}

bool BusMonitorWindow::findController(int first, int last) {
    if (!m_host.portOpen() || m_host.commandBusy()) {
        return false;
    }
    m_found->clear();
    if (!m_search->start(first, last)) {
        return false;
    }
    m_log.addNote(
        QStringLiteral("Find controller: addresses %1–%2, the engine paused").arg(first).arg(last));
    refresh();
    return true;
}

void BusMonitorWindow::onSearchFinished(ControllerSearch::End end) {
    const auto found = m_search->found();
    QStringList addresses;
    for (const auto& entry : found) {
        addresses << QString::number(entry.address);
    }
    const QString result =
        addresses.isEmpty() ? QStringLiteral("no controller answered")
                            : QStringLiteral("answered: ") + addresses.join(QStringLiteral(", "));
    const QString how = end == ControllerSearch::End::Completed   ? QStringLiteral("done")
                        : end == ControllerSearch::End::Cancelled ? QStringLiteral("cancelled")
                                                                  : QStringLiteral("port closed");
    m_log.addNote(QStringLiteral("Find controller %1 after %2 addresses, %3")
                      .arg(how)
                      .arg(m_search->probed())
                      .arg(result),
                  addresses.isEmpty() ? BusEntry::Severity::Warning : BusEntry::Severity::Normal);
    showFound();
    refresh();
}

void BusMonitorWindow::showFound() {
    const QVariant selected = m_found->currentItem() != nullptr
                                  ? m_found->currentItem()->data(0, Qt::UserRole)
                                  : QVariant();
    m_found->clear();
    for (const auto& entry : m_search->found()) {
        QString firmware = entry.firmware;
        if (firmware.isEmpty()) {
            firmware = entry.firmwareDone ? QStringLiteral("(not read: %1)").arg(entry.firmwareNote)
                                          : QStringLiteral("(reading…)");
        }
        if (entry.exception) {
            firmware += QStringLiteral(" — answered with exception %1 (%2)")
                            .arg(entry.exceptionCode)
                            .arg(exceptionName(entry.exceptionCode));
        }
        auto* item = new QTreeWidgetItem(m_found, {QString::number(entry.address), firmware});
        item->setData(0, Qt::UserRole, entry.address);
        if (selected.isValid() && selected.toInt() == entry.address) {
            m_found->setCurrentItem(item);
        }
    }
    if (m_found->currentItem() == nullptr && m_found->topLevelItemCount() > 0) {
        m_found->setCurrentItem(m_found->topLevelItem(0));
    }
}

void BusMonitorWindow::useSelectedAddress() {
    const QTreeWidgetItem* item = m_found->currentItem();
    if (item == nullptr || m_search->isRunning()) {
        return;
    }
    const int address = item->data(0, Qt::UserRole).toInt();
    m_host.useAddress(address);
    m_log.addNote(QStringLiteral("Comm Address set to %1").arg(address));
    refresh();
}

void BusMonitorWindow::chooseSaveFile() {
    // Not modal to the tool: the engine and the list go on while the dialog is open.
    auto* dialog = new QFileDialog(this, QStringLiteral("Save bus log"));
    dialog->setObjectName(QStringLiteral("SaveDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilters({QStringLiteral("CSV (*.csv)"), QStringLiteral("Text (*.txt)")});
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& filter) {
        dialog->setDefaultSuffix(filter.startsWith(QStringLiteral("Text")) ? QStringLiteral("txt")
                                                                           : QStringLiteral("csv"));
    });
    connect(dialog, &QFileDialog::fileSelected, this, &BusMonitorWindow::saveTo);
    dialog->open();
}

bool BusMonitorWindow::saveTo(const QString& path) {
    const bool csv =
        QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0;
    QString error;
    const bool saved = saveLog(m_log, path, csv ? ExportFormat::Csv : ExportFormat::Text, &error);
    m_saveStatus =
        saved ? QStringLiteral("Saved %1 entries to %2").arg(m_log.entries().size()).arg(path)
              : QStringLiteral("Could not save %1: %2").arg(path, error);
    refresh();
    return saved;
}

void BusMonitorWindow::refresh() {
    const bool paused = m_pause->isChecked();
    if (m_model->refresh(!paused) > 0 && !paused) {
        m_view->scrollToBottom();
    }

    const BusCounters& c = m_log.counters();
    const auto show = [this](const char* name, const QString& text) {
        QLabel* value = m_counterValues.at(QString::fromLatin1(name));
        value->setText(text);
        // A reader reaching the value hears what it counts and how many.
        value->setAccessibleName(QStringLiteral("%1: %2").arg(QLatin1String(name), text));
    };
    show("Requests", QString::number(c.requests));
    show("Good replies", QString::number(c.goodReplies));
    show("Time-outs", QString::number(c.timeouts));
    show("Bad CRC", QString::number(c.badCrc));
    show("Wrong header", QString::number(c.wrongHeader));
    show("Exception replies", QString::number(c.exceptionReplies));
    show("Abandoned", QString::number(c.abandoned));
    show("Bytes purged", QString::number(c.bytesPurged));
    show("Mean reply", c.replyTimes == 0 ? QStringLiteral("–") : milliseconds(c.replyMsMean()));
    show("Max reply", c.replyTimes == 0 ? QStringLiteral("–") : milliseconds(c.replyMsMax));

    QStringList status;
    status << QStringLiteral("%1 entries").arg(m_log.entries().size());
    if (m_log.dropped() > 0) {
        status << QStringLiteral("%1 older entries dropped").arg(m_log.dropped());
    }
    if (paused) {
        status << QStringLiteral("paused, %1 new entries not shown").arg(m_model->pending());
    }
    if (!m_saveStatus.isEmpty()) {
        status << m_saveStatus;
    }
    m_status->setText(status.join(QStringLiteral(" · ")));

    const bool running = m_search->isRunning();
    QString why;
    if (running) {
        why = QStringLiteral("A search is running");
    } else if (!m_host.portOpen()) {
        why = QStringLiteral("The port is closed: open it on the Configuration page first");
    } else if (m_host.commandBusy()) {
        why = QStringLiteral("A command is in progress: wait until it has ended");
    }
    m_find->setEnabled(why.isEmpty());
    m_find->setToolTip(
        why.isEmpty() ? QStringLiteral("Ask every address 1–255 for input register 0") : why);
    m_cancel->setEnabled(running);
    m_use->setEnabled(!running && m_found->currentItem() != nullptr);
}

} // namespace climate::monitor
