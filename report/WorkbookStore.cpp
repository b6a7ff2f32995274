#include "WorkbookStore.h"

#include "AtomicFile.h"
#include "AutomationError.h"
#include "Biff8Writer.h"
#include "CommitQueue.h"
#include "CompoundFile.h"
#include "Workbook.h"

#include <system_error>

namespace climate::report {

namespace {

[[noreturn]] void cannotSave(const std::string& path, const std::string& reason) {
    throw AutomationError("Cannot save the workbook " + path + ": " + reason);
}

} // namespace

WorkbookStore::WorkbookStore(CommitQueue::Committer commit)
    : m_commits(std::make_unique<CommitQueue>(std::move(commit))) {}

WorkbookStore::~WorkbookStore() = default;

std::shared_ptr<Workbook> WorkbookStore::find(const std::string& path) const {
    const auto found = m_books.find(path);
    return found == m_books.end() ? nullptr : found->second.book;
}

AtomicFile::Pending WorkbookStore::prepare(Kept& kept, const std::string& path) {
    try {
        return AtomicFile::prepare(path, [&](std::FILE* file) {
            CompoundFile::write(file, "Workbook", kept.writer->workbookPieces(*kept.book));
        });
    } catch (const std::system_error& error) {
        cannotSave(path, error.code().message());
    } catch (const std::exception& error) {
        cannotSave(path, error.what());
    }
}

void WorkbookStore::saveAs(const std::string& path, const std::shared_ptr<Workbook>& book) {
    m_commits->waitUntilDone(); // an older save of this path must not land after this one
    Kept kept{book, std::make_unique<Biff8Writer>()};
    if (const auto found = m_books.find(path); found != m_books.end() && found->second.book == book)
        kept.writer = std::move(found->second.writer);
    AtomicFile::Pending pending = prepare(kept, path);
    try {
        AtomicFile::commit(pending);
    } catch (const std::system_error& error) {
        cannotSave(path, error.code().message());
    }
    (void)m_commits->takeFailure(path); // superseded by this save
    m_books[path] = std::move(kept);
}

void WorkbookStore::save(const std::string& path) {
    const auto found = m_books.find(path);
    if (found == m_books.end())
        cannotSave(path, "it was never saved under this name");
    const auto earlier = m_commits->takeFailure(path);
    m_commits->push(prepare(found->second, path));
    if (earlier)
        cannotSave(path, *earlier + " (the previous save; this one has every row)");
}

std::optional<std::string> WorkbookStore::takeSaveFailure(const std::string& path) {
    return m_commits->takeFailure(path);
}

void WorkbookStore::setSaveFailureListener(std::function<void(const std::string& path)> listener) {
    m_commits->setFailureListener(
        [listener = std::move(listener)](const std::filesystem::path& path) {
            listener(path.string());
        });
}

bool WorkbookStore::waitForSaves(const std::string& path) {
    m_commits->waitUntilDone();
    return !m_commits->failed(path);
}

} // namespace climate::report
