#include "CliOptions.h"
#include "CliRun.h"

#include <QCoreApplication>

#include <cstdio>

using namespace climate::cli;

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("climate-tool"));
    QCoreApplication::setApplicationName(QStringLiteral("climate-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CLIMATE_VERSION));

    const ParsedCommandLine parsed = parseCommandLine(QCoreApplication::arguments().mid(1));
    if (!parsed.options) {
        const QByteArray text = parsed.text.toUtf8();
        std::FILE* stream = parsed.status == ExitStatus::Success ? stdout : stderr;
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stream);
        return static_cast<int>(parsed.status);
    }
    CliRun run(*parsed.options, stdout, stderr);
    return static_cast<int>(run.execute());
}
