#include "CompoundFileReader.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

std::optional<std::vector<std::uint8_t>> readCompoundStream(std::span<const std::uint8_t> file,
                                                            const std::string& streamName,
                                                            std::string& error) {
    gsf_init();
    GsfInput* input = gsf_input_memory_new(file.data(), static_cast<gsf_off_t>(file.size()), FALSE);
    GError* failure = nullptr;
    GsfInfile* container = gsf_infile_msole_new(input, &failure);
    std::optional<std::vector<std::uint8_t>> stream;
    if (!container) {
        error = failure ? failure->message : "not a compound file";
    } else if (GsfInput* child = gsf_infile_child_by_name(container, streamName.c_str())) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(gsf_input_size(child)));
        if (bytes.empty() || gsf_input_read(child, bytes.size(), bytes.data())) {
            stream = std::move(bytes);
        } else {
            error = "the stream cannot be read";
        }
        g_object_unref(child);
    } else {
        error = "no stream " + streamName;
    }
    if (failure) {
        g_error_free(failure);
    }
    if (container) {
        g_object_unref(container);
    }
    g_object_unref(input);
    return stream;
}
