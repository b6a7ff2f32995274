#include "CompoundFile.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <system_error>

namespace climate::report {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

void initialiseGsfOnce() {
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

[[noreturn]] void fail(const std::string& what, int error) {
    throw std::system_error(error ? error : EIO, std::generic_category(), what);
}

// Writes the container into sink and closes it.
void writeContainer(GsfOutput* sink, const std::string& streamName,
                    std::span<const std::span<const std::uint8_t>> pieces) {
    GObjectPtr<GsfOutfile> container(gsf_outfile_msole_new(sink));
    if (!container) {
        fail("cannot create the compound file", 0);
    }
    GObjectPtr<GsfOutput> stream(gsf_outfile_new_child(container.get(), streamName.c_str(), FALSE));
    if (!stream) {
        fail("cannot create the stream " + streamName, 0);
    }
    for (const auto piece : pieces) {
        errno = 0;
        if (!piece.empty() && !gsf_output_write(stream.get(), piece.size(), piece.data())) {
            fail("cannot write the stream " + streamName, errno);
        }
    }
    if (!gsf_output_close(stream.get())) {
        fail("cannot write the stream " + streamName, errno);
    }
    // Closing the container writes its directory and header, and closes the sink.
    if (!gsf_output_close(GSF_OUTPUT(container.get()))) {
        fail("cannot write the compound file", errno);
    }
    if (!gsf_output_is_closed(sink) && !gsf_output_close(sink)) {
        fail("cannot write the compound file", errno);
    }
}

} // namespace

void CompoundFile::write(std::FILE* file, const std::string& streamName,
                         std::span<const std::span<const std::uint8_t>> pieces) {
    initialiseGsfOnce();
    GObjectPtr<GsfOutput> sink(gsf_output_stdio_new_FILE("workbook", file, TRUE));
    if (!sink) {
        fail("cannot write the compound file", 0);
    }
    writeContainer(sink.get(), streamName, pieces);
}

std::vector<std::uint8_t> CompoundFile::withStream(const std::string& streamName,
                                                   std::span<const std::uint8_t> data) {
    initialiseGsfOnce();
    GObjectPtr<GsfOutput> sink(gsf_output_memory_new());
    const std::span<const std::uint8_t> whole[] = {data};
    writeContainer(sink.get(), streamName, whole);
    const auto* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    const auto size = static_cast<std::size_t>(gsf_output_size(sink.get()));
    return {bytes, bytes + size};
}

std::vector<std::uint8_t> CompoundFile::readStream(std::span<const std::uint8_t> file,
                                                   const std::string& streamName) {
    initialiseGsfOnce();
    GObjectPtr<GsfInput> input(
        gsf_input_memory_new(file.data(), static_cast<gsf_off_t>(file.size()), FALSE));
    if (!input) {
        throw ReadError(ReadFault::NotACompoundFile, "the container cannot be read");
    }
    GError* error = nullptr;
    GObjectPtr<GsfInfile> container(gsf_infile_msole_new(input.get(), &error));
    std::string reason = error != nullptr ? error->message : "no compound file header";
    if (error != nullptr) {
        g_error_free(error);
    }
    if (!container) {
        throw ReadError(ReadFault::NotACompoundFile, reason);
    }
    GObjectPtr<GsfInput> stream(gsf_infile_child_by_name(container.get(), streamName.c_str()));
    if (!stream) {
        throw ReadError(ReadFault::NoSuchStream, "no stream " + streamName);
    }
    const gsf_off_t size = gsf_input_size(stream.get());
    if (size < 0 || static_cast<std::uint64_t>(size) > file.size()) {
        throw ReadError(ReadFault::ImpossibleSize, "the stream is larger than its container");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!bytes.empty() && gsf_input_read(stream.get(), bytes.size(), bytes.data()) == nullptr) {
        throw ReadError(ReadFault::Unreadable, "the stream cannot be read to its end");
    }
    return bytes;
}

} // namespace climate::report
