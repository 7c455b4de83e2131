#include "TempFiles.h"
#include "datafiles/Export.h"
#include "grid/LabelGrid.h"
#include "support/MemorySettingsStore.h"

#include <QDir>

namespace {

const QByteArray kHeader = "1\t10\t11\t21\t48\t65\t66\t149\r\n";
const QByteArray kHammer = "1001\tHammer\tMF-1\tA1\t12.50\t12\t6\t012345678905\r\n";

struct Export : ::testing::Test {
    TempFiles tmp;
    ScriptedDialogs dialogs;
    MemorySettingsStore store;
    LabelGrid grid;
    Export() {
        grid.setRows(31);
        fill(1, {"1001", "MF-1", "Hammer", "A1", "12.50", "6", "12", "012345678905"});
    }
    // Cells of a row in the grid's column order: sku, mfn, description, loc, retail, om, pk, upc.
    void fill(int row, const std::array<const char*, 8>& cells) {
        for (int c = 0; c < 8; ++c) grid.setTextMatrix(row, c + 1, QString::fromUtf8(cells[static_cast<size_t>(c)]));
    }
    bool save(const std::optional<QString>& path) {
        dialogs.fileAnswers = {path};
        const Outcome outcome = SaveDataToFile(dialogs, store, grid);
        ShowOutcome(outcome, dialogs);
        return !outcome.failed();
    }
};

}  // namespace

TEST_F(Export, RowsInFieldOrder) {
    fill(2, {"1002", "\"Q\"", "Café €5 “best”  ", "", "0.99", "", "", "中"});
    fill(3, {"1003", "", "", "", "", "", "", ""});
    grid.setTextMatrix(5, GridCol::Desc, "a description without a stock number");
    const QString path = tmp.path("out.txt");
    ASSERT_TRUE(save(path));
    EXPECT_EQ(TempFiles::read(path), kHeader + kHammer + "1002\tCaf\xe9 \x80" "5 \x93" "best\x94  \t\"Q\"\t\t0.99\t\t\t?\r\n"
                                                         "1003\t\t\t\t\t\t\t\r\n");
    EXPECT_EQ(Describe(dialogs.saveRequests.at(0)),
              "|Export File|16384|All Files (*.*)|*.*|Tab Delimited Files (*.txt)|*.txt|2");
    EXPECT_EQ(store.GetSetting("BRONTA", "TAGWELL", "FILEIMPEXP", ""), path);
    EXPECT_EQ(Shown(dialogs), "");
    // The next export proposes the remembered path and replaces the file without asking.
    grid.setRows(2);
    ASSERT_TRUE(save(path));
    EXPECT_EQ(dialogs.saveRequests.at(1).fileName, path);
    EXPECT_EQ(TempFiles::read(path), kHeader + kHammer);
}

TEST_F(Export, EmptyGrids) {
    // Thirty empty rows: a file of the header alone.
    for (int c = 1; c <= 8; ++c) grid.setTextMatrix(1, c, "");
    const QString path = tmp.path("empty.txt");
    ASSERT_TRUE(save(path));
    EXPECT_EQ(TempFiles::read(path), kHeader);
    // One data row without a stock number: the message, no dialog, no file.
    grid.setRows(2);
    fill(1, {" ", "MF", "Desc", "", "1.00", "", "", ""});
    EXPECT_FALSE(save(tmp.path("other.txt")));
    EXPECT_EQ(Shown(dialogs), "Alert: 64 Grid is empty.  No data to export\n");
    EXPECT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_FALSE(QFile::exists(tmp.path("other.txt")));
}

TEST_F(Export, FailuresAreReportedAndLeaveOldFilesIntact) {
    const QByteArray old = "old contents\r\n";
    QDir(tmp.path("")).mkdir("folder");
    const QString readOnly = tmp.write("readonly.txt", old);
    // A read-only mark is honoured even for a user (such as root) whom the system lets write anyway.
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    for (const QString& path : {tmp.path("no such folder/out.txt"), tmp.path("folder"), readOnly}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(save(path));
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].title, "Alert:");
        EXPECT_TRUE(dialogs.messages[0].prompt.contains(path)) << dialogs.messages[0].prompt.toStdString();
        EXPECT_GT(dialogs.messages[0].prompt.size(), path.size() + 45) << "the reason is given";
        dialogs.messages.clear();
    }
    // The old file is intact, the folder stays, nothing half-written is left behind.
    EXPECT_EQ(TempFiles::read(readOnly), old);
    EXPECT_EQ(QDir(tmp.path("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), (QStringList{"folder", "readonly.txt"}));
    // The program goes on: cancelling keeps the last name tried, the next export to a good place works.
    EXPECT_FALSE(save(std::nullopt));
    EXPECT_EQ(store.GetSetting("BRONTA", "TAGWELL", "FILEIMPEXP", ""), readOnly);
    EXPECT_TRUE(save(tmp.path("good.txt")));
    EXPECT_EQ(Shown(dialogs), "");
}
