#pragma once
// Runs the built tagwell-cli as a process, with a settings folder of its own (XDG_CONFIG_HOME) so
// that no run ever reads or writes the user's settings.
#include "StoreDatabases.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class CliRunner {
public:
    // `stdoutFile`: standard output goes there instead of being collected. `program`: what runs
    // the arguments, tagwell-cli itself by default.
    CliResult run(const QStringList& args, const QString& stdoutFile = {},
                  const QString& program = QStringLiteral(TAGWELL_BINARY_DIR "/tagwell-cli"),
                  const std::map<QString, QString>& environment = {}) const {
        QProcess p;
        if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
        // As from cron or a service: no runtime folder. No run may warn about it on standard error.
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        for (const auto& [k, v] : environment) env.insert(k, v);
        p.setProcessEnvironment(env);
        p.start(program, args);
        const bool finished = p.waitForFinished(90000);
        EXPECT_TRUE(finished) << "tagwell-cli did not finish: " << args.join(u' ').toStdString();
        return {finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
                p.readAllStandardError()};
    }

    // The window's settings file inside this runner's private configuration folder.
    QByteArray settings() const { return ReadFile(config_.filePath(QStringLiteral("BRONTA/BRONTA.ini"))); }

    // Stores keys as the window would have saved them; returns the file as it is then.
    QByteArray saveSettings(const std::map<QString, QString>& values) const {
        QSettings s(config_.filePath(QStringLiteral("BRONTA/BRONTA.ini")), QSettings::IniFormat);
        for (const auto& [k, v] : values) s.setValue(QStringLiteral("TAGWELL/") + k, v);
        s.sync();
        return settings();
    }

    // Puts the settings file as a person or another tool wrote it; returns it.
    QByteArray putSettingsFile(const QByteArray& bytes) const {
        QDir().mkpath(config_.filePath(QStringLiteral("BRONTA")));
        QFile f(config_.filePath(QStringLiteral("BRONTA/BRONTA.ini")));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        return bytes;
    }
    // A folder where the settings file belongs.
    void putSettingsFolder() const { QDir().mkpath(config_.filePath(QStringLiteral("BRONTA/BRONTA.ini"))); }

    QString configDir() const { return config_.path(); }
    QString path(const QString& name) const { return work_.filePath(name); }

private:
    QTemporaryDir config_;
    QTemporaryDir work_;
};
