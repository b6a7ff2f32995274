// Parameter files: what Save writes, that Load gives the same texts back, and that Load takes a
// file whole or not at all.
#include "PageRig.h"

#include "config/ParameterFile.h"
#include "support/FileSizeLimit.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

using namespace climate::config;

using climate::config::FileHeader;
using climate::config::FileOutcome;

namespace {

// Registers whose texts the groups' Set refuses but Read All shows: PluseNo 300, Heater DeltTemp
// 2.5, combo values that select nothing, MaxRev beyond a signed word, negative tenths.
const std::array<std::uint16_t, 47> OutOfSetRange{
    0xFFFF, 40000,  800,    253,    450, 200,    3,   0xFFC9, 300, 2, 1,      // internal fans
    50,     0,      0,      127,    701, 0xFFFD, 253, 470,    999, 0, 0xFFFF, // external fans
    0xFFC9, 25,     125,    5,      7,                                        // heater
    0,      253,    0xFE70,         // address, temperature alarm
    0,      0,      0,              // not shown
    3,      0xFFF1, 25,     0xFFFF, // calibration
    1,      3,                      // external input
    900,    100,                    // voltage alarm
    355,    50,     0x8000,         // compressor
    300,    3,      25,             // heat exchanger
};

std::vector<QString> textsOf(const ParameterFields& fields) {
    std::vector<QString> texts;
    for (std::size_t i = 0; i < fields.fields().size(); ++i) {
        texts.push_back(fields.text(i));
    }
    return texts;
}

// Gives every field another text the page can show.
void scramble(ParameterFields& fields) {
    for (std::size_t i = 0; i < fields.fields().size(); ++i) {
        const QStringList items = fields.items(i);
        fields.setText(i, items.isEmpty() ? QStringLiteral("1") : items.front());
    }
}

FileHeader header(const QString& firmware = {}) {
    return {QStringLiteral("climate-tool 1.0"), QStringLiteral("2026-12-10T09:30:00"), 1, firmware};
}

class ParameterFileTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    void write(const QString& file, const QByteArray& bytes) const {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    QTemporaryDir folder;
    PageRig page;
    // The page's fields as a file reads and fills them: the model they show.
    ParameterModel& fields = page.page->model();
};

TEST_F(ParameterFileTest, SaveAfterReadAllLoadsBackTheSameTexts) {
    page.page->Button12Click();
    page.exchange(readAllReply(OutOfSetRange));
    ASSERT_EQ(page.edit(53)->text(), "2.5");
    ASSERT_EQ(page.edit(41)->text(), "300");
    ASSERT_EQ(page.combo(1)->currentIndex(), -1);
    page.edit(14)->setText(QStringLiteral("25.30")); // as typed, not as Read All shows it
    const std::vector<QString> shown = textsOf(fields);

    const QString file = path("unit.json");
    const FileOutcome saved = saveParameterFile(file, fields, header());
    ASSERT_TRUE(saved.done) << saved.message.toStdString();
    scramble(fields);
    ASSERT_NE(textsOf(fields), shown);

    const FileOutcome loaded = loadParameterFile(file, fields);
    ASSERT_TRUE(loaded.done) << loaded.message.toStdString();
    EXPECT_TRUE(loaded.message.isEmpty()) << loaded.message.toStdString();
    EXPECT_EQ(textsOf(fields), shown);
    EXPECT_EQ(page.combo(1)->currentIndex(), -1);
    EXPECT_EQ(page.combo(7)->currentIndex(), -1) << "register 38 held 3";
    EXPECT_EQ(page.edit(17)->text(), "1") << "Comm Address is not a parameter";
}

TEST_F(ParameterFileTest, TheFileListsGroupsAndFieldsInRegisterOrderWithTheirNames) {
    page.combo(2)->setCurrentIndex(-1);
    const QByteArray bytes = writeParameterFile(fields, header(QStringLiteral("DCAC-HEX V1.00")));
    ASSERT_LE(bytes.size(), climate::config::MaxFileSize);
    EXPECT_TRUE(bytes.endsWith('\n'));
    EXPECT_GT(bytes.count('\n'), 44) << "one line per key, for diff";

    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    EXPECT_EQ(root["format"].toString(), "climate-unit-parameter-set");
    EXPECT_EQ(root["version"].toInt(), 1);
    const QJsonObject head = root["header"].toObject();
    EXPECT_EQ(head["program"].toString(), "climate-tool 1.0");
    EXPECT_EQ(head["saved"].toString(), "2026-12-10T09:30:00");
    EXPECT_EQ(head["DeviceAddress"].toInt(), 1);
    EXPECT_EQ(head["firmware"].toString(), "DCAC-HEX V1.00");
    EXPECT_FALSE(QJsonDocument::fromJson(writeParameterFile(fields, header()))
                     .object()["header"]
                     .toObject()
                     .contains("firmware"))
        << "no firmware key when the version is not known";

    QStringList groups;
    int lastRegister = -1;
    int count = 0;
    for (const QJsonValue& group : root["groups"].toArray()) {
        groups << group["record"].toString();
        for (const QJsonValue& field : group["fields"].toArray()) {
            EXPECT_GT(field["register"].toInt(), lastRegister);
            lastRegister = field["register"].toInt();
            EXPECT_EQ(field["group"].toString(), group["caption"].toString());
            ++count;
        }
    }
    EXPECT_EQ(groups, QStringList({"InternalFan", "ExternalFan", "Heater", "Address", "TempAlarm",
                                   "Calibration", "ExtInput", "VoltageAlarm", "Compressor",
                                   "HeatExchanger"}));
    EXPECT_EQ(count, 44);

    const QJsonArray fan = root["groups"][0]["fields"].toArray();
    EXPECT_EQ(fan[8].toObject(), QJsonObject({{"record", "PluseNo"},
                                              {"label", "PluseNo."},
                                              {"group", "Internal Fan"},
                                              {"register", 8},
                                              {"value", "2"}}));
    EXPECT_EQ(fan[9]["value"].toString(), "Enable");
    EXPECT_EQ(fan[10]["value"].toString(), "") << "no item selected";
    const QJsonArray heater = root["groups"][2]["fields"].toArray();
    EXPECT_EQ(heater[4]["label"].toString(), "Dis/Enable");
    EXPECT_EQ(heater[4]["record"].toString(), "Enable");
}

// A good file with one field's value replaced, or one group's entry edited.
QByteArray edited(const QByteArray& good, const std::function<void(QJsonObject&)>& change) {
    QJsonObject root = QJsonDocument::fromJson(good).object();
    change(root);
    return QJsonDocument(root).toJson();
}

std::function<void(QJsonObject&)> setValue(int group, int field, const QJsonValue& value) {
    return [=](QJsonObject& root) {
        QJsonArray groups = root["groups"].toArray();
        QJsonObject entry = groups[group].toObject();
        QJsonArray entries = entry["fields"].toArray();
        QJsonObject item = entries[field].toObject();
        item["value"] = value;
        entries[field] = item;
        entry["fields"] = entries;
        groups[group] = entry;
        root["groups"] = groups;
    };
}

TEST_F(ParameterFileTest, ABadFileIsRefusedWholeWithOneMessageNamingTheFirstProblem) {
    const QByteArray good = writeParameterFile(fields, header());
    QByteArray binary("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    QByteArray large = good;
    large.insert(1, QByteArray(climate::config::MaxFileSize, ' '));
    struct BadFile {
        const char* what;
        QByteArray bytes;
        const char* problem;
    };
    const std::vector<BadFile> bad{
        {"empty", QByteArray(), "damaged or cut short"},
        {"truncated", good.left(good.size() / 2), "damaged or cut short"},
        {"binary", binary, "not a text file"},
        {"latin-1", QByteArray("{\"format\": \"caf\xe9\"}"), "not a text file"},
        {"too large, though valid", large, "larger than 1 MiB"},
        {"other JSON", QByteArray(R"({"name": "report", "version": 1})"), "not a parameter file"},
        {"a JSON list", QByteArray("[1, 2]"), "not a parameter file"},
        {"no version", edited(good, [](QJsonObject& r) { r.remove("version"); }), "version"},
        {"no groups", edited(good, [](QJsonObject& r) { r["groups"] = 3; }), "no list of groups"},
        {"a word in a number field", edited(good, setValue(2, 1, "abc")),
         R"(Heater, DeltTemp: "abc" is not a value this field can show)"},
        {"beyond an unsigned register", edited(good, setValue(0, 1, "65536")),
         R"(Internal Fan, MaxRev: "65536")"},
        {"beyond a signed register", edited(good, setValue(8, 2, "32768")),
         R"(Compressor, MaxRPM: "32768")"},
        {"tenths beyond a register", edited(good, setValue(4, 0, "3276.8")),
         R"(Temp. Alarm, HighTemp: "3276.8")"},
        {"an item the box does not have", edited(good, setValue(6, 1, "nc")),
         R"(ExtInput, Type: "nc")"},
        {"a number, not a text", edited(good, setValue(9, 2, 2.5)),
         "Heat Exchanger, Min Delt-T: the value is not a text"},
        {"a line break", edited(good, setValue(1, 0, "5\n")), R"(External Fan, StepRev: "5)"},
        {"twice the same field",
         edited(good,
                [](QJsonObject& r) {
                    QJsonArray groups = r["groups"].toArray();
                    groups.append(groups[3]);
                    r["groups"] = groups;
                }),
         "Address: the field appears twice"},
    };
    const std::vector<QString> before = textsOf(fields);
    for (const BadFile& file : bad) {
        SCOPED_TRACE(file.what);
        write(path("bad.json"), file.bytes);
        const FileOutcome outcome = loadParameterFile(path("bad.json"), fields);
        EXPECT_FALSE(outcome.done);
        const std::string message = outcome.message.toStdString();
        EXPECT_NE(message.find("\"bad.json\""), std::string::npos) << message;
        EXPECT_NE(message.find(file.problem), std::string::npos) << message;
        EXPECT_NE(message.find("No field was changed"), std::string::npos) << message;
        EXPECT_EQ(textsOf(fields), before);
    }
    EXPECT_FALSE(loadParameterFile(path("missing.json"), fields).done);
}

TEST_F(ParameterFileTest, UnknownEntriesAreSkippedAndMissingFieldsLeftAsTheyWere) {
    const QByteArray good = writeParameterFile(fields, header());
    const QByteArray newer = edited(good, [](QJsonObject& root) {
        root["version"] = 2;
        root["comment"] = "from a newer version";
        QJsonArray groups = root["groups"].toArray();
        QJsonObject fan = groups[0].toObject();
        QJsonArray entries = fan["fields"].toArray();
        QJsonObject first = entries[0].toObject();
        first["unit"] = "RPM";
        entries[0] = first;
        entries.append(QJsonObject{{"record", "Turbo"}, {"value", "1"}});
        entries.removeAt(9); // Fan1Enable, labelled "Intfan1" on the page
        fan["fields"] = entries;
        groups[0] = fan;
        QJsonObject heater = groups[2].toObject();
        QJsonArray heaterFields = heater["fields"].toArray();
        heaterFields.removeAt(1); // DeltTemp
        heater["fields"] = heaterFields;
        groups[2] = heater;
        groups.append(QJsonObject{{"record", "Humidifier"}, {"fields", QJsonArray()}});
        root["groups"] = groups;
    });
    write(path("newer.json"), newer);
    scramble(fields);
    page.edit(53)->setText(QStringLiteral("7"));

    const FileOutcome outcome = loadParameterFile(path("newer.json"), fields);
    ASSERT_TRUE(outcome.done) << outcome.message.toStdString();
    EXPECT_EQ(outcome.message.toStdString(),
              "\"newer.json\" was loaded.\n"
              "Skipped, unknown to this program: comment; InternalFan.StepRev.unit; "
              "InternalFan.Turbo; Humidifier.\n"
              "Left unchanged, not in the file: Internal Fan, Intfan1; Heater, DeltTemp.");
    EXPECT_EQ(page.edit(53)->text(), "7");
    EXPECT_EQ(page.edit(12)->text(), "100");
    EXPECT_EQ(page.edit(52)->text(), "-5.5");
}

TEST_F(ParameterFileTest, SaveRefusesATextThatWouldNotLoadAgain) {
    page.edit(50)->setText(QStringLiteral("twelve"));
    const FileOutcome outcome = saveParameterFile(path("unit.json"), fields, header());
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.message.toStdString(),
              "\"unit.json\" was not saved: Heater, MaxCurrent: \"twelve\" is not a number this "
              "field can hold.");
    EXPECT_FALSE(QFile::exists(path("unit.json")));
}

TEST_F(ParameterFileTest, ASaveTheDiskCannotTakeSaysSoAndKeepsTheOldFile) {
    if (!FileSizeLimit::available()) {
        GTEST_SKIP() << "no way to fill the disk here";
    }
    ASSERT_TRUE(saveParameterFile(path("unit.json"), fields, header()).done);
    QFile before(path("unit.json"));
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    before.close();

    page.edit(12)->setText(QStringLiteral("4321"));
    FileOutcome outcome;
    {
        const FileSizeLimit fullDisk(static_cast<long>(old.size() / 2));
        outcome = saveParameterFile(path("unit.json"), fields, header());
    }
    EXPECT_FALSE(outcome.done);
    EXPECT_TRUE(outcome.message.startsWith(QStringLiteral("\"unit.json\" was not saved: ")))
        << outcome.message.toStdString();
    QFile after(path("unit.json"));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), old);
}

