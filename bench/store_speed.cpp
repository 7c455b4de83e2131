// The store's database on a server a network away: private PostgreSQL and MariaDB servers (started
// here, as the tests start them) holding 100,000 more items, each reached through tagwell-relay, a
// relay on the loopback that adds a fixed round trip (0, 1 or 20 ms). Measured:
//   - the 32,766-record price-change import (every record asks the inventory, and, its price being
//     new, the UPC table), with the round trips per 1,000 records;
//   - LookupItem as the window runs it (connections kept across scans): a scanned UPC (conversion,
//     item, CIS) and a typed stock number (conversion that finds nothing, preferred UPC, item, CIS),
//     with the round trips per scan.
// `--records=<n>` imports only the first n records (the whole file takes long at 20 ms where each
// record costs its own round trips).
#include "BenchSupport.h"
#include "FakeUi.h"
#include "StoreServers.h"
#include "datafiles/Import.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "grid/LabelGrid.h"
#include "lookup/ItemLookup.h"
#include "platform/qt/QtOdbcRecordSet.h"
#include "shell/common/Common.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <vector>

namespace {

constexpr int kItems = 100000;
constexpr int kFirstItem = 300001;  // above the demo store's stock numbers
int records = DataFileImport::kMaxImportRows;

QStringList BenchItemStatements(StoreKind kind) {
    if (kind == StoreKind::PostgreSQL) {
        const QString n = QStringLiteral("FROM generate_series(0, %1) AS s(i)").arg(kItems - 1);
        return {QStringLiteral("INSERT INTO inv SELECT (%1 + i)::text, 'BENCH ITEM ' || i, 'MFN-' || i, 'L' || (i % 50), "
                               "((i % 100) + 0.99)::text, '1', '6' ").arg(kFirstItem) + n,
                QStringLiteral("INSERT INTO upc SELECT (%1 + i)::text, '0' || lpad(i::text, 11, '0'), '010199' ").arg(kFirstItem) + n,
                QStringLiteral("INSERT INTO upc SELECT (%1 + i)::text, '1' || lpad(i::text, 11, '0'), '060104' ").arg(kFirstItem) + n,
                QStringLiteral("ANALYZE")};
    }
    const QString n = QStringLiteral("FROM seq_0_to_%1").arg(kItems - 1);
    return {QStringLiteral("INSERT INTO inv SELECT %1 + seq, CONCAT('BENCH ITEM ', seq), CONCAT('MFN-', seq), CONCAT('L', seq MOD 50), "
                           "CONCAT(seq MOD 100, '.99'), '1', '6' ").arg(kFirstItem) + n,
            QStringLiteral("INSERT INTO upc SELECT %1 + seq, CONCAT('0', LPAD(seq, 11, '0')), '010199' ").arg(kFirstItem) + n,
            QStringLiteral("INSERT INTO upc SELECT %1 + seq, CONCAT('1', LPAD(seq, 11, '0')), '060104' ").arg(kFirstItem) + n,
            QStringLiteral("ANALYZE TABLE inv, upc")};
}

// tagwell-relay in front of a server's unix socket.
class Relay {
public:
    Relay(const QString& socket, int roundTripMs) {
        process_.start(QStringLiteral(TAGWELL_RELAY), {socket, QString::number(roundTripMs)});
        if (process_.waitForReadyRead(10000)) port_ = QString::fromLatin1(process_.readLine()).section(u' ', 1).toInt();
    }
    ~Relay() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(5000);
    }
    int port() const { return port_; }
    long roundTrips() {
        process_.write("count\n");
        if (!process_.waitForReadyRead(5000)) return -1;
        return QString::fromLatin1(process_.readLine()).section(u' ', 1).toLong();
    }

private:
    QProcess process_;
    int port_ = 0;
};

struct Server {
    StoreKind kind;
    std::unique_ptr<StoreServer> server;
    QString error;

    QString socket() const {
        return kind == StoreKind::PostgreSQL ? server->dir() + QStringLiteral("/.s.PGSQL.5432") : server->dir() + QStringLiteral("/mysqld.sock");
    }
    // The store as the program reaches it through a relay on `port`.
    QString connect(int port) const {
        if (kind == StoreKind::PostgreSQL)
            return QStringLiteral("Driver={PostgreSQL Unicode};Servername=127.0.0.1;Port=%1;Database=store;Username=tagwell").arg(port);
        return QStringLiteral("Driver={MariaDB Unicode};Server=127.0.0.1;Port=%1;Database=store;User=tagwell;Password=labels").arg(port);
    }
};

std::map<StoreKind, Server> servers;

Server& TheServer(StoreKind kind) {
    Server& s = servers[kind];
    if (!s.server && s.error.isEmpty()) {
        const auto start = std::chrono::steady_clock::now();
        s.kind = kind;
        s.server = std::make_unique<StoreServer>(kind);
        s.error = s.server->error();
        if (s.error.isEmpty()) s.error = ExecOnOdbc(s.server->adminConnect(), BenchItemStatements(kind));
        std::fprintf(stderr, "%s with %d more items ready in %.1f s%s\n", KindName(kind), kItems,
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                     s.error.isEmpty() ? "" : qPrintable(QStringLiteral(": ") + s.error));
    }
    return s;
}

// The store of `kind`, or nullptr with the benchmark skipped when its server could not be made.
Server* ReadyServer(benchmark::State& state, StoreKind kind) {
    Server& server = TheServer(kind);
    if (server.error.isEmpty()) return &server;
    state.SkipWithError(qPrintable(server.error));
    return nullptr;
}

