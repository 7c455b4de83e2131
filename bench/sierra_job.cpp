// A Sierra Sport job of 3,000 labels sent through the serial adapter to a file (the way
// `--device FILE` works), with the demo store's format and font files.
#include "BenchSupport.h"
#include "grid/LabelGrid.h"
#include "output/PrintJob.h"
#include "output/SierraPrinter.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/ScreenPointer.h"
#include "output/TracingPrinter.h"
#include "shell/common/Common.h"
#include "shell/common/ProgramOptions.h"

#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kLabels = 3000;

class NoEvents : public EventPump {
public:
    void DoEvents() override {}
};

class Window : public PrintJobWindow {
public:
    QString button = QStringLiteral("Print Sierra"), caption = QStringLiteral("Tagwell");
    QString Caption() const override { return caption; }
    void setCaption(const QString& c) override { caption = c; }
    QString PrintButtonCaption() const override { return button; }
    void setPrintButtonCaption(const QString& c) override { button = c; }
};

// The laser printer is never reached by a Sierra job; a printer that does nothing stands in.
class NullPrinter : public Printer {
public:
    double FontSize() const override { return 10; }
    void setFontSize(double) override {}
    bool FontBold() const override { return false; }
    void setFontBold(bool) override {}
    bool FontItalic() const override { return false; }
    void setFontItalic(bool) override {}
    bool FontUnderline() const override { return false; }
    void setFontUnderline(bool) override {}
    PrinterColor ForeColor() const override { return {}; }
    void setForeColor(PrinterColor) override {}
    double CurrentX() const override { return 0; }
    void setCurrentX(double) override {}
    double CurrentY() const override { return 0; }
    void setCurrentY(double) override {}
    double TextWidth(const QString&) override { return 0; }
    void Print(const QString&) override {}
    int DrawWidth() const override { return 1; }
    void setDrawWidth(int) override {}
    void Line(double, double, double, double, PrinterColor, LineFigure) override {}
    void DrawBarcode(const QString&, double, double, double, double) override {}
    void Scale() override {}
    void NewPage() override {}
    void EndDoc() override {}
    QString DeviceName() const override { return {}; }
    int Orientation() const override { return 1; }
    void setOrientation(int) override {}
    QStringList Printers() const override { return {}; }
    void setPrinter(int) override {}
};

void fillGrid(LabelGrid& grid) {
    grid.setRows(kLabels + 1);
    for (int r = 1; r <= kLabels; ++r) {
        grid.setTextMatrix(r, GridCol::Sku, QString::number(100000 + r));
        grid.setTextMatrix(r, GridCol::Mfn, QStringLiteral("MF-%1").arg(r));
        grid.setTextMatrix(r, GridCol::Desc, QStringLiteral("GARDEN HOSE 5/8\" X %1'").arg(r % 100));
        grid.setTextMatrix(r, GridCol::Loc, QStringLiteral("A%1").arg(r % 40));
        grid.setTextMatrix(r, GridCol::Retail, QStringLiteral("%1.99").arg(r % 90));
        grid.setTextMatrix(r, GridCol::Om, QStringLiteral("EA"));
        grid.setTextMatrix(r, GridCol::Pk, QStringLiteral("1"));
        grid.setTextMatrix(r, GridCol::Upc, QStringLiteral("0360002914%1").arg(r % 100, 2, 10, QLatin1Char('0')));
    }
}

void BM_SierraJob3000LabelsToFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString out = dir.filePath("sierra.out");
    MemorySettings store;
    store.SaveSetting(kRegApp, kRegSec, QStringLiteral("COM1"), out);
    QtSerialPort port(store);
    LabelGrid grid;
    fillGrid(grid);
    ProgramOptions options;
    options.SierraPrint = 0;
    options.SierraFormat = QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo.fab");
    options.SierraFont = QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo.pcl");
    NullPrinter printer;
    SilentDialogs dialogs;
    NoEvents pump;
    Window window;
    NoPointer pointer;
    Hourglass hourglass(pointer);
    // The adapter appends every later job of a run to the file, so one job's bytes are the growth.
    qint64 bytes = 0, before = 0;
    bool failed = false;
    for (auto _ : state) {
        PrintJob job(grid, options, printer, port, dialogs, pump, window, hourglass);  // fonts once per job here
        failed = job.PrintLabels().failed() || failed;
        state.PauseTiming();
        const qint64 after = QFileInfo(out).size();
        bytes = after - before;
        before = after;
        state.ResumeTiming();
    }
    if (failed || dialogs.shown != 0) state.SkipWithError("the job reported a problem");
    state.counters["labels/s"] = benchmark::Counter(kLabels, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_SierraJob3000LabelsToFile)->Unit(benchmark::kMillisecond);

void BM_MergeSierraLine(benchmark::State& state) {
    LabelGrid grid;
    fillGrid(grid);
    const QByteArray line = "^FO24,16^A@N,40,36,E:TAGWELL.FNT^FD\"=10\"^FS";
    int row = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MergeSierraLine(line, grid, row));
        row = row % kLabels + 1;
    }
}
BENCHMARK(BM_MergeSierraLine);

}  // namespace

BENCHMARK_MAIN();
