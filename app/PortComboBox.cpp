#include "PortComboBox.h"

#include "Platform.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QSerialPortInfo>

#include <algorithm>

namespace climate::app {

namespace {

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
    return platform::serialPorts(deviceFolder);
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
    if (platform::portNamesUpperCase()) {
        // A listed entry typed in any case is that entry ("/tmp/sim/link", rtu+tcp://host:1).
        for (int i = 0; i < count(); ++i) {
            if (itemText(i).compare(typed, Qt::CaseInsensitive) == 0) {
                return itemText(i);
            }
        }
        typed = typed.toUpper();
    }
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
