// A query's records as the ODBC record set hands them out when there are more than one call to the
// connection's thread reads at a time (Test Database Connections and `check` open whole tables):
// every record once, in the database's order, back to the first again, and a record set closed in
// the middle of its records leaves the connection fit for the next query.
#include "StoreDatabases.h"
#include "lookup/ItemLookup.h"
#include "platform/TagwellError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(RecordWalk, ATableOfManyRecordsIsWalkedWholeAndFromTheFirstAgain) {
    QTemporaryDir tmp;
    const QString file = tmp.filePath(QStringLiteral("walk.db"));
    constexpr int kRecords = 1000;
    ASSERT_EQ(ExecOnSqlite(file, {QStringLiteral("CREATE TABLE inv (\"1\" TEXT, \"48\" REAL)"),
                                  QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                                 "INSERT INTO inv SELECT printf('%06d', i), i / 100.0 FROM n")
                                      .arg(kRecords)}),
              QString());
    QtOdbcRecordSetFactory factory;
    const auto rs = factory.CreateRecordSet();
    rs->Open(RecordQuery{QStringLiteral("inv"), {}, {}, {}}, SqliteConnect(file));
    const auto walk = [&] {
        QStringList keys;
        for (; !rs->Eof(); rs->MoveNext()) keys << rs->Fields(QStringLiteral("1")).Value().toString();
        return keys;
    };
    const QStringList first = walk();
    ASSERT_EQ(first.size(), kRecords);
    for (int i = 0; i < kRecords; ++i) ASSERT_EQ(first[i], QString::asprintf("%06d", i + 1)) << "record " << i;
    EXPECT_THROW(rs->MoveNext(), TagwellError);
    rs->MoveFirst();
    EXPECT_EQ(walk(), first);
    rs->Close();

    // Closed in the middle of its records; the next query on the same connection answers.
    rs->Open(RecordQuery{QStringLiteral("inv"), {}, {}, {}});
    for (int i = 0; i < 300; ++i) rs->MoveNext();
    EXPECT_EQ(rs->Fields(QStringLiteral("48")).Value().toDouble(), 3.01);
    rs->Close();
    rs->Open(KeyQuery(QStringLiteral("inv"), QStringLiteral("1"), QStringLiteral("000999")));
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(QStringLiteral("48")).Value().toDouble(), 9.99);
    EXPECT_EQ(factory.connectionCount(), 1);
}

}  // namespace
