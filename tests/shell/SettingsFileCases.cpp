// The settings file as people and other tools write it, one case folder under tests/data/settings/
// each. Inputs: the file as found (`BRONTA.ini`; none: there is no file), how it is found
// (`prepare`: `mode 644` its permissions, `pad N` N more bytes of comment lines, `folder` a folder
// in its place), the keys read (`keys`) and the saves made in order (`save`, KEY=VALUE).
// Expected: `read` (whether the window takes it for a first start, the problem it tells, each key's
// value), `saved` (what each save reported, whether the file was rewritten, its mode, the
// ".damaged" copy) and, when the file was rewritten, `after` (its bytes).
#include "GoldenCases.h"
#include "platform/TagwellError.h"
#include "platform/qt/QtSettingsStore.h"
#include "shell/DemoStore.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return QFileInfo(path).isFile() && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? QString::number(st.st_mode & 07777, 8) : QStringLiteral("none");
}

// Control characters as \xNN, so that a value's CR or tab shows.
QString visible(const QString& text) {
    QString out;
    for (const QChar ch : text) out += ch < u' ' ? QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QChar(u'0')) : QString(ch);
    return out;
}

GOLDEN_CASES(SettingsFile, "settings");

TEST_P(SettingsFile, ReadAndSaved) {
    QTemporaryDir tmp;
    const QString ini = tmp.filePath("BRONTA.ini");
    if (c.has("BRONTA.ini")) {
        ASSERT_TRUE(QFile::copy(c.path("BRONTA.ini"), ini));
        ASSERT_EQ(::chmod(QFile::encodeName(ini).constData(), 0600), 0);
    }
    for (const QString& line : c.has("prepare") ? c.lines("prepare") : QStringList()) {
        const QString arg = line.section(u' ', 1);
        if (line.startsWith(u"mode ")) {
            ASSERT_EQ(::chmod(QFile::encodeName(ini).constData(), arg.toUInt(nullptr, 8)), 0);
        } else if (line.startsWith(u"pad ")) {
            QFile f(ini);
            ASSERT_TRUE(f.open(QIODevice::Append));
            for (qint64 left = arg.toLongLong(); left > 0; left -= 1000) f.write(QByteArray(qMin<qint64>(left, 1000) - 1, ';') + '\n');
        } else if (line == u"folder") {
            ASSERT_TRUE(QDir().mkpath(ini));
        } else {
            FAIL() << "unknown prepare line " << line.toStdString();
        }
    }
    const QByteArray found = fileBytes(ini);
    const auto local = [&](QString text) { return text.replace(tmp.path(), QStringLiteral("%TMP%")).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); };

    QtSettingsStore store(ini);
    const SettingsProblem problem = store.Problem();
    QString read = QStringLiteral("first start: %1\nproblem: %2\n").arg(IsFirstStart(store) ? "yes" : "no")
                       .arg(problem.kind == SettingsProblem::None ? QStringLiteral("none")
                            : (problem.kind == SettingsProblem::Unreadable ? QStringLiteral("unreadable\n") : QStringLiteral("damaged lines\n")) + local(problem.text));
    for (const QString& key : c.lines("keys")) read += key + u'=' + visible(store.GetSetting(kRegApp, kRegSec, key, QStringLiteral("<absent>"))) + u'\n';
    c.expect("read", read.toUtf8());

    QString saved;
    for (const QString& line : c.has("save") ? c.lines("save") : QStringList()) {
        const QString key = line.section(u'=', 0, 0);
        try {
            store.SaveSetting(kRegApp, kRegSec, key, line.section(u'=', 1));
            saved += QStringLiteral("saved %1\n").arg(key);
        } catch (const TagwellError& e) {
            saved += QStringLiteral("not saved %1: %2\n").arg(key, local(e.description()));
        }
    }
    const QByteArray after = fileBytes(ini);
    const QString damaged = ini + QStringLiteral(".damaged");
    saved += QStringLiteral("file %1, mode %2\n").arg(after == found ? "as found" : "rewritten", modeOf(ini));
    if (QFile::exists(damaged))
        saved += QStringLiteral("BRONTA.ini.damaged: %1, mode %2\n").arg(fileBytes(damaged) == found ? "the file as found" : "other bytes", modeOf(damaged));
    c.expect("saved", saved.toUtf8());
    if (after != found) c.expect("after", after);
}

}  // namespace
