// Peak memory with the grid at its largest: the main window on the Qt adapters, shown, its grid
// grown to 32,767 rows with all eight cells of every label filled, scrolled through to the end.
// Reports the process's peak resident memory and what the full grid added to it.
#include "BenchSupport.h"
#include "shell/QtServices.h"
#include "datafiles/DictionaryFile.h"
#include "grid/GridCommands.h"
#include "grid/LabelGrid.h"
#include "shell/frmTagwell.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_FullGridPeakMemory(benchmark::State& state) {
    QTemporaryDir config;
    const QString ini = config.filePath("BRONTA/BRONTA.ini");
    QtServices qt(ini);
    qt.settings.SaveSetting(kRegApp, kRegSec, QString::fromLatin1(kDictionaryKey),
                            QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo.dct"));
    qt.settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("SierraPrint"), QStringLiteral("0"));
    frmTagwell window(qt.services());
    window.Form_Load();
    window.show();
    QApplication::processEvents();
    const double before = peakResidentMiB();

    for (auto _ : state) {
        LabelGrid& grid = window.grid();
        grid.setRows(GridCommands::kMaxRows);
        for (int r = 1; r < GridCommands::kMaxRows; ++r) {
            const QString n = QString::number(r);
            grid.setTextMatrix(r, GridCol::Sku, QStringLiteral("SKU") + n);
            grid.setTextMatrix(r, GridCol::Mfn, QStringLiteral("MFN-") + n);
            grid.setTextMatrix(r, GridCol::Desc, QStringLiteral("CLAW HAMMER 16 OZ FIBERGLASS ") + n);
            grid.setTextMatrix(r, GridCol::Loc, QStringLiteral("A12"));
            grid.setTextMatrix(r, GridCol::Retail, QStringLiteral("12.99"));
            grid.setTextMatrix(r, GridCol::Om, QStringLiteral("1"));
            grid.setTextMatrix(r, GridCol::Pk, QStringLiteral("6"));
            grid.setTextMatrix(r, GridCol::Upc, QStringLiteral("036000291452"));
        }
        QApplication::processEvents();
        grid.setTopRow(GridCommands::kMaxRows - 1);
        QApplication::processEvents();
    }
    state.counters["peak_rss_MiB"] = peakResidentMiB();
    state.counters["rss_added_by_grid_MiB"] = peakResidentMiB() - before;
}
BENCHMARK(BM_FullGridPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks<QApplication>(argc, argv); }
