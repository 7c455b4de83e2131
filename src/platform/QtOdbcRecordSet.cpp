#include "platform/QtOdbcRecordSet.h"

#include "platform/TagwellError.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace {

[[noreturn]] void throwProvider(const QSqlError& error, const QString& fallback) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) text = error.driverText().trimmed();
    if (text.isEmpty()) text = fallback;
    throw TagwellError(RecordSetError::ProviderError, text);
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
// A look-up by key, "SELECT * FROM <table> WHERE [<column>] = '<key>'" with the key's apostrophes
// doubled, as its statement with a parameter in place of the literal and the key itself. Such
// queries run once per record of an import, so their statement is prepared once and kept.
bool splitKeyQuery(const QString& source, QString& statement, QString& key) {
    static const QRegularExpression pattern(QStringLiteral(R"(^(SELECT \* FROM \w+ WHERE \[\w+\] = )'((?:[^']|'')*)'\z)"));
    const QRegularExpressionMatch match = pattern.match(source);
    if (!match.hasMatch()) return false;
    statement = match.captured(1) + u'?';
    key = match.captured(2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return true;
}

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

// One kept connection. The QSqlDatabase is named after a counter, not after the string, since a
// connection string may hold anything (passwords included).
struct OdbcConnection {
    QString connect;
    QString name;
    QSqlDatabase db;
    bool failed = false;
    quint64 lastUse = 0;
    // A database file, when the driver reads one, and how it looked when the connection opened:
    // a kept connection would go on reading the old file (open handles outlive a rename or a
    // delete) and so print yesterday's prices after the store put a new database in place.
    QString file;
    FileStamp stamp;

    ~OdbcConnection() {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
};

class QtOdbcConnectionPool {
public:
    explicit QtOdbcConnectionPool(int maxConnections) : max_(std::max(1, maxConnections)) {}

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
            if (!entry->failed && entry->db.isOpen() && (!replaced || it->use_count() > 2)) return entry;
            // Broken before, or its file was replaced: open it afresh.
            entry->db.close();
            entry->stamp = stampOf(entry->file);
            if (!entry->db.open()) {
                const QSqlError error = entry->db.lastError();
                entries_.erase(it);
                throwProvider(error, QStringLiteral("The data source cannot be reached."));
            }
            entry->failed = false;
            return entry;
        }

        auto entry = std::make_shared<OdbcConnection>();
        entry->connect = connect;
        entry->name = QStringLiteral("tagwell-odbc-%1").arg(++serial_);
        entry->db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), entry->name);
        entry->db.setDatabaseName(QodbcDatabaseName(connect));
        entry->lastUse = ++clock_;
        entry->file = databaseFileOf(connect);
        entry->stamp = stampOf(entry->file);
        if (!entry->db.open()) {
            const QSqlError error = entry->db.lastError();
            throwProvider(error, QStringLiteral("The data source cannot be reached."));  // entry removes itself
        }
        entries_.push_back(entry);
        evict();
        return entry;
    }

    int count() const { return static_cast<int>(entries_.size()); }

private:
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
        if (query_) throwOpen();
        prepared_.reset();  // its statement belongs to the connection being left
        conn_.reset();
        connect_.clear();
        conn_ = pool_->acquire(connect);
        connect_ = connect;
    }
    QString ActiveConnection() const override { return connect_; }

    void Open(const QString& source, const QString& connect) override {
        if (query_) throwOpen();
        if (!connect.isEmpty()) setActiveConnection(connect);
        if (!conn_)
            throw TagwellError(3709, QStringLiteral("The connection cannot be used to perform this operation. "
                                                    "It is either closed or invalid in this context."));
        if (!driverCanTake(source))
            throw TagwellError(RecordSetError::ProviderError,
                               QStringLiteral("The query text holds a character the driver cannot take."));
        QString statement, key;
        if (splitKeyQuery(source, statement, key)) {
            if (!prepared_ || preparedStatement_ != statement) {
                prepared_.reset();
                auto query = std::make_unique<QSqlQuery>(conn_->db);
                query->setForwardOnly(true);
                if (!query->prepare(statement)) fail(*query);
                prepared_ = std::move(query);
                preparedStatement_ = statement;
            }
            prepared_->bindValue(0, key);
            query_ = prepared_.get();
        } else {
            adhoc_ = std::make_unique<QSqlQuery>(conn_->db);
            adhoc_->setForwardOnly(true);
            query_ = adhoc_.get();
        }
        source_ = source;
        if (!run()) fail(*query_);
        const QSqlRecord record = query_->record();
        names_.clear();
        for (int i = 0; i < record.count(); ++i) names_ << record.fieldName(i);
        position_ = 0;
        step();
    }

    void Close() override {
        if (query_ && query_ == prepared_.get()) prepared_->finish();  // kept for the next key
        query_ = nullptr;
        adhoc_.reset();
        names_.clear();
        eof_ = true;
    }
    bool IsOpen() const override { return query_ != nullptr; }

    bool Eof() const override {
        if (!query_) throwClosed();
        return eof_;
    }

    void MoveFirst() override {
        if (!query_) throwClosed();
        if (position_ == 0) {
            if (eof_) throwNoRecord();
            return;
        }
        // A forward-only query goes back to its first record by running again.
        if (!run()) fail(*query_);
        position_ = 0;
        step();
    }

    void MoveNext() override {
        if (!query_) throwClosed();
        if (eof_) throwNoRecord();
        ++position_;
        step();
    }

    int fieldCount() const override {
        if (!query_) throwClosed();
        return static_cast<int>(names_.size());
    }
    QString fieldName(int position) const override {
        if (!query_) throwClosed();
        return names_.value(position);
    }
    int fieldIndex(const QString& name) const override {
        if (!query_) throwClosed();
        for (qsizetype i = 0; i < names_.size(); ++i)
            if (names_[i].compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
        return -1;
    }
    QVariant fieldValue(int position) const override {
        if (!query_) throwClosed();
        if (eof_) throwNoRecord();
        return query_->value(position);
    }

private:
    bool run() { return query_ == prepared_.get() ? query_->exec() : query_->exec(source_); }

    void step() {
        eof_ = !query_->next();
        if (eof_ && query_->lastError().isValid()) fail(*query_);
    }

    // A failed query leaves the record set closed and the connection to be opened afresh.
    [[noreturn]] void fail(const QSqlQuery& query) {
        if (conn_) conn_->failed = true;
        const QSqlError error = query.lastError();
        Close();
        prepared_.reset();
        throwProvider(error, QStringLiteral("The query cannot be run."));
    }

    std::shared_ptr<QtOdbcConnectionPool> pool_;
    std::shared_ptr<OdbcConnection> conn_;
    QString connect_;
    QString source_;
    QSqlQuery* query_ = nullptr;  // the open query: adhoc_ or prepared_
    std::unique_ptr<QSqlQuery> adhoc_;
    std::unique_ptr<QSqlQuery> prepared_;
    QString preparedStatement_;
    QStringList names_;
    bool eof_ = true;
    int position_ = 0;
};

}  // namespace

QtOdbcRecordSetFactory::QtOdbcRecordSetFactory(int maxConnections)
    : pool_(std::make_shared<QtOdbcConnectionPool>(maxConnections)) {}

QtOdbcRecordSetFactory::~QtOdbcRecordSetFactory() = default;

std::unique_ptr<RecordSet> QtOdbcRecordSetFactory::CreateRecordSet() {
    return std::make_unique<QtOdbcRecordSet>(pool_);
}

int QtOdbcRecordSetFactory::connectionCount() const { return pool_->count(); }
