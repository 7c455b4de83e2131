// The system-information launcher: a fixed program found on the PATH, started directly with no
// arguments. A folder name full of shell syntax is only a name: no shell ever reads it.
#include "about/frmAbout.h"

#include "ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#ifndef Q_OS_WIN
namespace {

struct PathGuard {
    QByteArray saved = qgetenv("PATH");
    explicit PathGuard(const QByteArray& path) { qputenv("PATH", path); }
    ~PathGuard() { qputenv("PATH", saved); }
};

TEST(LauncherSecurity, ShellSyntaxInThePathIsNeverRun) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString pwned = root.filePath("pwned");
    // A folder whose name would run a command if any shell saw it.
    const QString hostile = root.filePath(QStringLiteral("x;touch %1;$(touch %1)`touch %1`").arg(pwned));
    ASSERT_TRUE(QDir().mkpath(hostile));
    const QString marker = root.filePath("ran");
    const QString tool = hostile + "/kinfocenter";
    {
        QFile f(tool);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // The tool writes how many arguments it got and the name it was started under.
        f.write(QStringLiteral("#!/bin/sh\necho \"$#\" > '%1'\n").arg(marker).toLocal8Bit());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    PathGuard guard(hostile.toLocal8Bit());
    ASSERT_EQ(FindSysInfoProgram(), tool);

    ScriptedDialogs dialogs;
    StartSysInfo(dialogs);
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker) && QFile(marker).size() > 0; }, 5000));
    QFile out(marker);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().trimmed(), "0") << "no arguments reach the tool";
    EXPECT_FALSE(QFile::exists(pwned)) << "a shell read the folder name";
}

}  // namespace
#endif
