#include "CliRun.h"

#include "ControllerLink.h"
#include "Interruption.h"
#include "LiveColumns.h"
#include "ParameterCheck.h"
#include "ProgressLine.h"
#include "RunRecord.h"

#include "config/ParameterFile.h"
#include "config/SetAllPlan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <limits>

namespace climate::cli {

using namespace climate::config;

namespace {

const char* resultName(ExitStatus status, Command command) {
    switch (status) {
    case ExitStatus::Success:
        return command == Command::Write || command == Command::Verify ? "pass" : "ok";
    case ExitStatus::Differences:
        return "differences";
    case ExitStatus::Usage:
        return "usage error";
    case ExitStatus::LinkFailure:
        return "link failure";
    case ExitStatus::RecordNotWritten:
        return "record not written";
    }
    return "?";
}

QString nowText() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

QJsonArray toJson(const QStringList& list) {
    return QJsonArray::fromStringList(list);
}

} // namespace

CliRun::CliRun(Options options, std::FILE* out, std::FILE* err)
    : m_options(std::move(options)), m_out(out), m_err(err) {}

CliRun::~CliRun() = default;

void CliRun::print(const QByteArray& text) {
    if (m_options.json) {
        return; // the record alone goes to standard output
    }
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), m_out);
    std::fflush(m_out);
}

ExitStatus CliRun::fail(ExitStatus status, const QString& reason) {
    m_record.insert(QStringLiteral("reason"), reason);
    const char* kind = status == ExitStatus::LinkFailure ? "link failure: " : "";
    std::fprintf(m_err, "climate-cli: %s%s\n", kind, reason.toUtf8().constData());
    return status;
}

ExitStatus CliRun::execute() {
    m_started = QDateTime::currentDateTimeUtc();
    m_record = QJsonObject{
        {QStringLiteral("program"), QStringLiteral("climate-cli")},
        {QStringLiteral("version"), QStringLiteral(CLIMATE_VERSION)},
        {QStringLiteral("command"), QLatin1String(commandName(m_options.command))},
        {QStringLiteral("tag"), m_options.tag},
        {QStringLiteral("port"), m_options.port},
        {QStringLiteral("address"), m_options.address},
        {QStringLiteral("baud"), m_options.baud},
        {QStringLiteral("started"), m_started.toString(Qt::ISODateWithMs)},
    };
    ExitStatus status = ExitStatus::Success;
    try {
        status = run();
    } catch (const LinkError& error) {
        status = fail(ExitStatus::LinkFailure, QString::fromUtf8(error.what()));
    }
    return finish(status);
}

void CliRun::settle(ExitStatus status) {
    m_record.insert(QStringLiteral("status"), static_cast<int>(status));
    m_record.insert(QStringLiteral("result"), QLatin1String(resultName(status, m_options.command)));
}

ExitStatus CliRun::finish(ExitStatus status) {
    m_record.insert(QStringLiteral("finished"), nowText());
    m_record.insert(QStringLiteral("durationMs"),
                    m_started.msecsTo(QDateTime::currentDateTimeUtc()));
    settle(status);
    if (m_link) {
        // Boxes the engine raised (none in a normal run) go to the record and to standard error.
        if (!m_link->messages().isEmpty()) {
            m_record.insert(QStringLiteral("messages"),
                            QJsonArray::fromStringList(m_link->messages()));
            for (const QString& message : m_link->messages()) {
                std::fprintf(m_err, "climate-cli: %s\n", message.toUtf8().constData());
            }
        }
        m_record.insert(QStringLiteral("bytesSent"), static_cast<qint64>(m_link->bytesSent()));
        m_record.insert(QStringLiteral("bytesReceived"),
                        static_cast<qint64>(m_link->bytesReceived()));
    }
    // The file first: what standard output says afterwards is then the run's last word. A run
    // whose record is lost has not passed, whatever it found.
    QString recordPath;
    if (!m_options.recordDir.isEmpty()) {
        QString problem;
        recordPath = writeRecordFile(
            m_options.recordDir,
            recordFileName(m_started, m_options.tag, QLatin1String(commandName(m_options.command))),
            m_record, problem, m_samples ? &*m_samples : nullptr);
        if (recordPath.isEmpty()) {
            std::fprintf(m_err, "climate-cli: the record was not written: %s\n",
                         problem.toUtf8().constData());
            m_record.insert(QStringLiteral("recordProblem"), problem);
            const ExitStatus worse = moreSevere(status, ExitStatus::RecordNotWritten);
            if (worse != status) {
                m_record.insert(QStringLiteral("reason"),
                                QStringLiteral("the record was not written: %1").arg(problem));
                status = worse;
                settle(status);
            }
        }
    }
    if (m_options.json) {
        const QByteArray line =
            recordText(m_record, m_samples ? &*m_samples : nullptr, QJsonDocument::Compact) + '\n';
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), m_out);
        std::fflush(m_out);
    } else if (!recordPath.isEmpty()) {
        std::fprintf(m_err, "Record: %s\n", recordPath.toUtf8().constData());
    }
    return status;
}

