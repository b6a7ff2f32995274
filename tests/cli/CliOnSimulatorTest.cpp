// climate-cli as a production line runs it: the program itself against the simulator, on a
// pseudo-terminal and over TCP in both framings (RTU over TCP, Modbus TCP). Each test checks what
// the program prints and leaves with against what the simulator holds and counts.
#include "support/FileSizeLimit.h"
#include "support/SimulatorChannel.h"
#include "support/SimulatorProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

struct CliResult {
    int status = -1;
    QString out;
    QString err;
    qint64 elapsedMs = 0;
};

// A console's output with its lines ended by "\n": Windows' console streams end them "\r\n".
QString consoleText(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
#ifdef Q_OS_WIN
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
#endif
    return text;
}

class CliOnSimulator : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const QString transport = QString::fromLatin1(GetParam());
        const bool started =
            transport == QLatin1String("pty") ? sim.start() : sim.startTcp(transport);
        ASSERT_TRUE(started) << sim.diagnostics().toStdString();
        ASSERT_TRUE(folder.isValid());
    }

    CliResult cli(const QStringList& arguments) {
        QProcess process;
        process.setProgram(QStringLiteral(CLIMATE_CLI_PATH));
        process.setArguments(arguments + QStringList{QStringLiteral("--port"), sim.portName()});
        QElapsedTimer clock;
        clock.start();
        process.start();
        EXPECT_TRUE(process.waitForFinished(60000)) << arguments.join(' ').toStdString();
        CliResult result;
        result.elapsedMs = clock.elapsed();
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = consoleText(process.readAllStandardOutput());
        result.err = consoleText(process.readAllStandardError());
        return result;
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    // The simulator's holding registers 0 ... 46.
    QStringList holdingRegisters() {
        const QString answer = sim.command(QStringLiteral("get hr 0 47"));
        EXPECT_TRUE(answer.startsWith(QLatin1String("ok "))) << answer.toStdString();
        return answer.mid(3).split(QLatin1Char(' '));
    }

    // The controller's parameters as a file (climate-cli read), changed by `edit` and saved as
    // `name`.
    QString fileFromController(const QString& name,
                               const std::function<void(QJsonObject& document)>& edit) {
        const QString base = path(QStringLiteral("base.json"));
        const CliResult read = cli({QStringLiteral("read"), QStringLiteral("-o"), base});
        EXPECT_EQ(read.status, 0) << read.err.toStdString();
        QFile file(base);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QJsonObject document = QJsonDocument::fromJson(file.readAll()).object();
        edit(document);
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QJsonDocument(document).toJson());
        return out.fileName();
    }

    // The controller's parameters as a file, with `changes` (register -> value text) made to it
    // and `drop` left out.
    QString parameterFile(const QString& name, const std::map<int, QString>& changes,
                          int drop = -1) {
        return fileFromController(name, [&](QJsonObject& document) {
            QJsonArray groups = document.value(QStringLiteral("groups")).toArray();
            for (qsizetype g = 0; g < groups.size(); ++g) {
                QJsonObject group = groups[g].toObject();
                QJsonArray fields;
                for (const QJsonValue& value : group.value(QStringLiteral("fields")).toArray()) {
                    QJsonObject field = value.toObject();
                    const int reg = field.value(QStringLiteral("register")).toInt();
                    if (reg == drop) {
                        continue;
                    }
                    if (const auto change = changes.find(reg); change != changes.end()) {
                        field.insert(QStringLiteral("value"), change->second);
                    }
                    fields.append(field);
                }
                group.insert(QStringLiteral("fields"), fields);
                groups[g] = group;
            }
            document.insert(QStringLiteral("groups"), groups);
        });
    }

    // The controller's parameters as a file holding only the group `record` ("TempAlarm").
    QString groupFile(const QString& name, const QString& record) {
        return fileFromController(name, [&](QJsonObject& document) {
            QJsonArray kept;
            for (const QJsonValue& group : document.value(QStringLiteral("groups")).toArray()) {
                if (group.toObject().value(QStringLiteral("record")).toString() == record) {
                    kept.append(group);
                }
            }
            document.insert(QStringLiteral("groups"), kept);
        });
    }

    SimulatorProcess sim;
    QTemporaryDir folder;
};

