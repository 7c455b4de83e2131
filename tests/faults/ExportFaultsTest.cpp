// Exports that cannot be written: onto a full device and into a folder marked read-only. The
// failure is reported, the file that was there is intact, and the next export works.
#include "datafiles/Export.h"

#include "MemorySettingsStore.h"
#include "ScriptedDialogs.h"
#include "grid/LabelGrid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ExportFaults : public ::testing::Test {
protected:
    void SetUp() override {
        grid.setTextMatrix(1, GridCol::Sku, "1001");
        grid.setTextMatrix(1, GridCol::Desc, "HAMMER");
    }
    bool save(const QString& path) {
        dialogs.fileAnswers.push_back(path);
        return SaveDataToFile(dialogs, store, grid);
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    LabelGrid grid;
    ScriptedDialogs dialogs;
    MemorySettingsStore store;
    QTemporaryDir dir;
};

TEST_F(ExportFaults, FullDeviceIsReportedAndStaysADevice) {
    const QString full = QStringLiteral("/dev/full");
    const QFileInfo before(full);
    if (!before.exists() || before.isFile()) GTEST_SKIP() << "no /dev/full device here";

    EXPECT_FALSE(save(full));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "Alert:");
    EXPECT_TRUE(dialogs.messages[0].prompt.startsWith("Could not save the data to the file: /dev/full"))
        << dialogs.messages[0].prompt.toStdString();
    // Written in place: no plain file was renamed over the device, none left beside it.
    EXPECT_FALSE(QFileInfo(full).isFile());
    EXPECT_TRUE(QDir("/dev").entryList({"full.*"}, QDir::Files).isEmpty());

    // A device that takes the bytes takes them all.
    dialogs.messages.clear();
    EXPECT_TRUE(save("/dev/null"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(QFileInfo("/dev/null").isFile());
}

TEST_F(ExportFaults, ReadOnlyFolderKeepsTheOldFile) {
    const QString folder = dir.filePath("ro");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString old = folder + "/labels.txt";
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old contents\r\n");
    }
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                          QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(folder, readOnly));

    for (const QString& path : {old, folder + "/new.txt"}) {
        SCOPED_TRACE(path.toStdString());
        dialogs.messages.clear();
        EXPECT_FALSE(save(path));
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialogs.messages[0].prompt.contains(path));
        EXPECT_TRUE(dialogs.messages[0].prompt.endsWith("The folder is read-only."))
            << dialogs.messages[0].prompt.toStdString();
    }
    EXPECT_EQ(read(old), "old contents\r\n");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"labels.txt"});

    // Writable again: the export replaces the file whole.
    ASSERT_TRUE(QFile::setPermissions(folder, readOnly | QFileDevice::WriteOwner));
    dialogs.messages.clear();
    EXPECT_TRUE(save(old));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(read(old).startsWith("1\t10\t11\t21\t48\t65\t66\t149\r\n1001\tHAMMER"));
}

}  // namespace