void CliRun::openLink() {
    m_link = std::make_unique<ControllerLink>();
    m_link->open({m_options.port, m_options.baud, m_options.address});
}

ExitStatus CliRun::run() {
    // Everything that can be checked without the bus first: nothing is sent unless it is usable.
    if (!m_options.recordDir.isEmpty()) {
        if (const QString problem = recordFolderProblem(m_options.recordDir); !problem.isEmpty()) {
            return fail(ExitStatus::Usage, problem);
        }
    }
    if (m_options.command == Command::Write || m_options.command == Command::Verify) {
        m_record.insert(QStringLiteral("file"), m_options.file);
        m_file = std::make_unique<ParameterSet>();
        if (const std::optional<QString> problem = loadParameterSet(m_options.file, *m_file)) {
            return fail(ExitStatus::Usage, *problem);
        }
        if (!m_file->skipped.isEmpty()) {
            std::fprintf(m_err, "climate-cli: skipped, unknown to this program: %s\n",
                         m_file->skipped.join(QStringLiteral("; ")).toUtf8().constData());
        }
    }
    if (m_options.command == Command::Read && !m_options.output.isEmpty()) {
        const QFileInfo folder(QFileInfo(m_options.output).absolutePath());
        if (!folder.isDir() || !folder.isWritable()) {
            return fail(ExitStatus::Usage,
                        QStringLiteral("cannot write into %1").arg(folder.filePath()));
        }
    }
    switch (m_options.command) {
    case Command::Read:
        return read();
    case Command::Write:
        return writeOrVerify(true);
    case Command::Verify:
        return writeOrVerify(false);
    case Command::Live:
        return live();
    case Command::Find:
        return find();
    case Command::Firmware:
        return firmware();
    }
    return ExitStatus::Usage;
}

ExitStatus CliRun::read() {
    openLink();
    ParameterModel texts;
    texts.showRegisters(m_link->readAll());
    FileHeader header;
    header.program = QStringLiteral("climate-cli %1").arg(QStringLiteral(CLIMATE_VERSION));
    header.saved = QDateTime::currentDateTime().toString(Qt::ISODate);
    header.deviceAddress = m_options.address;
    header.firmwareVersion = m_link->firmwareVersion();
    m_record.insert(QStringLiteral("firmware"), header.firmwareVersion);
    if (m_options.output.isEmpty()) {
        const QByteArray bytes = writeParameterFile(texts, header);
        m_record.insert(QStringLiteral("parameters"), QJsonDocument::fromJson(bytes).object());
        print(bytes);
        return ExitStatus::Success;
    }
    m_record.insert(QStringLiteral("output"), m_options.output);
    const FileOutcome saved = saveParameterFile(m_options.output, texts, header);
    if (!saved.done) {
        return fail(ExitStatus::Usage, saved.message);
    }
    print(QStringLiteral("Saved %1 (firmware %2).\n")
              .arg(m_options.output, header.firmwareVersion)
              .toUtf8());
    return ExitStatus::Success;
}

