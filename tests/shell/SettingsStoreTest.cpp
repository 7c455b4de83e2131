#include "platform/qt/QtSettingsStore.h"
#include "platform/TagwellError.h"

#include <QFile>
#include <QSettings>
#include <sys/stat.h>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(QtSettingsStore, KeysMatchWithoutCaseAndStayOneKey) {
    QTemporaryDir dir;
    const QString path = dir.filePath("BRONTA/BRONTA.ini");
    {
        QtSettingsStore store(path);
        EXPECT_EQ(store.GetSetting(kRegApp, kRegSec, "SierraOffLr3", "110"), "110");
        store.SaveSetting(kRegApp, kRegSec, "SierraoffLr3", "250");
        EXPECT_EQ(store.GetSetting(kRegApp, kRegSec, "SierraOffLr3", "110"), "250");
        store.SaveSetting(kRegApp, kRegSec, "SIERRAOFFLR3", "-75");
        store.SaveSetting(kRegApp, kRegSec, "ODBCINV", "Driver=SQLite3;Database=/tmp/a b.db");
        store.SaveSetting(kRegApp, kRegSec, "SierraSettings", "9600,n,8,1");
        store.SaveSetting(kRegApp, kRegSec, "Blank", "   ");
    }
    QtSettingsStore again(path);
    EXPECT_EQ(again.GetSetting(kRegApp, kRegSec, "sierraofflr3", ""), "-75");
    EXPECT_EQ(again.GetSetting(kRegApp, kRegSec, "odbcinv", ""), "Driver=SQLite3;Database=/tmp/a b.db");
    EXPECT_EQ(again.GetSetting(kRegApp, kRegSec, "SierraSettings", ""), "9600,n,8,1");
    EXPECT_EQ(again.GetSetting(kRegApp, kRegSec, "Blank", "x"), "   ");

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_EQ(text.count("offLr3", Qt::CaseInsensitive), 1) << text.toStdString();
    EXPECT_TRUE(text.contains("SierraoffLr3"));
    EXPECT_TRUE(text.contains("[TAGWELL]"));
    // It holds passwords: the owner alone may read it.
    const auto perms = QFile::permissions(path);
    EXPECT_TRUE(perms.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_FALSE(perms & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                          QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther));
}

TEST(QtSettingsStore, CorruptOrUnwritableFilesNeverStopTheProgram) {
    QTemporaryDir dir;
    const QString path = dir.filePath("BRONTA.ini");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\x01\x02[TAGWELL\n=====\nSierraPrint\n\xff\xfe");
    f.close();
    QtSettingsStore corrupt(path);
    EXPECT_EQ(corrupt.GetSetting(kRegApp, kRegSec, "SierraPrint", "4"), "4");

    // A store whose folder is a file cannot be written: the failure is an error to report.
    QtSettingsStore blocked(path + "/inside/BRONTA.ini");
    EXPECT_THROW(blocked.SaveSetting(kRegApp, kRegSec, "SierraPrint", "3"), TagwellError);
}

// The first file ever written is the owner's alone even where new files are made readable by all.
TEST(QtSettingsStore, NewFileIsOwnerOnlyWhateverTheUmask) {
    QTemporaryDir dir;
    const QString path = dir.filePath("BRONTA/BRONTA.ini");
    const mode_t saved = ::umask(0);
    QtSettingsStore store(path);
    store.SaveSetting(kRegApp, kRegSec, "ODBCINV", "DSN=inv;PWD=secret");
    ::umask(saved);
    EXPECT_EQ(QFile::permissions(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                            QFileDevice::WriteUser);
    // Quoted where QSettings would cut it, and read back whole by QSettings too.
    EXPECT_EQ(QSettings(path, QSettings::IniFormat).value("TAGWELL/ODBCINV").toString(), "DSN=inv;PWD=secret");
}
