// Every query built from what the clerk scans or types: the key goes in as one quoted literal
// with its apostrophes doubled (and its backslashes, where they escape) and nothing else changed,
// whatever it holds, in every database's dialect.
#include "lookup/ItemLookup.h"
#include "platform/qt/QtOdbcRecordSet.h"

#include "MemorySettingsStore.h"
#include "StoreDatabases.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Passes everything on and keeps every query that was opened.
class RecordingRecordSet : public RecordSet {
public:
    RecordingRecordSet(std::unique_ptr<RecordSet> inner, QList<RecordQuery>& log) : inner_(std::move(inner)), log_(log) {}
    void setActiveConnection(const QString& c) override { inner_->setActiveConnection(c); }
    QString ActiveConnection() const override { return inner_->ActiveConnection(); }
    void Open(const RecordQuery& query, const QString& connect) override {
        log_ << query;
        inner_->Open(query, connect);
    }
    void Close() override { inner_->Close(); }
    bool IsOpen() const override { return inner_->IsOpen(); }
    bool Eof() const override { return inner_->Eof(); }
    void MoveFirst() override { inner_->MoveFirst(); }
    void MoveNext() override { inner_->MoveNext(); }
    int fieldCount() const override { return inner_->fieldCount(); }
    QString fieldName(int p) const override { return inner_->fieldName(p); }
    int fieldIndex(const QString& n) const override { return inner_->fieldIndex(n); }
    QVariant fieldValue(int p) const override { return inner_->fieldValue(p); }

private:
    std::unique_ptr<RecordSet> inner_;
    QList<RecordQuery>& log_;
};

class RecordingFactory : public RecordSetFactory {
public:
    explicit RecordingFactory(RecordSetFactory& inner) : inner_(inner) {}
    std::unique_ptr<RecordSet> CreateRecordSet() override {
        return std::make_unique<RecordingRecordSet>(inner_.CreateRecordSet(), queries);
    }
    QList<RecordQuery> queries;

private:
    RecordSetFactory& inner_;
};

// The keys of the review: apostrophes single and doubled, a backslash (an escape in some SQL
// dialects, plain text in ours), statement separators and comments, and a NUL.
const QString kKeys[] = {
    QStringLiteral("O'Brien's"),
    QStringLiteral("''"),
    QStringLiteral("'"),
    QStringLiteral("A\\B"),
    QStringLiteral("A\\'; DROP TABLE inv; --"),
    QStringLiteral("1001; DELETE FROM inv"),
    QStringLiteral("1001 -- comment"),
    QStringLiteral("x' OR '1'='1"),
    QString::fromUtf16(u"A1\0' OR '1'='1", 14),
};

// The literal of "SELECT * FROM <t> WHERE <quoted c> = '<literal>'" read back the way the
// dialect's SQL reads it, or nothing when the text has any other shape.
std::optional<QString> literalOf(const QString& sql, const QString& head, bool backslashEscapes) {
    if (!sql.startsWith(head) || !sql.endsWith(u'\'') || sql.size() < head.size() + 1) return std::nullopt;
    const QString body = sql.mid(head.size(), sql.size() - head.size() - 1);
    QString value;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (backslashEscapes && body[i] == u'\\') {
            if (++i >= body.size()) return std::nullopt;  // the escape would swallow the closing quote
            value += body[i];
        } else if (body[i] != u'\'') {
            value += body[i];
        } else {
            // Inside the literal an apostrophe only ever comes doubled; a single one would end it.
            if (i + 1 >= body.size() || body[i + 1] != u'\'') return std::nullopt;
            value += u'\'';
            ++i;
        }
    }
    return value;
}

TEST(SqlSafety, TheKeyIsOneLiteralInEveryDialect) {
    const struct {
        SqlDialect dialect;
        const char* head;
    } dialects[] = {
        {{"\"", "\"", false}, "SELECT * FROM inv WHERE \"1\" = '"},  // SQLite, PostgreSQL, ODBC's default
        {{"`", "`", true}, "SELECT * FROM inv WHERE `1` = '"},          // MariaDB, MySQL
        {{"`", "`", false}, "SELECT * FROM inv WHERE `1` = '"},         // Access, NO_BACKSLASH_ESCAPES
        {{"[", "]", false}, "SELECT * FROM inv WHERE [1] = '"},         // SQL Server
    };
    for (const auto& d : dialects) {
        for (const QString& key : kKeys) {
            SCOPED_TRACE(key.toStdString() + " after " + d.head);
            const QString sql = QuerySqlText(KeyQuery("inv", "1", key), d.dialect);
            const auto literal = literalOf(sql, d.head, d.dialect.backslashEscapes);
            ASSERT_TRUE(literal.has_value()) << sql.toStdString();
            EXPECT_EQ(*literal, key) << "the literal reads back as the key, byte for byte";
        }
    }
    EXPECT_EQ(QuerySqlText(RecordQuery{"upc", {}, {}}, dialects[1].dialect), "SELECT * FROM upc");
}

TEST(SqlSafety, EveryQueryOfALookupIsAKeyQuery) {
    QTemporaryDir dir;
    const QString inv = dir.filePath("inv.db"), upc = dir.filePath("upc.db"), cis = dir.filePath("cis.db");
    std::vector<std::pair<QString, QVariantList>> items;
    for (const QString& key : kKeys)
        items.push_back({"INSERT INTO inv VALUES (?, ?, ?, ?, ?, ?, ?)", {key, "DESC OF " + key, "", "", 1.0, "1", "1"}});
    ASSERT_EQ(ExecOnSqlite(inv, {kCreateInv}, items), QString());
    ASSERT_EQ(ExecOnSqlite(upc, {kCreateUpc}), QString());
    ASSERT_EQ(ExecOnSqlite(cis, {kCreateSpecial}), QString());
    MemorySettingsStore settings;
    settings.SaveSetting(kRegApp, kRegSec, "ODBCINV", SqliteConnect(inv));
    settings.SaveSetting(kRegApp, kRegSec, "ODBCUPC", SqliteConnect(upc));
    settings.SaveSetting(kRegApp, kRegSec, "ODBCCIS", SqliteConnect(cis));
    QtOdbcRecordSetFactory odbc;
    RecordingFactory factory(odbc);

    for (const QString& key : kKeys) {
        SCOPED_TRACE(key.toStdString());
        factory.queries.clear();
        EntryTexts e;
        e.sku = key;
        LookupItem(e, 1, settings, factory);
        // A key the driver cannot take fails the UPC database's first query; it is not asked twice.
        ASSERT_EQ(factory.queries.size(), key.contains(QChar(u'\0')) ? 3 : 4);
        for (const RecordQuery& q : factory.queries) {
            const QString asked = q.table + u'.' + q.keyColumn;
            EXPECT_TRUE(QStringList({"upc.149", "upc.1", "inv.1", "special.1"}).contains(asked)) << LogicalText(q).toStdString();
            EXPECT_EQ(q.key, key);
        }
        // A key the driver can take finds exactly its own row; one with a NUL finds nothing
        // rather than the row of the text before the NUL.
        if (key.contains(QChar(u'\0')))
            EXPECT_EQ(e.desc, "");
        else
            EXPECT_EQ(e.desc, "DESC OF " + key);
    }
}

}  // namespace
