#include "platform/qt/QtOdbcRecordSet.h"

#include "platform/TagwellError.h"
#include "platform/qt/OdbcThread.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSqlDriver>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <mutex>
#include <vector>

#ifdef _WIN32
#include <windows.h>  // the ODBC headers of Windows build on its types
#endif
#include <sql.h>
#include <sqlext.h>
#include <odbcinst.h>

namespace {

// The database's own words for `error`, else the driver's, else `fallback`.
QString errorText(const QSqlError& error, const QString& fallback) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) text = error.driverText().trimmed();
    return text.isEmpty() ? fallback : text;
}

// What the driver manager says about the last failed call on a handle: the SQLSTATE and the
// driver's native number of each diagnostic record. QtSql keeps only the texts.
struct Diagnosis {
    QStringList states;
    QList<int> natives;
    bool has(const char* state) const { return states.contains(QLatin1String(state)); }
    bool hasClass(const char* cls) const {
        return std::any_of(states.begin(), states.end(), [&](const QString& s) { return s.startsWith(QLatin1String(cls)); });
    }
    bool hasNative(std::initializer_list<int> numbers) const {
        return std::any_of(numbers.begin(), numbers.end(), [&](int n) { return natives.contains(n); });
    }
};

void addDiagnosis(Diagnosis& out, SQLSMALLINT type, SQLHANDLE handle) {
    if (!handle) return;
    for (SQLSMALLINT i = 1; i < 20; ++i) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecA(type, handle, i, state, &native, nullptr, 0, &length))) break;
        out.states << QString::fromLatin1(reinterpret_cast<const char*>(state));
        out.natives << static_cast<int>(native);
    }
}

SQLHANDLE handleOf(const QVariant& v) {
    return v.isValid() && v.data() ? *static_cast<SQLHANDLE const*>(v.constData()) : nullptr;
}

// The driver's own word on whether the connection is gone (ODBC 3.5; false where it cannot say).
bool connectionDead(const QSqlDatabase& db) {
    const SQLHANDLE dbc = db.driver() ? handleOf(db.driver()->handle()) : nullptr;
    SQLUINTEGER dead = SQL_CD_FALSE;
    return dbc && SQL_SUCCEEDED(SQLGetConnectAttr(dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) && dead == SQL_CD_TRUE;
}

// The connection broke under the query (server restarted, idle connection closed by the server,
// network dropped, the session killed): a new connection may well run it.
// A query that left no diagnostic at all could not even be handed to the server (no statement
// could be made on the connection): that too is a connection to open again.
// `dead`: the driver's own word (connectionDead).
bool brokenConnection(const Diagnosis& d, bool dead) {
    return d.states.isEmpty() || dead || d.hasClass("08") || d.has("57P01") || d.has("57P02") || d.has("57P03") ||
           d.has("57P05") ||
           // MariaDB and MySQL: server gone away, lost connection, connection killed, read or write failed
           d.hasNative({2006, 2013, 1927, 5013, 5014});
}

// The database gave up waiting: a statement timeout (a held lock), a lock wait or a login timeout.
bool timedOut(const Diagnosis& d) {
    return d.has("HYT00") || d.has("HYT01") || d.has("57014") || d.has("55P03") || d.hasNative({1969, 1205, 3024});
}

// The database refused the key itself: a data exception (a text that is no integer for an integer
// column, a value out of range, a character the column's set cannot hold) or a comparison it cannot
// make (collations that do not mix).
bool keyRefused(const Diagnosis& d) {
    return d.hasClass("22") || d.has("42883") || d.has("42P22") || d.hasNative({1267, 1270, 1271, 1366});
}

[[noreturn]] void throwClosed() {
    throw TagwellError(RecordSetError::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
}

[[noreturn]] void throwOpen() {
    throw TagwellError(RecordSetError::ObjectOpen, QStringLiteral("Operation is not allowed when the object is open."));
}

[[noreturn]] void throwNoRecord() {
    throw TagwellError(RecordSetError::NoCurrentRecord,
                       QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                      "Requested operation requires a current record."));
}

// Texts that cannot reach a driver intact: the driver manager cuts a text at a NUL character,
// which would run a different query from the one built, and a broken UTF-16 sequence has no
// form the driver could read.
bool driverCanTake(const QString& text) { return !text.contains(QChar(u'\0')) && text.isValidUtf16(); }

// Splits an ODBC connection string at the semicolons that are not inside {braces}.
QStringList splitPairs(const QString& connect) {
    QStringList pairs;
    QString current;
    bool braced = false;
    for (QChar c : connect) {
        if (c == u'{') braced = true;
        else if (c == u'}') braced = false;
        if (c == u';' && !braced) {
            pairs << current;
            current.clear();
        } else {
            current += c;
        }
    }
    pairs << current;
    return pairs;
}

QString keywordOf(const QString& pair) {
    const qsizetype eq = pair.indexOf(u'=');
    return eq < 0 ? QString() : pair.left(eq).trimmed().toUpper();
}

// Moves the pair with `keyword` to the front and drops "keyword=" from it, so that the driver's
// own prefix puts it back. False when the string has no such pair.
bool frontWithoutKeyword(const QString& connect, const QString& keyword, QString& out) {
    QStringList pairs = splitPairs(connect);
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        if (keywordOf(pairs[i]) != keyword) continue;
        QString pair = pairs.takeAt(i);
        pair = pair.mid(pair.indexOf(u'=') + 1);
        pairs.prepend(pair);
        out = pairs.join(u';');
        return true;
    }
    return false;
}

