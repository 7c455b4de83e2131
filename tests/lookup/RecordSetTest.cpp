// The record-set adapter on QtSql's ODBC driver: how connection strings reach the driver manager.
#include "platform/qt/QtOdbcRecordSet.h"

#include "StoreDatabases.h"

#include <QFile>
#include "platform/TagwellError.h"
#include <gtest/gtest.h>

namespace {

TEST(QodbcDatabaseName, GivesTheDriverManagerTheStringAsWritten) {
    const struct {
        const char* connect;
        const char* name;  // what QODBC is given; it writes "DSN=" / "FILEDSN=" before the last two kinds
    } cases[] = {
        {"inv", "inv"},
        {"Driver=SQLite3;Database=/tmp/a.db", "Driver=SQLite3;Database=/tmp/a.db"},
        {"SERVER=db1;UID=SA", "SERVER=db1;UID=SA"},
        {"DSN=inv; UID=SA; PWD=", "inv; UID=SA; PWD="},
        {"dsn=inv", "inv"},
        {"UID=SA; DSN=inv; PWD={a;b}", "inv;UID=SA; PWD={a;b}"},
        {"PWD={x;DSN=y};DSN=inv", "inv;PWD={x;DSN=y}"},
        {"FILEDSN=/etc/store.dsn;UID=SA", "/etc/store.dsn;UID=SA"},
        {"UID=SA;PWD=", "DEFAULT;UID=SA;PWD="},
    };
    for (const auto& c : cases) EXPECT_EQ(QodbcDatabaseName(c.connect), c.name) << c.connect;
}

TEST(QodbcDatabaseName, DataSourceNamesFromTheUsersOdbcIniOpen) {
    QTemporaryDir dir;
    const QString db = dir.filePath("t.db");
    ASSERT_EQ(ExecOnSqlite(db, {"CREATE TABLE t (v TEXT)", "INSERT INTO t VALUES ('a'), ('b')"}), QString());
    // A user data source, written where unixODBC looks for it.
    QFile ini(dir.filePath("odbc.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[tagwell_test_inv]\nDriver=SQLite3\nDatabase=%1\n").arg(db).toUtf8());
    ini.close();
    const QByteArray saved = qgetenv("ODBCINI");
    qputenv("ODBCINI", ini.fileName().toLocal8Bit());
    QtOdbcRecordSetFactory factory;
    for (const char* connect : {"tagwell_test_inv", "DSN=tagwell_test_inv; UID=SA; PWD=", "UID=SA;DSN=tagwell_test_inv"}) {
        auto rs = factory.CreateRecordSet();
        EXPECT_NO_THROW(rs->Open(RecordQuery{"t", "v", "b"}, connect)) << connect;
        if (rs->IsOpen()) { EXPECT_EQ(rs->Fields(0).Value().toString(), "b") << connect; }
    }
    if (saved.isEmpty()) qunsetenv("ODBCINI");
    else qputenv("ODBCINI", saved);
}

// A value reads the same whatever record was read before it: SQLite keeps a number and a text in one
// column without a type, and "5.00" stays "5.00" after a record holding the number 12.5.
TEST(QtOdbcRecordSet, AValueReadsTheSameAfterAnyOtherRecord) {
    QTemporaryDir dir;
    const QString db = dir.filePath("inv.db");
    ASSERT_EQ(ExecOnSqlite(db, {R"(CREATE TABLE inv ("1" TEXT, "48"))",
                                R"(INSERT INTO inv VALUES ('a', 12.5), ('b', '5.00'), ('c', 7), ('d', 'abc'))"}),
              QString());
    QtOdbcRecordSetFactory factory;
    auto rs = factory.CreateRecordSet();
    rs->setActiveConnection(SqliteConnect(db));
    for (const auto& [key, value] : {std::pair{"a", "12.5"}, {"b", "5.00"}, {"c", "7"}, {"d", "abc"}, {"b", "5.00"}, {"a", "12.5"}}) {
        rs->Open(RecordQuery{"inv", "1", key});
        ASSERT_FALSE(rs->Eof()) << key;
        EXPECT_EQ(rs->Fields(QString("48")).Value().toString(), value) << key;
        rs->Close();
    }
}

// The databases are only read: a missing SQLite file is reported as missing and not made, a table
// without the key column fails instead of answering every key, and a database that another program
// holds locked is waited for a bounded time (here the string's own Timeout), then fails.
TEST(QtOdbcRecordSet, DatabasesAreOnlyReadAndNeverWaitedOnForever) {
    QTemporaryDir dir;
    QtOdbcRecordSetFactory factory;
    auto rs = factory.CreateRecordSet();
    const QString missing = dir.filePath("missing.db");
    try {
        rs->setActiveConnection(SqliteConnect(missing));
        ADD_FAILURE() << "a missing database was opened";
    } catch (const TagwellError& e) {
        EXPECT_EQ(e.description(), "The database file " + missing + " does not exist.");
    }
    EXPECT_FALSE(QFile::exists(missing));

    const QString db = dir.filePath("store.db");
    ASSERT_EQ(ExecOnSqlite(db, {kCreateUpc, R"(CREATE TABLE inv ("10" TEXT))", R"(INSERT INTO inv VALUES ('x'))"}), QString());
    rs->setActiveConnection(SqliteConnect(db) + ";Timeout=200");
    EXPECT_THROW(rs->Open(RecordQuery{"inv", "1", "1"}), TagwellError);

    // Another program's write lock, held on a connection of its own.
    QSqlDatabase other = QSqlDatabase::addDatabase("QODBC", "tagwell-test-locker");
    other.setDatabaseName(SqliteConnect(db));
    ASSERT_TRUE(other.open());
    QSqlQuery lock(other);
    ASSERT_TRUE(lock.exec("BEGIN EXCLUSIVE")) << lock.lastError().text().toStdString();
    try {
        rs->Open(RecordQuery{"upc", "1", "1"});
        ADD_FAILURE() << "a locked database was read";
    } catch (const TagwellError& e) {
        EXPECT_TRUE(e.description().contains("locked")) << e.description().toStdString();
    }
    lock.exec("ROLLBACK");
    lock.finish();
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase("tagwell-test-locker");
    EXPECT_NO_THROW(rs->Open(RecordQuery{"upc", "1", "1"}, SqliteConnect(db) + ";Timeout=200"));
}

}  // namespace
