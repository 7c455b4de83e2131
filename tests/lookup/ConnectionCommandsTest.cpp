// The File menu's connection-string commands, answered by scripted dialogs.
#include "lookup/ConnectionCommands.h"

#include "StoreDatabases.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

class ConnectionCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString inv = dir.filePath(QStringLiteral("inv.db"));
        ASSERT_EQ(ExecOnSqlite(inv, {kCreateInv}), QString());
        invDb = SqliteConnect(inv);
        const QString bare = dir.filePath(QStringLiteral("bare.db"));
        ASSERT_EQ(ExecOnSqlite(bare, {QStringLiteral("CREATE TABLE other (x TEXT)")}), QString());
        bareDb = SqliteConnect(bare);
    }
    QString Stored(const char* key) { return settings.GetSetting(kRegApp, kRegSec, QString::fromLatin1(key), QStringLiteral("<none>")); }

    QTemporaryDir dir;
    QString invDb, bareDb;
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    QtOdbcRecordSetFactory factory;
};

TEST_F(ConnectionCommandsTest, FirstUseProposesTheDefaultsAndCancelStoresNothing) {
    struct Case {
        StoreDatabase db;
        const char* title;
        const char* prompt;
        const char* proposed;
    };
    const Case cases[] = {
        {StoreDatabase::Inventory, "INV ODBC Connect String", "Default Connect String: DSN=inv; UID=SA; PWD=\r\n(Table = inv)", "INV"},
        {StoreDatabase::Cis, "CIS ODBC Connect String", "Default Connect String: DSN=cis; UID=SA; PWD=\r\n(Table = special)", "CIS"},
        {StoreDatabase::Upc, "UPC ODBC Connect String", "Default Connect String: DSN=upc; UID=SA; PWD=\r\n(Table = upc)", "UPC"},
    };
    for (const Case& c : cases) EditConnectionString(c.db, dialogs, settings, factory);  // each answered ""
    ASSERT_EQ(dialogs.inputs.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(dialogs.inputs[i].title, QString::fromLatin1(cases[i].title));
        EXPECT_EQ(dialogs.inputs[i].prompt, QString::fromLatin1(cases[i].prompt));
        EXPECT_EQ(dialogs.inputDefaults[i], QString::fromLatin1(cases[i].proposed));
    }
    EXPECT_TRUE(settings.values.isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ConnectionCommandsTest, AnswersAreTestedThenStoredTrimmed) {
    // A working string with spaces around it is stored trimmed, and proposed next time.
    dialogs.inputAnswers = {QStringLiteral("  ") + invDb + QStringLiteral("   ")};
    EditConnectionString(StoreDatabase::Inventory, dialogs, settings, factory);
    EXPECT_EQ(Stored("ODBCINV"), invDb);
    EXPECT_TRUE(dialogs.messages.empty());

    // An emptied box keeps it; only spaces switch the database off.
    dialogs.inputAnswers = {QString(), QStringLiteral("   ")};
    EditConnectionString(StoreDatabase::Inventory, dialogs, settings, factory);
    EXPECT_EQ(dialogs.inputDefaults.last(), invDb);
    EXPECT_EQ(Stored("ODBCINV"), invDb);
    EditConnectionString(StoreDatabase::Inventory, dialogs, settings, factory);
    EXPECT_EQ(Stored("ODBCINV"), QString());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ConnectionCommandsTest, AFailedTestIsReportedAsTypedAndNotStored) {
    settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBCCIS"), QStringLiteral("old cis"));
    struct Case {
        StoreDatabase db;
        const char* key;
        QString answer;
        const char* title;
    };
    const Case cases[] = {
        // A reachable database without the command's table.
        {StoreDatabase::Cis, "ODBCCIS", QStringLiteral(" ") + bareDb + QStringLiteral(" "), "CIS Database"},
        {StoreDatabase::Upc, "ODBCUPC", invDb, "UPC Database"},
        {StoreDatabase::Inventory, "ODBCINV", QStringLiteral("  Driver=NoSuchTagwellDriver;Database=x"), "INV Database"},
        {StoreDatabase::Inventory, "ODBCINV", QStringLiteral("no_such_dsn "), "INV Database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        const QString before = Stored(c.key);
        dialogs.inputAnswers = {c.answer};
        dialogs.messages.clear();
        EditConnectionString(c.db, dialogs, settings, factory);
        EXPECT_EQ(Stored(c.key), before);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        const RecordedMessage& m = dialogs.messages[0];
        EXPECT_EQ(m.title, QString::fromLatin1(c.title));
        EXPECT_EQ(m.style, 64);
        const QString head = QStringLiteral("Error opening selected odbc source: ") + c.answer + QStringLiteral("\r\n-2147467259: ");
        EXPECT_TRUE(m.prompt.startsWith(head)) << m.prompt.toStdString();
        EXPECT_GT(m.prompt.size(), head.size() + 5);  // the driver's description follows
    }
}

TEST_F(ConnectionCommandsTest, TestMessageHasOneLinePerDatabase) {
    TestDatabaseConnections(dialogs, settings, factory);
    settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBCINV"), invDb);
    TestDatabaseConnections(dialogs, settings, factory);
    settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBCUPC"), QStringLiteral("  "));
    settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBCCIS"), bareDb);
    TestDatabaseConnections(dialogs, settings, factory);

    ASSERT_EQ(dialogs.messages.size(), 3u);
    for (const RecordedMessage& m : dialogs.messages) {
        EXPECT_EQ(m.title, "Alert:");
        EXPECT_EQ(m.style, 64);
    }
    EXPECT_EQ(dialogs.messages[0].prompt, "\r\nUPC Database not set to an ODBC data source."
                                          "\r\nInventory Database not set to an ODBC data source."
                                          "\r\nOptional CIS Database not set to an ODBC data source.");
    EXPECT_EQ(dialogs.messages[1].prompt, "\r\nUPC Database not set to an ODBC data source."
                                          "\r\nInventory Database OK"
                                          "\r\nOptional CIS Database not set to an ODBC data source.");
    const QStringList lines = dialogs.messages[2].prompt.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "UPC Database not set to an ODBC data source.");
    EXPECT_EQ(lines[2], "Inventory Database OK");
    EXPECT_TRUE(lines[3].startsWith("CIS Database Problem: -2147467259, ")) << lines[3].toStdString();
    EXPECT_TRUE(lines[3].contains("special")) << lines[3].toStdString();
    // The test changes no setting.
    EXPECT_EQ(Stored("ODBCCIS"), bareDb);
    EXPECT_EQ(Stored("ODBCINV"), invDb);
}

}  // namespace
