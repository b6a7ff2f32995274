#pragma once

// Limits the size any file of this process may grow to, so that a write fails part-way as on a
// full disk (root ignores file permissions, but not this limit). Lifted when it goes.
// Windows has no such limit (FileSizeLimitWin.cpp): there available() is false and the
// constructor throws, so full-disk cases are skipped, never passed without a full disk.
class FileSizeLimit {
public:
    [[nodiscard]] static bool available();
    explicit FileSizeLimit(long bytes);
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit();

private:
    unsigned long m_previous = 0;
};
