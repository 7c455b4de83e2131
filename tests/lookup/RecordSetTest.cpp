// The record-set adapter on QtSql's ODBC driver, against SQLite databases built by the test.
#include "platform/QtOdbcRecordSet.h"
#include "platform/TagwellError.h"

#include "StoreDatabases.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const TagwellError& e) {
        EXPECT_FALSE(e.description().isEmpty());
        return e.number();
    }
    return 0;
}

TEST(QodbcDatabaseName, GivesTheDriverManagerTheStringAsWritten) {
    struct Case {
        const char* connect;
        const char* name;  // what QODBC is given; it writes "DSN=" / "FILEDSN=" before the last two kinds
    };
    const Case cases[] = {
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
    for (const Case& c : cases) EXPECT_EQ(QodbcDatabaseName(QString::fromLatin1(c.connect)), QString::fromLatin1(c.name)) << c.connect;
}

class RecordSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath(QStringLiteral("t.db"));
        ASSERT_EQ(ExecOnSqlite(path, {R"(CREATE TABLE t ("1" TEXT, "48" REAL, "9" TEXT))",
                                      R"(INSERT INTO t VALUES ('a', 12.5, NULL), ('b', 3, 'x'), ('c', -0.25, ''))"}),
                  QString());
        connect = SqliteConnect(path);
    }
    QTemporaryDir dir;
    QString path, connect;
    QtOdbcRecordSetFactory factory;
};

TEST_F(RecordSetTest, WalksRecordsAndReadsFieldsByPositionAndName) {
    auto rs = factory.CreateRecordSet();
    rs->setActiveConnection(connect);
    EXPECT_EQ(rs->ActiveConnection(), connect);
    rs->Open(QStringLiteral("SELECT * FROM t ORDER BY \"1\""));
    ASSERT_EQ(rs->Fields().Count(), 3);
    EXPECT_EQ(rs->Fields(1).Name(), "48");
    QStringList seen;
    for (int pass = 0; pass < 2; ++pass) {  // MoveFirst after the end runs the walk again
        rs->MoveFirst();
        while (!rs->Eof()) {
            const QVariant nine = rs->Fields(QStringLiteral("9")).Value();
            seen << rs->Fields(0).Value().toString() + u'|' + rs->Fields(QStringLiteral("48")).Value().toString() + u'|' +
                        (nine.isNull() ? QStringLiteral("null") : nine.toString());
            rs->MoveNext();
        }
    }
    EXPECT_EQ(seen, QStringList({"a|12.5|null", "b|3|x", "c|-0.25|", "a|12.5|null", "b|3|x", "c|-0.25|"}));
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), RecordSetError::NoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Fields(0).Value(); }), RecordSetError::NoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Fields(3); }), RecordSetError::ItemNotFound);
    EXPECT_EQ(ErrorOf([&] { rs->Fields(QStringLiteral("10")); }), RecordSetError::ItemNotFound);
    EXPECT_EQ(ErrorOf([&] { rs->Open(QStringLiteral("SELECT 1")); }), RecordSetError::ObjectOpen);
    rs->Close();
    rs->Close();
    EXPECT_EQ(ErrorOf([&] { rs->Eof(); }), RecordSetError::ObjectClosed);

    rs->Open(QStringLiteral("SELECT * FROM t WHERE \"1\" = 'zz'"));
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), RecordSetError::NoCurrentRecord);
}

TEST_F(RecordSetTest, FailuresCarryTheDriversNumberAndText) {
    auto rs = factory.CreateRecordSet();
    struct Case {
        const char* name;
        std::function<void()> op;
    };
    const Case cases[] = {
        {"unknown driver", [&] { rs->setActiveConnection(QStringLiteral("Driver=NoSuchTagwellDriver")); }},
        {"unknown data source", [&] { rs->setActiveConnection(QStringLiteral("tagwell_no_such_dsn")); }},
        {"unreachable file", [&] { rs->setActiveConnection(SqliteConnect(dir.filePath(QStringLiteral("no/dir/x.db")))); }},
        {"missing table", [&] { rs->Open(QStringLiteral("SELECT * FROM nope"), connect); }},
        {"bad SQL", [&] { rs->Open(QStringLiteral("SELEKT"), connect); }},
        {"NUL in the query", [&] { rs->Open(QString::fromUtf16(u"SELECT * FROM t\0 WHERE 0", 24), connect); }},
        {"broken UTF-16", [&] { rs->Open(QStringLiteral("SELECT '") + QChar(0xDC00) + u'\'', connect); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorOf(c.op), RecordSetError::ProviderError) << c.name;
        EXPECT_FALSE(rs->IsOpen()) << c.name;
    }
    // Without any connection.
    auto fresh = factory.CreateRecordSet();
    EXPECT_NE(ErrorOf([&] { fresh->Open(QStringLiteral("SELECT 1")); }), 0);
    // The record set is still usable after all that.
    rs->Open(QStringLiteral("SELECT COUNT(*) FROM t"), connect);
    EXPECT_EQ(rs->Fields(0).Value().toInt(), 3);
}

TEST_F(RecordSetTest, ConnectionsAreSharedKeptAndBounded) {
    QtOdbcRecordSetFactory small(2);
    QStringList strings;
    for (int i = 0; i < 4; ++i) {
        const QString p = dir.filePath(QStringLiteral("db%1.db").arg(i));
        ASSERT_EQ(ExecOnSqlite(p, {QStringLiteral("CREATE TABLE t (v TEXT)"), QStringLiteral("INSERT INTO t VALUES ('%1')").arg(i)}), QString());
        strings << SqliteConnect(p);
    }
    auto a = small.CreateRecordSet();
    auto b = small.CreateRecordSet();
    a->Open(QStringLiteral("SELECT v FROM t"), strings[0]);
    b->Open(QStringLiteral("SELECT v FROM t"), strings[0]);  // same connection, two open queries
    EXPECT_EQ(small.connectionCount(), 1);
    EXPECT_EQ(a->Fields(0).Value().toString(), "0");
    EXPECT_EQ(b->Fields(0).Value().toString(), "0");
    a->Close();
    b->Close();
    for (int i = 1; i < 4; ++i) {
        a->Open(QStringLiteral("SELECT v FROM t"), strings[i]);
        EXPECT_EQ(a->Fields(0).Value().toString(), QString::number(i));
        a->Close();
    }
    EXPECT_EQ(small.connectionCount(), 2);
}

TEST_F(RecordSetTest, DataSourceNamesFromTheUsersOdbcIni) {
    // A user data source, written where unixODBC looks for it.
    const QString ini = dir.filePath(QStringLiteral("odbc.ini"));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("[tagwell_test_inv]\nDriver=SQLite3\nDatabase=%1\n").arg(path).toUtf8());
    f.close();
    const QByteArray saved = qgetenv("ODBCINI");
    qputenv("ODBCINI", ini.toLocal8Bit());
    for (const char* connect : {"tagwell_test_inv", "DSN=tagwell_test_inv; UID=SA; PWD=", "UID=SA;DSN=tagwell_test_inv"}) {
        auto rs = factory.CreateRecordSet();
        EXPECT_EQ(ErrorOf([&] { rs->Open(QStringLiteral("SELECT COUNT(*) FROM t"), QString::fromLatin1(connect)); }), 0) << connect;
        if (rs->IsOpen()) {
            EXPECT_EQ(rs->Fields(0).Value().toInt(), 3) << connect;
        }
    }
    if (saved.isEmpty()) qunsetenv("ODBCINI");
    else qputenv("ODBCINI", saved);
}

}  // namespace
