#include "support/MemorySettingsStore.h"
#include "support/ScriptedDialogs.h"
#include "TempFiles.h"
#include "datafiles/Export.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "grid/LabelGrid.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QByteArray kHeader = "1\t10\t11\t21\t48\t65\t66\t149\r\n";

// sku, mfn, description, loc, retail, om, pk, upc: the grid's column order.
using Row = std::array<const char*, 8>;

void Fill(LabelGrid& grid, int row, const Row& cells) {
    for (int c = 0; c < 8; ++c) grid.setTextMatrix(row, c + 1, QString::fromUtf8(cells[static_cast<size_t>(c)]));
}

struct Export : ::testing::Test {
    TempFiles tmp;
    ScriptedDialogs dialogs;
    MemorySettingsStore store;
    LabelGrid grid;
    Export() { grid.setRows(31); }
    bool save(const QString& path) {
        dialogs.fileAnswers = {path};
        return SaveDataToFile(dialogs, store, grid);
    }
};

}  // namespace

TEST_F(Export, RowsInFieldOrder) {
    Fill(grid, 1, {"1001", "MF-1", "Hammer", "A1", "12.50", "6", "12", "012345678905"});
    Fill(grid, 2, {"1002", "", "Nails, 2\"", "", "0.99", "", "", ""});
    Fill(grid, 3, {"1003", "", "", "", "", "", "", ""});
    grid.setTextMatrix(5, GridCol::Desc, "a description without a stock number");
    const QString path = tmp.path("out.txt");
    ASSERT_TRUE(save(path));
    EXPECT_EQ(TempFiles::read(path), kHeader +
                                         "1001\tHammer\tMF-1\tA1\t12.50\t12\t6\t012345678905\r\n"
                                         "1002\tNails, 2\"\t\t\t0.99\t\t\t\r\n"
                                         "1003\t\t\t\t\t\t\t\r\n");
    EXPECT_TRUE(dialogs.messages.empty());

    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const FileDialogRequest& r = dialogs.saveRequests[0];
    EXPECT_EQ(r.fileName, "");
    EXPECT_EQ(r.dialogTitle, "Export File");
    EXPECT_EQ(r.flags, 16384);
    EXPECT_EQ(r.filter, "All Files (*.*)|*.*|Tab Delimited Files (*.txt)|*.txt");
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(store.GetSetting("BRONTA", "TAGWELL", "FILEIMPEXP", ""), path);

    // The next export proposes the remembered path and replaces the file without asking.
    grid.setTextMatrix(2, GridCol::Sku, "");
    grid.setTextMatrix(3, GridCol::Sku, " ");
    ASSERT_TRUE(save(path));
    EXPECT_EQ(dialogs.saveRequests[1].fileName, path);
    EXPECT_EQ(TempFiles::read(path), kHeader + "1001\tHammer\tMF-1\tA1\t12.50\t12\t6\t012345678905\r\n");
}

TEST_F(Export, EmptyGrids) {
    // Thirty empty rows: no message, a file of the header alone.
    const QString path = tmp.path("empty.txt");
    ASSERT_TRUE(save(path));
    EXPECT_EQ(TempFiles::read(path), kHeader);
    EXPECT_TRUE(dialogs.messages.empty());

    // One data row without a stock number: the message, no dialog, no file.
    grid.setRows(2);
    Fill(grid, 1, {" ", "MF", "Desc", "", "1.00", "", "", ""});
    const QString other = tmp.path("other.txt");
    EXPECT_FALSE(save(other));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].prompt, "Grid is empty.  No data to export");
    EXPECT_EQ(dialogs.messages[0].title, "Alert:");
    EXPECT_EQ(dialogs.messages[0].style, MsgStyle::Information);
    EXPECT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_FALSE(QFile::exists(other));

    // Cancelling the dialog writes nothing and remembers nothing new.
    grid.setTextMatrix(1, GridCol::Sku, "1");
    dialogs.fileAnswers = {std::nullopt};
    EXPECT_FALSE(SaveDataToFile(dialogs, store, grid));
    EXPECT_EQ(store.GetSetting("BRONTA", "TAGWELL", "FILEIMPEXP", ""), path);
}