// The file a file-based driver (SQLite, Access) reads, named by the DATABASE or DBQ pair; "" for a
// string without such a pair. (A server's database name names no file and so never changes.)
QString databaseFileOf(const QString& connect) {
    for (const QString& pair : splitPairs(connect)) {
        const QString keyword = keywordOf(pair);
        if (keyword != u"DATABASE" && keyword != u"DBQ") continue;
        QString value = pair.mid(pair.indexOf(u'=') + 1).trimmed();
        if (value.startsWith(u'{') && value.endsWith(u'}')) value = value.mid(1, value.size() - 2);
        return value.isEmpty() ? QString() : QFileInfo(value).absoluteFilePath();
    }
    return {};
}

// The value of the pair with `keyword`, braces removed; "" when the string has none.
QString valueOf(const QString& connect, const QString& keyword) {
    for (const QString& pair : splitPairs(connect)) {
        if (keywordOf(pair) != keyword) continue;
        QString value = pair.mid(pair.indexOf(u'=') + 1).trimmed();
        if (value.startsWith(u'{') && value.endsWith(u'}')) value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

// The wait pair of our own; never handed to a driver.
const QString kWaitKeyword = QStringLiteral("TAGWELLWAIT");

// The longest time, in seconds, the connection waits for a lock or an answer.
double waitSecondsOf(const QString& connect) {
    bool ok = false;
    const double seconds = valueOf(connect, kWaitKeyword).toDouble(&ok);
    return ok && std::isfinite(seconds) && seconds > 0 ? std::min(seconds, 86400.0) : kDefaultWaitSeconds;
}

// The wait in the whole seconds that drivers take their login and read timeouts in (at least one,
// since every wait is above zero).
long long wholeSeconds(double wait) { return std::llround(std::ceil(wait)); }

bool hasPair(const QString& connect, const QString& keyword) {
    const QStringList pairs = splitPairs(connect);
    return std::any_of(pairs.begin(), pairs.end(), [&](const QString& p) { return keywordOf(p) == keyword; });
}

// The data source a string names ("inv", "DSN=inv"); "" when it names a driver or a file data source.
QString dataSourceOf(const QString& normal) {
    if (!normal.contains(u'=') && !normal.contains(u';')) return normal.trimmed();
    if (hasPair(normal, QStringLiteral("DRIVER")) || hasPair(normal, QStringLiteral("FILEDSN"))) return {};
    return valueOf(normal, QStringLiteral("DSN"));
}

// A value of a data source's own definition (odbc.ini, the user's or the system's), as the driver
// manager reads it.
QString dataSourceValue(const QString& dsn, const char* keyword) {
    char value[4096] = {};
    const int n = SQLGetPrivateProfileString(dsn.toUtf8().constData(), keyword, "", value, sizeof value, "odbc.ini");
    return n > 0 ? QString::fromUtf8(value, std::min<int>(n, int(sizeof value) - 1)).trimmed() : QString();
}

// The string with the driver and the database file of the data source it names, where the string
// does not give them itself: what a data source leads to is checked as if the string said it.
QString withDataSourcePairs(const QString& connect) {
    const QString normal = NormalConnectString(connect);
    const QString dsn = dataSourceOf(normal);
    if (dsn.isEmpty()) return normal;
    QString out = normal.contains(u'=') ? normal : QStringLiteral("DSN=") + normal;
    for (const char* keyword : {"Driver", "Database"}) {
        const QString value = hasPair(out, QString::fromLatin1(keyword).toUpper()) ? QString() : dataSourceValue(dsn, keyword);
        if (!value.isEmpty()) out += u';' + QString::fromLatin1(keyword) + QStringLiteral("={") + value + u'}';
    }
    return out;
}

bool namesSqliteDriver(const QString& connect) {
    return valueOf(connect, QStringLiteral("DRIVER")).contains(QLatin1String("sqlite"), Qt::CaseInsensitive);
}

bool namesMariaDbDriver(const QString& connect) {
    const QString driver = valueOf(connect, QStringLiteral("DRIVER"));
    return driver.contains(QLatin1String("mariadb"), Qt::CaseInsensitive) ||
           driver.contains(QLatin1String("mysql"), Qt::CaseInsensitive);
}

// The program only reads the store's databases: a SQLite file that is not there is reported as
// missing instead of being created empty by the driver.
void requireDatabaseFile(const QString& given) {
    const QString connect = withDataSourcePairs(given);
    if (!namesSqliteDriver(connect)) return;
    const QString file = databaseFileOf(connect);
    if (file.isEmpty() || QFileInfo(file).isFile()) return;
    throw TagwellError(RecordSetError::ProviderError,
                       QStringLiteral("The database file %1 does not exist.").arg(QDir::toNativeSeparators(file)));
}

// Asks the connected database how it quotes names and whether backslashes escape in literals.
SqlDialect dialectOf(const QSqlDatabase& db) {
    SqlDialect dialect;
    const QSqlDriver* driver = db.driver();
    if (!driver) return dialect;
    const QSqlDriver::DbmsType dbms = driver->dbmsType();
    if (dbms == QSqlDriver::MSSqlServer || dbms == QSqlDriver::Sybase) {
        // Brackets hold whatever QUOTED_IDENTIFIER says; a double quote would then be a text.
        dialect.quoteOpen = QStringLiteral("[");
        dialect.quoteClose = QStringLiteral("]");
        return dialect;
    }
    const QString quoted = driver->escapeIdentifier(QStringLiteral("x"), QSqlDriver::FieldName);
    if (quoted.size() == 3 && quoted[1] == u'x') {
        dialect.quoteOpen = quoted.left(1);
        dialect.quoteClose = quoted.right(1);
    }
    // The database's own answer decides; a probe that fails changes nothing.
    const auto probe = [&](const QString& sql) -> QString {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("?");
    };
    if (dbms == QSqlDriver::UnknownDbms && dialect.quoteOpen == u"\"" && probe(QStringLiteral("SELECT sqlite_version()")) != u"?") {
        // SQLite reads a double-quoted name that matches no column as a text, so a table without
        // the key column would answer every key instead of failing; brackets are names only.
        dialect.quoteOpen = QStringLiteral("[");
        dialect.quoteClose = QStringLiteral("]");
    } else if (dialect.quoteOpen == u"`") {  // MySQL, MariaDB (and Access, where the probe fails)
        const QString mode = probe(QStringLiteral("SELECT @@SESSION.sql_mode"));
        dialect.backslashEscapes = mode != u"?" && !mode.contains(QLatin1String("NO_BACKSLASH_ESCAPES"), Qt::CaseInsensitive);
    } else if (dbms == QSqlDriver::PostgreSQL) {
        dialect.backslashEscapes = probe(QStringLiteral("SHOW standard_conforming_strings")).compare(u"off", Qt::CaseInsensitive) == 0;
    }
    return dialect;
}

// Bounds the session's waits on the server's side, where the database offers it: a statement that
// waits on a lock or runs longer is cancelled by the server itself and reported as such. A setting
// the server refuses changes nothing.
void boundSessionWaits(const QSqlDatabase& db, const SqlDialect& dialect, double seconds) {
    const QSqlDriver* driver = db.driver();
    if (!driver) return;
    QSqlQuery q(db);
    if (driver->dbmsType() == QSqlDriver::PostgreSQL)
        (void)q.exec(QStringLiteral("SET statement_timeout = %1").arg(std::llround(seconds * 1000)));
    else if (dialect.quoteOpen == u"`" &&  // MariaDB, else MySQL (Access refuses both)
             !q.exec(QStringLiteral("SET SESSION max_statement_time = %1").arg(seconds, 0, 'f', 3)))
        (void)q.exec(QStringLiteral("SET SESSION max_execution_time = %1").arg(std::llround(seconds * 1000)));
}

// What tells one file at a path from another put there later: a store refreshes its database by
// copying a new file over the old one or renaming one into its place.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified, born;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const QString& path) {
    QFileInfo info(path);
    info.setCaching(false);
    if (!info.exists()) return {};
    return {true, info.size(), info.lastModified(), info.birthTime()};
}

}  // namespace

