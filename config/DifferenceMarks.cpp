#include "DifferenceMarks.h"

#include "PageParameterFields.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>

#include <stdexcept>
#include <string>

namespace climate::config {

using namespace climate::link;

namespace {

// A frame just outside the field, behind it, so the field keeps its own look.
QFrame* makeFrame(QWidget* field) {
    auto* frame = new QFrame(field->parentWidget());
    frame->setObjectName(field->objectName() + QStringLiteral("Differs"));
    frame->setStyleSheet(QStringLiteral("QFrame { border: 2px solid #e0701a; border-radius: 3px; "
                                        "background: transparent; }"));
    frame->setGeometry(field->geometry().adjusted(-2, -2, 2, 2));
    frame->stackUnder(field);
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    return frame;
}

} // namespace

DifferenceMarks::DifferenceMarks(PageParameterFields& fields)
    : m_fields(fields), m_marked(fields.fields().size(), false),
      m_frames(fields.fields().size(), nullptr) {
    for (std::size_t i = 0; i < m_marked.size(); ++i) {
        QWidget* widget = m_fields.widget(i);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            m_changeHandlers.push_back(
                QObject::connect(edit, &QLineEdit::textChanged, edit, [this, i] { refresh(i); }));
        } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
            m_changeHandlers.push_back(QObject::connect(box, &QComboBox::currentIndexChanged, box,
                                                        [this, i] { refresh(i); }));
        } else {
            throw std::logic_error("a parameter field is neither an edit nor a combo box");
        }
    }
}

DifferenceMarks::~DifferenceMarks() {
    // The widgets may outlive the marks: their change handlers must not reach a dead object.
    for (const QMetaObject::Connection& handler : m_changeHandlers) {
        QObject::disconnect(handler);
    }
}

void DifferenceMarks::readAllReceived(std::span<const std::uint16_t> registers,
                                      std::uint32_t address) {
    if (registers.size() != RegisterCount) {
        throw std::logic_error("Read All must give " + std::to_string(RegisterCount) +
                               " registers");
    }
    m_baseline.emplace();
    std::copy(registers.begin(), registers.end(), m_baseline->begin());
    m_baselineAddress = address;
    refreshAll();
}

void DifferenceMarks::registersWritten(std::uint16_t firstRegister,
                                       std::span<const std::uint16_t> words) {
    if (!m_baseline || firstRegister + words.size() > RegisterCount) {
        return;
    }
    std::copy(words.begin(), words.end(), m_baseline->begin() + firstRegister);
    refreshAll();
}

void DifferenceMarks::loaded() {
    m_comparing = true;
    refreshAll();
}

void DifferenceMarks::watch(std::uint32_t address, bool portOpen) {
    if (m_baseline && (address != m_baselineAddress || !portOpen)) {
        dropBaseline();
    }
}

void DifferenceMarks::dropBaseline() {
    m_baseline.reset();
    refreshAll();
}

void DifferenceMarks::refreshAll() {
    for (std::size_t i = 0; i < m_marked.size(); ++i) {
        refresh(i);
    }
}

void DifferenceMarks::refresh(std::size_t field) {
    std::optional<std::uint16_t> controller;
    if (m_comparing && m_baseline) {
        controller = (*m_baseline)[m_fields.fields()[field].reg];
    }
    const bool marked = controller && m_fields.setRuleWord(field) != controller;
    QWidget* widget = m_fields.widget(field);
    if (marked) {
        if (m_frames[field] == nullptr) {
            m_frames[field] = makeFrame(widget);
        }
        m_frames[field]->show();
        // Said to a screen reader and shown on hovering alike.
        const QString said =
            QStringLiteral("controller: ") + m_fields.readAllText(field, *controller);
        widget->setAccessibleDescription(said);
        widget->setToolTip(said);
    } else if (m_marked[field]) {
        m_frames[field]->hide();
        widget->setAccessibleDescription(QString());
        widget->setToolTip(QString());
    }
    m_marked[field] = marked;
}

} // namespace climate::config
