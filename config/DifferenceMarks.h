#pragma once

#include <QMetaObject>

#include <cstddef>
#include <cstdint>
#include <vector>

class QFrame;

namespace climate::config {

class ParameterForm;
class ParameterModel;

// After a Load, marks each parameter field whose value differs from what the controller held at
// the last Read All: a coloured frame around the field and the accessible description
// "controller: <value>". A field differs when the word its group's Set would send is not the word
// the controller holds by the model (its last Read All, and the writes it accepted since), or
// when that Set would refuse its text. Without a Read All of the slave the tool talks to now,
// nothing is marked.
class DifferenceMarks {
public:
    // Follows the model's texts and registers; marks the form's controls.
    DifferenceMarks(ParameterModel& model, const ParameterForm& form);
    ~DifferenceMarks();
    DifferenceMarks(const DifferenceMarks&) = delete;
    DifferenceMarks& operator=(const DifferenceMarks&) = delete;

    // A file filled the fields: compare from now on.
    void loaded();
    // The slave the tool talks to and whether the port is open, checked often: a change of
    // either makes the model forget the controller's registers (they belong to another
    // controller, or may).
    void watch(std::uint32_t address, bool portOpen);

    [[nodiscard]] bool hasBaseline() const;
    [[nodiscard]] bool isMarked(std::size_t field) const { return m_marked.at(field); }

private:
    void refresh(std::size_t field);
    void refreshAll();

    ParameterModel& m_model;
    const ParameterForm& m_form;
    bool m_comparing = false;
    std::vector<bool> m_marked;
    std::vector<QFrame*> m_frames; // created on first use, owned by the fields' parents
    std::vector<QMetaObject::Connection> m_changeHandlers; // on the model
};

} // namespace climate::config
