#include "ConfigurationPageLayout.h"

#include "FormBuilder.h"
#include "Platform.h"
#include "PortComboBox.h"
#include "UpperCaseValidator.h"

#include "config/HoldingRegisters.h"
#include "config/ParameterGroups.h"
#include "config/ParameterTexts.h"
#include "link/SerialPort.h"

#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <stdexcept>

namespace climate::app {

using namespace climate::config;

namespace {

// The captions of the parameter groups and their fields come from the register table.
QString fieldLabel(Control control) {
    const HoldingRegister* row = findControl(control);
    if (row == nullptr) {
        throw std::logic_error(controlName(control) + " is not in the register table");
    }
    return QString::fromUtf8(row->label);
}

QGroupBox* parameterGroupBox(FormBuilder& b, QWidget* page, ConfigCommand command, int x, int y,
                             int width, int height) {
    return b.group(page, QString::fromUtf8(parameterGroup(command).caption), x, y, width, height);
}

// Label, field and unit in one row of a parameter group.
QLineEdit* parameterRow(FormBuilder& b, QGroupBox* group, int n, int x, int y, int labelWidth,
                        int fieldWidth, const QString& unit, ConfigurationView& view) {
    const QString caption = fieldLabel(edit(n));
    QLabel* label = b.label(group, caption, x, y, labelWidth);
    QLineEdit* field =
        b.edit(group, QStringLiteral("Edit%1").arg(n), x + labelWidth, y, fieldWidth);
    if (!unit.isEmpty()) {
        b.label(group, unit, x + labelWidth + fieldWidth + 3, y, 26);
    }
    b.name(field, group->title(), caption, label);
    view.Edit[static_cast<std::size_t>(n)] = field;
    return field;
}

// A field with its caption above it (the Compressor, Calibration and Heat Exchanger groups).
QLineEdit* captionAbove(FormBuilder& b, QGroupBox* group, int n, int x, int y, int width,
                        const QString& unit, ConfigurationView& view) {
    const QString caption = fieldLabel(edit(n));
    QLabel* label = b.label(group, caption, x, y, width + 20, 16);
    QLineEdit* field = b.edit(group, QStringLiteral("Edit%1").arg(n), x, y + 16, width);
    if (!unit.isEmpty()) {
        b.label(group, unit, x + width + 2, y + 16, 18);
    }
    b.name(field, group->title(), caption, label);
    view.Edit[static_cast<std::size_t>(n)] = field;
    return field;
}

QComboBox* comboRow(FormBuilder& b, QGroupBox* group, int n, int x, int y, int labelWidth,
                    int width, ConfigurationView& view) {
    const QString caption = fieldLabel(comboBox(n));
    QLabel* label = b.label(group, caption, x, y, labelWidth);
    QComboBox* box = b.combo(group, QStringLiteral("ComboBox%1").arg(n), x + labelWidth, y, width,
                             fieldItems(*findControl(comboBox(n))));
    b.name(box, group->title(), caption, label);
    view.ComboBox[static_cast<std::size_t>(n)] = box;
    return box;
}

// Buttons keep their captions as names; the group tells the many "Set" buttons apart.
void setButton(QGroupBox* group, QPushButton* button) {
    button->setAccessibleDescription(readableCaption(group->title()));
}

QComboBox* serialCombo(FormBuilder& b, QGroupBox* group, const QString& caption,
                       const QString& name, int y, const QStringList& items, const QString& text) {
    QLabel* label = b.label(group, caption, 8, y, 66);
    auto* box = b.combo(group, name, 76, y, 84, items);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setValidator(new UpperCaseValidator(box));
    box->setCurrentIndex(static_cast<int>(items.indexOf(text)));
    box->setEditText(text);
    box->setEnabled(false);
    b.name(box, group->title(), caption, label);
    return box;
}

// Edits by row: StepRev, MaxRev, MinRev, DeltTemp in the first column, StepTemp, MaxTemp,
// MinTemp, StopTemp in the second.
void fanGroup(FormBuilder& b, QGroupBox* group, const std::array<int, 8>& edits, int fan1Combo,
              int fan2Combo, int pulseEdit, const QString& setName, ConfigurationView& view) {
    const int rows[4] = {20, 45, 70, 95};
    const QString rpm = QStringLiteral("RPM");
    const QString celsius = QStringLiteral("℃");
    parameterRow(b, group, edits[0], 8, rows[0], 60, 54, rpm, view);
    parameterRow(b, group, edits[1], 8, rows[1], 60, 54, rpm, view);
    parameterRow(b, group, edits[2], 8, rows[2], 60, 54, rpm, view);
    parameterRow(b, group, edits[3], 8, rows[3], 60, 54, celsius, view);
    parameterRow(b, group, edits[4], 164, rows[0], 62, 50, celsius, view);
    parameterRow(b, group, edits[5], 164, rows[1], 62, 50, celsius, view);
    parameterRow(b, group, edits[6], 164, rows[2], 62, 50, celsius, view);
    parameterRow(b, group, edits[7], 164, rows[3], 62, 50, celsius, view);
    comboRow(b, group, fan1Combo, 312, rows[0], 62, 110, view);
    comboRow(b, group, fan2Combo, 312, rows[1], 62, 110, view);
    parameterRow(b, group, pulseEdit, 312, rows[2], 62, 110, QString(), view);
    setButton(group, b.button(group, setName, QStringLiteral("Set"), 396, rows[3] - 1, 88));
}

// The controls Tab reaches inside `section` (a group, or a single control), in reading order: row
// by row, left to right. Controls whose vertical centres lie within half a row of the first
// control of a row share that row (a "Set" button sits a pixel higher than its fields).
QList<QWidget*> inReadingOrder(QWidget* section) {
    QList<QWidget*> controls;
    if ((section->focusPolicy() & Qt::TabFocus) != 0) {
        controls << section;
    }
    for (QWidget* child : section->findChildren<QWidget*>()) {
        // Edit fields of combo boxes are reached through their box; drop-down lists are windows
        // of their own.
        if ((child->focusPolicy() & Qt::TabFocus) != 0 && child->window() == section->window() &&
            qobject_cast<QComboBox*>(child->parentWidget()) == nullptr) {
            controls << child;
        }
    }
    const auto centre = [section](const QWidget* w) {
        return w->mapTo(section, w->rect().center());
    };
    std::stable_sort(controls.begin(), controls.end(),
                     [&centre](QWidget* a, QWidget* b) { return centre(a).y() < centre(b).y(); });
    constexpr int HalfRow = 11;
    auto rowStart = controls.begin();
    while (rowStart != controls.end()) {
        const int rowY = centre(*rowStart).y();
        auto rowEnd = std::find_if(rowStart, controls.end(), [&centre, rowY](QWidget* w) {
            return centre(w).y() - rowY > HalfRow;
        });
        std::stable_sort(rowStart, rowEnd, [&centre](QWidget* a, QWidget* b) {
            return centre(a).x() < centre(b).x();
        });
        rowStart = rowEnd;
    }
    return controls;
}

// Tab follows reading order: section after section as given, and row by row inside each.
void chainTabOrder(const QList<QWidget*>& sections) {
    QWidget* previous = nullptr;
    for (QWidget* section : sections) {
        for (QWidget* control : inReadingOrder(section)) {
            if (previous != nullptr) {
                QWidget::setTabOrder(previous, control);
            }
            previous = control;
        }
    }
}

} // namespace

ConfigurationView buildConfigurationPage(QWidget* page, FormBuilder& b,
                                         const QStringList& extraPorts) {
    ConfigurationView view;

    // Left column.
    QGroupBox* serial = b.group(page, QStringLiteral("Serial Port "), 8, 4, 169, 196);
    QLabel* portLabel = b.label(serial, QStringLiteral("Port Num:"), 8, 20, 66);
    auto* rdCOM = new PortComboBox(extraPorts, serial);
    rdCOM->setObjectName(QStringLiteral("rdCOM"));
    rdCOM->setGeometry(76, 20, 84, 22);
    // Where port names are upper case ("com12" is typed for COM12); paths elsewhere are
    // case-sensitive and stay as typed.
    if (platform::portNamesUpperCase()) {
        rdCOM->setValidator(new UpperCaseValidator(rdCOM));
    }
    b.name(rdCOM, serial->title(), portLabel->text(), portLabel);
    QStringList baudRates;
    for (const std::int32_t rate : link::OfferedBaudRates) {
        baudRates << QString::number(rate);
    }
    serialCombo(b, serial, QStringLiteral("BaudRate:"), QStringLiteral("baudrate"), 47, baudRates,
                QString::number(link::DefaultBaudRate));
    serialCombo(b, serial, QStringLiteral("DataBits:"), QStringLiteral("databits"), 74,
                {QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                 QStringLiteral("8")},
                QStringLiteral("8"));
    serialCombo(b, serial, QStringLiteral("Parity  :"), QStringLiteral("parity"), 101,
                {QStringLiteral("NONE"), QStringLiteral("ODD"), QStringLiteral("EVEN")},
                QStringLiteral("NONE"));
    serialCombo(b, serial, QStringLiteral("StopBits:"), QStringLiteral("stopbits"), 128,
                {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")},
                QStringLiteral("1"));
    b.button(serial, QStringLiteral("Button1"), QStringLiteral("Open"), 34, 158, 100, 30);

    QGroupBox* comm = b.group(page, QStringLiteral("Comm Address"), 8, 204, 169, 56);
    QLineEdit* edit17 = b.edit(comm, QStringLiteral("Edit17"), 10, 24, 70, QStringLiteral("1"));
    b.name(edit17, comm->title(), comm->title());
    view.Edit[17] = edit17;
    setButton(comm, b.button(comm, QStringLiteral("Button8"), QStringLiteral("Set"), 88, 23, 70));

    QGroupBox* firmware = b.group(page, QStringLiteral("FW Version"), 8, 264, 169, 84);
    auto* swv = b.edit(firmware, QStringLiteral("SWV"), 8, 22, 153, QString());
    swv->setEnabled(false);
    b.name(swv, firmware->title(), firmware->title());
    view.SWV = swv;
    setButton(firmware,
              b.button(firmware, QStringLiteral("Button5"), QStringLiteral("Read"), 47, 51, 75));

    // "Set" and "Read" act on the controller, "Save…" and "Load…" below them on files; the
    // progress of Set All shows under both rows.
    QGroupBox* all = b.group(page, QStringLiteral("All"), 8, 352, 169, 108);
    setButton(all, b.button(all, QStringLiteral("Button13"), QStringLiteral("Set"), 10, 22, 70));
    setButton(all, b.button(all, QStringLiteral("Button12"), QStringLiteral("Read"), 88, 22, 70));
    setButton(all,
              b.button(all, QStringLiteral("SaveParameters"), QStringLiteral("Save…"), 10, 52, 70));
    setButton(all,
              b.button(all, QStringLiteral("LoadParameters"), QStringLiteral("Load…"), 88, 52, 70));
    QLabel* progress = b.label(all, QString(), 10, 80, 150, 20);
    progress->setObjectName(QStringLiteral("SetAllProgress"));
    view.SetAllProgress = progress;

    QPushButton* stop =
        b.button(page, QStringLiteral("Button2"), QStringLiteral("Stop Systerm"), 8, 470, 169, 54);
    QFont stopFont = stop->font();
    stopFont.setPointSize(15);
    stopFont.setBold(true);
    stop->setFont(stopFont);
    stop->setStyleSheet(QStringLiteral("QPushButton#Button2 { color: #0000ff; }"));

    // Right part: the two fan groups across its full width.
    using enum ConfigCommand;
    QGroupBox* internal = parameterGroupBox(b, page, SetInternalFan, 220, 2, 497, 122);
    fanGroup(b, internal, {12, 5, 13, 7, 14, 27, 9, 6}, 1, 2, 41, QStringLiteral("Set"), view);
    QGroupBox* external = parameterGroupBox(b, page, SetExternalFan, 220, 126, 497, 122);
    fanGroup(b, external, {34, 8, 35, 39, 36, 37, 15, 38}, 3, 4, 40, QStringLiteral("Button10"),
             view);

    QGroupBox* heater = parameterGroupBox(b, page, SetHeater, 220, 250, 300, 98);
    parameterRow(b, heater, 50, 8, 20, 72, 48, QStringLiteral("A"), view);
    parameterRow(b, heater, 51, 8, 45, 72, 48, QStringLiteral("A"), view);
    comboRow(b, heater, 5, 8, 70, 72, 72, view);
    parameterRow(b, heater, 52, 158, 20, 66, 48, QStringLiteral("℃"), view);
    parameterRow(b, heater, 53, 158, 45, 66, 48, QStringLiteral("℃"), view);
    setButton(heater,
              b.button(heater, QStringLiteral("Button15"), QStringLiteral("Set"), 214, 69, 78));

    QGroupBox* tempAlarm = parameterGroupBox(b, page, SetTempAlarm, 526, 250, 191, 98);
    parameterRow(b, tempAlarm, 24, 10, 20, 70, 56, QStringLiteral("℃"), view);
    parameterRow(b, tempAlarm, 25, 10, 45, 70, 56, QStringLiteral("℃"), view);
    setButton(tempAlarm,
              b.button(tempAlarm, QStringLiteral("Button11"), QStringLiteral("Set"), 80, 70, 78));

    QGroupBox* compressor = parameterGroupBox(b, page, SetCompressor, 220, 350, 170, 98);
    captionAbove(b, compressor, 30, 8, 16, 62, QString(), view);
    captionAbove(b, compressor, 29, 90, 16, 62, QString(), view);
    parameterRow(b, compressor, 31, 8, 70, 50, 56, QString(), view);
    setButton(compressor,
              b.button(compressor, QStringLiteral("Button14"), QStringLiteral("Set"), 118, 69, 46));

    QGroupBox* extInput = parameterGroupBox(b, page, SetExtInput, 394, 350, 140, 98);
    comboRow(b, extInput, 6, 8, 20, 48, 76, view);
    comboRow(b, extInput, 7, 8, 45, 48, 76, view);
    setButton(extInput,
              b.button(extInput, QStringLiteral("Button4"), QStringLiteral("Set"), 56, 70, 78));

    QGroupBox* voltage = parameterGroupBox(b, page, SetVoltageAlarm, 538, 350, 179, 98);
    parameterRow(b, voltage, 18, 8, 20, 68, 60, QStringLiteral("V"), view);
    parameterRow(b, voltage, 28, 8, 45, 68, 60, QStringLiteral("V"), view);
    setButton(voltage,
              b.button(voltage, QStringLiteral("Button9"), QStringLiteral("Set"), 76, 70, 78));

    QGroupBox* calibration = parameterGroupBox(b, page, SetCalibration, 220, 450, 300, 60);
    captionAbove(b, calibration, 1, 8, 16, 40, QStringLiteral("℃"), view);
    captionAbove(b, calibration, 2, 68, 16, 40, QStringLiteral("℃"), view);
    captionAbove(b, calibration, 10, 128, 16, 40, QStringLiteral("A"), view);
    captionAbove(b, calibration, 16, 186, 16, 40, QStringLiteral("V"), view);
    setButton(calibration,
              b.button(calibration, QStringLiteral("Button3"), QStringLiteral("Set"), 246, 31, 46));

    QGroupBox* address = parameterGroupBox(b, page, SetAddress, 220, 512, 300, 50);
    QLineEdit* edit4 = b.edit(address, QStringLiteral("Edit4"), 10, 21, 90, QString());
    b.name(edit4, address->title(), address->title());
    view.Edit[4] = edit4;
    setButton(address,
              b.button(address, QStringLiteral("Button7"), QStringLiteral("Set"), 110, 20, 78));

    QGroupBox* exchanger = parameterGroupBox(b, page, SetHeatExchanger, 526, 450, 191, 112);
    captionAbove(b, exchanger, 42, 10, 16, 70, QString(), view);
    captionAbove(b, exchanger, 33, 100, 16, 70, QString(), view);
    parameterRow(b, exchanger, 43, 10, 60, 70, 60, QString(), view);
    setButton(exchanger,
              b.button(exchanger, QStringLiteral("Button18"), QStringLiteral("Set"), 56, 86, 78));

    // The left column top to bottom, then the parameter groups; a group's "Set" comes last in it.
    chainTabOrder({serial, comm, firmware, all, stop, internal, external, heater, tempAlarm,
                   compressor, extInput, voltage, calibration, address, exchanger});
    return view;
}

} // namespace climate::app
