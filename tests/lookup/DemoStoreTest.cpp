// The demo store database script: it builds, its UPCs carry valid check digits and the look-up
// works on it.
#include "lookup/ItemLookup.h"

#include "StoreDatabases.h"
#include "shell/Common.h"
#include "support/MemorySettingsStore.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

bool ValidUpcA(const QString& upc) {
    if (upc.size() != 12) return false;
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        if (!upc[i].isDigit()) return false;
        sum += upc[i].digitValue() * (i % 2 == 0 ? 3 : 1);
    }
    return sum % 10 == 0;
}

TEST(DemoStore, BuildsAndServesLookups) {
    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite.isEmpty()) GTEST_SKIP() << "sqlite3 is installed by scripts/setup";
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("demo-store.db"));
    QProcess p;
    p.setStandardInputFile(QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo-store.sql"));
    p.start(sqlite, {QStringLiteral("-bail"), db});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    QtOdbcRecordSetFactory factory;
    auto rs = factory.CreateRecordSet();
    const QString connect = SqliteConnect(db);
    rs->Open(QStringLiteral(R"(SELECT (SELECT COUNT(*) FROM inv), (SELECT COUNT(*) FROM special),
                                      (SELECT COUNT(DISTINCT "1") FROM upc), (SELECT COUNT(*) FROM upc))"),
             connect);
    EXPECT_GE(rs->Fields(0).Value().toInt(), 200);
    EXPECT_GE(rs->Fields(1).Value().toInt(), 10);
    EXPECT_GT(rs->Fields(3).Value().toInt(), rs->Fields(2).Value().toInt());  // several UPCs per item
    rs->Close();

    int twelve = 0;
    QString someUpc;
    rs->Open(QStringLiteral(R"(SELECT "149", "83" FROM upc WHERE length("149") = 12)"));
    for (; !rs->Eof(); rs->MoveNext(), ++twelve) {
        const QString upc = rs->Fields(0).Value().toString();
        EXPECT_TRUE(ValidUpcA(upc)) << upc.toStdString();
        EXPECT_EQ(rs->Fields(1).Value().toString().size(), 6);
        someUpc = upc;
    }
    rs->Close();
    EXPECT_GT(twelve, 200);

    MemorySettingsStore settings;
    for (const char* key : {"ODBCUPC", "ODBCINV", "ODBCCIS"}) settings.SaveSetting(kRegApp, kRegSec, QString::fromLatin1(key), connect);
    EntryTexts scanned;
    scanned.sku = someUpc;
    LookupItem(scanned, 1, settings, factory);
    EXPECT_NE(scanned.sku, someUpc);
    EXPECT_EQ(scanned.upc, someUpc);
    EXPECT_FALSE(IsBlank(scanned.desc));
    EXPECT_FALSE(IsBlank(scanned.retail));

    EntryTexts typed;
    typed.sku = scanned.sku;
    LookupItem(typed, 1, settings, factory);
    EXPECT_TRUE(ValidUpcA(typed.upc)) << typed.upc.toStdString();
    EXPECT_EQ(typed.desc, scanned.desc);
}

}  // namespace
