// The About box: its texts, the system information button on a PATH the test controls, and the
// Help > About command of the main window.
#include "WindowFixture.h"
#include "about/frmAbout.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

// Puts PATH back whatever the test does with it.
struct PathGuard {
    QByteArray saved = qgetenv("PATH");
    explicit PathGuard(const QByteArray& path) { qputenv("PATH", path); }
    ~PathGuard() { qputenv("PATH", saved); }
};

void writeFile(const QString& path, const QByteArray& content, bool executable) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | (executable ? QFile::ExeOwner : QFile::Permissions()));
}

// Clicks "System Info..." on a fresh box and returns the messages it gave.
std::vector<RecordedMessage> clickSysInfo() {
    ScriptedDialogs dialogs;
    frmAbout box(dialogs);
    box.setAttribute(Qt::WA_DeleteOnClose, false);  // on the stack here
    QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
    return dialogs.messages;
}

}  // namespace

#ifndef Q_OS_WIN
TEST(AboutBox, SystemInformationProgramFromThePath) {
    QTemporaryDir first, second;
    // Not there at all; there but not executable; executable but unable to run.
    writeFile(second.filePath("kinfocenter"), "#!/bin/sh\n", false);
    writeFile(second.filePath("hardinfo"), QByteArray("\x7f" "ELF garbage", 12), true);
    for (const QString& path : {QString(), second.path()}) {
        PathGuard guard(path.toLocal8Bit());
        const std::vector<RecordedMessage> messages = clickSysInfo();
        ASSERT_EQ(messages.size(), 1u) << path.toStdString();
        EXPECT_EQ(messages[0].prompt + '|' + messages[0].title, "System Information Is Unavailable At This Time|Tagwell");
        EXPECT_EQ(messages[0].style, MsgStyle::OKOnly);
    }

    // Listed later, found in an earlier folder: the list's order decides, not the folders'.
    const QString marker = first.filePath("ran");
    writeFile(first.filePath("gnome-system-monitor"), "#!/bin/sh\nexit 0\n", true);
    writeFile(second.filePath("hardinfo"), QStringLiteral("#!/bin/sh\necho \"$#\" > '%1'\n").arg(marker).toLocal8Bit(), true);
    PathGuard guard((first.path() + ":" + second.path()).toLocal8Bit());
    EXPECT_EQ(FindSysInfoProgram(), second.filePath("hardinfo"));
    EXPECT_TRUE(clickSysInfo().empty());
    // Started detached, with no arguments: wait (bounded) for it to have run.
    QFile out(marker);
    EXPECT_TRUE(QTest::qWaitFor([&] { return out.exists() && out.size() > 0; }, 5000));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().trimmed(), "0");
}
#endif

TEST(AboutBox, HelpAboutShowsOneModelessBoxCreatedOnFirstUse) {
    WindowFixture f;
    frmTagwell& w = f.start();
    EXPECT_EQ(w.aboutBox(), nullptr);
    w.mnuHelpAbout->trigger();
    QPointer<frmAbout> box(w.aboutBox());
    ASSERT_FALSE(box.isNull());
    w.mnuHelpAbout->trigger();  // already open: the same box
    EXPECT_EQ(w.aboutBox(), box.data());
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(box->windowTitle(), "About Tagwell");
    EXPECT_EQ(box->lblTitle->text(), "Tagwell");
    // The version is the build's: "Version " and major.minor.revision.
    EXPECT_EQ(box->lblVersion->text(), "Version " TAGWELL_VERSION);
    EXPECT_TRUE(QRegularExpression("^Version \\d+\\.\\d+\\.\\d+$").match(box->lblVersion->text()).hasMatch());
    EXPECT_TRUE(box->lblDescription->text().contains("Copyright"));
    EXPECT_EQ(box->cmdOK->text(), "OK");
    EXPECT_EQ(box->cmdSysInfo->text(), "&System Info...");

    // OK closes and unloads it; the next About makes a new one.
    QTest::mouseClick(box->cmdOK, Qt::LeftButton);
    EXPECT_EQ(w.aboutBox(), nullptr);
    w.mnuHelpAbout->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(box.isNull());
    ASSERT_NE(w.aboutBox(), nullptr);
    EXPECT_TRUE(w.aboutBox()->isVisible());
    w.aboutBox()->close();
    EXPECT_TRUE(f.dialogs.messages.empty());
}

// The program runs until none of its windows remains: Exit with the About box open saves the
// settings and closes the main window, and the event loop goes on until the box is closed too.
TEST(AboutBox, ExitWithTheBoxOpenEndsTheProgramWhenTheBoxCloses) {
    WindowFixture f;
    frmTagwell& w = f.start();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    for (QWidget* other : QApplication::topLevelWidgets()) ASSERT_TRUE(other == &w || !other->isVisible());
    ASSERT_TRUE(QGuiApplication::quitOnLastWindowClosed());

    w.mnuHelpAbout->trigger();
    QPointer<frmAbout> box(w.aboutBox());
    ASSERT_FALSE(box.isNull());
    bool boxOpenAfterExit = false, savedAtExit = false, okClicked = false, boxClosedAtQuit = false, timedOut = false;
    QTimer::singleShot(0, qApp, [&] {
        QTest::mouseClick(w.cmdExit, Qt::LeftButton);
        // Queued after whatever Exit queued (a quit included): the loop must still be running.
        QTimer::singleShot(0, qApp, [&] {
            boxOpenAfterExit = !w.isVisible() && box && box->isVisible();
            savedAtExit = f.settings.raw("SierraPrint") == "4";
            okClicked = true;
            if (box) QTest::mouseClick(box->cmdOK, Qt::LeftButton);
        });
    });
    // Sees the application's quit request whenever it comes.
    struct QuitWatch : QObject {
        std::function<void()> seen;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (watched == qApp && event->type() == QEvent::Quit) seen();
            return false;
        }
    } quitWatch;
    quitWatch.seen = [&] { boxClosedAtQuit = okClicked && (!box || !box->isVisible()); };
    qApp->installEventFilter(&quitWatch);
    // A bound, not a wait: the loop must end by itself long before this.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, [&] {
        timedOut = true;
        for (QWidget* other : QApplication::topLevelWidgets()) other->close();
        QCoreApplication::exit(1);
    });
    guard.start(20000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
    qApp->removeEventFilter(&quitWatch);
    EXPECT_TRUE(boxOpenAfterExit);
    EXPECT_TRUE(boxClosedAtQuit);
    EXPECT_TRUE(savedAtExit);
    EXPECT_FALSE(w.isVisible());
}
