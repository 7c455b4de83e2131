// "Read in a Data File" on a full-size file: 32,766 tab-delimited records (the most the grid can
// hold), each without description and UPC, so that with the databases configured every record asks
// the inventory (100,000 items) and the UPC table (200,000 rows). Also the same file with no
// database configured.
#include "BenchSupport.h"
#include "datafiles/Import.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "grid/LabelGrid.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/qt/QtOdbcRecordSet.h"
#include "platform/qt/QtUiServices.h"
#include "platform/ScreenPointer.h"
#include "shell/common/Common.h"

#include "shell/msfGridView.h"

#include <QApplication>
#include <QFile>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRecords = 32766;
constexpr int kItems = 100000;

class FileDialogs : public Dialogs {
public:
    QString path;
    int messages = 0;
    int MsgBox(const QString&, int, const QString&) override { return ++messages, MsgResult::OK; }
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> ShowOpen(const FileDialogRequest&) override { return path; }
    std::optional<QString> ShowSave(const FileDialogRequest&) override { return std::nullopt; }
};

class NoEvents : public EventPump {
public:
    void DoEvents() override {}
};

class Pointer : public ScreenPointer {
public:
    int pointer = 0;
    int MousePointer() const override { return pointer; }
    void setMousePointer(int p) override { pointer = p; }
};

// The store: items 100001..200000 in `inv`, two UPC rows each in `upc`, keyed by stock number as a
// store's tables are. Built once per run.
struct Store {
    QTemporaryDir dir;
    QString inv, upc, dataFile, error;

    Store() {
        inv = dir.filePath(QStringLiteral("inv.db"));
        upc = dir.filePath(QStringLiteral("upc.db"));
        const QString series = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ")
                                   .arg(kItems);
        exec(inv, {QStringLiteral(R"(CREATE TABLE inv ("1" TEXT, "10" TEXT, "11" TEXT, "21" TEXT, "48" REAL, "66" TEXT, "65" TEXT))"),
                   series + QStringLiteral("INSERT INTO inv SELECT 100000 + i, 'INVENTORY ITEM ' || i, 'MFN-' || i, "
                                           "'L' || (i % 50), (i % 100) + 0.99, '1', '6' FROM n"),
                   QStringLiteral(R"(CREATE INDEX inv_sku ON inv ("1"))")});
        exec(upc, {QStringLiteral(R"(CREATE TABLE upc ("1" TEXT, "149" TEXT, "83" TEXT))"),
                   series + QStringLiteral("INSERT INTO upc SELECT 100000 + i, printf('0%011d', i), '010199' FROM n"),
                   series + QStringLiteral("INSERT INTO upc SELECT 100000 + i, printf('1%011d', i), '060104' FROM n"),
                   QStringLiteral(R"(CREATE INDEX upc_sku ON upc ("1"))")});

        // Every third item of the inventory; no description, no UPC.
        QByteArray bytes = "1\t11\t21\t48\t65\t66\r\n";
        for (int r = 1; r <= kRecords; ++r) {
            const QByteArray n = QByteArray::number(100000 + 3 * r);
            bytes += n + "\tFILE-MFN-" + n + "\tA" + QByteArray::number(r % 40) + "\t" + QByteArray::number(r % 90) +
                     ".49\t12\t2\r\n";
        }
        dataFile = dir.filePath(QStringLiteral("items.txt"));
        QFile f(dataFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) error = QStringLiteral("cannot write the data file");
    }

    void exec(const QString& path, const QStringList& statements) {
        const QString name = QStringLiteral("bench-builder");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
            db.setDatabaseName(QStringLiteral("Driver=SQLite3;Database=") + path);
            if (!db.open()) {
                error = db.lastError().text();
            } else {
                QSqlQuery q(db);
                for (const QString& s : statements)
                    if (error.isEmpty() && !q.exec(s)) error = q.lastError().text();
                q.finish();
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(name);
    }
};

Store& TheStore() {
    static Store store;
    return store;
}

void RunImport(benchmark::State& state, bool withDatabases, bool shown = false) {
    Store& store = TheStore();
    if (!store.error.isEmpty()) {
        state.SkipWithError(store.error.toStdString().c_str());
        return;
    }
    FileDialogs dialogs;
    dialogs.path = store.dataFile;
    MemorySettings settings;
    if (withDatabases) {
        settings.values.insert(QStringLiteral("ODBCINV"), QStringLiteral("Driver=SQLite3;Database=") + store.inv);
        settings.values.insert(QStringLiteral("ODBCUPC"), QStringLiteral("Driver=SQLite3;Database=") + store.upc);
    }
    cwDct dct;
    for (std::int16_t f : {1, 10, 11, 21, 48, 65, 66, 149}) dct.setDLen(f, 30);
    cwDatFile datFile;
    QtOdbcRecordSetFactory factory;  // kept across runs, as the program keeps its connections
    Pointer pointer;
    Hourglass hourglass(pointer);
    NoEvents noEvents;
    QtEventPump qtEvents;  // the program's own pump: the shown grid repaints while the import runs
    EventPump& events = shown ? static_cast<EventPump&>(qtEvents) : noEvents;
    LabelGrid grid;
    std::unique_ptr<msfGridView> view;
    if (shown) {
        view = std::make_unique<msfGridView>(grid);
        view->resize(800, 400);
        view->show();
    }

    for (auto _ : state) {
        state.PauseTiming();
        grid.setRows(31);
        state.ResumeTiming();
        DataFileImport import(dialogs, settings, grid, dct, datFile, &factory, hourglass, events, 30, [] {});
        const Outcome outcome = import.mnuFileRead(DataFileImport::DataFile);
        if (import.rowsRead() != kRecords || !outcome.messages().empty() || dialogs.messages != 0) {
            state.SkipWithError("the import did not read every record");
            break;
        }
        const bool completed = !grid.TextMatrix(kRecords, 3).isEmpty() && grid.TextMatrix(kRecords, 8).size() == 12;
        if (withDatabases != completed) {
            state.SkipWithError("descriptions and UPCs not as expected");
            break;
        }
    }
    state.counters["records"] = kRecords;
}

void BM_ImportWithDatabases(benchmark::State& state) { RunImport(state, true); }
void BM_ImportWithoutDatabases(benchmark::State& state) { RunImport(state, false); }
BENCHMARK(BM_ImportWithDatabases)->Unit(benchmark::kMillisecond)->Iterations(3);
// The same, into a grid shown on screen that repaints after every record, as in the window.
void BM_ImportIntoShownGrid(benchmark::State& state) { RunImport(state, false, true); }
BENCHMARK(BM_ImportWithoutDatabases)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportIntoShownGrid)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks<QApplication>(argc, argv); }
