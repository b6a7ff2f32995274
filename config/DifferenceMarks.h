#pragma once

#include "link/ModbusFrame.h"

#include <QMetaObject>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class QFrame;

namespace climate::config {

class PageParameterFields;

// After a Load, marks each parameter field whose value differs from what the controller held at
// the last Read All: a coloured frame around the field and the accessible description
// "controller: <value>". A field differs when the word its group's Set would send is not the word
// Read All received, or when that Set would refuse its text. Without a Read All of the slave the
// tool talks to now, nothing is marked.
class DifferenceMarks {
public:
    static constexpr std::size_t RegisterCount = link::Requests::ReadAll.quantity;

    // Watches every field for changes (the page's fields report none otherwise).
    explicit DifferenceMarks(PageParameterFields& fields);
    ~DifferenceMarks();
    DifferenceMarks(const DifferenceMarks&) = delete;
    DifferenceMarks& operator=(const DifferenceMarks&) = delete;

    // A Read All accepted from slave `address`: the new baseline.
    void readAllReceived(std::span<const std::uint16_t> registers, std::uint32_t address);
    // A write the controller accepted: its registers now hold `words`.
    void registersWritten(std::uint16_t firstRegister, std::span<const std::uint16_t> words);
    // A file filled the fields: compare from now on.
    void loaded();
    // The slave the tool talks to and whether the port is open, checked often: a change of
    // either drops the baseline (the values belong to another controller, or may).
    void watch(std::uint32_t address, bool portOpen);

    [[nodiscard]] bool hasBaseline() const { return m_baseline.has_value(); }
    [[nodiscard]] bool isMarked(std::size_t field) const { return m_marked.at(field); }

private:
    void refresh(std::size_t field);
    void refreshAll();
    void dropBaseline();

    PageParameterFields& m_fields;
    std::optional<std::array<std::uint16_t, RegisterCount>> m_baseline;
    std::uint32_t m_baselineAddress = 0;
    bool m_comparing = false;
    std::vector<bool> m_marked;
    std::vector<QFrame*> m_frames; // created on first use, owned by the fields' parents
    std::vector<QMetaObject::Connection> m_changeHandlers;
};

} // namespace climate::config
