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

std::uint32_t word32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// Leaves only the directory entries the tree reaches, and writes every other one as an unused
// entry (zeros, no siblings, no child). Some implementations of structured storage (Wine's)
// leave earlier copies of an entry and half-written ones in the directory; a reader that looks
// at every entry (xlrd does) then stumbles. A container whose unreachable entries are already
// unused, as Windows writes them, stays as it is. Anything that does not parse is left alone.
void clearUnreachableEntries(std::vector<std::uint8_t>& file) {
    constexpr std::uint32_t NoStream = 0xFFFFFFFF;
    constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
    if (file.size() < 512) {
        return;
    }
    const unsigned shift = file[0x1E] | static_cast<unsigned>(file[0x1F]) << 8;
    if (shift < 9 || shift > 12) {
        return;
    }
    const std::size_t sectorSize = std::size_t{1} << shift;
    const auto sectorOffset = [&](std::uint32_t sector) -> std::size_t {
        const std::size_t at = (static_cast<std::size_t>(sector) + 1) * sectorSize;
        return at + sectorSize <= file.size() ? at : 0;
    };
    // The sector chains: the FAT sectors listed in the header, then in the DIFAT sectors.
    std::vector<std::uint32_t> fatSectors;
    for (std::size_t k = 0; k < 109; ++k) {
        const std::uint32_t sector = word32(file, 0x4C + 4 * k);
        if (sector < EndOfChain - 2) { // not free, end of chain, FAT or DIFAT marker
            fatSectors.push_back(sector);
        }
    }
    std::uint32_t difat = word32(file, 0x44);
    for (std::size_t guard = 0; difat < EndOfChain - 2 && guard < file.size() / sectorSize;
         ++guard) {
        const std::size_t at = sectorOffset(difat);
        if (at == 0) {
            return;
        }
        for (std::size_t k = 0; k + 1 < sectorSize / 4; ++k) {
            const std::uint32_t sector = word32(file, at + 4 * k);
            if (sector < EndOfChain - 2) {
                fatSectors.push_back(sector);
            }
        }
        difat = word32(file, at + sectorSize - 4);
    }
    std::vector<std::uint32_t> fat;
    for (const std::uint32_t sector : fatSectors) {
        const std::size_t at = sectorOffset(sector);
        if (at == 0) {
            return;
        }
        for (std::size_t k = 0; k < sectorSize / 4; ++k) {
            fat.push_back(word32(file, at + 4 * k));
        }
    }
    // The directory's entries, in the order of its chain.
    std::vector<std::size_t> entries;
    for (std::uint32_t sector = word32(file, 0x30); sector != EndOfChain;) {
        const std::size_t at = sectorOffset(sector);
        if (at == 0 || sector >= fat.size() || entries.size() > file.size() / 128) {
            return;
        }
        for (std::size_t k = 0; k < sectorSize / 128; ++k) {
            entries.push_back(at + 128 * k);
        }
        sector = fat[sector];
    }
    if (entries.empty()) {
        return;
    }
    // The tree: the root, its child, and every entry's siblings and child.
    std::vector<bool> reached(entries.size(), false);
    std::vector<std::uint32_t> pending{0};
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id == NoStream || id >= entries.size() || reached[id]) {
            continue;
        }
        reached[id] = true;
        for (const std::size_t field : {0x44, 0x48, 0x4C}) {
            pending.push_back(word32(file, entries[id] + field));
        }
    }
    for (std::size_t id = 0; id < entries.size(); ++id) {
        if (reached[id]) {
            continue;
        }
        const auto entry = file.begin() + static_cast<std::ptrdiff_t>(entries[id]);
        std::fill(entry, entry + 128, std::uint8_t{0});
        std::fill(entry + 0x44, entry + 0x50, std::uint8_t{0xFF});
    }
}

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
                name.c_str(), STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                &stream.object);
            FAILED(r)) {
            fail("cannot create the stream " + streamName, r);
        }
        // Its whole size first, so the stream is laid out once in the sectors it ends up in
        // (below 4096 bytes the short-sector area, else its own sectors), not moved on the way.
        ULARGE_INTEGER size{};
        for (const auto piece : pieces) {
            size.QuadPart += piece.size();
        }
        if (const HRESULT r = stream.object->SetSize(size); FAILED(r)) {
            fail("cannot write the stream " + streamName, r);
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
    buildContainer(streamName, pieces, [file](std::span<const std::uint8_t> built) {
        std::vector<std::uint8_t> container(built.begin(), built.end());
        clearUnreachableEntries(container);
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
    clearUnreachableEntries(result);
    return result;
}

std::vector<std::uint8_t> CompoundFile::readStream(std::span<const std::uint8_t> file,
                                                   const std::string& streamName) {
    const auto refuse = [](ReadFault fault, const char* what, HRESULT result) {
        return ReadError(fault, std::string(what) + ": " +
                                    std::system_category().message(static_cast<int>(result)));
    };
    // A copy the storage owns; the caller's bytes stay untouched.
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, file.size());
    if (!memory) {
        throw refuse(ReadFault::NotACompoundFile, "no memory for the container", E_OUTOFMEMORY);
    }
    if (!file.empty()) {
        std::copy(file.begin(), file.end(), static_cast<std::uint8_t*>(::GlobalLock(memory)));
        ::GlobalUnlock(memory);
    }
    Released<ILockBytes> bytes;
    if (const HRESULT r = ::CreateILockBytesOnHGlobal(memory, TRUE, &bytes.object); FAILED(r)) {
        ::GlobalFree(memory);
        throw refuse(ReadFault::NotACompoundFile, "no memory for the container", r);
    }
    Released<IStorage> storage;
    if (const HRESULT r = ::StgOpenStorageOnILockBytes(
            bytes.object, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage.object);
        FAILED(r)) {
        throw refuse(ReadFault::NotACompoundFile, "not a compound file", r);
    }
    const std::wstring name(streamName.begin(), streamName.end()); // stream names are ASCII
    // Declared after the storage, so released before it: the stream lives inside it.
    Released<IStream> stream;
    if (const HRESULT r = storage.object->OpenStream(
            name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream.object);
        FAILED(r)) {
        throw refuse(ReadFault::NoSuchStream, "no such stream", r);
    }
    STATSTG status{};
    if (const HRESULT r = stream.object->Stat(&status, STATFLAG_NONAME); FAILED(r)) {
        throw refuse(ReadFault::Unreadable, "the stream cannot be read", r);
    }
    if (status.cbSize.QuadPart > file.size()) {
        throw ReadError(ReadFault::ImpossibleSize, "the stream is larger than its container");
    }
    std::vector<std::uint8_t> data(static_cast<std::size_t>(status.cbSize.QuadPart));
    std::size_t done = 0;
    while (done < data.size()) {
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(data.size() - done, 1u << 30));
        ULONG read = 0;
        const HRESULT r = stream.object->Read(data.data() + done, chunk, &read);
        if (FAILED(r) || read == 0) {
            throw refuse(ReadFault::Unreadable, "the stream cannot be read to its end",
                         FAILED(r) ? r : STG_E_READFAULT);
        }
        done += read;
    }
    return data;
}

} // namespace climate::report
