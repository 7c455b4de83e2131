// The store's databases failing between two scans: the look-up goes on, leaves no stale value in
// the boxes, and finds items again once the database is back.
#include "lookup/ItemLookup.h"

#include "MemorySettingsStore.h"
#include "StoreDatabases.h"

#include <QFile>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kItem = QStringLiteral("INSERT INTO inv VALUES (?, ?, ?, ?, ?, ?, ?)");

QString MakeInventory(const QString& path, double price) {
    return ExecOnSqlite(path, {kCreateInv},
                        {{kItem, {"1001", "CLAW HAMMER 16OZ", "STN-51616", "A12", price, "1", "6"}}});
}

class DatabaseFaults : public ::testing::Test {
protected:
    // A fresh database file under a new name, so that no connection of an earlier case reaches it.
    void SetUp() override {
        path = dir.filePath(QStringLiteral("inv%1.db").arg(++made));
        ASSERT_EQ(MakeInventory(path, 12.5), QString());
        settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBCINV"), SqliteConnect(path));
    }
    EntryTexts Scan(const QString& sku) {
        EntryTexts e;
        e.sku = sku;
        e.desc = e.mfn = e.loc = e.retail = e.om = e.pk = QStringLiteral("stale");
        LookupItem(e, 0, settings, factory);
        return e;
    }

    QTemporaryDir dir;
    QString path;
    int made = 0;
    MemorySettingsStore settings;
    QtOdbcRecordSetFactory factory;
};

TEST_F(DatabaseFaults, ConnectionLostBetweenTwoScans) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> breakIt;
    };
    const Case cases[] = {
        {"file deleted", [](const QString& p) { ASSERT_TRUE(QFile::remove(p)); }},
        {"file renamed away", [](const QString& p) { ASSERT_TRUE(QFile::rename(p, p + ".moved")); }},
        {"file overwritten with other bytes",
         [](const QString& p) {
             QFile f(p);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.write(QByteArray(8192, 'x'));
         }},
        {"file truncated to nothing",
         [](const QString& p) {
             QFile f(p);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite | QIODevice::Truncate));
         }},
        {"a folder where the file was",
         [](const QString& p) {
             ASSERT_TRUE(QFile::remove(p));
             ASSERT_TRUE(QDir().mkdir(p));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        EXPECT_EQ(Scan("1001").desc, "CLAW HAMMER 16OZ");
        c.breakIt(path);

        // Whatever the driver still sees, the boxes hold the item or nothing: never the values
        // of the previous row.
        const EntryTexts lost = Scan("1001");
        EXPECT_EQ(lost.sku, "1001");
        for (const QString& v : {lost.desc, lost.mfn, lost.loc, lost.retail, lost.om, lost.pk})
            EXPECT_NE(v, "stale");
        EXPECT_EQ(Scan("2002").desc, "");

        // The database comes back (a fresh copy in its place): the next scan finds the item again.
        QDir(path).removeRecursively();
        QFile::remove(path);
        ASSERT_EQ(MakeInventory(path, 13.75), QString());
        const EntryTexts back = Scan("1001");
        EXPECT_EQ(back.desc, "CLAW HAMMER 16OZ");
        EXPECT_EQ(back.retail, "13.75") << "the database put back must be the one read";
    }
}

}  // namespace
