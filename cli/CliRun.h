#pragma once

#include "CliOptions.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDateTime>
#include <QJsonObject>

#include <cstdio>
#include <memory>
#include <optional>

namespace climate::cli {

class ControllerLink;
struct ParameterSet;

// One run of climate-cli: the checks that need no bus, the command on the bus, the text or JSON
// on `out`, diagnostics on `err`, and the record. Nothing goes on the bus unless the command line,
// the file and the record folder are all usable.
class CliRun {
public:
    CliRun(Options options, std::FILE* out, std::FILE* err);
    ~CliRun();
    CliRun(const CliRun&) = delete;
    CliRun& operator=(const CliRun&) = delete;

    ExitStatus execute();

    [[nodiscard]] const QJsonObject& record() const { return m_record; }
    // The link of the last run, for the bytes it moved; null before execute().
    [[nodiscard]] const ControllerLink* link() const { return m_link.get(); }

private:
    ExitStatus run();
    ExitStatus read();
    ExitStatus writeOrVerify(bool write);
    ExitStatus live();
    ExitStatus find();
    ExitStatus firmware();
    ExitStatus fail(ExitStatus status, const QString& reason);
    void openLink();
    void print(const QByteArray& text);
    // The status and its word into the record.
    void settle(ExitStatus status);
    // Closes the record, writes its file and prints it; the status the run ends with.
    ExitStatus finish(ExitStatus status);

    Options m_options;
    std::FILE* m_out;
    std::FILE* m_err;
    QDateTime m_started;
    QJsonObject m_record;
    std::optional<QByteArrayList> m_samples; // live's samples in the record, as JSON texts
    std::unique_ptr<ParameterSet> m_file;
    std::unique_ptr<ControllerLink> m_link;
};

} // namespace climate::cli
