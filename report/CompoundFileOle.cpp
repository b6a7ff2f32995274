#include "CompoundFile.h"

#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <system_error>

namespace climate::report {

namespace {

[[noreturn]] void fail(const std::string& what, HRESULT result) {
    // The system's own text for the failure, as the POSIX build gives strerror's.
    throw std::system_error(static_cast<int>(result), std::system_category(), what);
}

template <typename T> struct Released {
    T* object = nullptr;
    Released() = default;
    Released(const Released&) = delete;
    Released& operator=(const Released&) = delete;
    ~Released() {
        if (object) {
            object->Release();
        }
    }
};

// Builds the container in memory with the system's structured storage and calls `take` with its
// bytes.
template <typename Take>
void buildContainer(const std::string& streamName,
                    std::span<const std::span<const std::uint8_t>> pieces, Take take) {
    Released<ILockBytes> bytes;
    if (const HRESULT r = ::CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes.object); FAILED(r)) {
        fail("cannot create the compound file", r);
    }
    Released<IStorage> storage;
    if (const HRESULT r = ::StgCreateDocfileOnILockBytes(
            bytes.object, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage.object);
        FAILED(r)) {
        fail("cannot create the compound file", r);
    }
    const std::wstring name(streamName.begin(), streamName.end()); // stream names are ASCII
    {
        Released<IStream> stream;
        if (const HRESULT r = storage.object->CreateStream(
                name.c_str(), STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream.object);
            FAILED(r)) {
            fail("cannot create the stream " + streamName, r);
        }
        for (const auto piece : pieces) {
            std::size_t done = 0;
            while (done < piece.size()) {
                const ULONG chunk =
                    static_cast<ULONG>(std::min<std::size_t>(piece.size() - done, 1u << 30));
                ULONG written = 0;
                const HRESULT r = stream.object->Write(piece.data() + done, chunk, &written);
                if (FAILED(r) || written != chunk) {
                    fail("cannot write the stream " + streamName, FAILED(r) ? r : STG_E_MEDIUMFULL);
                }
                done += chunk;
            }
        }
    }
    if (const HRESULT r = storage.object->Commit(STGC_DEFAULT); FAILED(r)) {
        fail("cannot write the compound file", r);
    }
    STATSTG status{};
    if (const HRESULT r = bytes.object->Stat(&status, STATFLAG_NONAME); FAILED(r)) {
        fail("cannot write the compound file", r);
    }
    HGLOBAL memory = nullptr;
    if (const HRESULT r = ::GetHGlobalFromILockBytes(bytes.object, &memory); FAILED(r)) {
        fail("cannot write the compound file", r);
    }
    const auto* data = static_cast<const std::uint8_t*>(::GlobalLock(memory));
    if (!data) {
        fail("cannot write the compound file", HRESULT_FROM_WIN32(::GetLastError()));
    }
    try {
        take(std::span<const std::uint8_t>(data, static_cast<std::size_t>(status.cbSize.QuadPart)));
    } catch (...) {
        ::GlobalUnlock(memory);
        throw;
    }
    ::GlobalUnlock(memory);
}

} // namespace

void CompoundFile::write(std::FILE* file, const std::string& streamName,
                         std::span<const std::span<const std::uint8_t>> pieces) {
    buildContainer(streamName, pieces, [file](std::span<const std::uint8_t> container) {
        errno = 0;
        if (std::fwrite(container.data(), 1, container.size(), file) != container.size()) {
            throw std::system_error(errno ? errno : EIO, std::generic_category(),
                                    "cannot write the compound file");
        }
    });
}

std::vector<std::uint8_t> CompoundFile::withStream(const std::string& streamName,
                                                   std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> result;
    const std::span<const std::uint8_t> whole[] = {data};
    buildContainer(streamName, whole, [&result](std::span<const std::uint8_t> container) {
        result.assign(container.begin(), container.end());
    });
    return result;
}

} // namespace climate::report
