#include "FileCreationMask.h"
#include "FileSizeLimit.h"

#include <stdexcept>

bool FileSizeLimit::available() {
    return false;
}

FileSizeLimit::FileSizeLimit(long /*bytes*/) {
    throw std::logic_error("Windows has no per-process file size limit");
}

FileSizeLimit::~FileSizeLimit() = default;

bool FileCreationMask::available() {
    return false;
}

FileCreationMask::FileCreationMask(unsigned /*mask*/) {}

FileCreationMask::~FileCreationMask() = default;
