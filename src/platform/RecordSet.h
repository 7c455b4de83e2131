#pragma once
// Read-only record sets over ODBC connection strings, the way the store's databases are read: give
// the record set a connection string, open a query on it, walk its records from the first to the
// end and read the columns by position or by name.
//
// Every failing operation throws a TagwellError carrying the error number and the description the
// database layer reports; nothing fails silently. A column value that is the database null comes
// back as a QVariant whose isNull() is true (NullToEmpty turns it into the empty value); numbers
// come back as numbers, whose text form is their plain decimal text (12.5 reads "12.5").
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

// Error numbers of the record-set layer, as the stores' database components number them.
namespace RecordSetError {
// The data source refused a connection or a query; the description is the driver's message.
constexpr int ProviderError = -2147467259;
// The database refused the query's key itself: the key column cannot hold or compare that text (an
// integer column and a key with letters, a collation that cannot compare it). Only that key has no
// match; the connection and every other key are fine.
constexpr int KeyRefused = -2147217913;
// The database did not answer within the wait the connection allows (a held lock, a server that
// does not answer); the description names the wait.
constexpr int TimedOut = -2147217871;
// An operation that needs a closed record set was asked of an open one, and the reverse.
constexpr int ObjectOpen = 3705;
constexpr int ObjectClosed = 3704;
// No current record: the query returned nothing or the walk went past the last record.
constexpr int NoCurrentRecord = 3021;
// No column of that name or position.
constexpr int ItemNotFound = 3265;
}  // namespace RecordSetError

class RecordSet;

// One key of a batch: the records whose column `column` holds exactly `key`.
struct KeyMatch {
    QString column;
    QString key;
    bool operator==(const KeyMatch&) const = default;
};

// What a record set is asked for: every record of `table`, or, with `keyColumn` named, the records
// whose column of that name holds exactly `key` (compared as text, the key not trimmed). The
// record set writes it in the dialect of the database it is connected to (how that database
// quotes a column name and writes a text literal), so no layer above it ever builds SQL text.
//
// With `batch` given (keyColumn and key are then not used), one query answers several keys in one
// round trip: the records of each key are exactly those its own key query returns, in the order
// that query returns them, and each record tells which key it answers (RecordSet::KeyIndex). A
// record that matches two keys comes once for each. The keys of one batch come in the order given;
// a key with no record contributes nothing.
struct RecordQuery {
    QString table;
    QString keyColumn;  // empty: the whole table
    QString key;
    std::vector<KeyMatch> batch;
    bool operator==(const RecordQuery&) const = default;
};

// One column of the current record (`Fields(i)` or `Fields(name)`).
class Field {
public:
    Field(const RecordSet& owner, int position) : owner_(owner), position_(position) {}
    QString Name() const;
    // The value in the current record; throws NoCurrentRecord at the end of the records.
    QVariant Value() const;

private:
    const RecordSet& owner_;
    int position_;
};

// The columns of an open query (`Fields.Count`).
class FieldList {
public:
    explicit FieldList(const RecordSet& owner) : owner_(owner) {}
    int Count() const;

private:
    const RecordSet& owner_;
};

class RecordSet {
public:
    virtual ~RecordSet() = default;

    // Connects to the data source that the connection string names. A string holding "=" or ";"
    // is an ODBC connection string, anything else the name of a data source. Throws when the
    // string is refused or the data source cannot be reached; the record set must be closed.
    virtual void setActiveConnection(const QString& connect) = 0;
    virtual QString ActiveConnection() const = 0;

    // Runs the query. An empty `connect` uses the active connection; otherwise it becomes the
    // active connection first. Afterwards the record set stands on the first record, or at the
    // end when there is none. Throws when the query cannot be run (the description is the
    // database's own message): a query that fails is never an empty result.
    virtual void Open(const RecordQuery& query, const QString& connect = QString()) = 0;
    // Ends the query; closing a closed record set does nothing.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // True when the query returned no record or the walk has gone past the last one. (The name
    // EOF is taken by the C library.)
    virtual bool Eof() const = 0;
    virtual void MoveFirst() = 0;
    virtual void MoveNext() = 0;

    // For a batch query: the position in RecordQuery::batch of the key the current record answers.
    // 0 for any other query. Throws NoCurrentRecord at the end of the records.
    virtual int KeyIndex() const = 0;

    FieldList Fields() const { return FieldList(*this); }
    // Throws ItemNotFound for a position outside 0..Count-1.
    Field Fields(int position) const;
    // Throws ItemNotFound when no column has that name.
    Field Fields(const QString& name) const;

    // Primitives behind Fields; positions are checked by the callers above.
    virtual int fieldCount() const = 0;
    virtual QString fieldName(int position) const = 0;
    virtual int fieldIndex(const QString& name) const = 0;  // -1 when absent
    virtual QVariant fieldValue(int position) const = 0;
};

// Closes `rs` and swallows whatever the close throws: for the end of a query whose result is
// already taken, where a failing close has nothing left to spoil.
void closeQuietly(RecordSet& rs) noexcept;

// Creates record sets; the program holds one for its whole run, so connections opened through it
// can be kept and reused from one command to the next.
class RecordSetFactory {
public:
    virtual ~RecordSetFactory() = default;
    virtual std::unique_ptr<RecordSet> CreateRecordSet() = 0;
};