ExitStatus CliRun::writeOrVerify(bool write) {
    // A file that does not hold every field write sends is refused by both, so that a cut-down
    // file never passes as the whole setting; verify --partial compares what it holds.
    if (!write) {
        m_record.insert(QStringLiteral("partial"), m_options.partial);
    }
    if (!write && m_options.partial) {
        if (!holdsAnyComparedField(*m_file)) {
            return fail(
                ExitStatus::Usage,
                QStringLiteral("%1 holds none of the fields verify compares").arg(m_options.file));
        }
    } else if (const std::optional<QString> missing = firstMissingField(*m_file)) {
        return fail(ExitStatus::Usage,
                    write ? QStringLiteral("%1 lacks %2: write needs every field it sends")
                                .arg(m_options.file, *missing)
                          : QStringLiteral("%1 lacks %2: verify compares every field write sends "
                                           "(--partial compares only those the file holds)")
                                .arg(m_options.file, *missing));
    }
    ControllerParameters staged;
    if (write) {
        if (const std::optional<SetAllRefusal> refusal = stageSetAll(m_file->texts, staged)) {
            return fail(ExitStatus::Usage,
                        QStringLiteral("%1: %2").arg(m_options.file, refusalText(*refusal)));
        }
    }
    const bool checkFirmware = !m_file->firmware.isEmpty() && !m_options.ignoreFirmware;
    if (!m_file->firmware.isEmpty()) {
        m_record.insert(QStringLiteral("fileFirmware"), m_file->firmware);
    }
    if (!m_options.tag.isEmpty()) {
        print(QStringLiteral("Tag: %1\n").arg(m_options.tag).toUtf8());
    }
    openLink();

    // The controller's firmware goes into the record. When it is compared it is read before
    // anything else, so that a unit with other firmware gets nothing written; otherwise write
    // reads it once the groups are written, and their refusal is what a failure names.
    bool firmwareDiffers = false;
    const auto readFirmware = [&] {
        const QString firmware = m_link->firmwareVersion();
        m_record.insert(QStringLiteral("firmware"), firmware);
        if (checkFirmware) {
            firmwareDiffers = firmware.trimmed() != m_file->firmware;
            m_record.insert(QStringLiteral("firmwareMatches"), !firmwareDiffers);
            if (firmwareDiffers) {
                print(QStringLiteral("DIFF firmware: file %1, controller %2\n")
                          .arg(m_file->firmware, firmware)
                          .toUtf8());
            }
        }
    };
    if (checkFirmware || !write) {
        readFirmware();
    }
    if (write) {
        if (firmwareDiffers) {
            m_record.insert(QStringLiteral("written"), QJsonArray());
            print(QStringLiteral("FAIL: %1 is for firmware %2; nothing was written.\n")
                      .arg(m_options.file, m_file->firmware)
                      .toUtf8());
            return ExitStatus::Differences;
        }
        const ControllerLink::SetAllResult result = m_link->setAll(staged);
        m_record.insert(QStringLiteral("written"), toJson(result.written));
        print(QStringLiteral("Written: %1 (%2 of %3).\n")
                  .arg(result.written.isEmpty() ? QStringLiteral("none")
                                                : result.written.join(QStringLiteral(", ")))
                  .arg(result.written.size())
                  .arg(setAllGroups().size())
                  .toUtf8());
        if (!result.failure.isEmpty()) {
            return fail(ExitStatus::LinkFailure, result.failure);
        }
        if (!checkFirmware) {
            readFirmware();
        }
    }
    const ParameterComparison comparison = compareWithController(*m_file, m_link->readAll());
    QJsonArray differences;
    QByteArray text;
    for (const FieldDifference& difference : comparison.differences) {
        differences.append(QJsonObject{{QStringLiteral("group"), difference.group},
                                       {QStringLiteral("field"), difference.field},
                                       {QStringLiteral("register"), difference.reg},
                                       {QStringLiteral("file"), difference.fileText},
                                       {QStringLiteral("controller"), difference.controllerText}});
        text +=
            QStringLiteral("DIFF %1 / %2 (register %3): file %4, controller %5\n")
                .arg(difference.group, difference.field)
                .arg(difference.reg)
                .arg(difference.fileText.isEmpty() ? QStringLiteral("(none)") : difference.fileText,
                     difference.controllerText)
                .toUtf8();
    }
    m_record.insert(QStringLiteral("compared"), comparison.compared);
    m_record.insert(QStringLiteral("differences"), differences);
    m_record.insert(QStringLiteral("notCompared"), toJson(groupsNotWritten()));
    print(text);
    const qsizetype differing = static_cast<qsizetype>(comparison.differences.size());
    if (differing > 0 || firmwareDiffers) {
        const QString fields =
            QStringLiteral("%1 of %2 fields").arg(differing).arg(comparison.compared);
        print((differing == 0 ? QStringLiteral("FAIL: the firmware differs from %1 (%2 differ).\n")
                                    .arg(m_options.file, fields)
               : firmwareDiffers
                   ? QStringLiteral("FAIL: the firmware and %1 differ from %2.\n")
                         .arg(fields, m_options.file)
                   : QStringLiteral("FAIL: %1 differ from %2.\n").arg(fields, m_options.file))
                  .toUtf8());
        return ExitStatus::Differences;
    }
    const QString notCompared = groupsNotWritten().join(QStringLiteral(" and "));
    print((m_options.partial
               ? QStringLiteral("PASS: %1 fields match %2 (only the fields it holds; %3 not "
                                "compared).\n")
               : QStringLiteral("PASS: %1 fields match %2 (%3 not compared).\n"))
              .arg(comparison.compared)
              .arg(m_options.file, notCompared)
              .toUtf8());
    return ExitStatus::Success;
}

