// Golden cases of tagwell-cli: a case folder holds the command line (`args`, one argument a line),
// the window's settings it starts with (`settings`, KEY=VALUE) and its input files; the runner runs
// the program and compares its standard output, standard error, exit status and the files it left
// (`files`, each plain file's bytes in `out.<name>`) with the expected files; `environment` holds
// KEY=VALUE lines the run gets in its environment. No run may change the
// settings. In arguments, settings and outputs %CASE% is the case folder, %TMP% a folder of the
// run's own, %FULL% a full disk, %SRC% the source tree, %CONFIG% the settings folder.
//
// prepare  database NAME SQLFILE   %TMP%/NAME.db made by sqlite3 from the SQL file
//          full-disk FILE...       a small tmpfs at %FULL% holding the case's FILEs, then filled
//          full-disk-but N FILE... the same with N bytes left free, so writes fail part of the way
//          device NAME MAJOR MINOR a character device node %TMP%/NAME
//          fifo NAME               a named pipe %TMP%/NAME
//          huge NAME               a sparse file %TMP%/NAME beyond the bound of every input
//          write NAME TEXT         a file %TMP%/NAME holding TEXT
//          stdout NAME|PATH        standard output goes into %TMP%/NAME (or PATH)
//          settings-folder         a folder where the settings file belongs
// A case with a `BRONTA.ini` starts with that settings file, byte for byte (%TMP% filled in).
#include "CliRunner.h"
#include "GoldenCases.h"
#include "PrivateDevices.h"
#include "RunTool.h"

#include <QDirIterator>
#include <QRegularExpression>

namespace {

// The entries of `dir`, as "<shown>/<name>: <kind>", each plain file's bytes expected in out.<name>.
QString listFiles(const golden::Case& c, const QString& dir, const QString& shown) {
    QString list;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext()) paths << it.next();
    paths.sort();
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const QString name = path.mid(dir.size() + 1);
        QString kind;
        if (IsCharDevice(path)) kind = QStringLiteral("character device");
        else if (IsFifo(path)) kind = QStringLiteral("named pipe");
        else if (info.isDir()) kind = QStringLiteral("folder");
        else if (name == u".filler") kind = QStringLiteral("what filled the disk");
        else if (name.endsWith(u".db")) kind = QStringLiteral("database");
        else if (info.size() > 16 * 1024 * 1024) kind = QStringLiteral("%1 bytes, not compared").arg(info.size());
        else if (ReadFile(path).startsWith("%PDF-") && ReadFile(path).endsWith("%%EOF\n") && info.size() > 100) {
            static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
            kind = QStringLiteral("PDF of %1 pages").arg(QString::fromLatin1(ReadFile(path)).count(page));
        } else {
            kind = QStringLiteral("%1 bytes").arg(info.size());
            c.expect("out." + QString(name).replace(u'/', u'_'), ReadFile(path).replace(dir.toUtf8(), shown.toUtf8()));
        }
        list += shown + u'/' + name + QStringLiteral(": ") + kind + u'\n';
    }
    return list;
}

GOLDEN_CASES(CliCase, "cli");

