// The About box's system information button on a PATH the test controls, and the end of the
// program with the box still open (its texts and Help > About are in the help-about scenario).
#include "WindowFixture.h"
#include "about/frmAbout.h"

#include <QAction>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& content, bool executable) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | (executable ? QFile::ExeOwner : QFile::Permissions()));
}

// Clicks "System Info..." on a fresh box with `path` as PATH; returns the messages shown.
QStringList clickSysInfo(const QString& path) {
    const QByteArray saved = qgetenv("PATH");
    qputenv("PATH", path.toLocal8Bit());
    ScriptedDialogs dialogs;
    frmAbout box(dialogs);
    box.setAttribute(Qt::WA_DeleteOnClose, false);  // on the stack here
    QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
    qputenv("PATH", saved);
    return dialogs.transcript;
}

}  // namespace

#ifndef Q_OS_WIN
TEST(AboutBox, SystemInformationProgramFromThePath) {
    QTemporaryDir first, root;
    // A folder whose name would run a command if any shell saw it: it is only a name.
    const QString pwned = root.filePath("pwned");
    const QString second = root.filePath(QStringLiteral("x;touch %1;$(touch %1)`touch %1`").arg(pwned));
    ASSERT_TRUE(QDir().mkpath(second));
    // Not there at all; there but not executable; executable but unable to run.
    writeFile(second + "/kinfocenter", "#!/bin/sh\n", false);
    writeFile(second + "/hardinfo", QByteArray("\x7f" "ELF garbage", 12), true);
    for (const QString& path : {QString(), second})
        EXPECT_EQ(clickSysInfo(path), QStringList("MsgBox \"Tagwell\" style 0 -> 1: System Information Is Unavailable At This Time"));

    // Listed later, found in an earlier folder: the list's order decides, not the folders'.
    const QString marker = first.filePath("ran");
    writeFile(first.filePath("gnome-system-monitor"), "#!/bin/sh\nexit 0\n", true);
    writeFile(second + "/hardinfo", QStringLiteral("#!/bin/sh\necho \"$#\" > '%1'\n").arg(marker).toLocal8Bit(), true);
    EXPECT_TRUE(clickSysInfo(first.path() + ":" + second).isEmpty());
    // Started detached, directly, with no arguments: wait (bounded) for it to have run.
    QFile out(marker);
    EXPECT_TRUE(QTest::qWaitFor([&] { return out.exists() && out.size() > 0; }, 5000));
    EXPECT_FALSE(QFile::exists(pwned)) << "a shell read the folder name";
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().trimmed(), "0");
}
#endif

// The program runs until none of its windows remains: Exit with the About box open saves the
// settings and closes the main window, and the event loop goes on until the box is closed too.
TEST(AboutBox, ExitWithTheBoxOpenEndsTheProgramWhenTheBoxCloses) {
    WindowFixture f;
    frmTagwell& w = f.start();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QGuiApplication::quitOnLastWindowClosed());
    w.mnuHelpAbout->trigger();
    QPointer<frmAbout> box(w.aboutBox());
    ASSERT_FALSE(box.isNull());
    QStringList seen;
    QTimer::singleShot(0, qApp, [&] {
        QTest::mouseClick(w.cmdExit, Qt::LeftButton);
        // Queued after whatever Exit queued (a quit included): the loop must still be running.
        QTimer::singleShot(0, qApp, [&] {
            seen << QStringLiteral("after Exit: window %1, box %2, saved %3").arg(w.isVisible()).arg(box && box->isVisible())
                        .arg(f.settings.raw("SierraPrint"));
            if (box) QTest::mouseClick(box->cmdOK, Qt::LeftButton);
            seen << QStringLiteral("OK clicked");
        });
    });
    // A bound, not a wait: the loop must end by itself long before this.
    QTimer::singleShot(20000, qApp, [&] {
        seen << QStringLiteral("timed out");
        QCoreApplication::exit(1);
    });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&] { seen << QStringLiteral("quit"); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(seen, QStringList({"after Exit: window 0, box 1, saved 4", "OK clicked", "quit"}));
}
