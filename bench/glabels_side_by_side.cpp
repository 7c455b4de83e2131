// 3,000 shelf labels printed to PDF side by side: by Tagwell's laser job, and by gLabels 3's batch
// program (glabels-3-batch) from an equivalent gLabels document written here at run time: a 30-up
// letter sheet (3 across, 10 down, 2.75 x 1 in), the demo layout's texts (bold description fitted
// to its width, bold price aligned right, stock number, location aligned right), its rule and a
// UPC-A symbol, merged from a CSV file of the very rows Tagwell prints. gLabels is only the
// yardstick, run as a black box; `scripts/setup --bench` installs it.
//
// Each iteration runs one Tagwell job and then one gLabels run, so both meet the same machine load;
// reported are each side's median and the median of the per-iteration ratios, by wall time and by
// CPU time (the CPU ratio hardly moves with what else the machine runs).
#include "BenchSupport.h"
#include "LaserJob.h"
#include "output/LabelFormat.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

#if defined(__unix__)
#include <sys/resource.h>
#endif

namespace {

constexpr int kLabels = 3000;

// CPU seconds of the child processes waited for so far.
double childrenCpuSeconds() {
#if defined(__unix__)
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
#else
    return 0;
#endif
}

double ownCpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// The demo .fa3 layout in gLabels' terms: its twips divided by 20 give points from the label's
// top-left corner. The price and the location end at x = 3750 twips, as their R style says.
const char kDocument[] = R"(<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Tagwell" part="bench-30" size="US-Letter" description="Shelf labels, 3 across, 10 down">
    <Meta category="label"/>
    <Label-rectangle id="0" width="198pt" height="72pt" round="0pt" x_waste="0pt" y_waste="0pt">
      <Layout nx="3" ny="10" x0="5.5pt" y0="36pt" dx="198pt" dy="72pt"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-text x="5pt" y="11.5pt" w="167.5pt" h="13pt" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0" justify="Left" valign="Top" auto_shrink="True">
      <Span font_family="Sans" font_size="10" font_weight="Bold" font_italic="False" color="0x000000ff" line_spacing="1">${DESC}</Span>
    </Object-text>
    <Object-line x="5pt" y="25pt" dx="182.5pt" dy="0pt" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0" line_width="0.5pt" line_color="0x000000ff"/>
    <Object-text x="97.5pt" y="28pt" w="90pt" h="32pt" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0" justify="Right" valign="Top" auto_shrink="False">
      <Span font_family="Sans" font_size="26" font_weight="Bold" font_italic="False" color="0x000000ff" line_spacing="1">${RTL}</Span>
    </Object-text>
    <Object-barcode x="5pt" y="28.5pt" w="87.5pt" h="28pt" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0" style="UPC-A" text="True" checksum="True" color="0x000000ff" field="UPC"/>
    <Object-text x="5pt" y="60.5pt" w="90pt" h="10pt" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0" justify="Left" valign="Top" auto_shrink="False">
      <Span font_family="Sans" font_size="8" font_weight="Regular" font_italic="False" color="0x000000ff" line_spacing="1">${SKU}</Span>
    </Object-text>
    <Object-text x="97.5pt" y="60.5pt" w="90pt" h="10pt" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0" justify="Right" valign="Top" auto_shrink="False">
      <Span font_family="Sans" font_size="8" font_weight="Regular" font_italic="False" color="0x000000ff" line_spacing="1">${LOC}</Span>
    </Object-text>
  </Objects>
  <Merge type="Text/Comma/Line1Keys" src="%1"/>
</Glabels-document>
)";

// The grid's rows as gLabels' merge source, the UPC with the check digit Tagwell prints.
QByteArray mergeRows(const LabelGrid& grid, int rows) {
    QByteArray csv = "SKU,DESC,LOC,RTL,UPC\n";
    for (int r = 1; r <= rows; ++r) {
        QString upc = grid.TextMatrix(r, GridCol::Upc);
        FixUpcCheckDigit(upc);
        const QStringList fields{grid.TextMatrix(r, GridCol::Sku), grid.TextMatrix(r, GridCol::Desc),
                                 grid.TextMatrix(r, GridCol::Loc), grid.TextMatrix(r, GridCol::Retail), upc};
        csv += fields.join(u',').toUtf8() + '\n';
    }
    return csv;
}

// Pages of a PDF file: its page objects.
int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray bytes = f.readAll();
    int pages = 0;
    for (qsizetype at = bytes.indexOf("/Type /Page"); at >= 0; at = bytes.indexOf("/Type /Page", at + 1))
        if (at + 11 < bytes.size() && bytes[at + 11] != 's') ++pages;
    return pages;
}

void BM_GlabelsSideBySide(benchmark::State& state) {
    const QString glabels = QStandardPaths::findExecutable(QStringLiteral("glabels-3-batch"));
    if (glabels.isEmpty()) {
        state.SkipWithError("glabels-3-batch is not installed (scripts/setup --bench installs it)");
        return;
    }
    LaserJob job(kLabels);
    const QString csv = job.dir.filePath(QStringLiteral("rows.csv"));
    const QString document = job.dir.filePath(QStringLiteral("labels.glabels"));
    const QString glabelsPdf = job.dir.filePath(QStringLiteral("glabels.pdf"));
    {
        QFile rows(csv), doc(document);
        if (!rows.open(QIODevice::WriteOnly) || rows.write(mergeRows(job.grid, kLabels)) < 0 ||
            !doc.open(QIODevice::WriteOnly) || doc.write(QString::fromUtf8(kDocument).arg(csv).toUtf8()) < 0) {
            state.SkipWithError("cannot write the gLabels files");
            return;
        }
    }
    std::vector<double> ownMs, theirMs, wallRatios, cpuRatios;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const double cpu0 = ownCpuSeconds();
        benchmark::DoNotOptimize(job.run());
        const double ownCpu = ownCpuSeconds() - cpu0;
        const double own = clock.nsecsElapsed() / 1e6;

        QFile::remove(glabelsPdf);
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        run.setStandardOutputFile(QProcess::nullDevice());
        const double child0 = childrenCpuSeconds();
        clock.restart();
        run.start(glabels, {QStringLiteral("-o"), glabelsPdf, document});
        const bool finished = run.waitForFinished(-1);
        const double theirs = clock.nsecsElapsed() / 1e6;
        const double theirCpu = childrenCpuSeconds() - child0;
        if (!finished || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0) {
            state.SkipWithError("glabels-3-batch failed");
            break;
        }
        // Both documents must hold every label: 100 sheets of 30.
        if (pdfPages(glabelsPdf) != kLabels / 30 || pdfPages(job.pdf) != kLabels / 30) {
            state.SkipWithError("a document does not hold 100 sheets");
            break;
        }
        ownMs.push_back(own);
        theirMs.push_back(theirs);
        wallRatios.push_back(theirs / own);
        cpuRatios.push_back(ownCpu > 0 ? theirCpu / ownCpu : 0);
    }
    state.counters["labels"] = kLabels;
    state.counters["tagwell_ms"] = Median(ownMs);
    state.counters["glabels_ms"] = Median(theirMs);
    state.counters["times_faster"] = Median(wallRatios);
    state.counters["times_faster_cpu"] = Median(cpuRatios);
}
BENCHMARK(BM_GlabelsSideBySide)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks<QGuiApplication>(argc, argv); }
