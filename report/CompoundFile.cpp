#include "CompoundFile.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <memory>
#include <mutex>
#include <stdexcept>

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

void initialiseGsfOnce() {
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

} // namespace

std::vector<std::uint8_t> CompoundFile::withStream(const std::string& streamName,
                                                   std::span<const std::uint8_t> data) {
    initialiseGsfOnce();
    GObjectPtr<GsfOutput> sink(gsf_output_memory_new());
    GObjectPtr<GsfOutfile> container(gsf_outfile_msole_new(sink.get()));
    if (!sink || !container)
        throw std::runtime_error("cannot create the compound file container");
    GObjectPtr<GsfOutput> stream(gsf_outfile_new_child(container.get(), streamName.c_str(), FALSE));
    if (!stream)
        throw std::runtime_error("cannot create the stream " + streamName);

    bool written = gsf_output_write(stream.get(), data.size(), data.data());
    written = gsf_output_close(stream.get()) && written;
    written = gsf_output_close(GSF_OUTPUT(container.get())) && written;
    // Closing the container closes its sink as well.
    if (!gsf_output_is_closed(sink.get()))
        written = gsf_output_close(sink.get()) && written;
    if (!written)
        throw std::runtime_error("cannot write the compound file container");

    const auto* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    const auto size = static_cast<std::size_t>(gsf_output_size(sink.get()));
    return {bytes, bytes + size};
}
