// Laser jobs of the demo 3-up layout (description, price, sku, location, rule, UPC symbol) written
// to a PDF file by the Qt printer. Reports the time per job and the process's peak resident memory
// after it; run one size alone (--benchmark_filter=/30000) to see that size's own peak.
#include "BenchSupport.h"
#include "grid/LabelGrid.h"
#include "output/LabelOutput.h"
#include "output/LaserPrinter.h"
#include "platform/Dialogs.h"
#include "platform/QtPrinter.h"
#include "platform/ScreenPointer.h"
#include "shell/Common.h"
#include "shell/ProgramOptions.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void fillGrid(LabelGrid& grid, int rows) {
    static const char* const items[] = {"CLAW HAMMER 16OZ FIBERGLASS", "WOOD SCREWS #8 X 1-1/4 100PK",
                                        "LATEX PAINT EGGSHELL WHITE 1GAL", "DUCT TAPE SILVER 60YD",
                                        "LED BULB A19 60W EQUIV 4PK", "GARDEN HOSE 5/8 X 50FT"};
    grid.setRows(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        grid.setTextMatrix(r, GridCol::Sku, QString::number(100000 + r));
        grid.setTextMatrix(r, GridCol::Desc, QString::fromLatin1(items[r % 6]));
        grid.setTextMatrix(r, GridCol::Loc, QStringLiteral("A%1-%2").arg(r % 12 + 1).arg(r % 5 + 1));
        grid.setTextMatrix(r, GridCol::Retail, QStringLiteral("%1.%2").arg(r % 90 + 1).arg(r % 100, 2, 10, QChar(u'0')));
        grid.setTextMatrix(r, GridCol::Upc, QStringLiteral("0%1").arg(7252700000LL + r, 10, 10, QChar(u'0')) + u'0');
    }
}

void BM_LaserJobToPdf(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    LabelGrid grid;
    fillGrid(grid, rows);
    ProgramOptions options;
    options.SierraFormat3 = QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo.fa3");
    SilentDialogs dialogs;
    NoPointer pointer;
    Hourglass hourglass(pointer);
    const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    // The grid itself grows with the rows; what printing adds is the peak after the jobs minus
    // the peak before them.
    const double before = peakResidentMiB();
    for (auto _ : state) {
        QtPrinter printer(dialogs);
        printer.setOutputFile(pdf);
        const int printed = PrintLaserJob(LabelOutput{printer, dialogs, grid, options}, 3, rows, {}, hourglass);
        benchmark::DoNotOptimize(printed);
    }
    state.counters["labels"] = rows;
    state.counters["pdf_MiB"] = QFileInfo(pdf).size() / (1024.0 * 1024.0);
    state.counters["peak_rss_MiB"] = peakResidentMiB();
    state.counters["rss_before_jobs_MiB"] = before;
    state.counters["rss_added_by_jobs_MiB"] = peakResidentMiB() - before;
}
BENCHMARK(BM_LaserJobToPdf)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
