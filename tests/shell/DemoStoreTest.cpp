// The first start of an installed Tagwell: the user's own copy of the shipped demo store, and the
// settings pointing at it, only when the store holds nothing yet.
#include "MemorySettingsStore.h"
#include "shell/DemoStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(DemoStore, FirstStartCopiesTheShippedStoreAndPointsTheSettingsAtTheCopy) {
    // storedKey: a key some earlier run left (none: an empty store); userDirIsAFile: the user's data
    // folder cannot be made.
    const struct { const char* name; const char* storedKey; bool shipDatabase, userDirIsAFile; } cases[] = {
        {"empty store", nullptr, true, false}, {"options saved at an earlier exit", "sierraprint", true, false},
        {"a database chosen by hand", "ODBCUPC", true, false}, {"a dictionary chosen by hand", "Dictionary", true, false},
        {"nothing shipped", nullptr, false, false}, {"no user data folder", nullptr, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir tmp;
        const QString shipped = tmp.filePath("share/tagwell/demo"), user = tmp.filePath("home/Tagwell/demo");
        QDir().mkpath(shipped);
        QDir().mkpath(tmp.filePath("home"));
        for (const auto& [path, bytes, write] : {std::tuple{shipped + "/demo.dct", "[INV]\r\n", true}, {shipped + "/demo.fa3", "TEXT,1\r\n", true},
                                                 {shipped + "/demo-store.db", "SQLite format 3", c.shipDatabase},
                                                 {tmp.filePath("home/Tagwell"), "not a folder", c.userDirIsAFile}}) {
            QFile f(path);
            ASSERT_TRUE(!write || (f.open(QIODevice::WriteOnly) && f.write(bytes) > 0)) << path.toStdString();
        }
        QFile::setPermissions(shipped + "/demo.fa3", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        MemorySettingsStore store;
        if (c.storedKey) store.SaveSetting(kRegApp, kRegSec, c.storedKey, "kept");
        const auto before = store.values;
        const bool setUp = SetUpDemoStoreOnFirstStart(store, shipped, user);
        EXPECT_EQ(setUp, c.name == std::string_view("empty store"));
        if (!setUp) {
            EXPECT_EQ(store.values, before);
            EXPECT_FALSE(QFile::exists(user + "/demo.dct"));
            continue;
        }
        const QString connect = "Driver=SQLite3;Database=" + user + "/demo-store.db";
        for (const auto& [key, value] : std::initializer_list<std::pair<const char*, QString>>{
                 {"DICTIONARY", user + "/demo.dct"}, {"ODBCINV", connect}, {"ODBCUPC", connect}, {"ODBCCIS", connect},
                 {"SierraFormat3", user + "/demo.fa3"}, {"SierraFormat4", user + "/demo.fa4"},
                 {"SierraFormat1", user + "/demo.fa1"}, {"SierraFormat", user + "/demo.fab"},
                 {"SierraFont", user + "/demo.pcl"}, {"FILEIMPEXP", user + "/demo-items.txt"}, {"SierraPrint", "3"}})
            EXPECT_EQ(store.GetSetting(kRegApp, kRegSec, key, "<absent>"), value) << key;
        EXPECT_EQ(ReadBytes(user + "/demo-store.db") + ReadBytes(user + "/demo.fa3"), "SQLite format 3TEXT,1\r\n");
        // The copy of a read-only shipped file is the user's to edit.
        EXPECT_TRUE(QFile::permissions(user + "/demo.fa3") & QFile::WriteOwner);
        EXPECT_FALSE(IsFirstStart(store));
    }
}

}  // namespace