namespace {

QString quotedColumn(const QString& name, const SqlDialect& dialect) {
    QString column = name;
    column.replace(dialect.quoteClose, dialect.quoteClose + dialect.quoteClose);
    return dialect.quoteOpen + column + dialect.quoteClose;
}

// The key as one text literal and nothing else.
QString textLiteral(const QString& key, const SqlDialect& dialect) {
    QString literal = key;
    if (dialect.backslashEscapes) literal.replace(u'\\', QStringLiteral("\\\\"));
    literal.replace(u'\'', QStringLiteral("''"));
    return u'\'' + literal + u'\'';
}

QString keyCondition(const QString& keyColumn, const QString& key, const SqlDialect& dialect) {
    return quotedColumn(keyColumn, dialect) + QStringLiteral(" = ") + textLiteral(key, dialect);
}

}  // namespace

bool IsOneColumnBatch(const RecordQuery& query) {
    return !query.batch.empty() && std::all_of(query.batch.begin(), query.batch.end(), [&](const KeyMatch& k) {
        return k.column == query.batch.front().column;
    });
}

QString QuerySqlText(const RecordQuery& query, const SqlDialect& dialect, BatchForm form) {
    if (!query.batch.empty() && form == BatchForm::KeyList && IsOneColumnBatch(query)) {
        // The database finds the records of all keys at once (one index search for the list), and
        // says which key each record answers with the keys' own conditions: the first that holds
        // and the last, so that a record answering two keys shows (their positions differ).
        QStringList first, last, literals;
        const QString column = quotedColumn(query.batch.front().column, dialect);
        for (size_t i = 0; i < query.batch.size(); ++i) {
            literals << textLiteral(query.batch[i].key, dialect);
            first << QStringLiteral("WHEN %1 = %2 THEN %3").arg(column, literals.back()).arg(i);
        }
        for (auto it = first.crbegin(); it != first.crend(); ++it) last << *it;
        return QStringLiteral("SELECT CASE %1 END AS %2, CASE %3 END AS %4, %5.* FROM %5 WHERE %6 IN (%7)")
            .arg(first.join(u' '), kBatchKeyColumn, last.join(u' '), kBatchKeyColumn + QStringLiteral("_last"), query.table,
                 column, literals.join(QStringLiteral(", ")));
    }
    if (!query.batch.empty()) {
        // Each key keeps its own query's condition, so the database compares it exactly as it
        // would alone (its column's type, collation and padding), and a record that answers two
        // keys comes once for each. The leading column names the key; the record set hides it.
        QStringList parts;
        parts.reserve(static_cast<qsizetype>(query.batch.size()));
        for (size_t i = 0; i < query.batch.size(); ++i)
            parts << QStringLiteral("SELECT %1 AS %2, %3.* FROM %3 WHERE ")
                             .arg(i)
                             .arg(kBatchKeyColumn, query.table) +
                         keyCondition(query.batch[i].column, query.batch[i].key, dialect);
        return parts.join(QStringLiteral(" UNION ALL "));
    }
    QString sql = QStringLiteral("SELECT * FROM ") + query.table;
    if (query.keyColumn.isEmpty()) return sql;
    return sql + QStringLiteral(" WHERE ") + keyCondition(query.keyColumn, query.key, dialect);
}

