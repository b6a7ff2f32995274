// Parameter files with arbitrary bytes, as Load… and the command line read them. A file is either
// refused with a problem and no values, or it loads; a file that loads saves (the Save check
// finds no field it cannot hold), and the saved file loads again to the same text in every field,
// with nothing skipped and nothing left unchanged. Saved once more it gives the same bytes.
#include "config/ParameterFile.h"
#include "config/ParameterModel.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace climate::config;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

// Load: every value the file holds goes into its field.
ParsedFile load(const QByteArray& bytes, ParameterModel& page) {
    ParsedFile parsed = readParameterFile(bytes, page);
    for (const auto& [index, text] : parsed.values)
        page.setText(index, text);
    return parsed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ParameterModel first;
    const ParsedFile parsed = load(bytes, first);
    if (!parsed.problem.isEmpty()) {
        check(parsed.values.empty());
        return 0;
    }
    for (const auto& [index, text] : parsed.values)
        check(index < first.fields().size() && first.text(index) == text);

    check(!firstUnsavableField(first).has_value());
    FileHeader header;
    header.program = QStringLiteral("climate-tool 1.0");
    header.saved = QStringLiteral("2026-01-02T03:04:05");
    header.deviceAddress = 7;
    header.firmwareVersion = QStringLiteral("V1.00");
    const QByteArray saved = writeParameterFile(first, header);

    ParameterModel second;
    const ParsedFile again = load(saved, second);
    check(again.problem.isEmpty());
    check(again.skipped.isEmpty());
    check(again.unchanged.isEmpty());
    check(again.values.size() == first.fields().size());
    for (std::size_t i = 0; i < first.fields().size(); ++i)
        check(second.text(i) == first.text(i));
    check(writeParameterFile(second, header) == saved);
    return 0;
}
