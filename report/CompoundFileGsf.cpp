#include "CompoundFile.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <dlfcn.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <system_error>

namespace climate::report {

namespace {

// libgsf, with GObject, GIO and libxml2 behind it, costs a window about 1.7 MB from start-up on,
// though a workbook is written only while the RealTimeData page polls. So it is loaded at the
// first workbook written or read, and its calls are taken from it then.
struct Gsf {
    decltype(&::gsf_init) init = nullptr;
    decltype(&::g_object_unref) objectUnref = nullptr;
    decltype(&::g_error_free) errorFree = nullptr;
    decltype(&::gsf_outfile_msole_new) outfileMsoleNew = nullptr;
    decltype(&::gsf_outfile_new_child) outfileNewChild = nullptr;
    decltype(&::gsf_output_write) outputWrite = nullptr;
    decltype(&::gsf_output_close) outputClose = nullptr;
    decltype(&::gsf_output_is_closed) outputIsClosed = nullptr;
    decltype(&::gsf_output_size) outputSize = nullptr;
    decltype(&::gsf_output_stdio_new_FILE) outputStdioNewFile = nullptr;
    decltype(&::gsf_output_memory_new) outputMemoryNew = nullptr;
    decltype(&::gsf_output_memory_get_bytes) outputMemoryGetBytes = nullptr;
    decltype(&::gsf_input_memory_new) inputMemoryNew = nullptr;
    decltype(&::gsf_infile_msole_new) infileMsoleNew = nullptr;
    decltype(&::gsf_infile_child_by_name) infileChildByName = nullptr;
    decltype(&::gsf_input_size) inputSize = nullptr;
    decltype(&::gsf_input_read) inputRead = nullptr;
    std::string loadError; // empty once every call was found
};

template <typename F> void take(void* library, const char* name, F& call, std::string& error) {
    call = reinterpret_cast<F>(dlsym(library, name));
    if (call == nullptr && error.empty()) {
        error = std::string("libgsf lacks ") + name;
    }
}

// Loaded once, on first use, and kept for the rest of the run; throws when it cannot be loaded.
const Gsf& gsf() {
    static const Gsf loaded = [] {
        Gsf g;
        void* library = dlopen(CLIMATE_GSF_SONAME, RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            const char* why = dlerror();
            g.loadError = std::string("cannot load " CLIMATE_GSF_SONAME ": ") + (why ? why : "");
            return g;
        }
        // GObject's and GLib's calls are found through libgsf's own dependencies.
        take(library, "gsf_init", g.init, g.loadError);
        take(library, "g_object_unref", g.objectUnref, g.loadError);
        take(library, "g_error_free", g.errorFree, g.loadError);
        take(library, "gsf_outfile_msole_new", g.outfileMsoleNew, g.loadError);
        take(library, "gsf_outfile_new_child", g.outfileNewChild, g.loadError);
        take(library, "gsf_output_write", g.outputWrite, g.loadError);
        take(library, "gsf_output_close", g.outputClose, g.loadError);
        take(library, "gsf_output_is_closed", g.outputIsClosed, g.loadError);
        take(library, "gsf_output_size", g.outputSize, g.loadError);
        take(library, "gsf_output_stdio_new_FILE", g.outputStdioNewFile, g.loadError);
        take(library, "gsf_output_memory_new", g.outputMemoryNew, g.loadError);
        take(library, "gsf_output_memory_get_bytes", g.outputMemoryGetBytes, g.loadError);
        take(library, "gsf_input_memory_new", g.inputMemoryNew, g.loadError);
        take(library, "gsf_infile_msole_new", g.infileMsoleNew, g.loadError);
        take(library, "gsf_infile_child_by_name", g.infileChildByName, g.loadError);
        take(library, "gsf_input_size", g.inputSize, g.loadError);
        take(library, "gsf_input_read", g.inputRead, g.loadError);
        if (g.loadError.empty()) {
            g.init();
        }
        return g;
    }();
    if (!loaded.loadError.empty()) {
        throw std::runtime_error(loaded.loadError);
    }
    return loaded;
}

struct GObjectUnref {
    void operator()(gpointer object) const { gsf().objectUnref(object); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// GObject's checked casts would call into GObject; the types are plain C structs that start with
// their base, so an unchecked cast is what the checked one returns.
template <typename To, typename From> To* upcast(From* object) {
    return reinterpret_cast<To*>(object);
}

[[noreturn]] void fail(const std::string& what, int error) {
    throw std::system_error(error ? error : EIO, std::generic_category(), what);
}

// Writes the container into sink and closes it.
void writeContainer(GsfOutput* sink, const std::string& streamName,
                    std::span<const std::span<const std::uint8_t>> pieces) {
    const Gsf& g = gsf();
    GObjectPtr<GsfOutfile> container(g.outfileMsoleNew(sink));
    if (!container) {
        fail("cannot create the compound file", 0);
    }
    GObjectPtr<GsfOutput> stream(g.outfileNewChild(container.get(), streamName.c_str(), FALSE));
    if (!stream) {
        fail("cannot create the stream " + streamName, 0);
    }
    for (const auto piece : pieces) {
        errno = 0;
        if (!piece.empty() && !g.outputWrite(stream.get(), piece.size(), piece.data())) {
            fail("cannot write the stream " + streamName, errno);
        }
    }
    if (!g.outputClose(stream.get())) {
        fail("cannot write the stream " + streamName, errno);
    }
    // Closing the container writes its directory and header, and closes the sink.
    if (!g.outputClose(upcast<GsfOutput>(container.get()))) {
        fail("cannot write the compound file", errno);
    }
    if (!g.outputIsClosed(sink) && !g.outputClose(sink)) {
        fail("cannot write the compound file", errno);
    }
}

} // namespace

void CompoundFile::write(std::FILE* file, const std::string& streamName,
                         std::span<const std::span<const std::uint8_t>> pieces) {
    const Gsf& g = gsf();
    GObjectPtr<GsfOutput> sink(g.outputStdioNewFile("workbook", file, TRUE));
    if (!sink) {
        fail("cannot write the compound file", 0);
    }
    writeContainer(sink.get(), streamName, pieces);
}

std::vector<std::uint8_t> CompoundFile::withStream(const std::string& streamName,
                                                   std::span<const std::uint8_t> data) {
    const Gsf& g = gsf();
    GObjectPtr<GsfOutput> sink(g.outputMemoryNew());
    const std::span<const std::uint8_t> whole[] = {data};
    writeContainer(sink.get(), streamName, whole);
    const auto* bytes = g.outputMemoryGetBytes(upcast<GsfOutputMemory>(sink.get()));
    const auto size = static_cast<std::size_t>(g.outputSize(sink.get()));
    return {bytes, bytes + size};
}

std::vector<std::uint8_t> CompoundFile::readStream(std::span<const std::uint8_t> file,
                                                   const std::string& streamName) {
    const Gsf* loaded = nullptr;
    try {
        loaded = &gsf();
    } catch (const std::runtime_error& error) {
        throw ReadError(ReadFault::Unreadable, error.what());
    }
    const Gsf& g = *loaded;
    GObjectPtr<GsfInput> input(
        g.inputMemoryNew(file.data(), static_cast<gsf_off_t>(file.size()), FALSE));
    if (!input) {
        throw ReadError(ReadFault::NotACompoundFile, "the container cannot be read");
    }
    GError* error = nullptr;
    GObjectPtr<GsfInfile> container(g.infileMsoleNew(input.get(), &error));
    std::string reason = error != nullptr ? error->message : "no compound file header";
    if (error != nullptr) {
        g.errorFree(error);
    }
    if (!container) {
        throw ReadError(ReadFault::NotACompoundFile, reason);
    }
    GObjectPtr<GsfInput> stream(g.infileChildByName(container.get(), streamName.c_str()));
    if (!stream) {
        throw ReadError(ReadFault::NoSuchStream, "no stream " + streamName);
    }
    const gsf_off_t size = g.inputSize(stream.get());
    if (size < 0 || static_cast<std::uint64_t>(size) > file.size()) {
        throw ReadError(ReadFault::ImpossibleSize, "the stream is larger than its container");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!bytes.empty() && g.inputRead(stream.get(), bytes.size(), bytes.data()) == nullptr) {
        throw ReadError(ReadFault::Unreadable, "the stream cannot be read to its end");
    }
    return bytes;
}

} // namespace climate::report
