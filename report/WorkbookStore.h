#pragma once

#include "AtomicFile.h"
#include "CommitQueue.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace climate::report {

class Biff8Writer;
class Workbook;

// The workbooks this run has saved, held in memory by path: what the in-process spreadsheet
// application opens and saves. A workbook stays here when it is closed, changes not yet saved
// included, so rows whose save failed are written by the next save that succeeds.
//
// Every save writes the complete workbook to a new file next to the old one; only once that is
// on the disk does it take the workbook's name. A save returns once the new file is written;
// making it durable and renaming it happens on a thread of its own.
class WorkbookStore {
public:
    // `commit`: how a save reaches the disk on the saving thread (AtomicFile::commit unless
    // given).
    explicit WorkbookStore(CommitQueue::Committer commit = {});
    WorkbookStore(const WorkbookStore&) = delete;
    WorkbookStore& operator=(const WorkbookStore&) = delete;
    ~WorkbookStore(); // lets the saves under way reach the disk

    // The workbook saved at path during this run, or nullptr.
    [[nodiscard]] std::shared_ptr<Workbook> find(const std::string& path) const;
    // Saves under a (new) name and keeps the workbook under it; the file is in place when this
    // returns. Throws AutomationError when it cannot be written; a file that was there stays.
    void saveAs(const std::string& path, const std::shared_ptr<Workbook>& book);
    // Saves a workbook kept under path again. Throws AutomationError when the new file cannot be
    // written, or when the previous save of this path could not be completed on the disk (the
    // file then still holds an older save; this save has all the rows and goes on).
    void save(const std::string& path);
    // Waits until the saves under way have reached the disk. False when the last one of path
    // could not be completed (the next save still reports it).
    bool waitForSaves(const std::string& path);
    // Why the last save of path could not be completed on the disk, if it could not; taking it
    // clears it, so the next save does not report it again.
    [[nodiscard]] std::optional<std::string> takeSaveFailure(const std::string& path);
    // Called on the thread that completes the saves as soon as one of them fails, with the
    // workbook's path. Set before the first save.
    void setSaveFailureListener(std::function<void(const std::string& path)> listener);

private:
    struct Kept {
        std::shared_ptr<Workbook> book;
        std::unique_ptr<Biff8Writer> writer; // remembers what it encoded of this workbook
    };
    // The new file of a save of `kept`, written next to path.
    static AtomicFile::Pending prepare(Kept& kept, const std::string& path);

    std::map<std::string, Kept> m_books;
    std::unique_ptr<CommitQueue> m_commits;
};

} // namespace climate::report