TEST(PageCanShow, WhatReadAllCouldPutInTheFieldOrNothing) {
    using climate::config::FileField;
    const FileField u{"G", "G", "U", "U", 0, ReadForm::Unsigned};
    const FileField s{"G", "G", "S", "S", 27, ReadForm::Signed};
    const FileField t{"G", "G", "T", "T", 3, ReadForm::Tenths};
    const FileField i{"G", "G", "I", "I", 38, ReadForm::Item};
    const QStringList items{"NO", "NC"};
    struct Case {
        const FileField* field;
        const char* text;
        bool shown;
    };
    const std::vector<Case> cases{
        {&u, "", true},       {&u, "0", true},       {&u, "65535", true},  {&u, "65536", false},
        {&u, "-1", false},    {&u, "2.5", false},    {&s, "-32768", true}, {&s, "32767", true},
        {&s, "32768", false}, {&t, "-3276.8", true}, {&t, "3276.7", true}, {&t, "3276.8", false},
        {&t, "25.30", true},  {&t, "2.53e1", true},  {&t, "abc", false},   {&t, "1,5", false},
        {&i, "NC", true},     {&i, "", true},        {&i, "nc", false},    {&i, "Enable", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(climate::config::pageCanShow(*c.field, items, QString::fromUtf8(c.text)), c.shown)
            << c.field->name.toStdString() << " \"" << c.text << "\"";
    }
}

TEST(DefaultFileName, HoldsTheDateAndTheFirmwareVersionMadeSafe) {
    using climate::config::defaultFileName;
    EXPECT_EQ(defaultFileName("2026-12-10", ""), "parameters-2026-12-10.json");
    EXPECT_EQ(defaultFileName("2026-12-10", "DCAC-HEX V1.00"),
              "parameters-2026-12-10-DCAC-HEX_V1.00.json");
    EXPECT_EQ(defaultFileName("2026-12-10", "a/b\\c:d*e?f\"g<h>i|j\tk"),
              "parameters-2026-12-10-a_b_c_d_e_f_g_h_i_j_k.json");
    EXPECT_EQ(defaultFileName("2026-12-10", QString::fromUtf8("版本V2")),
              QString::fromUtf8("parameters-2026-12-10-版本V2.json"));
}

} // namespace
