// The File menu's connection-string commands, answered by scripted dialogs.
#include "lookup/ConnectionCommands.h"

#include "StoreDatabases.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

class ConnectionCommandsTest : public ::testing::Test {
protected:
    QString Db(const char* file, const QString& create) {
        const QString path = dir.filePath(file);
        EXPECT_EQ(ExecOnSqlite(path, {create}), QString());
        return SqliteConnect(path);
    }
    QString Stored(const char* key) { return settings.GetSetting(kRegApp, kRegSec, key, "<none>"); }

    QTemporaryDir dir;
    const QString invDb = Db("inv.db", kCreateInv);
    const QString bareDb = Db("bare.db", "CREATE TABLE other (x TEXT)");
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    QtOdbcRecordSetFactory factory;
};

TEST_F(ConnectionCommandsTest, FirstUseProposesTheDefaultsAndAnEmptiedBoxStoresNothing) {
    const struct { StoreDatabase db; const char *title, *prompt, *proposed; } cases[] = {
        {StoreDatabase::Inventory, "INV ODBC Connect String", "Default Connect String: DSN=inv; UID=SA; PWD=\r\n(Table = inv)", "INV"},
        {StoreDatabase::Cis, "CIS ODBC Connect String", "Default Connect String: DSN=cis; UID=SA; PWD=\r\n(Table = special)", "CIS"},
        {StoreDatabase::Upc, "UPC ODBC Connect String", "Default Connect String: DSN=upc; UID=SA; PWD=\r\n(Table = upc)", "UPC"},
    };
    for (const auto& c : cases) {
        ShowOutcome(EditConnectionString(c.db, dialogs, settings, factory), dialogs);  // no scripted answer: ""
        EXPECT_EQ(dialogs.inputs.back().title, c.title);
        EXPECT_EQ(dialogs.inputs.back().prompt, c.prompt);
        EXPECT_EQ(dialogs.inputDefaults.back(), c.proposed);
    }
    EXPECT_TRUE(settings.values.isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ConnectionCommandsTest, AnswersAreTestedThenStoredTrimmed) {
    // A working string with spaces around it is stored trimmed and proposed next time; an emptied
    // box keeps it; only spaces switch the database off.
    dialogs.inputAnswers = {"  " + invDb + "   ", QString(), "   "};
    ShowOutcome(EditConnectionString(StoreDatabase::Inventory, dialogs, settings, factory), dialogs);
    EXPECT_EQ(Stored("ODBCINV"), invDb);
    ShowOutcome(EditConnectionString(StoreDatabase::Inventory, dialogs, settings, factory), dialogs);
    EXPECT_EQ(dialogs.inputDefaults.last(), invDb);
    EXPECT_EQ(Stored("ODBCINV"), invDb);
    ShowOutcome(EditConnectionString(StoreDatabase::Inventory, dialogs, settings, factory), dialogs);
    EXPECT_EQ(Stored("ODBCINV"), QString());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ConnectionCommandsTest, AFailedTestIsReportedAsTypedAndNotStored) {
    settings.SaveSetting(kRegApp, kRegSec, "ODBCCIS", "old cis");
    const struct { StoreDatabase db; const char* key; QString answer; const char* title; } cases[] = {
        {StoreDatabase::Cis, "ODBCCIS", " " + bareDb + " ", "CIS Database"},  // reachable, without the table
        {StoreDatabase::Inventory, "ODBCINV", "  Driver=NoSuchTagwellDriver;Database=x", "INV Database"},
        {StoreDatabase::Upc, "ODBCUPC", "no_such_dsn ", "UPC Database"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        const QString before = Stored(c.key);
        dialogs.inputAnswers = {c.answer};
        dialogs.messages.clear();
        ShowOutcome(EditConnectionString(c.db, dialogs, settings, factory), dialogs);
        EXPECT_EQ(Stored(c.key), before);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].title, c.title);
        EXPECT_EQ(dialogs.messages[0].style, 64);
        const QString head = "Error opening selected odbc source: " + c.answer + "\r\n-2147467259: ";
        EXPECT_TRUE(dialogs.messages[0].prompt.startsWith(head)) << dialogs.messages[0].prompt.toStdString();
        EXPECT_GT(dialogs.messages[0].prompt.size(), head.size() + 5);  // the driver's description follows
    }
}

