#include "XlsReadBack.h"

#include "support/HostProgram.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

XlsReadBack::Format formatOf(const QJsonObject& json) {
    XlsReadBack::Format format;
    format.horizontal = json["h"].toInt();
    format.vertical = json["v"].toInt();
    format.numberFormat = json["format"].toString().toStdString();
    for (int i = 0; i < 4; ++i) {
        format.lines[i] = json["lines"].toArray()[i].toInt();
        format.colours[i] = json["colours"].toArray()[i].toInt();
    }
    return format;
}

} // namespace

const XlsReadBack::Cell* XlsReadBack::Sheet::at(int row, int column) const {
    const auto found = cells.find({row, column});
    return found == cells.end() ? nullptr : &found->second;
}

std::string XlsReadBack::Sheet::text(int row, int column) const {
    const Cell* cell = at(row, column);
    return cell && cell->type == "text" ? cell->text : "<no text>";
}

std::optional<double> XlsReadBack::Sheet::number(int row, int column) const {
    const Cell* cell = at(row, column);
    if (!cell || cell->type != "number") {
        return std::nullopt;
    }
    return cell->number;
}

XlsReadBack XlsReadBack::of(const std::filesystem::path& file) {
    XlsReadBack book;
    const HostRun reader = runHostProgram(
        QStringLiteral(PYTHON_WITH_XLRD),
        {QStringLiteral(XLS_DUMP_SCRIPT), hostPath(QString::fromStdString(file.string()))});
    const std::string output = reader.output.toStdString();
    if (!reader.finished || reader.exitCode != 0) {
        const QByteArray said = reader.output + reader.errors;
        book.error = said.isEmpty()
                         ? "the reader failed (exit status " + std::to_string(reader.exitCode) + ")"
                         : said.toStdString();
        return book;
    }
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(output), &parseError);
    if (document.isNull()) {
        book.error = "unreadable reader output: " + output.substr(0, 500);
        return book;
    }
    const QJsonObject root = document.object();
    book.biffVersion = root["biff"].toInt();
    book.complaints = root["complaints"].toString().toStdString();
    const QJsonObject formats = root["formats"].toObject();
    for (const auto& sheetValue : root["sheets"].toArray()) {
        const QJsonObject json = sheetValue.toObject();
        Sheet sheet;
        sheet.name = json["name"].toString().toStdString();
        sheet.rows = json["nrows"].toInt();
        sheet.selected = json["selected"].toBool();
        const QJsonObject widths = json["widths"].toObject();
        for (auto it = widths.begin(); it != widths.end(); ++it) {
            sheet.widths[it.key().toInt()] = it.value().toInt();
        }
        for (const auto& cellValue : json["cells"].toArray()) {
            const QJsonArray fields = cellValue.toArray();
            Cell cell;
            cell.type = fields[2].toString().toStdString();
            if (cell.type == "text") {
                cell.text = fields[3].toString().toStdString();
            } else if (cell.type == "number") {
                cell.number = fields[3].toDouble();
            }
            cell.format = formatOf(formats[QString::number(fields[4].toInt())].toObject());
            sheet.cells[{fields[0].toInt() + 1, fields[1].toInt() + 1}] = cell;
        }
        book.sheets.push_back(std::move(sheet));
    }
    return book;
}
