#include "ParameterModel.h"

#include "ParameterTexts.h"

#include "link/Invariant.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace climate::config {

using namespace climate::link;

namespace {

int fieldCount() {
    return static_cast<int>(holdingRegisters().size());
}

} // namespace

ParameterModel::ParameterModel(QObject* parent)
    : QAbstractListModel(parent), m_texts(rowIndex(firmwareRow() + 1)) {}

int ParameterModel::commAddressRow() {
    return fieldCount();
}

int ParameterModel::firmwareRow() {
    return fieldCount() + 1;
}

int ParameterModel::rowOf(Control control) {
    const HoldingRegister* found = findControl(control);
    return found == nullptr ? -1 : static_cast<int>(found - holdingRegisters().data());
}

int ParameterModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_texts.size());
}

QVariant ParameterModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    return m_texts[rowIndex(index.row())];
}

bool ParameterModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::EditRole) {
        return false;
    }
    setRowText(index.row(), value.toString());
    return true;
}

Qt::ItemFlags ParameterModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

std::span<const FileField> ParameterModel::fields() const {
    return parameterFileFields();
}

QString ParameterModel::text(std::size_t index) const {
    checkInvariant(index < holdingRegisters().size(), "a parameter field beyond the table");
    return m_texts[index];
}

void ParameterModel::setText(std::size_t index, const QString& text) {
    checkInvariant(index < holdingRegisters().size(), "a parameter field beyond the table");
    setRowText(static_cast<int>(index), text);
}

QStringList ParameterModel::items(std::size_t index) const {
    return fieldItems(row(index));
}

const HoldingRegister& ParameterModel::row(std::size_t index) {
    return holdingRegisters()[index];
}

std::string ParameterModel::editText(int number) const {
    const int found = rowOf(edit(number));
    checkInvariant(found >= 0, "a Set reads an edit the register table lacks");
    return m_texts[rowIndex(found)].toStdString();
}

int ParameterModel::selectedItem(int number) const {
    const int found = rowOf(comboBox(number));
    checkInvariant(found >= 0, "a Set reads a combo box the register table lacks");
    const std::size_t index = rowIndex(found);
    return static_cast<int>(fieldItems(row(index)).indexOf(m_texts[index]));
}

std::optional<std::uint16_t> ParameterModel::setRuleWord(std::size_t index) const {
    return config::setRuleWord(row(index), text(index));
}

QString ParameterModel::acceptedText(int row, const QString& text) {
    if (row >= fieldCount()) {
        return text;
    }
    const HoldingRegister& field = ParameterModel::row(rowIndex(row));
    if (field.control.kind == Control::Kind::Edit || fieldItems(field).contains(text)) {
        return text;
    }
    return {};
}

void ParameterModel::setRowText(int row, const QString& text) {
    checkInvariant(row >= 0 && rowIndex(row) < m_texts.size(), "a parameter row beyond the model");
    QString accepted = acceptedText(row, text);
    QString& held = m_texts[rowIndex(row)];
    if (held == accepted) {
        return;
    }
    held = std::move(accepted);
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void ParameterModel::setFieldTexts(const std::vector<QString>& texts) {
    int first = -1;
    int last = -1;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        QString accepted = acceptedText(static_cast<int>(i), texts[i]);
        if (m_texts[i] != accepted) {
            m_texts[i] = std::move(accepted);
            first = first < 0 ? static_cast<int>(i) : first;
            last = static_cast<int>(i);
        }
    }
    if (first >= 0) {
        emit dataChanged(index(first), index(last), {Qt::DisplayRole, Qt::EditRole});
    }
}

void ParameterModel::showRegisters(std::span<const std::uint16_t> registers) {
    if (registers.size() != RegisterCount) {
        throw std::logic_error("Read All must give " + std::to_string(RegisterCount) +
                               " registers");
    }
    std::vector<QString> texts(holdingRegisters().size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const HoldingRegister& field = row(i);
        const std::uint16_t word = registers[field.reg];
        if (field.control.kind == Control::Kind::Edit) {
            texts[i] = QString::fromStdString(shownText(field, word));
        } else {
            const QStringList choices = fieldItems(field);
            const int item = registerItem(word, static_cast<int>(choices.size()));
            texts[i] = item < 0 ? QString() : choices.at(item);
        }
    }
    setFieldTexts(texts);
}

void ParameterModel::clearForReadAll() {
    std::vector<QString> texts(m_texts.begin(), m_texts.begin() + fieldCount());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (row(i).clearedByReadAll) {
            texts[i].clear();
        }
    }
    setFieldTexts(texts);
}

void ParameterModel::readAllReceived(std::span<const std::uint16_t> registers,
                                     std::uint32_t address) {
    showRegisters(registers);
    m_lastReadAll.emplace();
    std::copy(registers.begin(), registers.end(), m_lastReadAll->begin());
    m_lastReadAllAddress = address;
    emit lastReadAllChanged();
}

void ParameterModel::registersWritten(std::uint16_t firstRegister,
                                      std::span<const std::uint16_t> words) {
    if (!m_lastReadAll || firstRegister + words.size() > RegisterCount) {
        return;
    }
    std::copy(words.begin(), words.end(), m_lastReadAll->begin() + firstRegister);
    emit lastReadAllChanged();
}

void ParameterModel::forgetReadAll() {
    if (!m_lastReadAll) {
        return;
    }
    m_lastReadAll.reset();
    emit lastReadAllChanged();
}

} // namespace climate::config
