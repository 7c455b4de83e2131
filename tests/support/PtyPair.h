#pragma once
// Two linked pseudo-terminals made by socat, standing for the cable to a serial printer: what is
// written to `a` can be read at `b`. pullThePlug() takes the far end away.
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QString>

class PtyPair {
public:
    explicit PtyPair(const QString& dir) : a(dir + QStringLiteral("/ttyA")), b(dir + QStringLiteral("/ttyB")) {
        socat_.start(QStringLiteral("socat"), {"-d", "-d", "pty,raw,echo=0,link=" + a, "pty,raw,echo=0,link=" + b});
        if (!socat_.waitForStarted(5000)) {
            error_ = QStringLiteral("socat does not start: ") + socat_.errorString();
            return;
        }
        QByteArray log;  // socat reports its transfer loop once both ends exist
        for (QDeadlineTimer deadline(10000); !log.contains("starting data transfer loop") && !deadline.hasExpired();) {
            socat_.waitForReadyRead(200);
            log += socat_.readAllStandardError();
        }
        if (!QFileInfo::exists(a) || !QFileInfo::exists(b)) error_ = QStringLiteral("socat made no pseudo-terminals: ") + log;
    }
    ~PtyPair() { pullThePlug(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    void pullThePlug() {
        if (socat_.state() == QProcess::NotRunning) return;
        socat_.kill();
        socat_.waitForFinished(5000);
    }
    // Empty when both ends exist.
    const QString& error() const { return error_; }

    const QString a, b;

private:
    QProcess socat_;
    QString error_;
};
