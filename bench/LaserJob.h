#pragma once
// A laser job of the demo 3-up layout (description, price, sku, location, rule, UPC symbol) over a
// grid of store-like rows, written to a PDF file by the Qt printer. Shared by the laser benchmarks
// and the side-by-side with gLabels, so that both time the very same rows.
#include "BenchSupport.h"
#include "grid/LabelGrid.h"
#include "output/LabelOutput.h"
#include "output/LaserPrinter.h"
#include "platform/qt/QtPrinter.h"
#include "shell/common/Common.h"
#include "shell/common/Outcome.h"
#include "shell/common/ProgramOptions.h"

#include <QTemporaryDir>

#include <algorithm>
#include <vector>

inline void FillLaserGrid(LabelGrid& grid, int rows) {
    static const char* const items[] = {"CLAW HAMMER 16OZ FIBERGLASS", "WOOD SCREWS #8 X 1-1/4 100PK",
                                        "LATEX PAINT EGGSHELL WHITE 1GAL", "DUCT TAPE SILVER 60YD",
                                        "LED BULB A19 60W EQUIV 4PK", "GARDEN HOSE 5/8 X 50FT"};
    grid.setRows(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        grid.setTextMatrix(r, GridCol::Sku, QString::number(100000 + r));
        // Every item its own description, as in a store; prices and locations repeat.
        grid.setTextMatrix(r, GridCol::Desc, QStringLiteral("%1 %2").arg(QLatin1String(items[r % 6])).arg(r));
        grid.setTextMatrix(r, GridCol::Loc, QStringLiteral("A%1-%2").arg(r % 12 + 1).arg(r % 5 + 1));
        grid.setTextMatrix(r, GridCol::Retail, QStringLiteral("%1.%2").arg(r % 90 + 1).arg(r % 100, 2, 10, QChar(u'0')));
        grid.setTextMatrix(r, GridCol::Upc, QStringLiteral("0%1").arg(7252700000LL + r, 10, 10, QChar(u'0')) + u'0');
    }
}

struct LaserJob {
    QTemporaryDir dir;
    LabelGrid grid;
    ProgramOptions options;
    SilentDialogs dialogs;
    NoPointer pointer;
    Hourglass hourglass{pointer};
    QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    int rows;

    explicit LaserJob(int labels) : rows(labels) {
        FillLaserGrid(grid, rows);
        options.SierraFormat3 = QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo.fa3");
    }
    int run() {
        QtPrinter printer(dialogs);
        printer.setOutputFile(pdf);
        Outcome outcome;
        return PrintLaserJob(LabelOutput{printer, outcome, grid, options}, 3, rows, {}, hourglass);
    }
};

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
