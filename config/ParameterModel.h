#pragma once

#include "FieldSource.h"
#include "HoldingRegisters.h"
#include "ParameterFile.h"

#include "link/ModbusFrame.h"

#include <QAbstractListModel>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace climate::config {

// What the Configuration page's fields hold, without a page: the one store of the parameters that
// Read All fills, a Set stages from, a parameter file saves and loads, and the page's controls
// show. climate-cli uses it alone; the window maps its controls onto it (ParameterForm).
//
// One row per field, one column. The first rows are the register table's fields, in register
// order (the order of a parameter file); each holds the text its control shows: an edit's text as
// typed, a combo box's item text, "" when no item is selected. Two more rows hold the texts shown
// beside the parameters, in no register: "Comm Address" (the slave the tool talks to, as typed)
// and the firmware version last read. Every field starts empty.
//
// Besides the texts it keeps the registers of the last accepted Read All, as far as accepted
// writes have changed them since: what the controller holds, for the difference marks.
class ParameterModel : public QAbstractListModel, public ParameterFields, public FieldSource {
    Q_OBJECT

public:
    static constexpr std::size_t RegisterCount = link::Requests::ReadAll.quantity;
    using Registers = std::array<std::uint16_t, RegisterCount>;

    explicit ParameterModel(QObject* parent = nullptr);

    // The rows after the register fields.
    [[nodiscard]] static int commAddressRow();
    [[nodiscard]] static int firmwareRow();
    // The row of the control's field; -1 when the register table has no such control.
    [[nodiscard]] static int rowOf(Control control);

    // QAbstractItemModel: Qt::DisplayRole and Qt::EditRole are the field's text.
    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

    // ParameterFields: the register fields, as a file reads and fills them.
    [[nodiscard]] std::span<const FileField> fields() const override;
    [[nodiscard]] QString text(std::size_t index) const override;
    // A combo box takes an item's text or "" (none); any other text selects none, as on the page.
    void setText(std::size_t index, const QString& text) override;
    [[nodiscard]] QStringList items(std::size_t index) const override;

    // FieldSource: what a Set converts.
    [[nodiscard]] std::string editText(int number) const override;
    [[nodiscard]] int selectedItem(int number) const override;

    // The register table's row of field `index`.
    [[nodiscard]] static const HoldingRegister& row(std::size_t index);
    // The word the field's group Set would send for its present text; nullopt when that Set would
    // refuse it.
    [[nodiscard]] std::optional<std::uint16_t> setRuleWord(std::size_t index) const;

    [[nodiscard]] QString commAddress() const { return m_texts.at(rowIndex(commAddressRow())); }
    void setCommAddress(const QString& text) { setRowText(commAddressRow(), text); }
    [[nodiscard]] QString firmwareVersion() const { return m_texts.at(rowIndex(firmwareRow())); }
    void setFirmwareVersion(const QString& text) { setRowText(firmwareRow(), text); }

    // Every register field as Read All shows `registers` (0 ... 46): a combo box whose register
    // names no item selects none.
    void showRegisters(std::span<const std::uint16_t> registers);
    // Read All was posted: the fields it fills again are emptied; the others keep their texts.
    void clearForReadAll();
    // A Read All accepted from slave `address`: the fields show it and it is what the controller
    // holds from now on.
    void readAllReceived(std::span<const std::uint16_t> registers, std::uint32_t address);
    // A write the controller accepted: its registers now hold `words`. Without a Read All nothing
    // is known of the others, so nothing is kept.
    void registersWritten(std::uint16_t firstRegister, std::span<const std::uint16_t> words);
    // The controller's registers are no longer known (another slave, the port closed).
    void forgetReadAll();

    [[nodiscard]] const std::optional<Registers>& lastReadAll() const { return m_lastReadAll; }
    // The slave the last Read All came from; meaningful while lastReadAll() holds registers.
    [[nodiscard]] std::uint32_t lastReadAllAddress() const { return m_lastReadAllAddress; }

signals:
    // lastReadAll() changed: a Read All, an accepted write while one is known, or forgotten.
    void lastReadAllChanged();

private:
    [[nodiscard]] static std::size_t rowIndex(int row) { return static_cast<std::size_t>(row); }
    // The text field `row` can hold for `text` (a combo box: an item or nothing).
    [[nodiscard]] static QString acceptedText(int row, const QString& text);
    void setRowText(int row, const QString& text);
    // Sets the register fields' texts, telling the views once.
    void setFieldTexts(const std::vector<QString>& texts);

    std::vector<QString> m_texts; // by row
    std::optional<Registers> m_lastReadAll;
    std::uint32_t m_lastReadAllAddress = 0;
};

} // namespace climate::config
