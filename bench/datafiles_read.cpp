// Reading a full-size data file: 32,766 records (the most a grid can hold), every field of every
// record asked for, the way the import walks a file.
#include "BenchSupport.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "platform/Dialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRecords = 32766;
const std::int16_t kFields[] = {1, 10, 11, 21, 48, 65, 66, 149};

QByteArray MakeFile() {
    QByteArray bytes = "1\t10\t11\t21\t48\t65\t66\t149\r\n";
    for (int r = 1; r <= kRecords; ++r) {
        const QByteArray n = QByteArray::number(r);
        bytes += n + "\tItem description number " + n + "\tMFR-" + n + "\tA" + QByteArray::number(r % 40) + "\t" +
                 QByteArray::number(r % 100) + ".99\t12\t6\t0" + QByteArray::number(1000000000 + r) + "5\r\n";
    }
    return bytes;
}

void BM_ReadAllRecordsAndFields(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("items.txt");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the data file");
            return;
        }
        f.write(MakeFile());
    }
    cwDct dct;
    for (std::int16_t f : kFields) dct.setDLen(f, 40);
    cwDatFile dat;
    QString value;
    for (auto _ : state) {
        if (dat.fopen(path, dct, "", 0, 0) != 0) {
            state.SkipWithError("fopen failed");
            break;
        }
        int records = 0;
        while (dat.gr()) {
            for (std::int16_t f : kFields) benchmark::DoNotOptimize(dat.gf(f, value));
            ++records;
        }
        dat.fclose();
        if (records != kRecords) state.SkipWithError("wrong record count");
        state.counters["records"] = records;
    }
}
BENCHMARK(BM_ReadAllRecordsAndFields)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
