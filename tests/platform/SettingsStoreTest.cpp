// The settings file is the owner's alone from the moment it exists, even where new files are made
// readable by all (how the window reads, keeps and repairs it is in the settings-* scenarios).
#include "platform/qt/QtSettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

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