QString NormalConnectString(const QString& connect) {
    if (!connect.contains(u'=') && !connect.contains(u';')) return connect.trimmed();  // a data source name
    QStringList out;
    for (const QString& pair : splitPairs(connect)) {
        const qsizetype eq = pair.indexOf(u'=');
        if (pair.trimmed().isEmpty()) continue;
        if (eq < 0) {
            out << pair.trimmed();
            continue;
        }
        const QString keyword = pair.left(eq).trimmed();
        QString value = pair.mid(eq + 1);
        // Spaces outside the braces are the writer's layout; inside them they belong to the value.
        value = value.trimmed();
        // Braces only quote the value, but several drivers (SQLite's, PostgreSQL's) take them for
        // part of it: they are kept only where the value needs them.
        if (value.size() >= 2 && value.startsWith(u'{') && value.endsWith(u'}')) {
            const QString inner = value.mid(1, value.size() - 2);
            const bool needsBraces = inner != inner.trimmed() || inner.contains(u';') || inner.contains(u'{') ||
                                     inner.contains(u'}');
            if (!needsBraces) value = inner;
        }
        out << keyword + u'=' + value;
    }
    return out.join(u';');
}

QString ReadOnlyConnectString(const QString& connect) {
    const QString normal = NormalConnectString(connect);
    const double wait = waitSecondsOf(normal);
    QStringList pairs;
    if (normal.contains(u'=')) {
        for (const QString& pair : splitPairs(normal))
            if (keywordOf(pair) != kWaitKeyword) pairs << pair;
    } else {
        pairs << normal;
    }
    // What a data source leads to is bounded as if the string named its driver; a data source
    // name alone takes pairs of its own only as "DSN=name".
    const QString leadsTo = withDataSourcePairs(normal);
    const bool sqlite = namesSqliteDriver(leadsTo), mariadb = !sqlite && namesMariaDbDriver(leadsTo);
    if ((sqlite || mariadb) && !normal.contains(u'=')) pairs = QStringList{QStringLiteral("DSN=") + normal};
    if (sqlite) {
        if (!hasPair(normal, QStringLiteral("NOCREAT"))) pairs << QStringLiteral("NoCreat=1");
        if (!hasPair(normal, QStringLiteral("TIMEOUT"))) pairs << QStringLiteral("Timeout=%1").arg(std::llround(wait * 1000));
    } else if (mariadb) {
        // Its driver takes no login timeout from the driver manager; an answer that never comes
        // (a server that stopped, a dropped network) is bounded by the read and write timeouts,
        // a little longer than the server's own statement bound so that a cancelled statement is
        // still reported as the server words it.
        if (!hasPair(normal, QStringLiteral("CONN_TIMEOUT"))) pairs << QStringLiteral("CONN_TIMEOUT=") + QString::number(wholeSeconds(wait));
        const QString io = QString::number(wholeSeconds(wait) + 1);
        if (!hasPair(normal, QStringLiteral("READ_TIMEOUT"))) pairs << QStringLiteral("READ_TIMEOUT=") + io;
        if (!hasPair(normal, QStringLiteral("WRITE_TIMEOUT"))) pairs << QStringLiteral("WRITE_TIMEOUT=") + io;
    }
    return pairs.join(u';');
}

double ConnectionWaitSeconds(const QString& connect) { return waitSecondsOf(NormalConnectString(connect)); }

QString QodbcDatabaseName(const QString& connect) {
    if (!connect.contains(u'=') && !connect.contains(u';')) return connect;  // a data source name
    // The driver reads a name holding ".dsn" as a file data source, one holding "DRIVER=" or
    // "SERVER=" as a complete connection string, and anything else as a data source name that it
    // writes after "DSN=".
    QString out;
    if (connect.contains(QLatin1String(".dsn"), Qt::CaseInsensitive))
        return frontWithoutKeyword(connect, QStringLiteral("FILEDSN"), out) ? out : connect;
    if (connect.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive) ||
        connect.contains(QLatin1String("SERVER="), Qt::CaseInsensitive))
        return connect;
    if (frontWithoutKeyword(connect, QStringLiteral("DSN"), out)) return out;
    // No data source named: ODBC's rule is the default data source.
    return QStringLiteral("DEFAULT;") + connect;
}

