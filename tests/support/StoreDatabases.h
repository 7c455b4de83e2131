#pragma once
// SQLite databases built by the tests through the same ODBC driver the look-up reads them with.
#include "platform/qt/QtOdbcRecordSet.h"
#include "platform/RecordSet.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

// Readable QStrings in failure output.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// A query as the store's logical query text, "SELECT * FROM inv WHERE [1] = 'O''Brien'", to name
// in expectations which queries were asked.
inline QString LogicalText(const RecordQuery& q) {
    QString text = QStringLiteral("SELECT * FROM ") + q.table;
    if (q.keyColumn.isEmpty()) return text;
    return text + QStringLiteral(" WHERE [%1] = '%2'").arg(q.keyColumn, QString(q.key).replace(u'\'', QStringLiteral("''")));
}

inline QString SqliteConnect(const QString& path) { return QStringLiteral("Driver=SQLite3;Database=") + path; }

// Runs the statements on a private connection that is closed again before the test goes on.
// Returns "" or the first error.
inline QString ExecOnSqlite(const QString& path, const QStringList& statements,
                            const std::vector<std::pair<QString, QVariantList>>& inserts = {}) {
    const QString name = QStringLiteral("tagwell-test-builder");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(SqliteConnect(path));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            for (const QString& s : statements)
                if (error.isEmpty() && !q.exec(s)) error = s + QStringLiteral(": ") + q.lastError().text();
            for (const auto& [sql, values] : inserts) {
                if (!error.isEmpty()) break;
                q.prepare(sql);
                for (qsizetype i = 0; i < values.size(); ++i) q.bindValue(static_cast<int>(i), values[i]);
                if (!q.exec()) error = sql + QStringLiteral(": ") + q.lastError().text();
            }
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

// The three store tables with their numbered columns.
inline const QString kCreateUpc = QStringLiteral(R"(CREATE TABLE upc ("1" TEXT, "149" TEXT, "83" TEXT))");
inline const QString kCreateInv =
    QStringLiteral(R"(CREATE TABLE inv ("1" TEXT, "10" TEXT, "11" TEXT, "21" TEXT, "48" REAL, "66" TEXT, "65" TEXT))");
inline const QString kCreateSpecial = QStringLiteral(
    R"(CREATE TABLE special ("1" TEXT, "10" TEXT, "11" TEXT, "21" TEXT, "48" REAL, "66" TEXT, "65" TEXT))");

// Counts the record sets the code under test asks for, to prove when no database was asked.
class CountingFactory : public RecordSetFactory {
public:
    explicit CountingFactory(RecordSetFactory& inner) : inner_(inner) {}
    std::unique_ptr<RecordSet> CreateRecordSet() override {
        ++created;
        return inner_.CreateRecordSet();
    }
    int created = 0;

private:
    RecordSetFactory& inner_;
};
