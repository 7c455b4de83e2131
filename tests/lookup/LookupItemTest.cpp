// LookupItem against real SQLite databases reached through the SQLite ODBC driver.
#include "lookup/ItemLookup.h"

#include "shell/common/Common.h"
#include "support/MemorySettingsStore.h"
#include "StoreDatabases.h"

#include <gtest/gtest.h>

namespace {

using Insert = std::pair<QString, QVariantList>;
const QVariant kNull(QMetaType::fromType<QString>());

Insert UpcRow(const QVariant& sku, const QVariant& upc, const QVariant& date) {
    return {QStringLiteral("INSERT INTO upc VALUES (?, ?, ?)"), {sku, upc, date}};
}
// Values in table order: "1" sku, "10" desc, "11" mfn, "21" loc, "48" retail, "66" om, "65" pk.
Insert ItemRow(const QString& table, const QVariantList& values) {
    return {QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, ?, ?, ?)").arg(table), values};
}
// The boxes after a look-up that found nothing but perhaps a UPC.
QStringList Only(const QString& sku, const QString& upc = QString()) { return {sku, upc, "", "", "", "", "", ""}; }

class LookupItemTest : public ::testing::Test {
protected:
    QString MakeDb(const QString& file, const QStringList& create, const std::vector<Insert>& rows = {}) {
        const QString path = dir.filePath(file);
        EXPECT_EQ(ExecOnSqlite(path, create, rows), QString());
        return SqliteConnect(path);
    }
    void Configure(const QString& upc, const QString& inv, const QString& cis) {
        for (const auto& [key, value] : {std::pair{"ODBCUPC", upc}, {"ODBCINV", inv}, {"ODBCCIS", cis}})
            settings.SaveSetting(kRegApp, kRegSec, key, value);
    }
    void MakeStandardStore() {
        upcDb = MakeDb("upc.db", {kCreateUpc},
                       {UpcRow("1001", "012345678905", "010199"), UpcRow("1001", "036000291452", "060103"),
                        UpcRow("O'Brien's", "042100005264", "010120")});
        invDb = MakeDb("inv.db", {kCreateInv},
                       {ItemRow("inv", {"1001", "CLAW HAMMER 16OZ", "STN-51616", "A12", 12.5, "1", "6"}),
                        ItemRow("inv", {"O'Brien's", "IRISH PUTTY KNIFE", "OB-1", "B3", "4.99", "1", "12"}),
                        ItemRow("inv", {"012345678905", "ITEM KEYED BY UPC", "UPC-K", "Z9", 1.0, "1", "1"}),
                        ItemRow("inv", {"A1", "KEY WITH NUL AFTER IT", "N-1", "N", "1", "1", "1"}),
                        ItemRow("inv", {"4004", "   ", "INV-MFN", "", 7, kNull, "2"})});
        cisDb = MakeDb("cis.db", {kCreateSpecial},
                       {ItemRow("special", {"1001", "CIS HAMMER", "CIS-MFN", "C1", 99.99, "9", "9"}),
                        ItemRow("special", {"2002", "SPECIAL ORDER LADDER", "LAD-8", "SO", 149.0, "1", "1"}),
                        ItemRow("special", {"4004", "WOOD GLUE 8OZ", "CIS-MFN", "G7", 3.25, "1", "24"}),
                        ItemRow("special", {"5", "C", "C", "CIS LOC", 1, "CIS OM", "C"})});
    }
    // sku, upc, desc, mfn, loc, retail, om, pk after looking `sku` up; the boxes held stale texts.
    QStringList Lookup(const QString& sku, int convert = 1) {
        EntryTexts e{sku, "stale", "stale", "stale", "stale", "stale", "stale", "old"};
        LookupItem(e, convert, settings, counting);
        return {e.sku, e.upc, e.desc, e.mfn, e.loc, e.retail, e.om, e.pk};
    }

