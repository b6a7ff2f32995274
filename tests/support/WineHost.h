#pragma once

// Under Wine: naming the Linux host's files and reaching its programs (HostProgramWin.cpp,
// SimulatorChannelWin.cpp). Wine starts a Linux program detached (no handle to wait on, no exit
// status, no output through pipes), so the tests ask host_service.py, which
// scripts/windows/test.sh runs on the host, over a loopback connection.

#include <QByteArray>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTcpSocket>

#include <windows.h>

namespace wine_host {

// Wine's translation of a Windows path into the Unix one (kernel32's wine_get_unix_file_name);
// empty on a real Windows.
inline QString unixPath(const QString& path) {
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

// Connects `socket` to the host service and sends the request line
// {"<mode>": [program, arguments...], ...extra}; false with `error` when that fails.
inline bool request(QTcpSocket& socket, const char* mode, const QString& program,
                    const QStringList& arguments, QJsonObject extra, QString& error,
                    int timeoutMs = 10000) {
    const QString service = qEnvironmentVariable("CLIMATE_HOST_SERVICE");
    const qsizetype colon = service.lastIndexOf(QLatin1Char(':'));
    if (colon < 0) {
        error = QStringLiteral("CLIMATE_HOST_SERVICE is not set (scripts/windows/test.sh sets it)");
        return false;
    }
    socket.connectToHost(service.left(colon), service.mid(colon + 1).toUShort());
    if (!socket.waitForConnected(timeoutMs)) {
        error = QStringLiteral("no host service at ") + service + QStringLiteral(": ") +
                socket.errorString();
        return false;
    }
    QJsonArray command{program};
    for (const QString& argument : arguments) {
        command.append(argument);
    }
    extra.insert(QLatin1String(mode), command);
    socket.write(QJsonDocument(extra).toJson(QJsonDocument::Compact) + '\n');
    socket.flush();
    return true;
}

} // namespace wine_host