// The QtSql side of one kept connection. QtSql connections belong to the thread that made them, so
// this is made, used, closed and removed on the connection's own thread only. It is named after a
// counter, not after the string, since a connection string may hold anything (passwords included).
struct OdbcLink {
    QString name;
    QSqlDatabase db;
};

// One query's statement, made, run, read and ended on the connection's thread.
struct OdbcStatement {
    std::unique_ptr<QSqlQuery> query;
};

// What a call on the connection's thread found: the records it read, or the failure with what the
// driver manager says of it. Owned jointly, so that a call given up on still has it to write to.
struct CallOutcome {
    bool ok = false;
    QString error;
    Diagnosis diagnosis;
    bool dead = false;
    QStringList names;
    std::vector<QVariantList> rows;
    bool more = false;  // the statement holds records beyond those read
    SqlDialect dialect;
};

// One kept connection, as the pool and its record sets see it.
struct OdbcConnection {
    QString connect;
    bool failed = false;
    quint64 lastUse = 0;
    // A database file, when the driver reads one, and how it looked when the connection opened:
    // a kept connection would go on reading the old file (open handles outlive a rename or a
    // delete) and so print yesterday's prices after the store put a new database in place.
    QString file;
    FileStamp stamp;
    SqlDialect dialect;
    std::shared_ptr<OdbcLink> link = std::make_shared<OdbcLink>();
    OdbcThread thread;

    ~OdbcConnection() {
        thread.post([link = std::move(link)]() mutable {
            // A connection left behind on a server that did not answer closes whenever its driver
            // returns, which may be while the program ends, after QtSql's own registry is gone:
            // then it is left as it is, for the end of the process to take.
            const std::lock_guard gate(qtSqlLifetime().mutex);
            if (!qtSqlLifetime().alive) {
                new std::shared_ptr<OdbcLink>(std::move(link));
                return;
            }
            link->db.close();
            link->db = QSqlDatabase();
            QSqlDatabase::removeDatabase(link->name);
        });
    }

    // Whether QtSql may still be used: true until the application object is destroyed. Made once,
    // and never destroyed, so that a connection's thread can ask it at any time.
    struct QtSqlLifetime {
        std::mutex mutex;
        bool alive = true;
    };
    static QtSqlLifetime& qtSqlLifetime() {
        static QtSqlLifetime* const lifetime = [] {
            auto* made = new QtSqlLifetime;
            qAddPostRoutine([] {
                const std::lock_guard gate(qtSqlLifetime().mutex);
                qtSqlLifetime().alive = false;
            });
            return made;
        }();
        return *lifetime;
    }
};

namespace {

using std::chrono::milliseconds;

// How long a call on a connection's thread is waited for: the connection's wait, and a second more
// so that a bound the driver or the server keeps (a statement timeout, a read timeout) is reported
// first, in the database's own words, on a connection that stays usable.
milliseconds callLimit(const QString& connect) { return milliseconds(std::llround((ConnectionWaitSeconds(connect) + 1) * 1000)); }

// The login's: the driver manager's login timeout is in whole seconds, and PostgreSQL's client takes
// no less than two.
milliseconds loginLimit(const QString& connect) {
    return milliseconds((std::max<long long>(2, wholeSeconds(ConnectionWaitSeconds(connect))) + 1) * 1000);
}

// How many records a call reads ahead of the walk through a query's records.
constexpr int kRecordsPerCall = 256;

// On the connection's thread: what the failed `query` leaves to be reported.
void noteFailure(CallOutcome& out, const QSqlQuery& query, const QSqlDatabase& db) {
    out.ok = false;
    out.error = errorText(query.lastError(), QStringLiteral("The query cannot be run."));
    if (const QSqlResult* result = query.result()) addDiagnosis(out.diagnosis, SQL_HANDLE_STMT, handleOf(result->handle()));
    out.dead = connectionDead(db);
}

// On the connection's thread: up to `limit` records of `columns` columns each from where `query`
// stands.
void readRecords(QSqlQuery& query, const QSqlDatabase& db, int columns, int limit, CallOutcome& out) {
    for (int n = 0; n < limit; ++n) {
        if (!query.next()) {
            if (query.lastError().isValid()) noteFailure(out, query, db);
            else out.ok = true;
            return;
        }
        QVariantList& values = out.rows.emplace_back();
        values.reserve(columns);
        for (int i = 0; i < columns; ++i) values << query.value(i);
    }
    out.ok = true;
    out.more = true;
}

[[noreturn]] void throwNoAnswer(const QString& connect, const QString& reason) {
    throw TagwellError(RecordSetError::TimedOut, QStringLiteral("No answer within %1 s: ").arg(ConnectionWaitSeconds(connect)) + reason);
}

}  // namespace

class QtOdbcConnectionPool {
public:
    explicit QtOdbcConnectionPool(int maxConnections) : max_(std::max(1, maxConnections)) {
        OdbcConnection::qtSqlLifetime();  // set to follow the application's end from now on
    }

    // Called while a database call is waited for.
    std::function<void()> whileWaiting;

