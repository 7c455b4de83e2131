#pragma once
// Grid rows, files in a temporary folder and a print job on fakes, for the output tests that
// need more than a golden case: real fonts, real PDF files, a real serial line.
#include "grid/LabelGrid.h"
#include "output/LabelOutput.h"
#include "shell/common/Outcome.h"
#include "output/PrintJob.h"
#include "output/RecordingPrinter.h"
#include "shell/common/Common.h"
#include "shell/common/ProgramOptions.h"
#include "support/FakeUi.h"
#include "support/RecordingWindow.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Grid row `row` gets the cells sku, mfn, description, loc, retail, om, pk, upc; missing ones are empty.
inline void setRow(LabelGrid& grid, int row, const QStringList& cells) {
    if (grid.Rows() <= row) grid.setRows(row + 1);
    for (int c = 0; c < 8; ++c) grid.setTextMatrix(row, c + 1, cells.value(c));
}

// Files written byte for byte into a temporary folder.
class FormatFiles {
public:
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) << name.toStdString();
        return path(name);
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

// A print job on fakes; rows 1..rows hold the sku "S<row>", which every format file prints at the
// label's origin.
struct Bench {
    FormatFiles files;
    LabelGrid grid;
    ProgramOptions options;
    RecordingPrinter printer;
    ScriptedDialogs dialogs;
    FakeEventPump pump;
    RecordingWindow window;
    FakeScreenPointer pointer;
    Hourglass hourglass{pointer};
    Outcome outcome;  // what the drivers called through `out` report
    const LabelOutput out{printer, outcome, grid, options};

    // Shows what the drivers reported so far, as the window would.
    void showReported() { ShowOutcomeSoFar(outcome, dialogs); }

    explicit Bench(int target = 4, int rows = 0) {
        grid.setRows(33);
        for (int r = 1; r <= rows; ++r) setRow(grid, r, {QStringLiteral("S%1").arg(r)});
        options.SierraPrint = static_cast<std::int16_t>(target);
        options.SierraFormat1 = options.SierraFormat3 = options.SierraFormat4 = files.write("label.fa", "SKU,10,0,0,0,,0\r\n");
    }
};
