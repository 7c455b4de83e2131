#pragma once
// Helpers of the data-file tests: a private folder for files written byte by byte, the fixtures, and
// what the dialogs were asked, as text.
#include "StoreDatabases.h"  // readable QStrings in failure output
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct TempFiles {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
        f.write(bytes);
        return f.fileName();
    }
    static QByteArray read(const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

inline QString FixturePath(const QString& name) { return QStringLiteral(TAGWELL_TEST_DATA "/datafiles/") + name; }

// Every message shown since the last call, one "title style prompt" line each (style 48 is the
// exclamation icon, 64 the information icon, +1 for OK and Cancel).
inline QString Shown(ScriptedDialogs& dialogs) {
    QString text;
    for (const RecordedMessage& m : dialogs.messages)
        text += QStringLiteral("%1 %2 %3\n").arg(m.title).arg(m.style).arg(m.prompt);
    dialogs.messages.clear();
    return text;
}

// A file dialog as "proposed name|title|flags|filter|filter index".
inline QString Describe(const FileDialogRequest& r) {
    return QStringLiteral("%1|%2|%3|%4|%5").arg(r.fileName, r.dialogTitle).arg(r.flags).arg(r.filter).arg(r.filterIndex);
}
