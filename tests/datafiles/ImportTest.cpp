// "Read in a Data File" and "Read in a Price Change File" on real data files, with the inventory and
// UPC databases as SQLite files read through the ODBC driver.
#include "TempFiles.h"
#include "datafiles/Export.h"
#include "datafiles/Import.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "grid/LabelGrid.h"
#include "shell/common/Common.h"
#include "support/FakeUi.h"
#include "support/MemorySettingsStore.h"

namespace {

// Record sets that note the text of every query they run, to prove which queries the import made.
struct SpyRecordSet : RecordSet {
    SpyRecordSet(std::unique_ptr<RecordSet> inner, QStringList& queries) : in(std::move(inner)), queries(queries) {}
    void setActiveConnection(const QString& c) override { in->setActiveConnection(c); }
    QString ActiveConnection() const override { return in->ActiveConnection(); }
    void Open(const RecordQuery& query, const QString& connect) override {
        queries << LogicalText(query);
        in->Open(query, connect);
    }
    void Close() override { in->Close(); }
    bool IsOpen() const override { return in->IsOpen(); }
    bool Eof() const override { return in->Eof(); }
    void MoveFirst() override { in->MoveFirst(); }
    void MoveNext() override { in->MoveNext(); }
    int fieldCount() const override { return in->fieldCount(); }
    QString fieldName(int p) const override { return in->fieldName(p); }
    int fieldIndex(const QString& n) const override { return in->fieldIndex(n); }
    QVariant fieldValue(int p) const override { return in->fieldValue(p); }
    std::unique_ptr<RecordSet> in;
    QStringList& queries;
};
struct SpyFactory : RecordSetFactory {
    std::unique_ptr<RecordSet> CreateRecordSet() override {
        return std::make_unique<SpyRecordSet>(odbc.CreateRecordSet(), queries);
    }
    QtOdbcRecordSetFactory odbc;
    QStringList queries;
};

QString Fixture(const char* name) { return FixturePath("import/") + QString::fromLatin1(name); }
const QString kInvQuery = "SELECT * FROM inv WHERE [1] = ", kUpcQuery = "SELECT * FROM upc WHERE [1] = ";

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(dct.setup(Fixture("store.dct"), "INV", 99), 0);
        FillGrid(30);
        // Columns sku, description, mfn, location, retail, order multiple, pack; then sku, UPC, date.
        ASSERT_EQ(ExecOnSqlite(invPath, {kCreateInv, "INSERT INTO inv VALUES ('1001','INV HAMMER','IH-1','I1',12.5,'1','6'),"
            "('1002','INV SAW','IS-2','I2',24,'1','1'),('1003','INV ITEM 1003','II-3','I3',3,'1','1'),"
            "('1004','INV ITEM 1004','II-4','I4',4,'1','1'),('O''Brien','IRISH PUTTY KNIFE','IR-1','I7',4.99,'1','12'),"
            "('2002','PRICE UNCHANGED','PU-2','P2',1.5,'1','1'),('2003','PRICE CHANGED','PC-3','P3',2.99,'2','10')"}), "");
        ASSERT_EQ(ExecOnSqlite(upcPath, {kCreateUpc, "INSERT INTO upc VALUES ('3001','12345678901','010105'),"
            "('3001','012345678905','060104'),('3001','036000291452','020106'),('2003','042100005264','010120'),"
            "('1004','070330506128','010120')"}), "");
    }
    void FillGrid(int dataRows) {
        grid.setRows(dataRows + 1);
        for (int r = 1; r <= dataRows; ++r)
            for (int c = 0; c <= 8; ++c) grid.setTextMatrix(r, c, QString::number(c ? r * 10 + c : r));
    }
    void Configure(const QString& inv, const QString& upc) {
        settings.SaveSetting(kRegApp, kRegSec, "ODBCINV", inv);
        settings.SaveSetting(kRegApp, kRegSec, "ODBCUPC", upc);
    }
    void Run(const std::optional<QString>& path, int index = DataFileImport::DataFile, std::int16_t sheet = 30) {
        dialogs.fileAnswers = {path};
        DataFileImport import(dialogs, settings, grid, dct, datFile, &spy, hourglass, events, sheet, [this] { ++loads; });
        outcome = import.mnuFileRead(index);
        ShowOutcome(outcome, dialogs);
        rowsRead = import.rowsRead();
    }
    // Every row as "number|sku|mfn|desc|loc|retail|om|pk|upc".
    QStringList Rows() const {
        QStringList rows;
        for (int r = 1; r < grid.Rows(); ++r) {
            rows << grid.TextMatrix(r, 0);
            for (int c = 1; c <= 8; ++c) rows.back() += "|" + grid.TextMatrix(r, c);
        }
        return rows;
    }
    // These rows, then empty numbered rows up to `upTo`.
    static QStringList Sheet(QStringList rows, int upTo = 30) {
        for (int r = static_cast<int>(rows.size()) + 1; r <= upTo; ++r) rows << QString::number(r) + "||||||||";
        return rows;
    }

    TempFiles tmp;
    QString invPath = tmp.path("inv.db"), upcPath = tmp.path("upc.db");
    QString invDb = SqliteConnect(invPath), upcDb = SqliteConnect(upcPath);
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    FakeScreenPointer screen;
    Hourglass hourglass{screen};
    FakeEventPump events;
    LabelGrid grid;
    cwDct dct;
    cwDatFile datFile;
    SpyFactory spy;
    int loads = 0, rowsRead = 0;
    Outcome outcome = Outcome::done();  // of the last Run
};

}  // namespace

