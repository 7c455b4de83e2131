#pragma once
// Runs the built tagwell-cli as a process, with a settings folder of its own (XDG_CONFIG_HOME) so
// that no run ever reads or writes the user's settings.
#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QString outText() const { return QString::fromUtf8(out); }
    QString errText() const { return QString::fromUtf8(err); }
    QStringList outLines() const { return outText().split(u'\n', Qt::SkipEmptyParts); }
};

inline QString CliFixture(const char* name) { return QStringLiteral(TAGWELL_TEST_DATA "/cli/") + QString::fromLatin1(name); }

class CliRunner {
public:
    static QString binary() { return QStringLiteral(TAGWELL_BINARY_DIR "/tagwell-cli"); }

    CliResult run(const QStringList& args, int timeoutMs = 90000) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
        // The GUI module warns on standard error without a runtime folder of the user's.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        p.setProcessEnvironment(env);
        p.start(binary(), args);
        CliResult r;
        if (!p.waitForStarted(timeoutMs)) {
            ADD_FAILURE() << "tagwell-cli did not start: " << binary().toStdString();
            return r;
        }
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "tagwell-cli did not finish: " << args.join(u' ').toStdString();
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    // The window's settings file inside this runner's private configuration folder.
    QString settingsFile() const { return config_.filePath(QStringLiteral("BRONTA/BRONTA.ini")); }

    // Stores keys as the window would have saved them.
    void saveSettings(const std::map<QString, QString>& values) const {
        QSettings s(settingsFile(), QSettings::IniFormat);
        s.beginGroup(QStringLiteral("TAGWELL"));
        for (const auto& [k, v] : values) s.setValue(k, v);
        s.endGroup();
        s.sync();
    }

    QString path(const QString& name) const { return work_.filePath(name); }

    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private:
    QTemporaryDir config_;
    QTemporaryDir runtime_;  // created readable by its owner only, as the folder must be
    QTemporaryDir work_;
};
