// Exports that cannot be written: onto a full disk, a full device, a pipe nobody reads, into a
// folder marked read-only. The failure is reported, the file that was there is intact, and the
// next export works.
#include "datafiles/Export.h"

#include "MemorySettingsStore.h"
#include "PrivateDevices.h"
#include "ScriptedDialogs.h"
#include "grid/LabelGrid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

class ExportFaults : public ::testing::Test {
protected:
    void SetUp() override {
        grid.setTextMatrix(1, GridCol::Sku, "1001");
        grid.setTextMatrix(1, GridCol::Desc, "HAMMER");
    }
    bool save(const QString& path) {
        dialogs.fileAnswers.push_back(path);
        const Outcome outcome = SaveDataToFile(dialogs, store, grid);
        ShowOutcome(outcome, dialogs);
        return !outcome.failed();
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

// Every way the bytes may not arrive: the old file stays byte for byte, a device or a pipe stays
// what it was and nothing is left beside it, and the message gives the system's reason.
TEST_F(ExportFaults, FailedWritesKeepWhatWasThereAndSayWhy) {
    SmallTmpfs fs;
    ASSERT_EQ(fs.error(), QString());
    const QByteArray old = "1\t10\r\nyesterday's labels\r\n";
    const QString onFullDisk = fs.path("labels.txt");
    {
        QFile f(onFullDisk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(old), old.size());
    }
    fs.fill();
    const QString fullDevice = dir.filePath("full");
    ASSERT_EQ(MakeCharDevice(fullDevice, kFullDevice[0], kFullDevice[1]), QString());
    const QString pipe = dir.filePath("pipe");
    ASSERT_EQ(MakeFifo(pipe), QString());

    const struct Case {
        const char* name;
        QString path;
        const char* reason;
        std::function<bool(const QString&)> unchanged;
    } cases[] = {
        {"a full disk", onFullDisk, "No space left on device", [&](const QString& p) { return read(p) == old; }},
        {"a full device", fullDevice, "No space left on device", IsCharDevice},
        {"a pipe nobody reads", pipe, "No program reads from the pipe.", IsFifo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.messages.clear();
        EXPECT_FALSE(save(c.path));
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].title, "Alert:");
        EXPECT_EQ(dialogs.messages[0].prompt, "Could not save the data to the file: " + c.path + "\n" + c.reason);
        EXPECT_TRUE(c.unchanged(c.path));
        const QFileInfo info(c.path);
        EXPECT_EQ(QDir(info.absolutePath()).entryList({info.fileName() + "*"}, QDir::AllEntries | QDir::Hidden | QDir::System),
                  QStringList{info.fileName()});
    }

    // A pipe that is read takes the whole file in place.
    const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    dialogs.messages.clear();
    EXPECT_TRUE(save(pipe));
    EXPECT_TRUE(dialogs.messages.empty());
    QByteArray got(4096, '\0');
    const ssize_t n = ::read(reader, got.data(), got.size());
    ::close(reader);
    EXPECT_EQ(got.left(n > 0 ? n : 0), ExportFileBytes(grid));
    EXPECT_TRUE(IsFifo(pipe));
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