    // Runs `job` on the connection's thread, waiting at most `limit`. A connection whose call does not
    // end in time is forgotten, its thread left to end by itself, and the wait fails as TimedOut.
    // `entry` is held here, by value: the wait runs the window's events, and the record set that
    // asked may not outlive them.
    void call(std::shared_ptr<OdbcConnection> entry, std::function<void()> job, milliseconds limit) {
        if (entry->thread.run(std::move(job), limit, whileWaiting)) return;
        entry->failed = true;
        forget(entry);
        throwNoAnswer(entry->connect, QStringLiteral("the database server did not answer."));
    }

    // Opens a connection afresh, in place (one that broke under a query, for the query to run once
    // more). Throws, the connection forgotten, when the data source does not answer now.
    void reopen(const std::shared_ptr<OdbcConnection>& entry) {
        entry->stamp = stampOf(entry->file);
        openSession(entry);
    }

    std::shared_ptr<OdbcConnection> acquire(const QString& connect) {
        if (!driverCanTake(connect))
            throw TagwellError(RecordSetError::ProviderError,
                               QStringLiteral("The connection string holds a character the driver cannot take."));
        auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const auto& e) { return e->connect == connect; });
        if (it != entries_.end()) {
            std::shared_ptr<OdbcConnection> entry = *it;
            entry->lastUse = ++clock_;
            const bool replaced = !entry->file.isEmpty() && stampOf(entry->file) != entry->stamp;
            // A connection a record set still holds is left alone; the next look-up renews it.
            if (!entry->failed && (!replaced || it->use_count() > 2)) return entry;
            // Broken before, or its file was replaced: open it afresh.
            try {
                requireDatabaseFile(connect);
            } catch (const TagwellError&) {
                entries_.erase(it);
                throw;
            }
            reopen(entry);
            return entry;
        }

        requireDatabaseFile(connect);
        auto entry = std::make_shared<OdbcConnection>();
        entry->connect = connect;
        entry->link->name = QStringLiteral("tagwell-odbc-%1").arg(++serial_);
        entry->lastUse = ++clock_;
        entry->file = databaseFileOf(connect);
        entry->stamp = stampOf(entry->file);
        entries_.push_back(entry);
        openSession(entry);  // a failure forgets the entry, which then ends itself
        evict();
        return entry;
    }

    int count() const { return static_cast<int>(entries_.size()); }
    int probes() const { return probes_; }

private:
    // Opens (or opens again) the connection on its thread and readies its session: the dialect, and
    // the server's own bound on every wait. Throws, the connection forgotten, when it cannot be
    // opened; a login that the driver gave up on after the whole wait is a wait like any other.
    void openSession(const std::shared_ptr<OdbcConnection>& entry) {
        auto out = std::make_shared<CallOutcome>();
        // The dialect is asked of the database once per connection string for the pool's life: a
        // connection opened again (after a failure, a new file, a restarted server) speaks as
        // before, and a probe is a round trip a scan need not pay.
        const auto known = dialects_.constFind(entry->connect);
        const bool probe = known == dialects_.constEnd();
        const SqlDialect dialect = probe ? SqlDialect() : *known;
        const double wait = ConnectionWaitSeconds(entry->connect);
        const QString databaseName = QodbcDatabaseName(ReadOnlyConnectString(entry->connect));
        // A server that takes the connection and never answers is given up on like a lock.
        const QString options = QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(wholeSeconds(wait));
        QElapsedTimer took;
        took.start();
        call(entry,
             [link = entry->link, out, probe, dialect, wait, databaseName, options] {
                 if (!link->db.isValid()) {
                     link->db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), link->name);
                     link->db.setDatabaseName(databaseName);
                     link->db.setConnectOptions(options);
                 }
                 link->db.close();
                 if (!link->db.open()) {
                     out->error = errorText(link->db.lastError(), QStringLiteral("The data source cannot be reached."));
                     return;
                 }
                 out->dialect = probe ? dialectOf(link->db) : dialect;
                 boundSessionWaits(link->db, out->dialect, wait);
                 out->ok = true;
             },
             loginLimit(entry->connect));
        if (!out->ok) {
            entry->failed = true;
            forget(entry);
            // The driver's login timeout is in whole seconds, and PostgreSQL's client counts them on
            // the clock, so it may give up as much as a second early.
            if (took.elapsed() >= 1000 * std::max<long long>(1, wholeSeconds(wait) - 1))
                throwNoAnswer(entry->connect, out->error);
            throw TagwellError(RecordSetError::ProviderError, out->error);
        }
        if (probe) {
            ++probes_;
            dialects_[entry->connect] = out->dialect;
        }
        entry->dialect = out->dialect;
        entry->failed = false;
    }

    void forget(const std::shared_ptr<OdbcConnection>& entry) {
        const auto it = std::find(entries_.begin(), entries_.end(), entry);
        if (it != entries_.end()) entries_.erase(it);
    }

    // Closes the least recently used connections that no record set holds, above the limit.
    void evict() {
        while (static_cast<int>(entries_.size()) > max_) {
            auto victim = entries_.end();
            for (auto it = entries_.begin(); it != entries_.end(); ++it)
                if (it->use_count() == 1 && (victim == entries_.end() || (*it)->lastUse < (*victim)->lastUse))
                    victim = it;
            if (victim == entries_.end()) return;
            entries_.erase(victim);
        }
    }

    int max_;
    int probes_ = 0;
    QHash<QString, SqlDialect> dialects_;
    quint64 clock_ = 0;
    static inline quint64 serial_ = 0;
    std::vector<std::shared_ptr<OdbcConnection>> entries_;
};