TEST_F(ImportTest, RecordsBecomeRows) {
    // eight-fields.txt: every field given, neither database is asked. blank-desc.dat: only records with
    // a blank field are looked up, the apostrophe (byte 1 in the file) doubled in the query; a record's
    // own UPC means no UPC query. price-change.txt: 2001 has no price, 2002's 1.50 equals the
    // inventory's 1.5, 2003 is new and completed from the inventory (its retail of 2.99 does not replace
    // the file's 3.25); without a usable inventory the priced records stay. upc-choice.txt: 010105 has
    // 11 digits; of the 12-digit ones 020106 is newer than 060104. five.txt: the rows below go and the
    // grid is topped up to one sheet.
    const QStringList noInventory{"1|2002||||1.50|||", "2|2003||||3.25|||042100005264"};
    const QStringList five{"1|501||ITEM 1||1.99|||", "2|502||ITEM 2||2.99|||", "3|503||ITEM 3||3.99|||",
                           "4|504||ITEM 4||4.99|||", "5|505||ITEM 5||5.99|||"};
    struct Case { const char* file; QString inv, upc; int rowsBefore, sheet; QStringList queries, rows; };
    const Case cases[] = {
        {"eight-fields.txt", invDb, upcDb, 30, 30, {}, {"1|1001|FH-1|FILE HAMMER|A1|9.99|1|6|012345678905",
         "2|1002|FS-2|FILE SAW|A2|19.99|1|1|036000291452", "3|1003|FL-3|FILE LEVEL|A3|5|2|12|042100005264"}},
        {"blank-desc.dat", invDb, upcDb, 30, 30, {kInvQuery + "'1002'", kInvQuery + "'O''Brien'", kInvQuery + "'9999'"},
         {"1|1001|FH-1|FILE HAMMER|A1|9.99|1|6|012345678905", "2|1002|FS-2|INV SAW|A2|19.99|1|1|036000291452",
          "3|O'Brien|OB-1|IRISH PUTTY KNIFE|B3|4.99|1|12|042100005264", "4|9999|NONE-1||Z9|1.00|1|1|000000000000"}},
        {"price-change.txt", invDb, upcDb, 30, 30,
         {kInvQuery + "'2001'", kInvQuery + "'2002'", kInvQuery + "'2003'", kUpcQuery + "'2003'"},
         {"1|2003|PC-3|PRICE CHANGED|P3|3.25|2|10|042100005264"}},
        {"price-change.txt", "   ", upcDb, 30, 30, {kUpcQuery + "'2002'", kUpcQuery + "'2003'"}, noInventory},
        {"price-change.txt", "Driver=None", upcDb, 30, 30, {kUpcQuery + "'2002'", kUpcQuery + "'2003'"}, noInventory},
        {"upc-choice.txt", "", upcDb, 30, 30, {kUpcQuery + "'3001'"}, {"1|3001||HAS NO UPC||2.50|||036000291452"}},
        {"five.txt", "", "", 20, 30, {}, five},
        {"five.txt", "", "", 20, 32, {}, five},
        {"five.txt", "", "", 40, 30, {}, five},
    };
    int hourglassCalls = 0;
    events.onCall = [&](int) { hourglassCalls += screen.pointer == MousePointerValue::Hourglass; };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " " << c.inv.toStdString() << " " << c.rowsBefore << " " << c.sheet);
        FillGrid(c.rowsBefore);
        Configure(c.inv, c.upc);
        spy.queries.clear();
        events.calls = hourglassCalls = loads = 0;
        const bool priceChange = QByteArray(c.file).startsWith("price");
        Run(Fixture(c.file), priceChange ? DataFileImport::PriceChangeFile : DataFileImport::DataFile, c.sheet);
        EXPECT_EQ(spy.queries, c.queries);
        EXPECT_EQ(Rows(), Sheet(c.rows, c.sheet));
        EXPECT_EQ(loads, 1);
        EXPECT_EQ(hourglassCalls, events.calls) << "events run after every record, under the hourglass";
        EXPECT_EQ(events.calls, TempFiles::read(Fixture(c.file)).count('\n') - 1);
        EXPECT_EQ(screen.pointer, MousePointerValue::Default);
        EXPECT_EQ(Shown(dialogs), "");
    }
}