// StepRev (unsigned), Heater Enable (a combo box), HighTemp (tenths), Compressor MaxRPM, and a
// calibration that write must leave alone.
const std::map<int, QString> Changes{{0, QStringLiteral("1234")},
                                     {26, QStringLiteral("Disable")},
                                     {28, QStringLiteral("47.5")},
                                     {43, QStringLiteral("3210")},
                                     {33, QStringLiteral("9.9")}};

TEST_P(CliOnSimulator, WriteThenVerifyPassAndTheControllerHoldsTheFile) {
    const QStringList before = holdingRegisters();
    const QString file = parameterFile(QStringLiteral("approved.json"), Changes);
    ASSERT_TRUE(sim.commandOk(QStringLiteral("stats reset")));

    const CliResult write = cli({QStringLiteral("write"), file});
    EXPECT_EQ(write.status, 0) << write.out.toStdString() << write.err.toStdString();
    EXPECT_TRUE(write.out.contains(QLatin1String("(8 of 8)"))) << write.out.toStdString();
    EXPECT_TRUE(write.out.contains(QLatin1String("PASS"))) << write.out.toStdString();
    // The firmware version (the file names one), the eight groups, then one Read All: nothing
    // else went out.
    const QString stats = sim.command(QStringLiteral("stats"));
    EXPECT_TRUE(stats.contains(QLatin1String(" requests=10 "))) << stats.toStdString();
    EXPECT_TRUE(stats.contains(QLatin1String(" fc4=1 "))) << stats.toStdString();
    EXPECT_TRUE(stats.contains(QLatin1String(" fc16=8 "))) << stats.toStdString();
    EXPECT_TRUE(stats.contains(QLatin1String(" fc3=1 "))) << stats.toStdString();

    QStringList expected = before;
    expected[0] = QStringLiteral("1234");
    expected[26] = QStringLiteral("0");
    expected[28] = QStringLiteral("475");
    expected[43] = QStringLiteral("3210");
    EXPECT_EQ(holdingRegisters(), expected) << "calibration (33) and address (27) stay";

    const CliResult verify = cli({QStringLiteral("verify"), file});
    EXPECT_EQ(verify.status, 0) << verify.out.toStdString() << verify.err.toStdString();
    EXPECT_TRUE(verify.err.isEmpty()) << verify.err.toStdString();
}

// What read saved goes back as it came: an untouched controller verifies, and writing the file
// leaves it as it was, a heater hysteresis with a decimal (2.5) among its settings.
TEST_P(CliOnSimulator, AFileReadFromTheControllerVerifiesAndWritesBackUnchanged) {
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set hr 23 25")));
    const QString file = path(QStringLiteral("unit.json"));
    const CliResult read = cli({QStringLiteral("read"), QStringLiteral("-o"), file});
    ASSERT_EQ(read.status, 0) << read.err.toStdString();
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("\"value\": \"2.5\""));
    const QStringList before = holdingRegisters();

    const CliResult verify = cli({QStringLiteral("verify"), file});
    EXPECT_EQ(verify.status, 0) << verify.out.toStdString() << verify.err.toStdString();
    const CliResult write = cli({QStringLiteral("write"), file});
    EXPECT_EQ(write.status, 0) << write.out.toStdString() << write.err.toStdString();
    EXPECT_EQ(holdingRegisters(), before);
}

TEST_P(CliOnSimulator, AChangedRegisterFailsVerifyNamingTheField) {
    const QString file = parameterFile(QStringLiteral("approved.json"), Changes);
    ASSERT_EQ(cli({QStringLiteral("write"), file}).status, 0);
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set hr 28 400")));
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set hr 37 1")));

    const CliResult verify = cli({QStringLiteral("verify"), file});
    EXPECT_EQ(verify.status, 1) << verify.err.toStdString();
    EXPECT_TRUE(verify.out.contains(QLatin1String("Temp. Alarm / HighTemp (register 28): file "
                                                  "47.5, controller 40")))
        << verify.out.toStdString();
    EXPECT_TRUE(verify.out.contains(QLatin1String("ExtInput / Enable (register 37)")))
        << verify.out.toStdString();
    EXPECT_TRUE(verify.out.contains(QLatin1String("FAIL: 2 of "))) << verify.out.toStdString();

    const CliResult json = cli({QStringLiteral("verify"), file, QStringLiteral("--json")});
    EXPECT_EQ(json.status, 1);
    const QJsonArray differences = QJsonDocument::fromJson(json.out.toUtf8())
                                       .object()
                                       .value(QStringLiteral("differences"))
                                       .toArray();
    ASSERT_EQ(differences.size(), 2);
    const QJsonObject first = differences[0].toObject();
    EXPECT_EQ(first.value(QStringLiteral("group")).toString(), QStringLiteral("Temp. Alarm"));
    EXPECT_EQ(first.value(QStringLiteral("field")).toString(), QStringLiteral("HighTemp"));
    EXPECT_EQ(first.value(QStringLiteral("file")).toString(), QStringLiteral("47.5"));
    EXPECT_EQ(first.value(QStringLiteral("controller")).toString(), QStringLiteral("40"));
}