ExitStatus CliRun::live() {
    openLink();
    const bool csv = m_options.format == Options::Format::Csv;
    if (csv) {
        print(csvHeader() + '\n');
    }
    // The record keeps the samples when it is the output; otherwise the lines are.
    QByteArrayList samples;
    int done = 0;
    const auto keep = [&] {
        m_record.insert(QStringLiteral("circles"), done);
        if (m_options.json) {
            m_samples = samples;
        }
    };
    // Without a count, polling goes on until Ctrl+C or SIGTERM, and the run then ends as usual.
    const int circles = m_options.count > 0 ? m_options.count : std::numeric_limits<int>::max();
    if (m_options.count == 0) {
        watchInterruptions();
    }
    try {
        m_link->poll(
            circles,
            [&](const realtime::LiveData& live) {
                ++done;
                const QString time = nowText();
                if (m_options.json) {
                    samples.append(jsonSample(time, live));
                } else if (csv) {
                    print(csvLine(time, live) + '\n');
                } else {
                    print(jsonSample(time, live) + '\n');
                }
            },
            [] { return interrupted(); });
    } catch (const LinkError&) {
        keep();
        throw;
    }
    keep();
    return ExitStatus::Success;
}

ExitStatus CliRun::find() {
    openLink();
    // A full search takes most of a minute: on a terminal the address being searched is shown.
    std::vector<monitor::ControllerSearch::Found> units;
    {
        ProgressLine progress(m_err);
        units = m_link->find(m_options.first, m_options.last, [&](int searched, int total) {
            progress.show(searched < total ? QStringLiteral("Searching address %1 (%2 of %3)...")
                                                 .arg(m_options.first + searched)
                                                 .arg(searched + 1)
                                                 .arg(total)
                                           : QStringLiteral("Reading the firmware versions..."));
        });
        progress.show(QStringLiteral("Searched %1 addresses: %2 answered.")
                          .arg(m_options.last - m_options.first + 1)
                          .arg(units.size()));
    }
    QJsonArray found;
    QByteArray text;
    for (const monitor::ControllerSearch::Found& unit : units) {
        QJsonObject entry{{QStringLiteral("address"), unit.address},
                          {QStringLiteral("firmware"), unit.firmware}};
        QString line = QStringLiteral("address %1").arg(unit.address);
        if (unit.exception) {
            entry.insert(QStringLiteral("exception"), unit.exceptionCode);
            line += QStringLiteral(": answered with exception %1").arg(unit.exceptionCode);
        }
        if (!unit.firmware.isEmpty()) {
            line += QStringLiteral(": firmware %1").arg(unit.firmware);
        } else if (!unit.firmwareNote.isEmpty()) {
            entry.insert(QStringLiteral("firmwareNote"), unit.firmwareNote);
            line += QStringLiteral(": no firmware version (%1)").arg(unit.firmwareNote);
        }
        found.append(entry);
        text += line.toUtf8() + '\n';
    }
    m_record.insert(QStringLiteral("found"), found);
    if (found.isEmpty()) {
        throw LinkError(QStringLiteral("no controller answered at addresses %1 to %2")
                            .arg(m_options.first)
                            .arg(m_options.last)
                            .toStdString());
    }
    print(text);
    return ExitStatus::Success;
}

ExitStatus CliRun::firmware() {
    openLink();
    const QString version = m_link->firmwareVersion();
    m_record.insert(QStringLiteral("firmware"), version);
    print(version.toUtf8() + '\n');
    return ExitStatus::Success;
}

} // namespace climate::cli
