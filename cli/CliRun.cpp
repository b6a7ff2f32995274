#include "CliRun.h"

#include "ControllerLink.h"
#include "Interruption.h"
#include "LiveColumns.h"
#include "ParameterCheck.h"
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
    finish(status);
    return status;
}

void CliRun::finish(ExitStatus status) {
    m_record.insert(QStringLiteral("finished"), nowText());
    m_record.insert(QStringLiteral("durationMs"),
                    m_started.msecsTo(QDateTime::currentDateTimeUtc()));
    m_record.insert(QStringLiteral("status"), static_cast<int>(status));
    m_record.insert(QStringLiteral("result"), QLatin1String(resultName(status, m_options.command)));
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
    if (m_options.json) {
        const QByteArray line = QJsonDocument(m_record).toJson(QJsonDocument::Compact) + '\n';
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), m_out);
        std::fflush(m_out);
    }
    if (!m_options.recordDir.isEmpty()) {
        QString problem;
        const QString path = writeRecordFile(
            m_options.recordDir,
            recordFileName(m_started, m_options.tag, QLatin1String(commandName(m_options.command))),
            m_record, problem);
        if (path.isEmpty()) {
            std::fprintf(m_err, "climate-cli: the record was not written: %s\n",
                         problem.toUtf8().constData());
        } else if (!m_options.json) {
            std::fprintf(m_err, "Record: %s\n", path.toUtf8().constData());
        }
    }
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
    ParameterTexts texts;
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
    ControllerParameters staged;
    if (write) {
        if (const std::optional<QString> missing = firstMissingField(*m_file)) {
            return fail(ExitStatus::Usage,
                        QStringLiteral("%1 lacks %2: write needs every field it sends")
                            .arg(m_options.file, *missing));
        }
        if (const std::optional<SetAllRefusal> refusal = stageSetAll(m_file->texts, staged)) {
            return fail(ExitStatus::Usage,
                        QStringLiteral("%1: %2").arg(m_options.file, refusalText(*refusal)));
        }
    }
    if (!m_options.tag.isEmpty()) {
        print(QStringLiteral("Tag: %1\n").arg(m_options.tag).toUtf8());
    }
    openLink();
    if (write) {
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
    if (!comparison.differences.empty()) {
        print(QStringLiteral("FAIL: %1 of %2 fields differ from %3.\n")
                  .arg(comparison.differences.size())
                  .arg(comparison.compared)
                  .arg(m_options.file)
                  .toUtf8());
        return ExitStatus::Differences;
    }
    print(QStringLiteral("PASS: %1 fields match %2 (%3 not compared).\n")
              .arg(comparison.compared)
              .arg(m_options.file, groupsNotWritten().join(QStringLiteral(" and ")))
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
    QJsonArray samples;
    int done = 0;
    const auto keep = [&] {
        m_record.insert(QStringLiteral("circles"), done);
        if (m_options.json) {
            m_record.insert(QStringLiteral("samples"), samples);
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
                    print(QJsonDocument(jsonSample(time, live)).toJson(QJsonDocument::Compact) +
                          '\n');
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
    QJsonArray found;
    QByteArray text;
    for (const monitor::ControllerSearch::Found& unit :
         m_link->find(m_options.first, m_options.last)) {
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
