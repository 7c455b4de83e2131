// "Read in a Data File" and "Read in a Price Change File" on real data files, with the inventory and
// UPC databases as SQLite files read through the ODBC driver.
#include "datafiles/Import.h"

#include "TempFiles.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "grid/LabelGrid.h"
#include "shell/Common.h"
#include "support/FakeUi.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedDialogs.h"
#include "StoreDatabases.h"

#include <gtest/gtest.h>

namespace {

using Insert = std::pair<QString, QVariantList>;
// Texts compared as standard strings, so that a failure prints them readably.
using Lines = std::vector<std::string>;

Lines ToLines(const QStringList& list) {
    Lines lines;
    for (const QString& s : list) lines.push_back(s.toStdString());
    return lines;
}

// Records the text of every query the import runs, and otherwise passes everything through.
class SpyRecordSet : public RecordSet {
public:
    SpyRecordSet(std::unique_ptr<RecordSet> inner, QStringList& queries) : inner_(std::move(inner)), queries_(queries) {}
    void setActiveConnection(const QString& c) override { inner_->setActiveConnection(c); }
    QString ActiveConnection() const override { return inner_->ActiveConnection(); }
    void Open(const QString& source, const QString& connect) override {
        queries_ << source;
        inner_->Open(source, connect);
    }
    void Close() override { inner_->Close(); }
    bool IsOpen() const override { return inner_->IsOpen(); }
    bool Eof() const override { return inner_->Eof(); }
    void MoveFirst() override { inner_->MoveFirst(); }
    void MoveNext() override { inner_->MoveNext(); }
    int fieldCount() const override { return inner_->fieldCount(); }
    QString fieldName(int p) const override { return inner_->fieldName(p); }
    int fieldIndex(const QString& n) const override { return inner_->fieldIndex(n); }
    QVariant fieldValue(int p) const override { return inner_->fieldValue(p); }

private:
    std::unique_ptr<RecordSet> inner_;
    QStringList& queries_;
};

class SpyFactory : public RecordSetFactory {
public:
    explicit SpyFactory(RecordSetFactory& inner) : inner_(inner) {}
    std::unique_ptr<RecordSet> CreateRecordSet() override {
        return std::make_unique<SpyRecordSet>(inner_.CreateRecordSet(), queries);
    }
    QStringList queries;

private:
    RecordSetFactory& inner_;
};

Insert InvRow(const QVariant& sku, const QVariant& desc, const QVariant& mfn, const QVariant& loc,
              const QVariant& retail, const QVariant& om, const QVariant& pk) {
    return {QStringLiteral("INSERT INTO inv VALUES (?, ?, ?, ?, ?, ?, ?)"), {sku, desc, mfn, loc, retail, om, pk}};
}
Insert UpcRow(const QVariant& sku, const QVariant& upc, const QVariant& date) {
    return {QStringLiteral("INSERT INTO upc VALUES (?, ?, ?)"), {sku, upc, date}};
}

QString Fixture(const char* name) { return FixturePath("import/") + QString::fromLatin1(name); }

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(dct.setup(Fixture("store.dct"), QStringLiteral("INV"), 99), 0);
        FillGrid(30, QStringLiteral("old"));
    }

    // A grid of `dataRows` numbered rows whose cells read "<tag> r,c".
    void FillGrid(int dataRows, const QString& tag) {
        grid.setRows(dataRows + 1);
        for (int r = 1; r <= dataRows; ++r) {
            grid.setTextMatrix(r, 0, QString::number(r));
            for (int c = 1; c <= 8; ++c) grid.setTextMatrix(r, c, QStringLiteral("%1 %2,%3").arg(tag).arg(r).arg(c));
        }
    }

    // The inventory and UPC databases of the store; returns nothing, fills invDb and upcDb.
    void MakeStore() {
        const QString inv = dir.filePath(QStringLiteral("inv.db"));
        ASSERT_EQ(ExecOnSqlite(inv, {kCreateInv},
                               {InvRow("1001", "INV HAMMER", "IH-1", "I1", 12.5, "1", "6"),
                                InvRow("1002", "INV SAW", "IS-2", "I2", 24.0, "1", "1"),
                                InvRow("1003", "INV ITEM 1003", "II-3", "I3", 3.0, "1", "1"),
                                InvRow("1004", "INV ITEM 1004", "II-4", "I4", 4.0, "1", "1"),
                                InvRow("1005", "INV ITEM 1005", "II-5", "I5", 5.0, "1", "1"),
                                InvRow("1006", "INV ITEM 1006", "II-6", "I6", 6.0, "1", "1"),
                                InvRow("O'Brien", "IRISH PUTTY KNIFE", "IR-1", "I7", 4.99, "1", "12"),
                                InvRow("2001", "NO NEW PRICE", "NP-1", "P1", 1.0, "1", "1"),
                                InvRow("2002", "PRICE UNCHANGED", "PU-2", "P2", 1.5, "1", "1"),
                                InvRow("2003", "PRICE CHANGED", "PC-3", "P3", 2.99, "2", "10"),
                                InvRow("3001", "UPC ITEM", "UI-1", "U1", 2.0, "1", "1")}),
                  QString());
        const QString upc = dir.filePath(QStringLiteral("upc.db"));
        ASSERT_EQ(ExecOnSqlite(upc, {kCreateUpc},
                               {UpcRow("3001", "12345678901", "010105"), UpcRow("3001", "012345678905", "060104"),
                                UpcRow("3001", "036000291452", "020106"), UpcRow("2003", "042100005264", "010120"),
                                UpcRow("1004", "070330506128", "010120")}),
                  QString());
        invDb = SqliteConnect(inv);
        upcDb = SqliteConnect(upc);
    }
    void Configure(const QString& inv, const QString& upc) {
        settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBCINV"), inv);
        settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBCUPC"), upc);
    }

    void Run(const QString& path, int index, std::int16_t labelsPerSheet = 30) {
        dialogs.fileAnswers.push_back(path);
        DataFileImport import(dialogs, settings, grid, dct, datFile, &spy, hourglass, events, labelsPerSheet,
                              [this] { ++loads; });
        current = &import;
        import.mnuFileRead(index);
        current = nullptr;
        rowsRead = import.rowsRead();
    }

    // Rows `from`..`to` as "number|sku|mfn|desc|loc|retail|om|pk|upc".
    Lines Rows(int from, int to) const {
        Lines rows;
        for (int r = from; r <= to; ++r) {
            QStringList cells;
            for (int c = 0; c <= 8; ++c) cells << grid.TextMatrix(r, c);
            rows.push_back(cells.join(u'|').toStdString());
        }
        return rows;
    }
    Lines AllRows() const { return Rows(1, grid.Rows() - 1); }

    QTemporaryDir dir;
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    FakeScreenPointer screen;
    Hourglass hourglass{screen};
    FakeEventPump events;
    LabelGrid grid;
    cwDct dct;
    cwDatFile datFile{dialogs};
    QtOdbcRecordSetFactory factory;
    SpyFactory spy{factory};
    QString invDb, upcDb;
    DataFileImport* current = nullptr;
    int loads = 0;
    int rowsRead = 0;
};

