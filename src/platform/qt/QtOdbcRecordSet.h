#pragma once
// Record sets on QtSql's ODBC driver (unixODBC on Linux, the Windows driver manager on Windows).
//
// Connections are kept open, one named QSqlDatabase per connection string, and reused by every
// record set the factory creates, so a scan does not pay for a new connection: that keeps the import
// of 32,766 records with databases at 3.3 s of CPU instead of 4.4 s on a loaded machine, where
// idle it takes 2.8 s against a target of 3 s (bench import). A kept connection that broke since
// its last use (a server restart, an idle timeout, a dropped network) is opened again and the query
// run once more inside Open; a connection on which a query failed otherwise is re-opened the next
// time a record set is given its string. Every wait is bounded (ConnectionWaitSeconds): the login,
// a statement that waits on a lock, and a server that stops answering in the middle of a query,
// each failing with RecordSetError::TimedOut; a key the database refuses fails with
// RecordSetError::KeyRefused. Each connection runs its driver calls on a thread of its own
// (OdbcThread), which is how a call is given up on; the factory and its record sets are used from
// one thread.
#include "platform/RecordSet.h"

#include <QString>
#include <functional>
#include <memory>

class QtOdbcConnectionPool;

class QtOdbcRecordSetFactory : public RecordSetFactory {
public:
    // `maxConnections`: how many idle connections are kept open; the least recently used one is
    // closed when another string needs a place.
    explicit QtOdbcRecordSetFactory(int maxConnections = 8);
    ~QtOdbcRecordSetFactory() override;
    std::unique_ptr<RecordSet> CreateRecordSet() override;

    // Called every few hundredths of a second while a database call is waited for: the window
    // paints meanwhile (and takes no keys, so a scanner's next keys wait their turn).
    void setWhileWaiting(std::function<void()> whileWaiting);

    // Number of connections currently kept (open or waiting to be re-opened).
    int connectionCount() const;
    // How many connection strings the database's dialect was asked for.
    int dialectProbes() const;

private:
    std::shared_ptr<QtOdbcConnectionPool> pool_;
};

// How the connected database writes the two parts of a query that are not plain words: the marks
// around a column name (the driver's identifier quote; brackets on SQL Server, and on SQLite, which
// would take a double-quoted name of no column for a text), and whether a
// backslash inside a text literal starts an escape there (MySQL and MariaDB unless the session
// has NO_BACKSLASH_ESCAPES, PostgreSQL with standard_conforming_strings off).
struct SqlDialect {
    QString quoteOpen = QStringLiteral("\""), quoteClose = QStringLiteral("\"");
    bool backslashEscapes = false;
};

// The SQL text of `query`: "SELECT * FROM <table>", and for a key query " WHERE <column> = '<key>'"
// with the column quoted and every apostrophe of the key doubled (and, where a backslash escapes,
// every backslash doubled too), so that the literal reads back as the key and nothing else.
//
// A batch has two forms. Its key queries joined by UNION ALL, each record led by the column
// kBatchKeyColumn that holds its key's position: exact whatever the keys, but the database plans
// each part on its own. And, for keys of one column, one query for the list of keys (IN), each
// record led by the position of the first and of the last key whose condition it meets: a tenth of
// the database's work for a few hundred keys; a record that meets two keys' conditions (two keys
// the column's type or collation takes as equal) is told by the two positions, and that batch is
// then run in the exact form.
enum class BatchForm { KeyList, UnionAll };
QString QuerySqlText(const RecordQuery& query, const SqlDialect& dialect, BatchForm form = BatchForm::KeyList);
inline const QString kBatchKeyColumn = QStringLiteral("tagwell_key");
// True when every key of the batch is of the same column (the KeyList form applies).
bool IsOneColumnBatch(const RecordQuery& query);

// How long a connection waits for a lock or an answer unless its string says otherwise.
constexpr double kDefaultWaitSeconds = 3;

// The connection string as people write it, as drivers read it: spaces around "=" and ";" and
// empty pairs (a trailing ";") left out; a value in braces loses them unless it needs them (a ";",
// a brace, or spaces at its ends, which are kept).
// A plain data source name is only trimmed.
QString NormalConnectString(const QString& connect);

// The longest wait of a connection, in seconds: the pair TagwellWait=<seconds> of the string, or
// kDefaultWaitSeconds.
double ConnectionWaitSeconds(const QString& connect);

// The connection string as it is handed to the driver: normalised (NormalConnectString), without
// the TagwellWait pair, and with every wait bounded by it where the driver takes a bound in the
// string: a SQLite driver is told never to create a database file (NoCreat=1) and to wait that
// long for a database another program holds locked (Timeout, milliseconds); the MariaDB driver
// gets a connect, read and write timeout. What the string already says is kept.
QString ReadOnlyConnectString(const QString& connect);

// The database name QODBC must be given so that the driver manager receives `connect` itself: a
// plain data source name is passed as it is; an ODBC connection string (one holding "=" or ";") is
// arranged so that the driver's own "DSN=" / "FILEDSN=" prefix rebuilds it, its pairs otherwise
// unchanged.
QString QodbcDatabaseName(const QString& connect);
