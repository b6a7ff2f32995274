#pragma once

#include "ConfigurationView.h"
#include "DifferenceMarks.h"
#include "FileChooser.h"

#include <QString>

#include <memory>

namespace climate::link {
class CommEngine;
} // namespace climate::link

namespace climate::config {

class ParameterForm;
class ParameterModel;

// The "All" group's files: "Save…" writes the page's parameters (the model its fields show) to a
// parameter file, "Load…" fills them from one and sends nothing. The folder last used is
// remembered.
class ParameterSets {
public:
    ParameterSets(link::CommEngine& engine, const ConfigurationView& view, ParameterModel& model,
                  const ParameterForm& form, std::unique_ptr<FileChooser> chooser);
    ~ParameterSets();
    ParameterSets(const ParameterSets&) = delete;
    ParameterSets& operator=(const ParameterSets&) = delete;

    void saveClick();
    void loadClick();

    void setFileChooser(std::unique_ptr<FileChooser> chooser) { m_chooser = std::move(chooser); }

    // Drops the marks' baseline once the slave address changed or the port was closed with its
    // button (the port counts as open by the button's caption).
    void watchLink();
    [[nodiscard]] const DifferenceMarks& marks() const { return m_marks; }

    // The folder the dialogs open in: the last one used, else the user's documents.
    [[nodiscard]] static QString lastFolder();

private:
    static void rememberFolder(const QString& file);
    void tell(const QString& text, const char* caption, bool error);

    link::CommEngine& m_engine;
    const ConfigurationView m_view;
    ParameterModel& m_model;
    std::unique_ptr<FileChooser> m_chooser;
    DifferenceMarks m_marks;
};

} // namespace climate::config
