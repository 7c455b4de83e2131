// Every SQL text built from what the clerk scans or types: the key goes in as one quoted literal
// with its apostrophes doubled and nothing else changed, whatever it holds.
#include "lookup/ItemLookup.h"

#include "MemorySettingsStore.h"
#include "StoreDatabases.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Passes everything on and keeps every SQL text that was opened.
class RecordingRecordSet : public RecordSet {
public:
    RecordingRecordSet(std::unique_ptr<RecordSet> inner, QStringList& log) : inner_(std::move(inner)), log_(log) {}
    void setActiveConnection(const QString& c) override { inner_->setActiveConnection(c); }
    QString ActiveConnection() const override { return inner_->ActiveConnection(); }
    void Open(const QString& source, const QString& connect) override {
        log_ << source;
        inner_->Open(source, connect);
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
    QStringList& log_;
};

class RecordingFactory : public RecordSetFactory {
public:
    explicit RecordingFactory(RecordSetFactory& inner) : inner_(inner) {}
    std::unique_ptr<RecordSet> CreateRecordSet() override {
        return std::make_unique<RecordingRecordSet>(inner_.CreateRecordSet(), sql);
    }
    QStringList sql;

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

// The literal of a query "SELECT * FROM <t> WHERE [<c>] = '<literal>'" read back the way SQL
// reads it, or nothing when the text has any other shape.
std::optional<QString> literalOf(const QString& sql, const QString& table, const QString& column) {
    const QString head = QStringLiteral("SELECT * FROM %1 WHERE [%2] = '").arg(table, column);
    if (!sql.startsWith(head) || !sql.endsWith(u'\'') || sql.size() < head.size() + 1) return std::nullopt;
    const QString body = sql.mid(head.size(), sql.size() - head.size() - 1);
    QString value;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (body[i] != u'\'') {
            value += body[i];
            continue;
        }
        // Inside the literal an apostrophe only ever comes doubled; a single one would end it.
        if (i + 1 >= body.size() || body[i + 1] != u'\'') return std::nullopt;
        value += u'\'';
        ++i;
    }
    return value;
}

TEST(SqlSafety, KeyQueryQuotesTheKeyAndNothingElse) {
    for (const QString& key : kKeys) {
        SCOPED_TRACE(key.toStdString());
        const QString sql = KeyQuery("inv", "1", key);
        const auto literal = literalOf(sql, "inv", "1");
        ASSERT_TRUE(literal.has_value()) << sql.toStdString();
        EXPECT_EQ(*literal, key) << "the literal reads back as the key, byte for byte";
        EXPECT_EQ(sql.count(u'\''), 2 + 2 * key.count(u'\''));
    }
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
        factory.sql.clear();
        EntryTexts e;
        e.sku = key;
        LookupItem(e, 1, settings, factory);
        ASSERT_FALSE(factory.sql.isEmpty());
        for (const QString& sql : factory.sql) {
            bool matched = false;
            for (const auto& [table, column] : {std::pair{"upc", "149"}, {"upc", "1"}, {"inv", "1"}, {"special", "1"}}) {
                const auto literal = literalOf(sql, table, column);
                if (!literal) continue;
                matched = true;
                EXPECT_EQ(*literal, key) << sql.toStdString();
            }
            EXPECT_TRUE(matched) << "an SQL text of another shape: " << sql.toStdString();
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
