// The About box: its texts, the system information button on a PATH the test controls, and the
// Help > About command of the main window.
#include "WindowFixture.h"
#include "about/frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
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
    f.close();
    QFile::Permissions p = QFile::ReadOwner | QFile::WriteOwner;
    if (executable) p |= QFile::ExeOwner;
    f.setPermissions(p);
}

}  // namespace

TEST(AboutBox, CaptionTitleVersionAndButtons) {
    ScriptedDialogs dialogs;
    frmAbout box(dialogs);
    box.setAttribute(Qt::WA_DeleteOnClose, false);  // on the stack here
    EXPECT_EQ(box.windowTitle(), "About Tagwell");
    EXPECT_EQ(box.lblTitle->text(), "Tagwell");
    // The version is the build's: "Version " and major.minor.revision.
    EXPECT_EQ(box.lblVersion->text(), QStringLiteral("Version ") + QStringLiteral(TAGWELL_VERSION));
    EXPECT_TRUE(QRegularExpression("^Version \\d+\\.\\d+\\.\\d+$").match(box.lblVersion->text()).hasMatch());
    EXPECT_TRUE(box.lblDescription->text().contains("Copyright"));
    EXPECT_EQ(box.cmdOK->text(), "OK");
    EXPECT_EQ(box.cmdSysInfo->text(), "&System Info...");
    EXPECT_FALSE(box.picIcon->pixmap().isNull());
}

#ifndef Q_OS_WIN
TEST(AboutBox, NoSystemInformationProgramGivesTheMessage) {
    QTemporaryDir empty;
    QTemporaryDir onlyBroken;
    ASSERT_TRUE(empty.isValid() && onlyBroken.isValid());
    // A tool that is there but not executable, and one that is executable but cannot be run.
    writeFile(onlyBroken.filePath("kinfocenter"), "#!/bin/sh\n", false);
    writeFile(onlyBroken.filePath("hardinfo"), QByteArray("\x7f" "ELF garbage", 12), true);
    const QByteArray paths[] = {"", empty.path().toLocal8Bit(), onlyBroken.path().toLocal8Bit()};
    for (const QByteArray& path : paths) {
        SCOPED_TRACE(path.toStdString());
        PathGuard guard(path);
        ScriptedDialogs dialogs;
        frmAbout box(dialogs);
        box.setAttribute(Qt::WA_DeleteOnClose, false);
        QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].prompt, "System Information Is Unavailable At This Time");
        EXPECT_EQ(dialogs.messages[0].style, MsgStyle::OKOnly);
        EXPECT_EQ(dialogs.messages[0].title, "Tagwell");
    }
}

TEST(AboutBox, FirstSystemInformationProgramOnThePathIsStarted) {
    QTemporaryDir first, second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    const QString marker = first.filePath("ran");
    // Listed later, found in an earlier folder: the list's order decides, not the folders'.
    writeFile(first.filePath("gnome-system-monitor"), "#!/bin/sh\nexit 0\n", true);
    writeFile(second.filePath("hardinfo"), QStringLiteral("#!/bin/sh\necho \"$#\" > '%1'\n").arg(marker).toLocal8Bit(),
              true);
    writeFile(second.filePath("kinfocenter"), "not executable", false);
    PathGuard guard((first.path() + ":" + second.path()).toLocal8Bit());
    EXPECT_EQ(FindSysInfoProgram(), second.filePath("hardinfo"));

    ScriptedDialogs dialogs;
    frmAbout box(dialogs);
    box.setAttribute(Qt::WA_DeleteOnClose, false);
    QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.empty());
    // Started detached: wait (bounded) for it to have run, with no arguments.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker) && QFile(marker).size() > 0; }, 5000));
    QFile out(marker);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().trimmed(), "0");
}
#endif

TEST(AboutBox, HelpAboutShowsOneModelessBoxCreatedOnFirstUse) {
    WindowFixture f;
    frmTagwell& w = f.start();
    EXPECT_TRUE(w.findChildren<frmAbout*>().isEmpty());
    w.mnuHelpAbout->trigger();
    QList<frmAbout*> boxes = w.findChildren<frmAbout*>();
    ASSERT_EQ(boxes.size(), 1);
    frmAbout* box = boxes[0];
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(box->windowTitle(), "About Tagwell");

    w.mnuHelpAbout->trigger();  // already open: the same box
    EXPECT_EQ(w.findChildren<frmAbout*>(), QList<frmAbout*>{box});

    // OK closes and unloads it; the next About makes a new one.
    QPointer<frmAbout> closed(box);
    QTest::mouseClick(box->cmdOK, Qt::LeftButton);
    EXPECT_FALSE(box->isVisible());
    w.mnuHelpAbout->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull());
    boxes = w.findChildren<frmAbout*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0]->isVisible());
    boxes[0]->close();
    EXPECT_TRUE(f.dialogs.messages.empty());
}
