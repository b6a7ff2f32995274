#include "DifferenceMarks.h"

#include "ParameterForm.h"
#include "ParameterModel.h"
#include "ParameterTexts.h"

#include <QFrame>
#include <QWidget>

#include <algorithm>
#include <optional>

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

DifferenceMarks::DifferenceMarks(ParameterModel& model, const ParameterForm& form)
    : m_model(model), m_form(form), m_marked(model.fields().size(), false),
      m_frames(model.fields().size(), nullptr) {
    m_changeHandlers.push_back(QObject::connect(
        &m_model, &QAbstractItemModel::dataChanged,
        [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
            const int last = std::min(bottomRight.row(), static_cast<int>(m_marked.size()) - 1);
            for (int row = topLeft.row(); row <= last; ++row) {
                refresh(static_cast<std::size_t>(row));
            }
        }));
    m_changeHandlers.push_back(
        QObject::connect(&m_model, &ParameterModel::lastReadAllChanged, [this] { refreshAll(); }));
}

DifferenceMarks::~DifferenceMarks() {
    // The model may outlive the marks: its signals must not reach a dead object.
    for (const QMetaObject::Connection& handler : m_changeHandlers) {
        QObject::disconnect(handler);
    }
}

bool DifferenceMarks::hasBaseline() const {
    return m_model.lastReadAll().has_value();
}

void DifferenceMarks::loaded() {
    m_comparing = true;
    refreshAll();
}

void DifferenceMarks::watch(std::uint32_t address, bool portOpen) {
    if (m_model.lastReadAll() && (address != m_model.lastReadAllAddress() || !portOpen)) {
        m_model.forgetReadAll();
    }
}

void DifferenceMarks::refreshAll() {
    for (std::size_t i = 0; i < m_marked.size(); ++i) {
        refresh(i);
    }
}

void DifferenceMarks::refresh(std::size_t field) {
    std::optional<std::uint16_t> controller;
    if (m_comparing && m_model.lastReadAll()) {
        controller = (*m_model.lastReadAll())[m_model.fields()[field].reg];
    }
    const bool marked = controller && m_model.setRuleWord(field) != controller;
    QWidget* widget = m_form.widget(field);
    if (marked) {
        if (m_frames[field] == nullptr) {
            m_frames[field] = makeFrame(widget);
        }
        m_frames[field]->show();
        // Said to a screen reader and shown on hovering alike.
        const QString said =
            QStringLiteral("controller: ") + readAllText(ParameterModel::row(field), *controller);
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