TEST_P(CliOnSimulator, ASilentControllerIsALinkFailureWithinTheReplyTimeOuts) {
    const QString file = parameterFile(QStringLiteral("approved.json"), Changes);
    ASSERT_TRUE(sim.commandOk(QStringLiteral("silent on")));
    for (const QString& command : {QStringLiteral("verify"), QStringLiteral("write")}) {
        SCOPED_TRACE(command.toStdString());
        const CliResult result = cli({command, file});
        EXPECT_EQ(result.status, 3);
        // One reply time-out (a first wait and 100 receive ticks of 10 ms), and the start.
        EXPECT_LT(result.elapsedMs, 4000);
        EXPECT_EQ(result.err.count(QLatin1Char('\n')), 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QLatin1String("no reply from address 1 in time")))
            << result.err.toStdString();
    }
}

TEST_P(CliOnSimulator, ABadFileOrCommandLineSendsNothing) {
    const QString good = parameterFile(QStringLiteral("good.json"), Changes);
    const QString notJson = path(QStringLiteral("garbage.json"));
    QFile garbage(notJson);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("{ this is not a parameter file");
    garbage.close();
    const std::vector<QStringList> cases{
        {QStringLiteral("write"), notJson},
        {QStringLiteral("verify"), notJson},
        {QStringLiteral("write"), path(QStringLiteral("missing.json"))},
        // A field write needs is missing (Heater's StartTemp), or out of the Set's range.
        {QStringLiteral("write"), parameterFile(QStringLiteral("short.json"), {}, 22)},
        {QStringLiteral("write"),
         parameterFile(QStringLiteral("range.json"), {{28, QStringLiteral("4000")}})},
        {QStringLiteral("write"), good, QStringLiteral("--record"), QStringLiteral("/proc/x")},
        {QStringLiteral("write"), good, QStringLiteral("--count"), QStringLiteral("3")},
        {QStringLiteral("verify")},
        {QStringLiteral("live"), QStringLiteral("--format"), QStringLiteral("xml")},
        {QStringLiteral("find"), QStringLiteral("--first"), QStringLiteral("9"),
         QStringLiteral("--last"), QStringLiteral("3")},
        // verify takes no more than write does: a file of one group, or with a field left out,
        // is no whole setting (--partial compares what it holds, but not nothing).
        {QStringLiteral("verify"),
         groupFile(QStringLiteral("alarm.json"), QStringLiteral("TempAlarm"))},
        {QStringLiteral("verify"), parameterFile(QStringLiteral("short.json"), {}, 22)},
        {QStringLiteral("verify"),
         groupFile(QStringLiteral("calibration.json"), QStringLiteral("Calibration")),
         QStringLiteral("--partial")},
        {QStringLiteral("write"), good, QStringLiteral("--partial")},
        {QStringLiteral("firmware"), QStringLiteral("--baud"), QStringLiteral("57600")},
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const QString statsBefore = sim.command(QStringLiteral("stats"));
        const CliResult result = cli(arguments);
        EXPECT_EQ(result.status, 2) << result.out.toStdString() << result.err.toStdString();
        EXPECT_FALSE(result.err.isEmpty());
        EXPECT_EQ(sim.command(QStringLiteral("stats")), statsBefore);
    }
}

