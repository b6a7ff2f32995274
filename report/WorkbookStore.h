#pragma once

#include <map>
#include <memory>
#include <string>

class Workbook;

// The workbooks this run has saved, held in memory by path: what the in-process spreadsheet
// application opens and saves. A workbook stays here when it is closed, changes not yet saved
// included, so rows whose save failed are written by the next save that succeeds.
class WorkbookStore {
public:
    // The workbook saved at path during this run, or nullptr.
    [[nodiscard]] std::shared_ptr<Workbook> find(const std::string& path) const;
    // Writes the complete workbook to path as an .xls file, replacing the file atomically, and
    // keeps it under that path. Throws AutomationError when the file cannot be written; the
    // file that was there stays as it was.
    void save(const std::string& path, const std::shared_ptr<Workbook>& book);

private:
    std::map<std::string, std::shared_ptr<Workbook>> m_books;
};
