#include "TemporaryFolder.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <stdexcept>

TemporaryFolder::TemporaryFolder() {
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/report-test-XXXXXX"));
    if (!folder.isValid()) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    folder.setAutoRemove(false); // removed with everything in it by the destructor
    m_path = std::filesystem::path(folder.path().toStdWString());
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

std::vector<std::string> TemporaryFolder::entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}