TEST_P(CliOnSimulator, ARefusedWriteIsNamedWithItsExceptionCode) {
    const QString file = parameterFile(QStringLiteral("approved.json"), Changes);
    ASSERT_TRUE(sim.commandOk(QStringLiteral("exception 2")));
    // Without the firmware check the first group's write is the first request.
    const CliResult write =
        cli({QStringLiteral("write"), file, QStringLiteral("--ignore-firmware")});
    EXPECT_EQ(write.status, 3);
    EXPECT_TRUE(write.err.contains(
        QLatin1String("Internal Fan: refused by the controller: exception 2 (illegal data "
                      "address)")))
        << write.err.toStdString();
    EXPECT_TRUE(write.out.contains(QLatin1String("Written: none (0 of 8)")))
        << write.out.toStdString();
}

TEST_P(CliOnSimulator, LivePrintsThePinnedValuesOnceACircle) {
    for (const char* line : {"set ir 0 1500", "set ir 4 253", "set ir 6 -42", "set coil 4 1"}) {
        ASSERT_TRUE(sim.commandOk(QString::fromLatin1(line))) << line;
    }
    const CliResult live =
        cli({QStringLiteral("live"), QStringLiteral("--count"), QStringLiteral("3"),
             QStringLiteral("--format"), QStringLiteral("csv")});
    ASSERT_EQ(live.status, 0) << live.err.toStdString();
    const QStringList lines = live.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << live.out.toStdString();
    const QStringList header = lines[0].split(QLatin1Char(','));
    const std::map<QString, QString> pinned{
        {QStringLiteral("Internal fan 1 (RPM)"), QStringLiteral("1500")},
        {QStringLiteral("Temperature 1 (°C)"), QStringLiteral("25.3")},
        {QStringLiteral("Supply voltage (V)"), QStringLiteral("-4.2")},
        {QStringLiteral("Compressor on"), QStringLiteral("1")}};
    for (int row = 1; row < lines.size(); ++row) {
        const QStringList values = lines[row].split(QLatin1Char(','));
        ASSERT_EQ(values.size(), header.size()) << lines[row].toStdString();
        for (const auto& [column, value] : pinned) {
            const qsizetype at = header.indexOf(column);
            ASSERT_GE(at, 0) << column.toStdString();
            EXPECT_EQ(values[at], value) << column.toStdString() << " in row " << row;
        }
    }
}

TEST_P(CliOnSimulator, LiveWithoutACountEndsCleanlyOnSigterm) {
    QProcess live;
#ifdef Q_OS_WIN
    // Its own process group: the only way to send a Ctrl+Break to it alone.
    live.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* arguments) {
        arguments->flags |= CREATE_NEW_PROCESS_GROUP;
    });
#endif
    const QString records = path(QStringLiteral("records"));
    live.start(QStringLiteral(CLIMATE_CLI_PATH),
               {QStringLiteral("live"), QStringLiteral("--port"), sim.portName(),
                QStringLiteral("--record"), records});
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (out.count('\n') < 3 && clock.elapsed() < 20000) {
        live.waitForReadyRead(500);
        out += live.readAllStandardOutput();
    }
    ASSERT_GE(out.count('\n'), 3) << "a header and two circles: " << out.toStdString();
#ifdef Q_OS_WIN
    if (!::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(live.processId()))) {
        // Without a console shared with it (a test run under Wine has none, and Wine sends no
        // console events between processes) it cannot be interrupted; the handlers themselves
        // are checked in cli_tests.
        const auto error = ::GetLastError();
        live.kill();
        live.waitForFinished(5000);
        GTEST_SKIP() << "no Ctrl+Break can reach it here (error " << error << ")";
    }
#else
    live.terminate();
#endif
    ASSERT_TRUE(live.waitForFinished(5000));
    EXPECT_EQ(live.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(live.exitCode(), 0) << live.readAllStandardError().toStdString();
    const QStringList saved = QDir(records).entryList(QDir::Files);
    ASSERT_EQ(saved.size(), 1) << "the record of an interrupted run";
    QFile stored(QDir(records).filePath(saved[0]));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    const QJsonObject record = QJsonDocument::fromJson(stored.readAll()).object();
    EXPECT_EQ(record.value(QStringLiteral("result")).toString(), QStringLiteral("ok"));
}

