#include "CompoundFileReader.h"

#include <objbase.h>
#include <windows.h>

#include <cstring>

std::optional<std::vector<std::uint8_t>> readCompoundStream(std::span<const std::uint8_t> file,
                                                            const std::string& streamName,
                                                            std::string& error) {
    const auto reason = [&error](const char* what, HRESULT result) {
        error = std::string(what) + " (HRESULT " +
                std::to_string(static_cast<unsigned long>(result)) + ")";
        return std::nullopt;
    };
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, file.size());
    if (!memory) {
        return reason("no memory", E_OUTOFMEMORY);
    }
    std::memcpy(::GlobalLock(memory), file.data(), file.size());
    ::GlobalUnlock(memory);
    ILockBytes* bytes = nullptr;
    if (const HRESULT r = ::CreateILockBytesOnHGlobal(memory, TRUE, &bytes); FAILED(r)) {
        ::GlobalFree(memory);
        return reason("no lock bytes", r);
    }
    IStorage* storage = nullptr;
    const HRESULT opened = ::StgOpenStorageOnILockBytes(
        bytes, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage);
    bytes->Release();
    if (FAILED(opened)) {
        return reason("not a compound file", opened);
    }
    const std::wstring name(streamName.begin(), streamName.end());
    IStream* stream = nullptr;
    const HRESULT found =
        storage->OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
    if (FAILED(found)) {
        storage->Release();
        return reason("no such stream", found);
    }
    // The storage stays open while its stream is read: releasing it invalidates the stream.
    STATSTG status{};
    stream->Stat(&status, STATFLAG_NONAME);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(status.cbSize.QuadPart));
    ULONG read = 0;
    const HRESULT r = stream->Read(data.data(), static_cast<ULONG>(data.size()), &read);
    stream->Release();
    storage->Release();
    if (FAILED(r) || read != data.size()) {
        return reason("the stream cannot be read", r);
    }
    return data;
}
