#pragma once

// Sets the mask of permission bits new files do not get (umask) while it lives. Windows has
// no such bits: there available() is false and the mask does nothing.
class FileCreationMask {
public:
    [[nodiscard]] static bool available();
    explicit FileCreationMask(unsigned mask);
    FileCreationMask(const FileCreationMask&) = delete;
    FileCreationMask& operator=(const FileCreationMask&) = delete;
    ~FileCreationMask();

private:
    unsigned m_previous = 0;
};