TEST_F(ImportTest, NoAcceptedRecordLeavesTheGridAsItWas) {
    Configure(invDb, upcDb);
    FillGrid(35);
    const QStringList before = Rows();
    Run(Fixture("no-sku.txt"));
    Run(Fixture("blank-sku.dat"));
    dct = cwDct();  // no field has a length
    Run(Fixture("eight-fields.txt"));
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(rowsRead, 0);
    EXPECT_EQ(loads, 3);
    EXPECT_EQ(spy.queries, QStringList());
    EXPECT_EQ(Shown(dialogs), "");
}

TEST_F(ImportTest, NegativeDictionaryLengthIsReported) {
    Configure(invDb, upcDb);
    dct.setDLen(11, -1);  // mfn, a column of every record of the file
    Run(Fixture("eight-fields.txt"));
    EXPECT_TRUE(Shown(dialogs).contains("Invalid procedure call or argument")) << Shown(dialogs).toStdString();
    EXPECT_EQ(rowsRead, 0);
    EXPECT_EQ(loads, 1);
}

TEST_F(ImportTest, FilesThatCannotBeReadOrACancelledDialogChangeNothing) {
    const QString empty = tmp.write("empty.txt", ""), missing = tmp.path("x.txt"), badHeader = Fixture("bad-header.txt");
    const std::pair<std::optional<QString>, QString> cases[] = {
        {badHeader, "Fopen: 48 Invalid Header: " + badHeader + "\nAlert: 64 Error in file header\n"},
        {missing, "Fopen: 48 Can not open data file: " + missing + "\nAlert: 64 File not found\n"},
        {empty, "Fopen: 48 Data file is empty: " + empty + "\nAlert: 64 File is empty\n"},
        {std::nullopt, ""},
    };
    for (const auto& [path, shown] : cases) {
        SCOPED_TRACE(shown.toStdString());
        settings.SaveSetting(kRegApp, kRegSec, "FILEIMPEXP", "/earlier.txt");
        FillGrid(12);  // below one sheet: only the top-up runs
        const QStringList before = Rows();
        Run(path);
        EXPECT_EQ(Describe(dialogs.openRequests.back()), "/earlier.txt|Import File|20484|All Files (*.*)|*.*|Quote and "
                                                         "Comma Files (*.dat)|*.dat|Tab Delimited Files (*.txt)|*.txt|3");
        EXPECT_EQ(Shown(dialogs), shown);
        EXPECT_EQ(outcome.failed(), path.has_value()) << "a cancelled dialog is no failure";
        EXPECT_EQ(settings.GetSetting(kRegApp, kRegSec, "FILEIMPEXP", ""), path.value_or("/earlier.txt"));
        EXPECT_EQ(Rows(), Sheet(before));
        EXPECT_EQ(loads, 0);
    }
    // The reader was closed each time: it opens the next file at once.
    Run(Fixture("five.txt"));
    EXPECT_EQ(rowsRead, 5);
    EXPECT_EQ(outcome.status(), Outcome::Status::Done);
}

