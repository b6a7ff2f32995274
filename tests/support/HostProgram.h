#pragma once

#include <QString>
#include <QStringList>

// Runs a program of the machine the tests run on (Python with xlrd) and collects what it
// printed. On Linux that is an ordinary child process. The Windows build's tests run under Wine,
// where a Linux program runs detached, its output never reaching the Windows side: there the
// host service runs it (HostProgramWin.cpp, host_service.py).
struct HostRun {
    bool finished = false; // false when it could not start or outlived the timeout
    int exitCode = -1;
    QByteArray output; // standard output
    QByteArray errors; // standard error, and why it did not run
};

// `program` and the paths among `arguments` are this machine's own (/usr/bin/python3); a path
// of a file the test wrote goes through hostPath() first.
HostRun runHostProgram(const QString& program, const QStringList& arguments, int timeoutMs = 30000);

// The host's name for a file the test made: the path itself on Linux, the Unix path behind a
// Windows path under Wine.
QString hostPath(const QString& path);
