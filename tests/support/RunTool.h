#pragma once
// The one way tests run a program of the machine (sqlite3, the CUPS and database tools, poppler,
// zbar, stty) to its end.
#include <QProcess>
#include <QStringList>

// "" or what went wrong, with the program's error output. Its standard output goes to `out` when
// given, else it is kept with the errors.
inline QString RunTool(const QString& program, const QStringList& args, QByteArray* out = nullptr, int timeoutMs = 120000) {
    QProcess p;
    if (!out) p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool finished = p.waitForFinished(timeoutMs);
    if (out) *out = p.readAllStandardOutput();
    if (finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) return {};
    return program + u' ' + args.join(u' ') + QStringLiteral(" failed: ") + p.errorString() + u'\n' +
           QString::fromLocal8Bit(out ? p.readAllStandardError() : p.readAll());
}
