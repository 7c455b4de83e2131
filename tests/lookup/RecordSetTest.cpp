// The record-set adapter on QtSql's ODBC driver: how connection strings reach the driver manager.
#include "platform/QtOdbcRecordSet.h"

#include "StoreDatabases.h"

#include <QFile>
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

}  // namespace