TEST_P(CliOnSimulator, JsonRecordsParseAndCarryTheTag) {
    const QString file = parameterFile(QStringLiteral("approved.json"), Changes);
    const QString records = path(QStringLiteral("records"));
    const QString tag = QStringLiteral("SN 0012/345");
    const CliResult write =
        cli({QStringLiteral("write"), file, QStringLiteral("--json"), QStringLiteral("--tag"), tag,
             QStringLiteral("--record"), records});
    EXPECT_EQ(write.status, 0) << write.err.toStdString();
    ASSERT_EQ(write.out.count(QLatin1Char('\n')), 1) << "one record, one line";
    QJsonParseError error{};
    const QJsonObject record = QJsonDocument::fromJson(write.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << write.out.toStdString();
    EXPECT_EQ(record.value(QStringLiteral("tag")).toString(), tag);
    EXPECT_EQ(record.value(QStringLiteral("command")).toString(), QStringLiteral("write"));
    EXPECT_EQ(record.value(QStringLiteral("status")).toInt(-1), 0);
    EXPECT_EQ(record.value(QStringLiteral("result")).toString(), QStringLiteral("pass"));
    EXPECT_EQ(record.value(QStringLiteral("written")).toArray().size(), 8);
    EXPECT_TRUE(record.value(QStringLiteral("differences")).toArray().isEmpty());
    EXPECT_EQ(record.value(QStringLiteral("firmware")).toString(),
              QStringLiteral("DCAC-HEX V1.00"));
    EXPECT_EQ(record.value(QStringLiteral("fileFirmware")).toString(),
              QStringLiteral("DCAC-HEX V1.00"));
    EXPECT_TRUE(record.value(QStringLiteral("firmwareMatches")).toBool(false));

    const QStringList saved = QDir(records).entryList(QDir::Files);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(saved[0].endsWith(QLatin1String("_SN_0012_345_write.json")))
        << saved[0].toStdString();
    QFile stored(QDir(records).filePath(saved[0]));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(stored.readAll()).object(), record);

    // A failed run has its record too, with the reason.
    ASSERT_TRUE(sim.commandOk(QStringLiteral("silent on")));
    const CliResult firmware =
        cli({QStringLiteral("firmware"), QStringLiteral("--json"), QStringLiteral("--tag"), tag});
    EXPECT_EQ(firmware.status, 3);
    const QJsonObject failed = QJsonDocument::fromJson(firmware.out.toUtf8()).object();
    EXPECT_EQ(failed.value(QStringLiteral("tag")).toString(), tag);
    EXPECT_EQ(failed.value(QStringLiteral("result")).toString(), QStringLiteral("link failure"));
    EXPECT_TRUE(
        failed.value(QStringLiteral("reason")).toString().contains(QLatin1String("no reply")));
}

TEST_P(CliOnSimulator, FirmwareAndFindNameTheController) {
    const CliResult firmware = cli({QStringLiteral("firmware")});
    EXPECT_EQ(firmware.status, 0) << firmware.err.toStdString();
    EXPECT_EQ(firmware.out, QStringLiteral("DCAC-HEX V1.00\n"));

    ASSERT_TRUE(sim.commandOk(QStringLiteral("address 3")));
    const CliResult find =
        cli({QStringLiteral("find"), QStringLiteral("--first"), QStringLiteral("1"),
             QStringLiteral("--last"), QStringLiteral("4")});
    EXPECT_EQ(find.status, 0) << find.err.toStdString();
    EXPECT_EQ(find.out, QStringLiteral("address 3: firmware DCAC-HEX V1.00\n"));
    EXPECT_EQ(find.err, QString()) << "no progress where standard error is no terminal";
    const CliResult nobody =
        cli({QStringLiteral("find"), QStringLiteral("--last"), QStringLiteral("2")});
    EXPECT_EQ(nobody.status, 3);
}

