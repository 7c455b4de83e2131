// Laser jobs of the demo 3-up layout (description, price, sku, location, rule, UPC symbol) written
// to a PDF file by the Qt printer. Reports the time per job and the process's peak resident memory
// after it; run one size alone (--benchmark_filter=/30000/) to see that size's own peak.
#include "BenchSupport.h"
#include "LaserJob.h"
#include "output/LabelFormat.h"
#include "output/RecordingPrinter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_LaserJobToPdf(benchmark::State& state) {
    LaserJob job(static_cast<int>(state.range(0)));
    // The grid itself grows with the rows; what printing adds is the peak after the jobs minus
    // the peak before them.
    const double before = peakResidentMiB();
    for (auto _ : state) benchmark::DoNotOptimize(job.run());
    state.counters["labels"] = job.rows;
    state.counters["pdf_MiB"] = QFileInfo(job.pdf).size() / (1024.0 * 1024.0);
    state.counters["peak_rss_MiB"] = peakResidentMiB();
    state.counters["rss_before_jobs_MiB"] = before;
    state.counters["rss_added_by_jobs_MiB"] = peakResidentMiB() - before;
}
BENCHMARK(BM_LaserJobToPdf)
    ->Arg(3000)
    ->Arg(30000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// How the time grows from 100 to 1,000 sheets. The speed of a shared machine drifts from one
// second to the next, so each iteration times 3,000 labels, then 30,000, then 3,000 again, and
// compares the large job with the mean of the two small ones around it. Reports the median of
// each size and the median of those ratios.
void BM_LaserJobGrowth(benchmark::State& state) {
    LaserJob small(3000), large(30000);
    auto timed = [](LaserJob& job) {
        QElapsedTimer clock;
        clock.start();
        benchmark::DoNotOptimize(job.run());
        return clock.nsecsElapsed() / 1e6;
    };
    std::vector<double> smallMs, largeMs, ratios;
    double before = timed(small);
    for (auto _ : state) {
        const double largeTime = timed(large);
        const double after = timed(small);
        smallMs.push_back(after);
        largeMs.push_back(largeTime);
        ratios.push_back(largeTime / ((before + after) / 2));
        before = after;
    }
    state.counters["median_3000_ms"] = Median(smallMs);
    state.counters["median_30000_ms"] = Median(largeMs);
    state.counters["ratio"] = Median(ratios);
}
BENCHMARK(BM_LaserJobGrowth)->Unit(benchmark::kMillisecond)->Iterations(7);

// One label whose text starts at the largest size with fitting on: the font must come down from
// 32,767 points to the size that fits (stepping a point at a time took seconds per label).
void BM_FitFromTheLargestSize(benchmark::State& state) {
    LaserJob job(1);
    const QString format = job.dir.filePath(QStringLiteral("huge.fa3"));
    {
        QFile f(format);
        if (!f.open(QIODevice::WriteOnly) || f.write("DESC,32767,0,0,201,B,0\r\n") < 0) state.SkipWithError("no format file");
    }
    job.options.SierraFormat3 = format;
    for (auto _ : state) benchmark::DoNotOptimize(job.run());
}
BENCHMARK(BM_FitFromTheLargestSize)->Unit(benchmark::kMillisecond)->Iterations(5);

// A Dymo label drawn from its format file, as every Dymo label is: the file is read for each label
// (a read that asked for the whole 16 MiB bound made a buffer of that size every time).
void BM_DymoLabelFromItsFormatFile(benchmark::State& state) {
    LaserJob job(1);
    RecordingPrinter printer;
    for (auto _ : state) {
        QFile file(QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo.fa1"));
        if (!file.open(QIODevice::ReadOnly)) state.SkipWithError("no demo.fa1");
        DrawLabelFormat(file, printer, job.grid, 1, 0, 0);
    }
}
BENCHMARK(BM_DymoLabelFromItsFormatFile)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks<QGuiApplication>(argc, argv); }
