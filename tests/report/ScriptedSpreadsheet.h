#pragma once

#include "report/SpreadsheetApplication.h"
#include "report/TestLog.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A stand-in for the spreadsheet application that writes down every automation call the log
// makes and fails the ones a test picks. Calls are written as
//     Start  Visible=false  Workbooks.Add(1)  Workbooks.Open(<path>)  Worksheets.Add
//     SaveAs(<path>)  Save  Close  Quit  B1.Value=text:Test Data  A:A.ColumnWidth=double:6
//     A4:K4.LineStyle=int32:1
// With a real application behind it, calls that do not fail go on to it; without one, SaveAs
// and Save just touch the file, so the log finds it at the next record.
class ScriptedSpreadsheet {
public:
    using Backend = std::function<std::unique_ptr<climate::report::SpreadsheetApplication>()>;

    explicit ScriptedSpreadsheet(Backend backend = {}) : m_backend(std::move(backend)) {}

    // The starter to hand to the log.
    [[nodiscard]] climate::report::TestLogOptions::ApplicationStarter starter();

    // Fails every call for which the predicate holds (with an AutomationError).
    std::function<bool(const std::string& call)> failWhen;
    // Fails only the n-th (1-based) call equal to `call` from now on.
    void failOnce(const std::string& call, int occurrence = 1);

    std::vector<std::string> calls;

    // Writes the call down, then throws if the test wants it to fail.
    void record(const std::string& call);

private:
    Backend m_backend;
    std::string m_onceCall;
    int m_onceRemaining = 0;
};