namespace {

class QtOdbcRecordSet : public RecordSet {
public:
    explicit QtOdbcRecordSet(std::shared_ptr<QtOdbcConnectionPool> pool) : pool_(std::move(pool)) {}
    ~QtOdbcRecordSet() override { Close(); }

    void setActiveConnection(const QString& connect) override {
        if (open_) throwOpen();
        conn_.reset();
        connect_.clear();
        conn_ = pool_->acquire(connect);
        connect_ = connect;
    }
    QString ActiveConnection() const override { return connect_; }

    void Open(const RecordQuery& query, const QString& connect) override {
        if (open_) throwOpen();
        if (!connect.isEmpty()) setActiveConnection(connect);
        // A connection that did not answer in time is left behind; its string gets a new one.
        else if (conn_ && conn_->thread.abandoned()) setActiveConnection(connect_);
        if (!conn_)
            throw TagwellError(3709, QStringLiteral("The connection cannot be used to perform this operation. "
                                                    "It is either closed or invalid in this context."));
        asked_ = query;
        batch_ = !query.batch.empty();
        if (batch_) openBatch(query);
        else takeRows(*start(query, BatchForm::UnionAll, 0));
        open_ = true;
    }

    void Close() override {
        endStatement();
        open_ = false;
        names_.clear();
        rows_.clear();
        batch_ = more_ = false;
        firstRows_ = true;
        eof_ = true;
    }
    bool IsOpen() const override { return open_; }

    bool Eof() const override {
        if (!open_) throwClosed();
        return eof_;
    }

    void MoveFirst() override {
        if (!open_) throwClosed();
        if (firstRows_) {
            // The records read so far begin with the first: no need to ask again.
            position_ = 0;
            eof_ = rows_.empty();
            if (eof_) throwNoRecord();
            return;
        }
        // A forward-only query goes back to its first record by running again.
        open_ = false;
        takeRows(*start(asked_, BatchForm::UnionAll, 0));
        open_ = true;
    }

    void MoveNext() override {
        if (!open_) throwClosed();
        if (eof_) throwNoRecord();
        if (++position_ < rows_.size()) return;
        if (more_) readMore();
        else eof_ = true;
    }

