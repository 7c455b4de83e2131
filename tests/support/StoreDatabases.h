#pragma once
// Store databases for the tests: SQLite files built from SQL text through the same ODBC driver the
// look-up reads them with, and a record-set factory that keeps every query it is asked.
#include "platform/RecordSet.h"
#include "platform/qt/QtOdbcRecordSet.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <ostream>

// Readable QStrings in failure output.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

inline QString SqliteConnect(const QString& path) { return QStringLiteral("Driver=SQLite3;Database=") + path; }

// The statements of an SQL script: split where a line ends in ";", lines starting "--" left out.
inline QStringList SqlStatements(const QString& script) {
    QString text = script;
    text.remove(QRegularExpression(QStringLiteral("^--[^\n]*\n"), QRegularExpression::MultilineOption));
    QStringList out;
    for (const QString& s : text.split(QRegularExpression(QStringLiteral(";[ \t\r]*\n")), Qt::SkipEmptyParts))
        if (!s.trimmed().isEmpty()) out << s.trimmed();
    return out;
}

// Runs statements on a private connection that is closed again before the test goes on. Returns ""
// or the first error.
inline QString ExecOnOdbc(const QString& connect, const QStringList& statements) {
    const QString name = QStringLiteral("tagwell-test-builder");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(connect);
        if (!db.open()) error = connect + QStringLiteral(": ") + db.lastError().text();
        QSqlQuery q(db);
        for (const QString& s : statements)
            if (error.isEmpty() && !q.exec(s)) error = s.left(200) + QStringLiteral(": ") + q.lastError().text();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}
inline QString ExecOnSqlite(const QString& path, const QStringList& statements) {
    return ExecOnOdbc(SqliteConnect(path), statements);
}

// A query as the store's logical query text, "SELECT * FROM inv WHERE [1] = 'O''Brien'".
// A batch reads as its key queries joined by " + ".
inline QString LogicalText(const RecordQuery& q) {
    const auto where = [](const QString& column, QString key) {
        return QStringLiteral(" WHERE [%1] = '%2'").arg(column, key.replace(u'\'', QStringLiteral("''")));
    };
    QString text = QStringLiteral("SELECT * FROM ") + q.table;
    if (!q.batch.empty()) {
        QStringList parts;
        for (const KeyMatch& k : q.batch) parts << text + where(k.column, k.key);
        return parts.join(QStringLiteral(" + "));
    }
    if (q.keyColumn.isEmpty()) return text;
    return text + where(q.keyColumn, q.key);
}

// Hands out the inner factory's record sets and keeps every query opened on them, as logical text,
// and the number of record sets asked for (none: no database was asked).
class RecordingFactory : public RecordSetFactory {
public:
    explicit RecordingFactory(RecordSetFactory& inner) : inner_(inner) {}
    std::unique_ptr<RecordSet> CreateRecordSet() override {
        ++created;
        return std::make_unique<Recording>(inner_.CreateRecordSet(), queries);
    }
    QStringList queries;
    int created = 0;

private:
    class Recording : public RecordSet {
    public:
        Recording(std::unique_ptr<RecordSet> inner, QStringList& log) : in_(std::move(inner)), log_(log) {}
        void setActiveConnection(const QString& c) override { in_->setActiveConnection(c); }
        QString ActiveConnection() const override { return in_->ActiveConnection(); }
        void Open(const RecordQuery& query, const QString& connect) override {
            log_ << LogicalText(query);
            in_->Open(query, connect);
        }
        void Close() override { in_->Close(); }
        bool IsOpen() const override { return in_->IsOpen(); }
        bool Eof() const override { return in_->Eof(); }
        void MoveFirst() override { in_->MoveFirst(); }
        void MoveNext() override { in_->MoveNext(); }
        int KeyIndex() const override { return in_->KeyIndex(); }
        int fieldCount() const override { return in_->fieldCount(); }
        QString fieldName(int p) const override { return in_->fieldName(p); }
        int fieldIndex(const QString& n) const override { return in_->fieldIndex(n); }
        QVariant fieldValue(int p) const override { return in_->fieldValue(p); }

    private:
        std::unique_ptr<RecordSet> in_;
        QStringList& log_;
    };
    RecordSetFactory& inner_;
};