// A path that cannot be remembered is told, but every record is read: the import did what it was
// asked, and the command line must not take the message for a failure.
TEST_F(ImportTest, APathThatCannotBeRememberedIsANoticeNotAFailure) {
    settings.failWrites = true;
    Run(Fixture("five.txt"));
    EXPECT_EQ(rowsRead, 5);
    EXPECT_EQ(Shown(dialogs), "Alert: 64 Path/File access error\n");
    EXPECT_EQ(outcome.status(), Outcome::Status::Notice);
}

TEST_F(ImportTest, DatabasesDroppedInTheMiddleLeaveTheRestAsTheFileGaveIt) {
    Configure(invDb, upcDb);
    events.onCall = [&](int call) {
        if (call != 3) return;
        EXPECT_EQ(ExecOnSqlite(invPath, {"DROP TABLE inv"}), "");
        EXPECT_EQ(ExecOnSqlite(upcPath, {"DROP TABLE upc"}), "");
    };
    Run(Fixture("six-no-desc.txt"));
    EXPECT_EQ(Rows(), Sheet({"1|1001|IH-1|INV HAMMER|I1|1.19|1|6|", "2|1002|IS-2|INV SAW|I2|1.29|1|1|",
                             "3|1003|II-3|INV ITEM 1003|I3|1.39|1|1|", "4|1004||||1.49|||", "5|1005||||1.59|||",
                             "6|1006||||1.69|||"}));
    EXPECT_EQ(loads, 1);
    // The rows went in without the database's values, and the import says why, once.
    // Each database is asked once after it failed, not once per remaining record.
    EXPECT_EQ(spy.queries.filter("'1004'").size(), 2);
    EXPECT_EQ(spy.queries.filter("'1005'").size() + spy.queries.filter("'1006'").size(), 0);
    const QString shown = Shown(dialogs);
    EXPECT_TRUE(shown.startsWith("Alert: 64 Inventory Database Problem: -2147467259, ") && shown.contains("no such table") &&
                shown.count(u'\n') == 1)
        << shown.toStdString();
}

TEST_F(ImportTest, AnExportedGridReadsBackAsItWas) {
    Run(Fixture("eight-fields.txt"));
    grid.setTextMatrix(2, GridCol::Desc, "  Café €5 “best”");
    const QStringList exported = Rows();
    dialogs.fileAnswers = {tmp.path("round.txt")};
    ASSERT_FALSE(SaveDataToFile(dialogs, settings, grid).failed());
    FillGrid(30);
    Run(tmp.path("round.txt"));
    EXPECT_EQ(Rows(), exported);
    EXPECT_EQ(Shown(dialogs), "");
}

TEST_F(ImportTest, RecordsBeyondTheGridsRangeAreRefusedWithTheCountRead) {
    QByteArray bytes = "1\r\n";
    for (int r = 1; r <= DataFileImport::kMaxImportRows + 2; ++r) bytes += QByteArray::number(r) + "\r\n";
    Run(tmp.write("too-many.txt", bytes));
    EXPECT_EQ(grid.Rows(), 32767);
    EXPECT_EQ(grid.TextMatrix(32766, 1), "32766");
    EXPECT_EQ(Shown(dialogs), "Alert: 64 The grid cannot hold more rows: 32766 rows were read, the rest of the file "
                              "was left out.\n");
    EXPECT_EQ(loads, 1);
}
