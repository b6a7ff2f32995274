#include "WorkbookStore.h"

#include "AtomicFile.h"
#include "AutomationError.h"
#include "Biff8Writer.h"
#include "CompoundFile.h"
#include "Workbook.h"

#include <system_error>

std::shared_ptr<Workbook> WorkbookStore::find(const std::string& path) const {
    const auto found = m_books.find(path);
    return found == m_books.end() ? nullptr : found->second;
}

void WorkbookStore::save(const std::string& path, const std::shared_ptr<Workbook>& book) {
    try {
        const auto stream = Biff8Writer::workbookStream(*book);
        AtomicFile::write(path, CompoundFile::withStream("Workbook", stream));
    } catch (const std::system_error& error) {
        throw AutomationError("Cannot save the workbook " + path + ": " + error.code().message());
    } catch (const std::exception& error) {
        throw AutomationError("Cannot save the workbook " + path + ": " + error.what());
    }
    m_books[path] = book;
}