class FileDialogs : public SilentDialogs {
public:
    QString path;
    std::optional<QString> ShowOpen(const FileDialogRequest&) override { return path; }
};

// Every third item with a new price (x.49 where the inventory has x.99), without UPC.
QString PriceFile(const QTemporaryDir& dir) {
    QByteArray bytes = "1\t48\r\n";
    for (int r = 1; r <= records; ++r)
        bytes += QByteArray::number(kFirstItem + 3 * (r % (kItems / 3))) + '\t' + QByteArray::number(r % 90) + ".49\r\n";
    const QString path = dir.filePath(QStringLiteral("prices.txt"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return {};
    return path;
}

void BM_PriceChangeImport(benchmark::State& state, StoreKind kind, int roundTripMs) {
    Server* server = ReadyServer(state, kind);
    if (!server) return;
    Relay relay(server->socket(), roundTripMs);
    QTemporaryDir dir;
    FileDialogs dialogs;
    dialogs.path = PriceFile(dir);
    MemorySettings settings;
    settings.values.insert(QStringLiteral("ODBCINV"), server->connect(relay.port()));
    settings.values.insert(QStringLiteral("ODBCUPC"), server->connect(relay.port()));
    cwDct dct;
    for (std::int16_t f : {1, 10, 11, 21, 48, 65, 66, 149}) dct.setDLen(f, 30);
    cwDatFile datFile;
    QtOdbcRecordSetFactory factory;
    FakeScreenPointer pointer;
    Hourglass hourglass(pointer);
    FakeEventPump events;
    LabelGrid grid;
    long trips = 0;
    for (auto _ : state) {
        grid.setRows(31);
        const long before = relay.roundTrips();
        DataFileImport import(dialogs, settings, grid, dct, datFile, &factory, hourglass, events, 30, [] {});
        const Outcome outcome = import.mnuFileRead(DataFileImport::PriceChangeFile);
        trips = relay.roundTrips() - before;
        if (import.rowsRead() != records || !outcome.messages().empty() || grid.TextMatrix(records, 8).size() != 12 ||
            !grid.TextMatrix(records, 3).startsWith(QLatin1String("BENCH ITEM"))) {
            state.SkipWithError("the import did not complete every record");
            break;
        }
    }
    state.counters["records"] = records;
    state.counters["round_trips_per_1000_records"] = 1000.0 * static_cast<double>(trips) / records;
}

void BM_LookupItem(benchmark::State& state, StoreKind kind, int roundTripMs, bool scannedUpc) {
    Server* server = ReadyServer(state, kind);
    if (!server) return;
    Relay relay(server->socket(), roundTripMs);
    MemorySettings settings;
    for (const char* key : {"ODBCUPC", "ODBCINV", "ODBCCIS"}) settings.values.insert(QString::fromLatin1(key), server->connect(relay.port()));
    QtOdbcRecordSetFactory factory;  // connections kept across scans, as in the window
    std::mt19937 random(42);
    std::uniform_int_distribution<int> item(0, kItems - 1);
    {
        EntryTexts first;
        first.sku = QString::number(kFirstItem);
        (void)LookupItem(first, 1, settings, factory);  // the connections of the window's first scan
    }
    std::vector<double> micros;
    long trips = 0;
    int misses = 0;
    for (auto _ : state) {
        const int i = item(random);
        EntryTexts entry;
        entry.sku = scannedUpc ? QStringLiteral("1%1").arg(i, 11, 10, QLatin1Char('0')) : QString::number(kFirstItem + i);
        const long before = relay.roundTrips();
        const auto start = std::chrono::steady_clock::now();
        const QString failure = LookupItem(entry, 1, settings, factory);
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        trips += relay.roundTrips() - before;
        if (!failure.isEmpty() || entry.desc != QStringLiteral("BENCH ITEM %1").arg(i) || entry.upc.size() != 12) ++misses;
    }
    if (misses) state.SkipWithError("a scan did not find its item");
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["median_ms"] = micros[micros.size() / 2] / 1000.0;
        state.counters["p99_ms"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)] / 1000.0;
        state.counters["round_trips_per_scan"] = static_cast<double>(trips) / static_cast<double>(micros.size());
    }
}

void RegisterAll() {
    for (const StoreKind kind : {StoreKind::PostgreSQL, StoreKind::MariaDB}) {
        const std::string name = KindName(kind);
        for (const int ms : {0, 1, 20})
            benchmark::RegisterBenchmark(("PriceChangeImport/" + name + "/" + std::to_string(ms) + "ms").c_str(),
                                         [kind, ms](benchmark::State& s) { BM_PriceChangeImport(s, kind, ms); })
                ->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
        for (const int ms : {0, 20})
            for (const bool scanned : {true, false})
                benchmark::RegisterBenchmark(("LookupItem/" + name + "/" + (scanned ? "ScannedUpc/" : "TypedSku/") +
                                              std::to_string(ms) + "ms").c_str(),
                                             [kind, ms, scanned](benchmark::State& s) { BM_LookupItem(s, kind, ms, scanned); })
                    ->Unit(benchmark::kMillisecond)->Iterations(ms ? 100 : 1000)->UseRealTime();
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Our own option first; the rest is Google Benchmark's.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--records=", 10) == 0) records = std::clamp(std::atoi(argv[i] + 10), 1, DataFileImport::kMaxImportRows);
        else argv[kept++] = argv[i];
    }
    argc = kept;
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    servers.clear();
    return 0;
}