TEST_P(CliOnSimulator, VerifyPartialComparesOnlyTheFieldsTheFileHolds) {
    const QString alarm = groupFile(QStringLiteral("alarm.json"), QStringLiteral("TempAlarm"));
    const CliResult pass = cli({QStringLiteral("verify"), alarm, QStringLiteral("--partial")});
    EXPECT_EQ(pass.status, 0) << pass.out.toStdString() << pass.err.toStdString();
    EXPECT_TRUE(pass.out.contains(QLatin1String("PASS: 2 fields match"))) << pass.out.toStdString();

    // A field outside the file is no business of it; one inside is.
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set hr 0 999")));
    EXPECT_EQ(cli({QStringLiteral("verify"), alarm, QStringLiteral("--partial")}).status, 0);
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set hr 29 10")));
    const CliResult differs = cli(
        {QStringLiteral("verify"), alarm, QStringLiteral("--partial"), QStringLiteral("--json")});
    EXPECT_EQ(differs.status, 1) << differs.err.toStdString();
    const QJsonObject record = QJsonDocument::fromJson(differs.out.toUtf8()).object();
    EXPECT_EQ(record.value(QStringLiteral("compared")).toInt(), 2);
    EXPECT_TRUE(record.value(QStringLiteral("partial")).toBool(false));
    const QJsonArray differences = record.value(QStringLiteral("differences")).toArray();
    ASSERT_EQ(differences.size(), 1);
    EXPECT_EQ(differences[0].toObject().value(QStringLiteral("register")).toInt(), 29);
}

TEST_P(CliOnSimulator, AFileForOtherFirmwareIsADifferenceAndWriteSendsNothing) {
    const QString file = fileFromController(QStringLiteral("old.json"), [](QJsonObject& document) {
        QJsonObject header = document.value(QStringLiteral("header")).toObject();
        header.insert(QStringLiteral("firmware"), QStringLiteral("DCAC-HEX V0.90"));
        document.insert(QStringLiteral("header"), header);
    });
    const QStringList before = holdingRegisters();

    const CliResult verify = cli({QStringLiteral("verify"), file});
    EXPECT_EQ(verify.status, 1) << verify.err.toStdString();
    EXPECT_TRUE(verify.out.contains(
        QLatin1String("DIFF firmware: file DCAC-HEX V0.90, controller DCAC-HEX V1.00")))
        << verify.out.toStdString();
    EXPECT_TRUE(verify.out.contains(QLatin1String("FAIL: the firmware differs")))
        << verify.out.toStdString();

    ASSERT_TRUE(sim.commandOk(QStringLiteral("stats reset")));
    const CliResult write = cli({QStringLiteral("write"), file, QStringLiteral("--json")});
    EXPECT_EQ(write.status, 1) << write.err.toStdString();
    const QJsonObject record = QJsonDocument::fromJson(write.out.toUtf8()).object();
    EXPECT_EQ(record.value(QStringLiteral("firmware")).toString(),
              QStringLiteral("DCAC-HEX V1.00"));
    EXPECT_EQ(record.value(QStringLiteral("fileFirmware")).toString(),
              QStringLiteral("DCAC-HEX V0.90"));
    EXPECT_FALSE(record.value(QStringLiteral("firmwareMatches")).toBool(true));
    EXPECT_TRUE(record.value(QStringLiteral("written")).toArray().isEmpty());
    // The firmware read and nothing else.
    const QString stats = sim.command(QStringLiteral("stats"));
    EXPECT_TRUE(stats.contains(QLatin1String(" requests=1 "))) << stats.toStdString();
    EXPECT_TRUE(stats.contains(QLatin1String(" fc4=1 "))) << stats.toStdString();
    EXPECT_EQ(holdingRegisters(), before);

    // Told to, both let the firmware be.
    for (const QString& command : {QStringLiteral("verify"), QStringLiteral("write")}) {
        SCOPED_TRACE(command.toStdString());
        const CliResult ignoring = cli({command, file, QStringLiteral("--ignore-firmware")});
        EXPECT_EQ(ignoring.status, 0) << ignoring.out.toStdString() << ignoring.err.toStdString();
    }
}

