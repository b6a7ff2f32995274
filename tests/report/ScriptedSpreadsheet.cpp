#include "ScriptedSpreadsheet.h"

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace climate::report;

namespace {

std::string columnLetters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    }
    return letters;
}

std::string referenceOf(const SheetRange& range) {
    if (range.wholeColumns()) {
        return columnLetters(range.firstColumn) + ":" + columnLetters(range.lastColumn);
    }
    std::string first = columnLetters(range.firstColumn) + std::to_string(range.firstRow);
    if (range.firstRow == range.lastRow && range.firstColumn == range.lastColumn) {
        return first;
    }
    return first + ":" + columnLetters(range.lastColumn) + std::to_string(range.lastRow);
}

std::string valueText(const AutomationValue& value) {
    std::ostringstream text;
    text.precision(17);
    if (const auto* s = std::get_if<std::string>(&value)) {
        text << "text:" << *s;
    } else if (const auto* i = std::get_if<std::int32_t>(&value)) {
        text << "int32:" << *i;
    } else if (const auto* u = std::get_if<std::uint32_t>(&value)) {
        text << "uint32:" << *u;
    } else {
        text << "double:" << std::get<double>(value);
    }
    return text.str();
}

class ScriptedApplication : public SpreadsheetApplication {
public:
    ScriptedApplication(ScriptedSpreadsheet& script, std::unique_ptr<SpreadsheetApplication> real)
        : m_script(script), m_real(std::move(real)) {}

    void Visible(bool visible) override {
        m_script.record(std::string("Visible=") + (visible ? "true" : "false"));
        if (m_real) {
            m_real->Visible(visible);
        }
    }
    void Quit() override {
        m_script.record("Quit");
        if (m_real) {
            m_real->Quit();
        }
    }
    void addWorkbook(int templateArgument) override {
        m_script.record("Workbooks.Add(" + std::to_string(templateArgument) + ")");
        if (m_real) {
            m_real->addWorkbook(templateArgument);
        }
    }
    void openWorkbook(const std::string& path) override {
        m_script.record("Workbooks.Open(" + path + ")");
        if (m_real) {
            m_real->openWorkbook(path);
        }
        m_path = path;
    }
    void addWorksheet() override {
        m_script.record("Worksheets.Add");
        if (m_real) {
            m_real->addWorksheet();
        }
    }
    void saveActiveWorkbookAs(const std::string& path) override {
        m_script.record("SaveAs(" + path + ")");
        if (m_real) {
            m_real->saveActiveWorkbookAs(path);
        } else {
            std::ofstream(path, std::ios::app);
        }
        m_path = path;
    }
    void saveActiveWorkbook() override {
        m_script.record("Save");
        if (m_real) {
            m_real->saveActiveWorkbook();
        } else {
            std::ofstream(m_path, std::ios::app);
        }
    }
    void closeActiveWorkbook() override {
        m_script.record("Close");
        if (m_real) {
            m_real->closeActiveWorkbook();
        }
    }
    void setRangeProperty(const SheetRange& range, RangeProperty property,
                          const AutomationValue& value) override {
        m_script.record(referenceOf(range) + "." + propertyName(property) + "=" + valueText(value));
        if (m_real) {
            m_real->setRangeProperty(range, property, value);
        }
    }

private:
    ScriptedSpreadsheet& m_script;
    std::unique_ptr<SpreadsheetApplication> m_real;
    std::string m_path;
};

} // namespace

TestLogOptions::ApplicationStarter ScriptedSpreadsheet::starter() {
    return [this]() -> std::unique_ptr<SpreadsheetApplication> {
        record("Start");
        return std::make_unique<ScriptedApplication>(*this, m_backend ? m_backend() : nullptr);
    };
}

void ScriptedSpreadsheet::failOnce(const std::string& call, int occurrence) {
    m_onceCall = call;
    m_onceRemaining = occurrence;
}

void ScriptedSpreadsheet::record(const std::string& call) {
    calls.push_back(call);
    if (call == m_onceCall && m_onceRemaining > 0 && --m_onceRemaining == 0) {
        throw AutomationError("injected failure of " + call);
    }
    if (failWhen && failWhen(call)) {
        throw AutomationError("injected failure of " + call);
    }
}