TEST_F(Export, WindowsCodePage) {
    Fill(grid, 1, {"1", "", "Café €5 “best”", "", "", "", "", "中"});
    const QString path = tmp.path("cp.txt");
    ASSERT_TRUE(save(path));
    EXPECT_EQ(TempFiles::read(path), kHeader + "1\tCaf\xe9 \x80" "5 \x93" "best\x94\t\t\t\t\t\t?\r\n");
}

TEST_F(Export, FailuresAreReportedAndLeaveOldFilesIntact) {
    Fill(grid, 1, {"1001", "", "Hammer", "", "", "", "", ""});
    const QByteArray old = "old contents\r\n";
    QDir(tmp.path("")).mkdir("folder");
    const QString readOnly = tmp.write("readonly.txt", old);
    // A read-only mark is honoured even for a user (such as root) whom the system lets write anyway.
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const QString plainFile = tmp.write("plain.txt", old);

    struct Case {
        const char* name;
        QString path;
        bool keepsOld;
    };
    const Case cases[] = {
        {"missing folder", tmp.path("no such folder/out.txt"), false},
        {"a file used as a folder", plainFile + "/out.txt", false},
        {"the name of a folder", tmp.path("folder"), false},
        {"a read-only file", readOnly, true},
        {"a name too long for the file system", tmp.path(QString(300, u'n')), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.messages.clear();
        EXPECT_FALSE(save(c.path));
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].title, "Alert:");
        EXPECT_TRUE(dialogs.messages[0].prompt.contains(c.path)) << dialogs.messages[0].prompt.toStdString();
        EXPECT_GT(dialogs.messages[0].prompt.size(), c.path.size() + 45) << "the reason is given";
        if (c.keepsOld) {
            EXPECT_EQ(TempFiles::read(c.path), old);
        }
    }
    EXPECT_EQ(TempFiles::read(plainFile), old);
    EXPECT_TRUE(QFileInfo(tmp.path("folder")).isDir());
    // Nothing half-written is left behind.
    EXPECT_EQ(QDir(tmp.path("")).entryList(QDir::Files | QDir::NoDotAndDotDot),
              (QStringList{"plain.txt", "readonly.txt"}));

    // The program goes on: the next export to a good place works.
    dialogs.messages.clear();
    EXPECT_TRUE(save(tmp.path("good.txt")));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Export, ReadsBackThroughTheDataFileReader) {
    const Row rows[] = {
        {"1001", "MF-1", "Hammer", "A1", "12.50", "6", "12", "012345678905"},
        {"1002", "", "  Nails  ", "B2", "0.99", "", "", ""},
        {"1003", "X'Y", "\"Quoted\"", "", "", "", "", "Café"},
    };
    for (int r = 0; r < 3; ++r) Fill(grid, r + 1, rows[r]);
    const QString path = tmp.path("round.txt");
    ASSERT_TRUE(save(path));

    cwDct dct;
    for (std::int16_t f : {1, 10, 11, 21, 48, 65, 66, 149}) dct.setDLen(f, 20);
    ScriptedDialogs readerDialogs;
    cwDatFile dat(readerDialogs);
    ASSERT_EQ(dat.fopen(path, dct, "", 0, 0), 0);
    EXPECT_EQ(dat.layout(), 2);
    // Field number of each grid column 1..8.
    const std::int16_t fields[] = {1, 11, 10, 21, 48, 66, 65, 149};
    for (int r = 0; r < 3; ++r) {
        ASSERT_TRUE(dat.gr());
        for (int c = 0; c < 8; ++c) {
            QString value;
            dat.gf(fields[c], value);
            QString expected = QString::fromUtf8(rows[r][static_cast<size_t>(c)]);
            // What the file format itself changes: trailing spaces go, enclosing quotes go.
            while (expected.endsWith(u' ')) expected.chop(1);
            if (expected.size() >= 2 && expected.startsWith(u'"') && expected.endsWith(u'"'))
                expected = expected.mid(1, expected.size() - 2);
            EXPECT_EQ(value, expected) << "row " << r + 1 << " column " << c + 1;
        }
    }
    EXPECT_FALSE(dat.gr());
    dat.fclose();
    EXPECT_TRUE(readerDialogs.messages.empty());
}
