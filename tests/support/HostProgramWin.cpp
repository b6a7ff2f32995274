#include "HostProgram.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <windows.h>

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Wine's own translation of a Windows path into the Unix one (kernel32's
// wine_get_unix_file_name); empty on a real Windows.
QString wineUnixPath(const QString& path) {
    using Translate = char* (*)(const wchar_t*);
    static const auto translate = reinterpret_cast<Translate>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!translate) {
        return {};
    }
    const std::wstring wide = QDir::toNativeSeparators(QDir(path).absolutePath()).toStdWString();
    char* unix = translate(wide.c_str());
    if (!unix) {
        return {};
    }
    const QString result = QString::fromLocal8Bit(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

QString shellQuoted(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

HostRun runHostProgram(const QString& program, const QStringList& arguments, int timeoutMs) {
    HostRun run;
    QTemporaryDir folder;
    const QString unixFolder = wineUnixPath(folder.path());
    if (!folder.isValid() || unixFolder.isEmpty()) {
        run.errors = "no folder shared with the host (not under Wine?)";
        return run;
    }
    // The shell of the host runs the program with its output in files the test reads back.
    QString line = QStringLiteral("exec ") + shellQuoted(program);
    for (const QString& argument : arguments) {
        line += QLatin1Char(' ') + shellQuoted(argument);
    }
    line += QStringLiteral(" >") + shellQuoted(unixFolder + QStringLiteral("/out")) +
            QStringLiteral(" 2>") + shellQuoted(unixFolder + QStringLiteral("/err"));
    QProcess shell;
    shell.start(QStringLiteral("Z:\\bin\\sh"), {QStringLiteral("-c"), line});
    if (!shell.waitForStarted(timeoutMs)) {
        run.errors = shell.errorString().toUtf8();
        return run;
    }
    run.finished = shell.waitForFinished(timeoutMs);
    run.exitCode = shell.exitCode();
    run.output = contentOf(folder.filePath(QStringLiteral("out")));
    run.errors = contentOf(folder.filePath(QStringLiteral("err")));
    return run;
}

QString hostPath(const QString& path) {
    return wineUnixPath(path);
}