TEST_P(CliCase, PrintsWritesAndExitsExactly) {
    CliRunner cli;
    std::unique_ptr<SmallTmpfs> full;
    QString fullDir = QStringLiteral("/nonexistent");
    const QString tmp = cli.path(QStringLiteral("run"));
    QDir().mkpath(tmp);
    const auto fill = [&](QString text) {
        return text.replace(QStringLiteral("%CASE%"), c.dir()).replace(QStringLiteral("%TMP%"), tmp)
            .replace(QStringLiteral("%FULL%"), fullDir).replace(QStringLiteral("%SRC%"), QStringLiteral(TAGWELL_SOURCE_DIR));
    };
    QString stdoutFile;
    for (const QString& line : c.has("prepare") ? c.lines("prepare") : QStringList()) {
        const QStringList w = fill(line).split(u' ');
        if (w[0] == u"database") {
            ASSERT_EQ(RunTool(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), tmp + u'/' + w[1] + QStringLiteral(".db"), ".read '" + w[2] + u'\''}), "");
        } else if (w[0] == u"full-disk" || w[0] == u"full-disk-but") {
            const bool but = w[0] == u"full-disk-but";
            full = std::make_unique<SmallTmpfs>();
            ASSERT_EQ(full->error(), QString());
            fullDir = full->path(QString()).chopped(1);
            for (const QString& name : w.mid(but ? 2 : 1)) ASSERT_TRUE(QFile::copy(c.path(name), full->path(name)));
            full->fill(but ? w[1].toLongLong() : 0);
        } else if (w[0] == u"huge") {
            QFile f(tmp + u'/' + w[1]);  // sparse: beyond every bound without using the disk
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(qint64(2) * 1024 * 1024 * 1024 + 1));
        } else if (w[0] == u"write") {
            QFile f(tmp + u'/' + w[1]);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(fill(line).section(u' ', 2).toUtf8()) >= 0);
        } else if (w[0] == u"device") {
            ASSERT_EQ(MakeCharDevice(tmp + u'/' + w[1], w[2].toUInt(), w[3].toUInt()), QString());
        } else if (w[0] == u"fifo") {
            ASSERT_EQ(MakeFifo(tmp + u'/' + w[1]), QString());
        } else if (w[0] == u"settings-folder") {
            cli.putSettingsFolder();
        } else if (w[0] == u"stdout") {
            stdoutFile = w[1].startsWith(u'/') ? w[1] : tmp + u'/' + w[1];
        } else {
            FAIL() << "unknown prepare line: " << line.toStdString();
        }
    }
    std::map<QString, QString> settings;
    for (const QString& line : c.has("settings") ? c.lines("settings") : QStringList())
        settings[line.section(u'=', 0, 0)] = fill(line.section(u'=', 1));
    // A `BRONTA.ini` is the settings file byte for byte, as a person or another tool wrote it.
    const QByteArray stored = c.has("BRONTA.ini") ? cli.putSettingsFile(c.read("BRONTA.ini").replace("%TMP%", tmp.toUtf8()))
                                                  : cli.saveSettings(settings);
    QStringList args;
    for (const QString& a : c.lines("args")) args << fill(a);

    std::map<QString, QString> environment;
    for (const QString& line : c.has("environment") ? c.lines("environment") : QStringList())
        environment[line.section(u'=', 0, 0)] = fill(line.section(u'=', 1));
    const CliResult r = cli.run(args, stdoutFile, QStringLiteral(TAGWELL_BINARY_DIR "/tagwell-cli"), environment);
    // Paths back to their names, so that the expected outputs hold no folder of this run.
    const auto unfill = [&](const QByteArray& text) {
        return QString::fromUtf8(text).replace(c.dir(), QStringLiteral("%CASE%")).replace(tmp, QStringLiteral("%TMP%"))
            .replace(fullDir, QStringLiteral("%FULL%")).replace(cli.configDir(), QStringLiteral("%CONFIG%")).replace(QStringLiteral(TAGWELL_SOURCE_DIR), QStringLiteral("%SRC%"))
            .replace(QStringLiteral(TAGWELL_VERSION), QStringLiteral("%VERSION%")).toUtf8();
    };
    c.expect("stdout", unfill(r.out));
    c.expect("stderr", unfill(r.err));
    c.expect("status", QByteArray::number(r.exitCode) + '\n');
    c.expect("files", (listFiles(c, tmp, QStringLiteral("%TMP%")) + (full ? listFiles(c, fullDir, QStringLiteral("%FULL%")) : QString())).toUtf8());
    EXPECT_EQ(cli.settings(), stored) << "a run changed the window's settings";
}

}  // namespace