Lines EmptyNumberedRows(int from, int to) {
    Lines rows;
    for (int r = from; r <= to; ++r) rows.push_back(std::to_string(r) + "||||||||");
    return rows;
}

TEST_F(ImportTest, RecordsWithAllEightFieldsAreTakenAsTheyStandWithoutAnyQuery) {
    MakeStore();
    Configure(invDb, upcDb);
    settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("FILEIMPEXP"), QStringLiteral("/earlier/export.txt"));
    int hourglassCalls = 0;
    events.onCall = [&](int) { hourglassCalls += screen.pointer == MousePointerValue::Hourglass; };

    const QString path = Fixture("eight-fields.txt");
    Run(path, DataFileImport::DataFile);

    // The open dialog, and its answer remembered.
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    const FileDialogRequest& r = dialogs.openRequests[0];
    EXPECT_EQ(r.fileName, "/earlier/export.txt");
    EXPECT_EQ(r.dialogTitle, "Import File");
    EXPECT_EQ(r.flags, 20484);
    EXPECT_EQ(r.filter, "All Files (*.*)|*.*|Quote and Comma Files (*.dat)|*.dat|Tab Delimited Files (*.txt)|*.txt");
    EXPECT_EQ(r.filterIndex, 3);
    EXPECT_EQ(settings.GetSetting(kRegApp, kRegSec, QStringLiteral("FILEIMPEXP"), QString()), path);

    EXPECT_EQ(ToLines(spy.queries), Lines()) << "neither database may be asked";
    EXPECT_EQ(Rows(1, 3), Lines({"1|1001|FH-1|FILE HAMMER|A1|9.99|1|6|012345678905",
                                       "2|1002|FS-2|FILE SAW|A2|19.99|1|1|036000291452",
                                       "3|1003|FL-3|FILE LEVEL|A3|5|2|12|042100005264"}));
    EXPECT_EQ(Rows(4, 30), EmptyNumberedRows(4, 30)) << "the old rows below went, the sheet was topped up";
    EXPECT_EQ(grid.Rows(), 31);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(events.calls, 3);
    EXPECT_EQ(hourglassCalls, 3);
    EXPECT_EQ(screen.pointer, MousePointerValue::Default);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ImportTest, BlankValuesComeFromTheInventoryByColumnName) {
    MakeStore();
    Configure(invDb, upcDb);
    Run(Fixture("blank-desc.dat"), DataFileImport::DataFile);

    // Only the records with a blank field are looked up; the apostrophe (byte 1 in the file) is
    // doubled in the query. A present UPC means no UPC query.
    EXPECT_EQ(ToLines(spy.queries), Lines({"SELECT * FROM inv WHERE [1] = '1002'", "SELECT * FROM inv WHERE [1] = 'O''Brien'",
                                        "SELECT * FROM inv WHERE [1] = '9999'"}));
    EXPECT_EQ(Rows(1, 4), Lines({"1|1001|FH-1|FILE HAMMER|A1|9.99|1|6|012345678905",
                                       "2|1002|FS-2|INV SAW|A2|19.99|1|1|036000291452",
                                       "3|O'Brien|OB-1|IRISH PUTTY KNIFE|B3|4.99|1|12|042100005264",
                                       "4|9999|NONE-1||Z9|1.00|1|1|000000000000"}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ImportTest, PriceChangeFileKeepsOnlyNewPrices) {
    MakeStore();
    struct Case {
        const char* name;
        QString inv;
        Lines rows;
    };
    const Case cases[] = {
        // 2001 has no price; 2002's 1.50 equals the inventory's 1.5; 2003 is new and is completed
        // from the inventory (a retail of 2.99 there does not replace the file's 3.25).
        {"inventory", invDb, {"1|2003|PC-3|PRICE CHANGED|P3|3.25|2|10|042100005264"}},
        {"no inventory", QStringLiteral("   "),
         {"1|2002||||1.50|||", "2|2003||||3.25|||042100005264"}},
        {"inventory refused", QStringLiteral("Driver=No Such Driver;Database=x"),
         {"1|2002||||1.50|||", "2|2003||||3.25|||042100005264"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FillGrid(30, QStringLiteral("old"));
        Configure(c.inv, upcDb);
        Run(Fixture("price-change.txt"), DataFileImport::PriceChangeFile);
        EXPECT_EQ(Rows(1, static_cast<int>(c.rows.size())), c.rows);
        EXPECT_EQ(Rows(static_cast<int>(c.rows.size()) + 1, 30), EmptyNumberedRows(static_cast<int>(c.rows.size()) + 1, 30));
        EXPECT_EQ(grid.Rows(), 31);
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(ImportTest, NoAcceptedRecordLeavesTheGridAsItWas) {
    MakeStore();
    Configure(invDb, upcDb);
    FillGrid(35, QStringLiteral("kept"));
    const Lines before = AllRows();
    cwDct empty;
    struct Case {
        const char* file;
        cwDct* dictionary;
    };
    const Case cases[] = {{"no-sku.txt", &dct}, {"blank-sku.dat", &dct}, {"eight-fields.txt", &empty}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        cwDct saved = dct;
        dct = *c.dictionary;
        loads = 0;
        Run(Fixture(c.file), DataFileImport::DataFile);
        dct = saved;
        EXPECT_EQ(grid.Rows(), 36);
        EXPECT_EQ(AllRows(), before);
        EXPECT_EQ(rowsRead, 0);
        EXPECT_EQ(loads, 1);
    }
    EXPECT_EQ(ToLines(spy.queries), Lines());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ImportTest, FewRecordsReplaceTheGridWhichIsToppedUpToOneSheet) {
    struct Case {
        int rowsBefore;
        std::int16_t labelsPerSheet;
    };
    for (const Case c : {Case{20, 30}, Case{20, 32}, Case{40, 30}}) {
        SCOPED_TRACE(testing::Message() << c.rowsBefore << " rows, sheet of " << c.labelsPerSheet);
        FillGrid(c.rowsBefore, QStringLiteral("old"));
        Run(Fixture("five.txt"), DataFileImport::DataFile, c.labelsPerSheet);
        EXPECT_EQ(Rows(1, 5), Lines({"1|501||ITEM 1||1.99|||", "2|502||ITEM 2||2.99|||", "3|503||ITEM 3||3.99|||",
                                           "4|504||ITEM 4||4.99|||", "5|505||ITEM 5||5.99|||"}));
        EXPECT_EQ(grid.Rows(), c.labelsPerSheet + 1);
        EXPECT_EQ(Rows(6, c.labelsPerSheet), EmptyNumberedRows(6, c.labelsPerSheet));
    }
}

TEST_F(ImportTest, MissingUpcIsTheNewestTwelveDigitOne) {
    MakeStore();
    Configure(QString(), upcDb);
    Run(Fixture("upc-choice.txt"), DataFileImport::DataFile);
    // 010105 has 11 digits; of the 12-digit ones 020106 is newer than 060104.
    EXPECT_EQ(Rows(1, 1), Lines({"1|3001||HAS NO UPC||2.50|||036000291452"}));
    EXPECT_EQ(ToLines(spy.queries), Lines({"SELECT * FROM upc WHERE [1] = '3001'"}));
}

TEST_F(ImportTest, FilesThatCannotBeReadChangeNothing) {
    TempFiles files;
    const QString empty = files.write(QStringLiteral("empty.txt"), QByteArray());
    const QString missing = files.path(QStringLiteral("missing.txt"));
    const QString badHeader = Fixture("bad-header.txt");
    struct Case {
        QString path;
        QString readerMessage;
        QString message;
    };
    const Case cases[] = {
        {badHeader, "Invalid Header: " + badHeader, "Error in file header"},
        {missing, "Can not open data file: " + missing, "File not found"},
        {empty, "Data file is empty: " + empty, "File is empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        FillGrid(12, QStringLiteral("kept"));  // below one sheet: only the top-up runs
        const Lines before = Rows(1, 12);
        dialogs.messages.clear();
        loads = 0;
        Run(c.path, DataFileImport::DataFile);
        ASSERT_EQ(dialogs.messages.size(), 2u);
        EXPECT_EQ(dialogs.messages[0].prompt, c.readerMessage);
        EXPECT_EQ(dialogs.messages[0].title, "Fopen:");
        EXPECT_EQ(dialogs.messages[1].prompt, c.message);
        EXPECT_EQ(dialogs.messages[1].title, "Alert:");
        EXPECT_EQ(dialogs.messages[1].style, MsgStyle::Information);
        EXPECT_EQ(settings.GetSetting(kRegApp, kRegSec, QStringLiteral("FILEIMPEXP"), QString()), c.path);
        EXPECT_EQ(Rows(1, 12), before);
        EXPECT_EQ(Rows(13, 30), EmptyNumberedRows(13, 30));
        EXPECT_EQ(loads, 0);
    }
    // The reader was closed each time: it opens the next file at once.
    Run(Fixture("five.txt"), DataFileImport::DataFile);
    EXPECT_EQ(rowsRead, 5);
}

TEST_F(ImportTest, CancelledDialogImportsNothingAndKeepsThePath) {
    settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("FILEIMPEXP"), QStringLiteral("/kept.txt"));
    FillGrid(3, QStringLiteral("kept"));
    DataFileImport import(dialogs, settings, grid, dct, datFile, &spy, hourglass, events, 30, [this] { ++loads; });
    import.mnuFileRead(DataFileImport::DataFile);  // no answer scripted: cancel
    EXPECT_EQ(settings.GetSetting(kRegApp, kRegSec, QStringLiteral("FILEIMPEXP"), QString()), "/kept.txt");
    EXPECT_EQ(Rows(1, 3), Lines({"1|kept 1,1|kept 1,2|kept 1,3|kept 1,4|kept 1,5|kept 1,6|kept 1,7|kept 1,8",
                                       "2|kept 2,1|kept 2,2|kept 2,3|kept 2,4|kept 2,5|kept 2,6|kept 2,7|kept 2,8",
                                       "3|kept 3,1|kept 3,2|kept 3,3|kept 3,4|kept 3,5|kept 3,6|kept 3,7|kept 3,8"}));
    EXPECT_EQ(Rows(4, 30), EmptyNumberedRows(4, 30));
    EXPECT_EQ(loads, 0);
    EXPECT_EQ(events.calls, 0);
}

TEST_F(ImportTest, DatabasesLostInTheMiddleLeaveTheRestAsTheFileGaveIt) {
    MakeStore();
    Configure(invDb, upcDb);
    const QString invPath = dir.filePath(QStringLiteral("inv.db"));
    const QString upcPath = dir.filePath(QStringLiteral("upc.db"));
    events.onCall = [&](int call) {
        if (call != 3) return;
        EXPECT_EQ(ExecOnSqlite(invPath, {QStringLiteral("DROP TABLE inv")}), QString());
        EXPECT_EQ(ExecOnSqlite(upcPath, {QStringLiteral("DROP TABLE upc")}), QString());
    };
    Run(Fixture("six-no-desc.txt"), DataFileImport::DataFile);
    EXPECT_EQ(Rows(1, 6), Lines({"1|1001|IH-1|INV HAMMER|I1|1.19|1|6|", "2|1002|IS-2|INV SAW|I2|1.29|1|1|",
                                                "3|1003|II-3|INV ITEM 1003|I3|1.39|1|1|", "4|1004||||1.49|||",
                                                "5|1005||||1.59|||", "6|1006||||1.69|||"}));
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ImportTest, StopRequestEndsTheImportAfterTheRecordInHand) {
    events.onCall = [&](int call) {
        if (call == 2) current->requestStop();
    };
    Run(Fixture("five.txt"), DataFileImport::DataFile);
    EXPECT_EQ(rowsRead, 2);
    EXPECT_EQ(Rows(1, 3), Lines({"1|501||ITEM 1||1.99|||", "2|502||ITEM 2||2.99|||", "3||||||||"}));
    EXPECT_EQ(grid.Rows(), 31);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(screen.pointer, MousePointerValue::Default);
}

TEST_F(ImportTest, RecordsBeyondTheGridsRangeAreRefusedWithTheCountRead) {
    TempFiles files;
    QByteArray bytes = "1\r\n";
    for (int r = 1; r <= DataFileImport::kMaxImportRows + 2; ++r) bytes += QByteArray::number(r) + "\r\n";
    const QString path = files.write(QStringLiteral("too-many.txt"), bytes);
    Run(path, DataFileImport::DataFile);
    EXPECT_EQ(grid.Rows(), 32767);
    EXPECT_EQ(grid.TextMatrix(32766, 0), "32766");
    EXPECT_EQ(grid.TextMatrix(32766, 1), "32766");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "Alert:");
    EXPECT_TRUE(dialogs.messages[0].prompt.contains(QStringLiteral("32766 rows were read")))
        << dialogs.messages[0].prompt.toStdString();
    EXPECT_EQ(loads, 1);
}

}  // namespace
