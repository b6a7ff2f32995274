#include "PortComboBox.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QSerialPortInfo>

#include <algorithm>

namespace climate::app {

namespace {

// Natural order: ttyS2 before ttyS10. Compared as the name without its trailing number, then
// that number; QCollator's numeric mode would do it, but not in the C locale that services and
// test runners often have.
void sortNaturally(QStringList& names) {
    const auto split = [](const QString& name) {
        qsizetype digits = name.size();
        while (digits > 0 && name.at(digits - 1).isDigit()) {
            --digits;
        }
        return std::pair{name.left(digits), name.mid(digits).toULongLong()};
    };
    std::stable_sort(names.begin(), names.end(),
                     [&split](const QString& a, const QString& b) { return split(a) < split(b); });
}

QString hexId(quint16 id) {
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

} // namespace

PortComboBox::Adapter PortComboBox::Adapter::from(const QSerialPortInfo& info) {
    Adapter adapter{info.systemLocation(), info.portName(), info.description(), info.manufacturer(),
                    info.serialNumber(),   std::nullopt,    std::nullopt};
    if (info.hasVendorIdentifier()) {
        adapter.vendorId = info.vendorIdentifier();
    }
    if (info.hasProductIdentifier()) {
        adapter.productId = info.productIdentifier();
    }
    return adapter;
}

PortComboBox::PortComboBox(QStringList extraPorts, QWidget* parent)
    : QComboBox(parent), m_extraPorts(std::move(extraPorts)) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    refresh();
    setCurrentIndex(-1);
    setEditText(QString::fromLatin1(StartText));
    connect(this, &QComboBox::currentIndexChanged, this, &PortComboBox::showChoiceAsToolTip);
    connect(this, &QComboBox::editTextChanged, this, &PortComboBox::showChoiceAsToolTip);
    showChoiceAsToolTip();
}

QStringList PortComboBox::systemPorts(const QString& deviceFolder) {
#ifdef Q_OS_WIN
    // On Windows the list is the fixed COM1 ... COM9; higher numbers are typed.
    Q_UNUSED(deviceFolder);
    QStringList ports;
    for (int n = 1; n <= 9; ++n) {
        ports << QStringLiteral("COM%1").arg(n);
    }
    return ports;
#else
    const QDir dev(deviceFolder);
    QStringList ports;
    for (const QString& pattern :
         {QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*"), QStringLiteral("ttyS*")}) {
        QStringList found = dev.entryList({pattern}, QDir::System | QDir::Files | QDir::Readable);
        sortNaturally(found);
        for (const QString& name : found) {
            ports << dev.absoluteFilePath(name);
        }
    }
    const QDir byId(dev.filePath(QStringLiteral("serial/by-id")));
    QStringList stable = byId.entryList(QDir::System | QDir::Files | QDir::Readable);
    sortNaturally(stable);
    for (const QString& name : stable) {
        ports << byId.absoluteFilePath(name);
    }
    return ports;
#endif
}

QStringList PortComboBox::describe(const QString& path, const QList<Adapter>& adapters) {
    QStringList lines{path};
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const Adapter& adapter : adapters) {
        const bool same = adapter.systemLocation == path || adapter.portName == path ||
                          (!target.isEmpty() &&
                           (adapter.systemLocation == target ||
                            QFileInfo(adapter.systemLocation).canonicalFilePath() == target));
        if (!same) {
            continue;
        }
        if (adapter.systemLocation != path) {
            lines << adapter.systemLocation;
        }
        for (const QString& fact : {adapter.description, adapter.manufacturer}) {
            if (!fact.isEmpty() && !lines.contains(fact)) {
                lines << fact;
            }
        }
        if (adapter.vendorId || adapter.productId) {
            lines << QStringLiteral("USB %1:%2")
                         .arg(adapter.vendorId ? hexId(*adapter.vendorId) : QStringLiteral("????"),
                              adapter.productId ? hexId(*adapter.productId)
                                                : QStringLiteral("????"));
        }
        if (!adapter.serialNumber.isEmpty()) {
            lines << QStringLiteral("Serial number %1").arg(adapter.serialNumber);
        }
        break;
    }
    return lines;
}

void PortComboBox::refresh() {
    const QString selected = selectedPort();
    const QString typed = currentText();
    QStringList ports = systemPorts();
    for (const QString& extra : m_extraPorts) {
        if (!ports.contains(extra)) {
            ports << extra;
        }
    }
    QStringList listed;
    for (int i = 0; i < count(); ++i) {
        listed << itemText(i);
    }
    if (ports != listed) {
        const QSignalBlocker blocker(this);
        clear();
        addItems(ports);
        setCurrentIndex(selected.isEmpty() ? -1 : static_cast<int>(ports.indexOf(selected)));
        if (currentIndex() < 0) {
            setEditText(typed);
        }
    }
    // Adapters come and go under the same device name, so their descriptions are read anew.
    describeEntries();
    fitListWidth();
    showChoiceAsToolTip();
}

void PortComboBox::describeEntries() {
    QList<Adapter> adapters;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        adapters << Adapter::from(info);
    }
    for (int i = 0; i < count(); ++i) {
        const QStringList lines = describe(itemText(i), adapters);
        setItemData(i, lines.join(QLatin1Char('\n')), Qt::ToolTipRole);
        setItemData(i, lines.join(QStringLiteral(", ")), Qt::AccessibleDescriptionRole);
    }
}

// The drop-down is as wide as its longest entry, so no path is cut; the box keeps its size.
void PortComboBox::fitListWidth() {
    QAbstractItemView* list = view();
    int width = list->sizeHintForColumn(modelColumn());
    width += 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width();
    list->setMinimumWidth(std::max(width, 0));
}

void PortComboBox::showChoiceAsToolTip() {
    const int position = selectedPosition();
    setToolTip(position < 0 ? QStringLiteral("Serial port")
                            : itemData(position, Qt::ToolTipRole).toString());
}

int PortComboBox::selectedPosition() const {
    const int index = currentIndex();
    if (index < 0 || currentText() != itemText(index)) {
        return -1;
    }
    return index;
}

QString PortComboBox::selectedPort() const {
    const int position = selectedPosition();
    return position < 0 ? QString() : itemText(position);
}

QString PortComboBox::portToOpen() const {
    const QString selected = selectedPort();
    if (!selected.isEmpty()) {
        return selected;
    }
    QString typed = currentText().trimmed();
#ifdef Q_OS_WIN
    typed = typed.toUpper();
#endif
    if (typed == QLatin1String(StartText)) {
        return {};
    }
    return typed;
}

void PortComboBox::showPopup() {
    refresh();
    QComboBox::showPopup();
}

} // namespace climate::app