    int fieldCount() const override {
        if (!open_) throwClosed();
        return static_cast<int>(names_.size());
    }
    QString fieldName(int position) const override {
        if (!open_) throwClosed();
        return names_.value(position);
    }
    int fieldIndex(const QString& name) const override {
        if (!open_) throwClosed();
        for (qsizetype i = 0; i < names_.size(); ++i)
            if (names_[i].compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
        return -1;
    }
    QVariant fieldValue(int position) const override {
        if (!open_) throwClosed();
        if (eof_) throwNoRecord();
        return rows_[position_].values.value(position);
    }
    int KeyIndex() const override {
        if (!open_) throwClosed();
        if (eof_) throwNoRecord();
        return rows_[position_].key;
    }

private:
    // A record read, and for a batch the position of the key it answers.
    struct Row {
        int key = 0;
        QVariantList values;
    };

    // Runs `query` (a batch in `form`) on a statement of its own, its first `hidden` columns not
    // the table's, and reads its first records.
    std::shared_ptr<CallOutcome> start(const RecordQuery& query, BatchForm form, int hidden) {
        QElapsedTimer ran;
        ran.start();
        std::shared_ptr<CallOutcome> out = runFresh(query, form, hidden);
        if (!out->ok) {
            // A kept connection that broke since its last use (the server restarted or closed it
            // while idle) is opened again and the query run once more; only a database that does
            // not answer now, or a query that fails on the new connection too, is a failure. A
            // query that already waited its whole bound found no server that answers: asking again
            // would only make the scan wait twice.
            const bool waitedOut = ran.elapsed() >= std::llround(ConnectionWaitSeconds(connect_) * 1000);
            if (waitedOut || !brokenConnection(out->diagnosis, out->dead)) fail(*out, &query, waitedOut);
            endStatement();
            pool_->reopen(conn_);
            out = runFresh(query, form, hidden);
            if (!out->ok) fail(*out, &query);
        }
        names_ = out->names;
        return out;
    }

    // A batch is read whole at once (a few hundred records at most), so that a record answering
    // two keys in the list form is found before any record is handed out.
    void openBatch(const RecordQuery& query) {
        BatchForm form = IsOneColumnBatch(query) ? BatchForm::KeyList : BatchForm::UnionAll;
        for (;;) {
            const int hidden = form == BatchForm::KeyList ? 2 : 1;
            const std::shared_ptr<CallOutcome> out = start(query, form, hidden);
            endStatement();
            rows_.clear();
            bool twoKeys = false;
            for (QVariantList& values : out->rows) {
                const QVariant first = values.value(0);
                if (first.isNull()) continue;  // no key's own condition holds for it
                if (form == BatchForm::KeyList && values.value(1).toInt() != first.toInt()) {
                    twoKeys = true;
                    break;
                }
                rows_.push_back(Row{first.toInt(), values.mid(hidden)});
            }
            if (!twoKeys) break;
            form = BatchForm::UnionAll;
        }
        position_ = 0;
        eof_ = rows_.empty();
    }

    // Runs `query` in `form` on a statement of its own: a statement run again keeps the column
    // types of its first run, and a value would then read differently after another record's value.
    std::shared_ptr<CallOutcome> runFresh(const RecordQuery& query, BatchForm form, int hidden) {
        const QString sql = QuerySqlText(query, conn_->dialect, form);
        if (!driverCanTake(sql))
            throw TagwellError(RecordSetError::ProviderError,
                               QStringLiteral("The query text holds a character the driver cannot take."));
        endStatement();
        statement_ = std::make_shared<OdbcStatement>();
        auto out = std::make_shared<CallOutcome>();
        // A batch is read whole; another query a part at a time as the walk goes.
        const int limit = batch_ ? std::numeric_limits<int>::max() : kRecordsPerCall;
        onThread([link = conn_->link, statement = statement_, out, sql, hidden, limit] {
            statement->query = std::make_unique<QSqlQuery>(link->db);
            QSqlQuery& q = *statement->query;
            q.setForwardOnly(true);
            if (!q.exec(sql)) {
                noteFailure(*out, q, link->db);
                return;
            }
            const QSqlRecord record = q.record();
            for (int i = hidden; i < record.count(); ++i) out->names << record.fieldName(i);
            readRecords(q, link->db, record.count(), limit, *out);
            if (out->ok && !out->more) statement->query.reset();  // every record read: done with
        });
        if (out->ok && !out->more) statement_.reset();
        return out;
    }

    // The next records of the walk.
    void readMore() {
        auto out = std::make_shared<CallOutcome>();
        onThread([link = conn_->link, statement = statement_, out, columns = static_cast<int>(names_.size())] {
            readRecords(*statement->query, link->db, columns, kRecordsPerCall, *out);
            if (out->ok && !out->more) statement->query.reset();  // the last records read
        });
        if (!out->ok) fail(*out);
        takeRows(*out);
        firstRows_ = false;
        if (!more_) statement_.reset();
    }

    void takeRows(CallOutcome& out) {
        rows_.clear();
        rows_.reserve(out.rows.size());
        for (QVariantList& values : out.rows) rows_.push_back(Row{0, std::move(values)});
        more_ = out.more;
        firstRows_ = true;
        position_ = 0;
        eof_ = rows_.empty();
    }

    // Runs `job` on the connection's thread; one that does not end in time leaves the record set
    // closed.
    void onThread(std::function<void()> job) {
        try {
            pool_->call(conn_, std::move(job), callLimit(connect_));
        } catch (const TagwellError&) {
            Close();
            throw;
        }
    }

    // The statement is ended on the connection's thread, after whatever it still runs.
    void endStatement() {
        if (statement_ && conn_) conn_->thread.post([statement = std::move(statement_)] { statement->query.reset(); });
        statement_.reset();
    }

    // A failed query leaves the record set closed. The connection is opened afresh next time,
    // unless the database only refused the key or gave up waiting: the connection is sound then.
    // `asked`: the query, when its key could be what the database refused.
    [[noreturn]] void fail(const CallOutcome& out, const RecordQuery* asked = nullptr, bool waitedOut = false) {
        const Diagnosis& d = out.diagnosis;
        int number = RecordSetError::ProviderError;
        const bool broken = brokenConnection(d, out.dead);
        if (timedOut(d) || (waitedOut && broken)) number = RecordSetError::TimedOut;
        else if (asked && (!asked->keyColumn.isEmpty() || !asked->batch.empty()) && keyRefused(d))
            number = RecordSetError::KeyRefused;
        if (conn_ && (number == RecordSetError::ProviderError || broken)) conn_->failed = true;
        const QString text = out.error;
        Close();
        if (number == RecordSetError::TimedOut) throwNoAnswer(connect_, text);
        throw TagwellError(number, text);
    }

    std::shared_ptr<QtOdbcConnectionPool> pool_;
    std::shared_ptr<OdbcConnection> conn_;
    QString connect_;
    RecordQuery asked_;
    std::shared_ptr<OdbcStatement> statement_;  // the open query's, while it holds unread records
    bool open_ = false;
    QStringList names_;
    std::vector<Row> rows_;  // the records read and not yet walked past
    size_t position_ = 0;
    bool eof_ = true;
    bool batch_ = false;
    bool more_ = false;       // the statement holds records beyond rows_
    bool firstRows_ = true;   // rows_ begin with the query's first record
};

}  // namespace

QtOdbcRecordSetFactory::QtOdbcRecordSetFactory(int maxConnections)
    : pool_(std::make_shared<QtOdbcConnectionPool>(maxConnections)) {}

QtOdbcRecordSetFactory::~QtOdbcRecordSetFactory() = default;

std::unique_ptr<RecordSet> QtOdbcRecordSetFactory::CreateRecordSet() {
    return std::make_unique<QtOdbcRecordSet>(pool_);
}

void QtOdbcRecordSetFactory::setWhileWaiting(std::function<void()> whileWaiting) { pool_->whileWaiting = std::move(whileWaiting); }

int QtOdbcRecordSetFactory::connectionCount() const { return pool_->count(); }

int QtOdbcRecordSetFactory::dialectProbes() const { return pool_->probes(); }
