// LookupItem against real SQLite databases reached through the SQLite ODBC driver.
#include "lookup/ItemLookup.h"

#include "support/MemorySettingsStore.h"
#include "StoreDatabases.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using Insert = std::pair<QString, QVariantList>;

Insert UpcRow(const QVariant& sku, const QVariant& upc, const QVariant& date) {
    return {QStringLiteral("INSERT INTO upc VALUES (?, ?, ?)"), {sku, upc, date}};
}

// Columns in table order: "1" sku, "10" desc, "11" mfn, "21" loc, "48" retail, "66" om, "65" pk.
Insert ItemRow(const QString& table, const QVariant& sku, const QVariant& desc, const QVariant& mfn,
               const QVariant& loc, const QVariant& retail, const QVariant& om, const QVariant& pk) {
    return {QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, ?, ?, ?)").arg(table), {sku, desc, mfn, loc, retail, om, pk}};
}

class LookupItemTest : public ::testing::Test {
protected:
    // Builds one database file and returns its connection string.
    QString MakeDb(const QString& file, const QStringList& create, const std::vector<Insert>& rows = {}) {
        const QString path = dir.filePath(file);
        const QString error = ExecOnSqlite(path, create, rows);
        EXPECT_EQ(error, QString());
        return SqliteConnect(path);
    }
    QString noTablesIn(const QString& file) { return MakeDb(file, {QStringLiteral("CREATE TABLE other (x TEXT)")}); }
    void Configure(const QString& upc, const QString& inv, const QString& cis) {
        settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBCUPC"), upc);
        settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBCINV"), inv);
        settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBCCIS"), cis);
    }
    // A standard store: item 1001 with two UPCs, item O'Brien's, item 2002 only in special.
    void MakeStandardStore() {
        upcDb = MakeDb(QStringLiteral("upc.db"), {kCreateUpc},
                       {UpcRow("1001", "012345678905", "010199"), UpcRow("1001", "036000291452", "060103"),
                        UpcRow("O'Brien's", "042100005264", "010120"), UpcRow("3003", "", "010120")});
        invDb = MakeDb(QStringLiteral("inv.db"), {kCreateInv},
                       {ItemRow("inv", "1001", "CLAW HAMMER 16OZ", "STN-51616", "A12", 12.5, "1", "6"),
                        ItemRow("inv", "O'Brien's", "IRISH PUTTY KNIFE", "OB-1", "B3", "4.99", "1", "12"),
                        ItemRow("inv", "012345678905", "ITEM KEYED BY UPC", "UPC-K", "Z9", 1.0, "1", "1"),
                        ItemRow("inv", "A1", "KEY WITH NUL AFTER IT", "N-1", "N", "1", "1", "1"),
                        ItemRow("inv", "4004", "   ", "INV-MFN", "", 7, QVariant(QMetaType::fromType<QString>()), "2")});
        cisDb = MakeDb(QStringLiteral("cis.db"), {kCreateSpecial},
                       {ItemRow("special", "1001", "CIS HAMMER", "CIS-MFN", "C1", 99.99, "9", "9"),
                        ItemRow("special", "2002", "SPECIAL ORDER LADDER", "LAD-8", "SO", 149.0, "1", "1"),
                        ItemRow("special", "4004", "WOOD GLUE 8OZ", "CIS-MFN", "G7", 3.25, "1", "24")});
    }
    EntryTexts Lookup(const QString& sku, int convert = 1, const QString& upc = QString()) {
        EntryTexts e;
        e.sku = sku;
        e.upc = upc;
        e.desc = e.mfn = e.loc = e.retail = e.om = e.pk = QStringLiteral("stale");
        LookupItem(e, convert, settings, counting);
        return e;
    }

    QTemporaryDir dir;
    MemorySettingsStore settings;
    QtOdbcRecordSetFactory factory;
    CountingFactory counting{factory};
    QString upcDb, invDb, cisDb;
};

QStringList Values(const EntryTexts& e) { return {e.sku, e.upc, e.desc, e.mfn, e.loc, e.retail, e.om, e.pk}; }