TEST_F(ConnectionCommandsTest, TestMessageHasOneLinePerDatabaseAndChangesNothing) {
    // Shows the test's message; true when the test reported a failure.
    const auto test = [&] {
        const Outcome outcome = TestDatabaseConnections(settings, factory);
        ShowOutcome(outcome, dialogs);
        return outcome.failed();
    };
    EXPECT_FALSE(test());
    settings.SaveSetting(kRegApp, kRegSec, "ODBCINV", invDb);
    EXPECT_FALSE(test());
    settings.SaveSetting(kRegApp, kRegSec, "ODBCUPC", "  ");
    settings.SaveSetting(kRegApp, kRegSec, "ODBCCIS", bareDb);
    EXPECT_TRUE(test()) << "a database that does not answer fails the test";

    ASSERT_EQ(dialogs.messages.size(), 3u);
    for (const RecordedMessage& m : dialogs.messages) EXPECT_EQ(m.title + QString::number(m.style), "Alert:64");
    EXPECT_EQ(dialogs.messages[0].prompt, "\r\nUPC Database not set to an ODBC data source."
                                          "\r\nInventory Database not set to an ODBC data source."
                                          "\r\nOptional CIS Database not set to an ODBC data source.");
    EXPECT_EQ(dialogs.messages[1].prompt, "\r\nUPC Database not set to an ODBC data source."
                                          "\r\nInventory Database OK"
                                          "\r\nOptional CIS Database not set to an ODBC data source.");
    const QStringList lines = dialogs.messages[2].prompt.split("\r\n");
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.mid(0, 3), QStringList({"", "UPC Database not set to an ODBC data source.", "Inventory Database OK"}));
    EXPECT_TRUE(lines[3].startsWith("CIS Database Problem: -2147467259, ")) << lines[3].toStdString();
    EXPECT_TRUE(lines[3].contains("special")) << lines[3].toStdString();
    EXPECT_EQ(Stored("ODBCCIS"), bareDb);
    EXPECT_EQ(Stored("ODBCINV"), invDb);
}

}  // namespace

namespace {

// A table that reads whole but on which the look-up's own key queries fail (no column "149", no
// column "1") is a problem, not OK; TestKeyQueries names it for the command line's check.
TEST_F(ConnectionCommandsTest, ADatabaseWhoseKeyQueriesFailIsNotOk) {
    const QString noUpcColumn = Db("noupc.db", R"(CREATE TABLE upc ("1" TEXT, "83" TEXT))");
    const QString noSkuColumn = Db("nosku.db", R"(CREATE TABLE inv (sku TEXT, "10" TEXT))");
    settings.SaveSetting(kRegApp, kRegSec, "ODBCUPC", noUpcColumn);
    settings.SaveSetting(kRegApp, kRegSec, "ODBCINV", noSkuColumn);
    settings.SaveSetting(kRegApp, kRegSec, "ODBCCIS", "");
    ShowOutcome(TestDatabaseConnections(settings, factory), dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QStringList lines = dialogs.messages[0].prompt.split("\r\n");
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[1].startsWith("UPC Database Problem: -2147467259, ") && lines[1].contains("149")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("Inventory Database Problem: -2147467259, ")) << lines[2].toStdString();

    EXPECT_EQ(TestKeyQueries(StoreDatabase::Inventory, invDb, factory), "");
    EXPECT_TRUE(TestKeyQueries(StoreDatabase::Upc, noUpcColumn, factory).startsWith("-2147467259, "));
    EXPECT_TRUE(TestKeyQueries(StoreDatabase::Cis, invDb, factory).contains("special"));
}

}  // namespace
