#pragma once
// Record sets on QtSql's ODBC driver (unixODBC on Linux, the Windows driver manager on Windows).
//
// Connections are kept open, one named QSqlDatabase per connection string, and reused by every
// record set the factory creates, so a scan does not pay for a new connection. A connection on
// which a query failed is re-opened the next time a record set is given its string. QSqlDatabase
// connections belong to the thread that made them: use the factory and its record sets from the
// user-interface thread only.
#include "platform/RecordSet.h"

#include <QString>
#include <memory>

class QtOdbcConnectionPool;

class QtOdbcRecordSetFactory : public RecordSetFactory {
public:
    // `maxConnections`: how many idle connections are kept open; the least recently used one is
    // closed when another string needs a place.
    explicit QtOdbcRecordSetFactory(int maxConnections = 8);
    ~QtOdbcRecordSetFactory() override;
    std::unique_ptr<RecordSet> CreateRecordSet() override;

    // Number of connections currently kept (open or waiting to be re-opened).
    int connectionCount() const;

private:
    std::shared_ptr<QtOdbcConnectionPool> pool_;
};

// The database name QODBC must be given so that the driver manager receives `connect` itself: a
// plain data source name is passed as it is; an ODBC connection string (one holding "=" or ";") is
// arranged so that the driver's own "DSN=" / "FILEDSN=" prefix rebuilds it, its pairs otherwise
// unchanged.
QString QodbcDatabaseName(const QString& connect);