TEST_F(LookupItemTest, BlankSkuOrNoDatabaseEmptiesTheValueBoxesWithoutAskingAnyDatabase) {
    MakeStandardStore();
    Configure(upcDb, invDb, cisDb);
    for (const QString& sku : {QString(), QStringLiteral("   ")}) {
        const EntryTexts e = Lookup(sku, 1, QStringLiteral("kept upc"));
        EXPECT_EQ(Values(e), QStringList({sku, "kept upc", "", "", "", "", "", ""}));
    }
    EXPECT_EQ(counting.created, 0);

    Configure(QString(), QStringLiteral("  "), QString());
    const EntryTexts e = Lookup(QStringLiteral("1001"), 1, QStringLiteral("old upc"));
    EXPECT_EQ(Values(e), QStringList({"1001", "", "", "", "", "", "", ""}));
}

TEST_F(LookupItemTest, ConversionOfAScannedUpc) {
    MakeStandardStore();
    Configure(upcDb, invDb, cisDb);
    struct Case {
        const char* typed;
        int convert;
        QStringList expected;  // sku, upc, desc, mfn, loc, retail, om, pk
    };
    const Case cases[] = {
        // Found in column 149: the stock number replaces the scan, the scan is the UPC.
        {"036000291452", 1, {"1001", "036000291452", "CLAW HAMMER 16OZ", "STN-51616", "A12", "12.5", "1", "6"}},
        // Not found: the scan is the stock number; the UPC search finds nothing for it.
        {"999999999993", 1, {"999999999993", "", "", "", "", "", "", ""}},
        // A typed stock number is not a UPC: its preferred UPC is shown.
        {"1001", 1, {"1001", "036000291452", "CLAW HAMMER 16OZ", "STN-51616", "A12", "12.5", "1", "6"}},
        // Conversion off: a UPC typed into the sku box is looked up as a stock number.
        {"012345678905", 0, {"012345678905", "", "ITEM KEYED BY UPC", "UPC-K", "Z9", "1", "1", "1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(Values(Lookup(QString::fromLatin1(c.typed), c.convert)), c.expected);
    }
}

TEST_F(LookupItemTest, ConversionFailuresCountAsNotFound) {
    // A upc table without column "1" (conversion finds no stock number) and one whose stock
    // number is null: both leave the scan as the stock number.
    const QString noSku = MakeDb(QStringLiteral("nosku.db"), {R"(CREATE TABLE upc ("149" TEXT, "83" TEXT))",
                                                              R"(INSERT INTO upc VALUES ('036000291452', '010101'))"});
    const QString nullSku = MakeDb(QStringLiteral("nullsku.db"), {kCreateUpc}, {UpcRow(QVariant(QMetaType::fromType<QString>()), "036000291452", "010101")});
    const QString noTable = MakeDb(QStringLiteral("notable.db"), {R"(CREATE TABLE other (x TEXT))"});
    const QString inv = MakeDb(QStringLiteral("inv.db"), {kCreateInv},
                               {ItemRow("inv", "036000291452", "FOUND AS SKU", "M", "L", 1, "1", "1")});
    for (const QString& upc : {noSku, nullSku, noTable}) {
        Configure(upc, inv, QString());
        const EntryTexts e = Lookup(QStringLiteral("036000291452"));
        EXPECT_EQ(e.sku, "036000291452");
        EXPECT_EQ(e.desc, "FOUND AS SKU");
        EXPECT_EQ(e.upc, "");
    }
}

TEST_F(LookupItemTest, PreferredUpcOfAStockNumber) {
    struct Case {
        const char* name;
        std::vector<Insert> rows;
        const char* expected;
    };
    const QVariant null(QMetaType::fromType<QString>());
    const Case cases[] = {
        {"four-row example",
         {UpcRow("7", "12345", "010105"), UpcRow("7", "012345678905", "063099"), UpcRow("7", "098765432109", "010200"),
          UpcRow("7", "111111111111", "010200")},
         "098765432109"},
        {"year 00 ranks above year 99",
         {UpcRow("7", "036000291452", "123199"), UpcRow("7", "042100005264", "010100")},
         "042100005264"},
        {"newest 12-digit among 11 and 12 digits",
         {UpcRow("7", "12345678901", "010105"), UpcRow("7", "036000291452", "060104"), UpcRow("7", "042100005264", "020106")},
         "042100005264"},
        {"12 characters beat a newer 11 or 13",
         {UpcRow("7", "036000291452", "010101"), UpcRow("7", "12345678901", "010120"), UpcRow("7", "0036000291452", "010120")},
         "036000291452"},
        {"single 11-character UPC", {UpcRow("7", "12345678901", "010105")}, "12345678901"},
        {"spaces trimmed", {UpcRow("7", "  036000291452  ", " 010105 ")}, "036000291452"},
        {"all empty", {UpcRow("7", "", "010105"), UpcRow("7", "   ", "010106")}, ""},
        {"null UPC and null date count as empty",
         {UpcRow("7", null, "010105"), UpcRow("7", "12345", null), UpcRow("7", "036000291452", null)},
         "036000291452"},
        {"other stock numbers ignored", {UpcRow("77", "036000291452", "010105"), UpcRow("7 ", "042100005264", "010105")}, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Configure(MakeDb(QStringLiteral("upc%1.db").arg(++n), {kCreateUpc}, c.rows), QString(), QString());
        EXPECT_EQ(Lookup(QStringLiteral("7")).upc, QString::fromLatin1(c.expected));
    }
}

TEST_F(LookupItemTest, UpcTableLayouts) {
    // No column "83": the dates come from the column at position 0.
    Configure(MakeDb(QStringLiteral("nodate.db"),
                     {R"(CREATE TABLE upc (d TEXT, "1" TEXT, "149" TEXT))",
                      R"(INSERT INTO upc VALUES ('010101', '7', '036000291452'), ('010102', '7', '042100005264'))"}),
              QString(), QString());
    EXPECT_EQ(Lookup(QStringLiteral("7")).upc, "042100005264");

    // Columns in another order are found by name.
    Configure(MakeDb(QStringLiteral("order.db"),
                     {R"(CREATE TABLE upc ("83" TEXT, "149" TEXT, "1" TEXT))",
                      R"(INSERT INTO upc VALUES ('010102', '036000291452', '7'), ('010101', '042100005264', '7'))"}),
              QString(), QString());
    EXPECT_EQ(Lookup(QStringLiteral("7")).upc, "036000291452");

    // No column "149": no UPC, and the rest of the look-up goes on.
    const QString inv = MakeDb(QStringLiteral("inv.db"), {kCreateInv}, {ItemRow("inv", "7", "SEVEN", "M7", "L7", 7, "1", "1")});
    Configure(MakeDb(QStringLiteral("noupc.db"), {R"(CREATE TABLE upc ("1" TEXT, "83" TEXT))",
                                                  R"(INSERT INTO upc VALUES ('7', '010101'))"}),
              inv, QString());
    const EntryTexts e = Lookup(QStringLiteral("7"), 1, QStringLiteral("old"));
    EXPECT_EQ(e.upc, "");
    EXPECT_EQ(e.desc, "SEVEN");
}

TEST_F(LookupItemTest, CisFillsOnlyWhatTheInventoryLeftBlank) {
    MakeStandardStore();
    Configure(QString(), invDb, cisDb);
    // Inventory gives everything: CIS changes nothing (mfn and retail kept).
    EXPECT_EQ(Values(Lookup(QStringLiteral("1001"))),
              QStringList({"1001", "", "CLAW HAMMER 16OZ", "STN-51616", "A12", "12.5", "1", "6"}));
    // Spaces-only description, empty loc and null om come from CIS; mfn, retail and pk stay.
    EXPECT_EQ(Values(Lookup(QStringLiteral("4004"))),
              QStringList({"4004", "", "WOOD GLUE 8OZ", "INV-MFN", "G7", "7", "1", "2"}));
    // Not in the inventory: all six from CIS.
    EXPECT_EQ(Values(Lookup(QStringLiteral("2002"))),
              QStringList({"2002", "", "SPECIAL ORDER LADDER", "LAD-8", "SO", "149", "1", "1"}));
    // Only the CIS database configured.
    Configure(QString(), QString(), cisDb);
    EXPECT_EQ(Values(Lookup(QStringLiteral("1001"))),
              QStringList({"1001", "", "CIS HAMMER", "CIS-MFN", "C1", "99.99", "9", "9"}));
}

TEST_F(LookupItemTest, KeysAreLiteralTextNeverSql) {
    MakeStandardStore();
    Configure(upcDb, invDb, cisDb);
    const EntryTexts found = Lookup(QStringLiteral("O'Brien's"));
    EXPECT_EQ(Values(found), QStringList({"O'Brien's", "042100005264", "IRISH PUTTY KNIFE", "OB-1", "B3", "4.99", "1", "12"}));

    const QString hostile[] = {
        QStringLiteral("x' OR '1'='1"),
        QStringLiteral("1001' --"),
        QStringLiteral("1001'; DROP TABLE inv; --"),
        QStringLiteral(" 1001"),  // the key is not trimmed
        QString::fromUtf16(u"A1\0' OR '1'='1", 14),  // a NUL must not cut the query short
        QStringLiteral("A1") + QChar(0xD800),          // half a surrogate pair: refused by the driver layer
    };
    for (const QString& key : hostile) {
        SCOPED_TRACE(key.toStdString());
        const EntryTexts e = Lookup(key);
        EXPECT_EQ(Values(e), QStringList({key, "", "", "", "", "", "", ""}));
    }
    // The tables are still there and whole.
    EXPECT_EQ(Lookup(QStringLiteral("1001")).desc, "CLAW HAMMER 16OZ");
}

TEST_F(LookupItemTest, BrokenDatabasesContributeNothing) {
    MakeStandardStore();
    const QString refused = QStringLiteral("Driver=NoSuchTagwellDriver;Database=x");
    const QString missingDsn = QStringLiteral("tagwell_no_such_dsn");
    const QString noTables = MakeDb(QStringLiteral("empty.db"), {R"(CREATE TABLE other (x TEXT))"});
    const QString noDir = SqliteConnect(dir.filePath(QStringLiteral("no/such/dir/x.db")));
    for (const QString& bad : {refused, missingDsn, noTables, noDir}) {
        SCOPED_TRACE(bad.toStdString());
        // A bad UPC database skips conversion and UPC search; a bad inventory leaves it all to CIS.
        Configure(bad, bad, cisDb);
        EXPECT_EQ(Values(Lookup(QStringLiteral("1001"))),
                  QStringList({"1001", "", "CIS HAMMER", "CIS-MFN", "C1", "99.99", "9", "9"}));
        Configure(upcDb, invDb, bad);
        EXPECT_EQ(Values(Lookup(QStringLiteral("036000291452"))),
                  QStringList({"1001", "036000291452", "CLAW HAMMER 16OZ", "STN-51616", "A12", "12.5", "1", "6"}));
    }
}

TEST_F(LookupItemTest, ColumnValuesReachTheBoxesAsPlainText) {
    const QVariant null(QMetaType::fromType<QString>());
    const QString inv = MakeDb(QStringLiteral("inv.db"),
                               {R"(CREATE TABLE inv ("1" TEXT, "10" TEXT, "11" INTEGER, "48" REAL, "66", "65" NUMERIC))"},
                               {{QStringLiteral("INSERT INTO inv VALUES (?, ?, ?, ?, ?, ?)"),
                                 {"5", "  PADDED DESC  ", 42, 12.5, null, 3}}});
    // Column "21" is missing from inv: loc comes from CIS, the other boxes from inv.
    const QString cis = MakeDb(QStringLiteral("cis.db"), {kCreateSpecial},
                               {ItemRow("special", "5", "C", "C", "CIS LOC", 1, "CIS OM", "C")});
    Configure(QString(), inv, cis);
    EXPECT_EQ(Values(Lookup(QStringLiteral("5"))),
              QStringList({"5", "", "  PADDED DESC  ", "42", "CIS LOC", "12.5", "CIS OM", "3"}));
}

TEST_F(LookupItemTest, ConnectionsAreKeptAndSettingsReadAtEveryUse) {
    MakeStandardStore();
    Configure(upcDb, invDb, cisDb);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Lookup(QStringLiteral("1001")).desc, "CLAW HAMMER 16OZ");
    EXPECT_EQ(factory.connectionCount(), 3);
    EXPECT_EQ(counting.created, 5);  // one record set per look-up

    // Another inventory string takes effect at the next look-up.
    const QString other = MakeDb(QStringLiteral("other.db"), {kCreateInv},
                                 {ItemRow("inv", "1001", "OTHER STORE HAMMER", "X", "Y", 1, "1", "1")});
    Configure(upcDb, other, cisDb);
    EXPECT_EQ(Lookup(QStringLiteral("1001")).desc, "OTHER STORE HAMMER");

    // A query that failed on a kept connection does not spoil the next one.
    Configure(upcDb, noTablesIn(QStringLiteral("bare.db")), cisDb);
    EXPECT_EQ(Lookup(QStringLiteral("1001")).desc, "CIS HAMMER");
    ASSERT_EQ(ExecOnSqlite(dir.filePath(QStringLiteral("bare.db")), {kCreateInv},
                           {ItemRow("inv", "1001", "NOW THERE", "M", "L", 2, "1", "1")}),
              QString());
    EXPECT_EQ(Lookup(QStringLiteral("1001")).desc, "NOW THERE");
}

}  // namespace
