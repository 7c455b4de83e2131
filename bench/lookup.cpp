// LookupItem against UPC, inventory and CIS databases of 100,000 items each (three UPCs per item),
// SQLite files reached through the SQLite ODBC driver like a store's own data sources. Reports the
// median and 99th-percentile latency of one scan as counters (microseconds).
#include "BenchSupport.h"
#include "lookup/ItemLookup.h"
#include "platform/qt/QtOdbcRecordSet.h"

#include <QCoreApplication>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kItems = 100000;

QString connectString(const QString& path) { return QStringLiteral("Driver=SQLite3;Database=") + path; }

// Builds one database with set-based statements so that 100,000 rows take well under a second.
bool build(const QString& path, const QStringList& statements) {
    const QString name = QStringLiteral("bench-builder");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(connectString(path));
        ok = db.open();
        QSqlQuery q(db);
        for (const QString& s : statements) {
            if (!ok) break;
            ok = q.exec(s);
            if (!ok) std::fprintf(stderr, "%s\n%s\n", qPrintable(s), qPrintable(q.lastError().text()));
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

const QString kCount = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ").arg(kItems - 1);

QString itemTable(const QString& table, const QString& descPrefix) {
    return kCount + QStringLiteral(
                        "INSERT INTO %1 SELECT printf('%06d', 100000 + i), '%2 ' || i, 'MFN-' || (i * 7 % 99991), "
                        "printf('A%02d-%d', i % 24, i % 6), (i % 5000) / 100.0 + 0.99, '1', '6' FROM n")
                        .arg(table, descPrefix);
}

struct Store {
    QTemporaryDir dir;
    MemorySettings settings;
    bool ok = false;

    Store() {
        const QString create = QStringLiteral(R"(CREATE TABLE %1 ("1" TEXT, "10" TEXT, "11" TEXT, "21" TEXT, "48" REAL, "66" TEXT, "65" TEXT))");
        ok = build(dir.filePath(QStringLiteral("upc.db")),
                   {QStringLiteral(R"(CREATE TABLE upc ("1" TEXT, "149" TEXT, "83" TEXT))"),
                    kCount + QStringLiteral("INSERT INTO upc SELECT printf('%06d', 100000 + i), "
                                            "printf('4%011d', i * 3 + j), "
                                            "printf('%02d%02d%02d', 1 + (i + j) % 12, 1 + (i * 7 + j) % 28, (95 + j * 4 + i % 5) % 100) "
                                            "FROM n, (SELECT 0 AS j UNION ALL SELECT 1 UNION ALL SELECT 2)"),
                    QStringLiteral(R"(CREATE INDEX upc_sku ON upc ("1"))"),
                    QStringLiteral(R"(CREATE INDEX upc_upc ON upc ("149"))")}) &&
             build(dir.filePath(QStringLiteral("inv.db")),
                   {create.arg(QStringLiteral("inv")), itemTable(QStringLiteral("inv"), QStringLiteral("INVENTORY ITEM")),
                    QStringLiteral(R"(CREATE INDEX inv_sku ON inv ("1"))")}) &&
             build(dir.filePath(QStringLiteral("cis.db")),
                   {create.arg(QStringLiteral("special")), itemTable(QStringLiteral("special"), QStringLiteral("SPECIAL ITEM")),
                    QStringLiteral(R"(CREATE INDEX special_sku ON special ("1"))")});
        settings.values.insert(QStringLiteral("ODBCUPC"), connectString(dir.filePath(QStringLiteral("upc.db"))));
        settings.values.insert(QStringLiteral("ODBCINV"), connectString(dir.filePath(QStringLiteral("inv.db"))));
        settings.values.insert(QStringLiteral("ODBCCIS"), connectString(dir.filePath(QStringLiteral("cis.db"))));
    }
};

Store* store = nullptr;

// Runs `keyOf(random item)` scans and reports the latency distribution.
template <typename KeyOf>
void runScans(benchmark::State& state, KeyOf keyOf, const char* expectedDescPrefix) {
    if (!store || !store->ok) {
        state.SkipWithError("the benchmark databases could not be built");
        return;
    }
    QtOdbcRecordSetFactory factory;  // connections kept across scans, as in the program
    std::mt19937 random(42);
    std::uniform_int_distribution<int> item(0, kItems - 1);
    std::vector<double> micros;
    int misses = 0;
    for (auto _ : state) {
        const int i = item(random);
        EntryTexts entry;
        entry.sku = keyOf(i);
        const auto start = std::chrono::steady_clock::now();
        LookupItem(entry, 1, store->settings, factory);
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        if (!entry.desc.startsWith(QLatin1String(expectedDescPrefix)) || entry.upc.size() != 12) ++misses;
        benchmark::DoNotOptimize(entry);
    }
    if (misses) state.SkipWithError("a scan did not find its item");
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
    }
}

// A scanned UPC: conversion query, inventory, CIS.
void BM_LookupScannedUpc(benchmark::State& state) {
    runScans(state, [](int i) { return QStringLiteral("4%1").arg(i * 3 + 1, 11, 10, QLatin1Char('0')); }, "INVENTORY ITEM");
}
BENCHMARK(BM_LookupScannedUpc)->Unit(benchmark::kMicrosecond)->Iterations(20000);

// A typed stock number: conversion query (no match), UPC search over its three rows, inventory, CIS.
void BM_LookupTypedSku(benchmark::State& state) {
    runScans(state, [](int i) { return QString::number(100000 + i); }, "INVENTORY ITEM");
}
BENCHMARK(BM_LookupTypedSku)->Unit(benchmark::kMicrosecond)->Iterations(20000);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const auto start = std::chrono::steady_clock::now();
    Store built;
    store = &built;
    std::fprintf(stderr, "databases built in %.2f s\n",
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    store = nullptr;
    return 0;
}