// A record the run cannot leave behind makes the run fail with status 4, and standard output says
// so; a run that failed on the link keeps its status 3.
TEST_P(CliOnSimulator, ARecordTheDiskCannotTakeIsStatusFour) {
    if (!FileSizeLimit::available()) {
        GTEST_SKIP() << "no way to fill the disk here";
    }
    const QString file = parameterFile(QStringLiteral("approved.json"), {});
    const QString differing = parameterFile(QStringLiteral("differing.json"), Changes);
    const QString records = path(QStringLiteral("records"));
    ASSERT_TRUE(QDir().mkpath(records));
    const struct {
        QStringList arguments;
        const char* fault;
        int status;
        const char* result;
    } cases[] = {
        {{QStringLiteral("firmware")}, "clear", 4, "record not written"},
        {{QStringLiteral("verify"), file}, "clear", 4, "record not written"},
        {{QStringLiteral("verify"), differing}, "clear", 4, "record not written"},
        {{QStringLiteral("verify"), file}, "silent on", 3, "link failure"},
    };
    for (const auto& [arguments, fault, status, result] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString() + " / " + fault);
        ASSERT_TRUE(sim.commandOk(QString::fromLatin1(fault)));
        CliResult run;
        {
            // Room for the serial port's lock file (a few short lines), none for a record.
            const FileSizeLimit fullDisk(256);
            run = cli(arguments +
                      QStringList{QStringLiteral("--json"), QStringLiteral("--record"), records});
        }
        EXPECT_EQ(run.status, status) << run.err.toStdString();
        const QJsonObject record = QJsonDocument::fromJson(run.out.toUtf8()).object();
        EXPECT_EQ(record.value(QStringLiteral("status")).toInt(-1), status);
        EXPECT_EQ(record.value(QStringLiteral("result")).toString(), QString::fromLatin1(result));
        EXPECT_FALSE(record.value(QStringLiteral("recordProblem")).toString().isEmpty());
        EXPECT_TRUE(run.err.contains(QLatin1String("the record was not written")))
            << run.err.toStdString();
        EXPECT_EQ(QDir(records).entryList(QDir::Files | QDir::Hidden), QStringList())
            << "no part of a record";
    }
    ASSERT_TRUE(sim.commandOk(QStringLiteral("clear")));
}

TEST_P(CliOnSimulator, ARecordFolderLostDuringTheRunIsStatusFour) {
    const QString records = path(QStringLiteral("records"));
    QProcess live;
    live.start(QStringLiteral(CLIMATE_CLI_PATH),
               {QStringLiteral("live"), QStringLiteral("--count"), QStringLiteral("8"),
                QStringLiteral("--port"), sim.portName(), QStringLiteral("--record"), records});
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (out.count('\n') < 2 && clock.elapsed() < 20000) {
        live.waitForReadyRead(500);
        out += live.readAllStandardOutput();
    }
    ASSERT_GE(out.count('\n'), 2) << "a header and a circle: " << out.toStdString();
    // The folder goes while the unit is polled, and a file takes its name.
    ASSERT_TRUE(QDir(records).removeRecursively());
    QFile blocker(records);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    ASSERT_TRUE(live.waitForFinished(60000));
    out += live.readAllStandardOutput();
    const QString err = consoleText(live.readAllStandardError());
    EXPECT_EQ(live.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(live.exitCode(), 4) << err.toStdString();
    EXPECT_EQ(out.count('\n'), 9) << "the run itself went to its end";
    EXPECT_TRUE(err.contains(QLatin1String("the record was not written"))) << err.toStdString();
}

// A port name that cannot be a port and a baud rate the tool does not offer are usage errors,
// before any port is tried.
TEST(CliCommandLine, AMalformedPortOrBaudRateIsAUsageError) {
    const std::vector<QStringList> cases{
        {QStringLiteral("firmware"), QStringLiteral("--port"),
         QStringLiteral("rtu+tcp://127.0.0.1")},
        {QStringLiteral("firmware"), QStringLiteral("--port"), QStringLiteral("tcp://")},
        {QStringLiteral("firmware"), QStringLiteral("--port"),
         QStringLiteral("rtu+tcp://127.0.0.1:1"), QStringLiteral("--baud"),
         QStringLiteral("57600")},
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        QProcess process;
        process.start(QStringLiteral(CLIMATE_CLI_PATH), arguments);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 2);
        const QString err = consoleText(process.readAllStandardError());
        EXPECT_TRUE(err.contains(QLatin1String("--help"))) << err.toStdString();
        EXPECT_FALSE(err.contains(QLatin1String("link failure"))) << err.toStdString();
    }
}

// A pseudo-terminal where the simulator can serve one (not to a Windows build under Wine).
std::vector<const char*> transports() {
    std::vector<const char*> all{"rtu", "mbap"};
    if (SimulatorChannel::servesSerialPorts()) {
        all.insert(all.begin(), "pty");
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(Transports, CliOnSimulator, testing::ValuesIn(transports()));

} // namespace