    QTemporaryDir dir;
    MemorySettingsStore settings;
    QtOdbcRecordSetFactory factory;
    CountingFactory counting{factory};
    QString upcDb, invDb, cisDb;
};

TEST_F(LookupItemTest, FillsTheBoxesFromTheThreeDatabases) {
    MakeStandardStore();
    const QString U = upcDb, I = invDb, C = cisDb;
    const QString refused = QStringLiteral("Driver=NoSuchTagwellDriver;Database=x");
    const QString noDsn = QStringLiteral("tagwell_no_such_dsn");
    const QString noDir = SqliteConnect(dir.filePath("no/such/dir/x.db"));
    const QString noTables = MakeDb("empty.db", {R"(CREATE TABLE other (x TEXT))"});
    // A upc table without column "1", and one whose stock number is null: conversion finds nothing.
    const QString noSku = MakeDb("nosku.db", {R"(CREATE TABLE upc ("149" TEXT, "83" TEXT))",
                                              R"(INSERT INTO upc VALUES ('012345678905', '010101'))"});
    const QString nullSku = MakeDb("nullsku.db", {kCreateUpc}, {UpcRow(kNull, "012345678905", "010101")});
    // Numbers in typed columns, column "21" missing (loc comes from CIS), a padded text kept as is.
    const QString oddInv = MakeDb("odd.db", {R"(CREATE TABLE inv ("1" TEXT, "10" TEXT, "11" INTEGER, "48" REAL, "66", "65" NUMERIC))"},
                                  {{"INSERT INTO inv VALUES (?, ?, ?, ?, ?, ?)", {"5", "  PADDED DESC  ", 42, 12.5, kNull, 3}}});
    const QStringList hammer = {"1001", "036000291452", "CLAW HAMMER 16OZ", "STN-51616", "A12", "12.5", "1", "6"};
    const QStringList cisHammer = {"1001", "", "CIS HAMMER", "CIS-MFN", "C1", "99.99", "9", "9"};
    const QStringList keyedByUpc = {"012345678905", "", "ITEM KEYED BY UPC", "UPC-K", "Z9", "1", "1", "1"};
    const QString nulKey = QString::fromUtf16(u"A1\0' OR '1'='1", 14);  // a NUL must not cut the query short
    const QString halfPair = QStringLiteral("A1") + QChar(0xD800);        // refused by the driver layer
    struct Case {
        QString upc, inv, cis, typed;
        QStringList expected;
        int convert = 1;
    };
    const Case cases[] = {
        // A blank sku asks no database and leaves the UPC box alone.
        {U, I, C, "", Only("", "old")},
        {U, I, C, "   ", Only("   ", "old")},
        {"", "  ", "", "1001", Only("1001")},
        // A scan found in column "149" becomes its stock number; a scan not found, or found without a
        // stock number, is the stock number; conversion off looks the scan up as is.
        {U, I, C, "036000291452", hammer},
        {U, I, C, "999999999993", Only("999999999993")},
        {U, I, C, "012345678905", keyedByUpc, 0},
        {noSku, I, C, "012345678905", keyedByUpc},
        {nullSku, I, C, "012345678905", keyedByUpc},
        // CIS fills only the boxes the inventory left blank: a spaces-only description, an empty
        // loc and a null om; the inventory's mfn and retail stay.
        {"", I, C, "1001", {"1001", "", "CLAW HAMMER 16OZ", "STN-51616", "A12", "12.5", "1", "6"}},
        {"", I, C, "4004", {"4004", "", "WOOD GLUE 8OZ", "INV-MFN", "G7", "7", "1", "2"}},
        {"", I, C, "2002", {"2002", "", "SPECIAL ORDER LADDER", "LAD-8", "SO", "149", "1", "1"}},
        {"", "", C, "1001", cisHammer},
        {"", oddInv, C, "5", {"5", "", "  PADDED DESC  ", "42", "CIS LOC", "12.5", "CIS OM", "3"}},
        // Keys are literal text, never SQL, and are not trimmed.
        {U, I, C, "O'Brien's", {"O'Brien's", "042100005264", "IRISH PUTTY KNIFE", "OB-1", "B3", "4.99", "1", "12"}},
        {U, I, C, "x' OR '1'='1", Only("x' OR '1'='1")},
        {U, I, C, "1001'; DROP TABLE inv; --", Only("1001'; DROP TABLE inv; --")},
        {U, I, C, " 1001", Only(" 1001")},
        {U, I, C, nulKey, Only(nulKey)},
        {U, I, C, halfPair, Only(halfPair)},
        // A database that cannot be used contributes nothing; the tables above are still whole.
        {refused, refused, C, "1001", cisHammer},
        {noDsn, noDsn, C, "1001", cisHammer},
        {noDir, noDir, C, "1001", cisHammer},
        {noTables, noTables, C, "1001", cisHammer},
        {U, I, refused, "036000291452", hammer},
        {U, I, noTables, "036000291452", hammer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases << ": " << c.typed.toStdString());
        Configure(c.upc, c.inv, c.cis);
        const int asked = counting.created;
        EXPECT_EQ(Lookup(c.typed, c.convert), c.expected);
        if (IsBlank(c.typed)) { EXPECT_EQ(counting.created, asked); }
    }
}

TEST_F(LookupItemTest, PreferredUpcOfAStockNumber) {
    struct Case {
        const char* name;
        QStringList create;
        std::vector<Insert> rows;
        const char* expected;
    };
    const Case cases[] = {
        {"four-row example", {kCreateUpc},
         {UpcRow("7", "12345", "010105"), UpcRow("7", "012345678905", "063099"), UpcRow("7", "098765432109", "010200"),
          UpcRow("7", "111111111111", "010200")},
         "098765432109"},
        {"year 00 ranks above 99", {kCreateUpc}, {UpcRow("7", "036000291452", "123199"), UpcRow("7", "042100005264", "010100")},
         "042100005264"},
        {"12 characters beat a newer 11 or 13", {kCreateUpc},
         {UpcRow("7", "036000291452", "010101"), UpcRow("7", "12345678901", "010120"), UpcRow("7", "0036000291452", "010120")},
         "036000291452"},
        {"single 11-character UPC", {kCreateUpc}, {UpcRow("7", "12345678901", "010105")}, "12345678901"},
        {"spaces trimmed", {kCreateUpc}, {UpcRow("7", "  036000291452  ", " 010105 ")}, "036000291452"},
        {"all empty", {kCreateUpc}, {UpcRow("7", "", "010105"), UpcRow("7", "   ", "010106")}, ""},
        {"null UPC and date count as empty", {kCreateUpc},
         {UpcRow("7", kNull, "010105"), UpcRow("7", "12345", kNull), UpcRow("7", "036000291452", kNull)},
         "036000291452"},
        {"other stock numbers ignored", {kCreateUpc}, {UpcRow("77", "036000291452", "010105"), UpcRow("7 ", "042100005264", "010105")}, ""},
        {"no column 83: dates from position 0",
         {R"(CREATE TABLE upc (d TEXT, "1" TEXT, "149" TEXT))",
          R"(INSERT INTO upc VALUES ('010101', '7', '036000291452'), ('010102', '7', '042100005264'))"}, {}, "042100005264"},
        {"columns found by name",
         {R"(CREATE TABLE upc ("83" TEXT, "149" TEXT, "1" TEXT))",
          R"(INSERT INTO upc VALUES ('010102', '036000291452', '7'), ('010101', '042100005264', '7'))"}, {}, "036000291452"},
        {"no column 149", {R"(CREATE TABLE upc ("1" TEXT, "83" TEXT))", R"(INSERT INTO upc VALUES ('7', '010101'))"}, {}, ""},
    };
    const QString inv = MakeDb("inv.db", {kCreateInv}, {ItemRow("inv", {"7", "SEVEN", "M7", "L7", 7, "1", "1"})});
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Configure(MakeDb(QStringLiteral("upc%1.db").arg(++n), c.create, c.rows), inv, QString());
        EXPECT_EQ(Lookup("7"), QStringList({"7", c.expected, "SEVEN", "M7", "L7", "7", "1", "1"}));
    }
}

TEST_F(LookupItemTest, ConnectionsAreKeptAndSettingsReadAtEveryUse) {
    MakeStandardStore();
    Configure(upcDb, invDb, cisDb);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Lookup("1001")[2], "CLAW HAMMER 16OZ");
    EXPECT_EQ(factory.connectionCount(), 3);
    EXPECT_EQ(counting.created, 5);  // one record set per look-up

    // Another inventory string takes effect at the next look-up, and a query that failed on a
    // kept connection does not spoil the next one.
    const QString bare = MakeDb("bare.db", {R"(CREATE TABLE other (x TEXT))"});
    Configure(upcDb, bare, cisDb);
    EXPECT_EQ(Lookup("1001")[2], "CIS HAMMER");
    ASSERT_EQ(ExecOnSqlite(dir.filePath("bare.db"), {kCreateInv}, {ItemRow("inv", {"1001", "NOW THERE", "M", "L", 2, "1", "1"})}),
              QString());
    EXPECT_EQ(Lookup("1001")[2], "NOW THERE");
}

}  // namespace
