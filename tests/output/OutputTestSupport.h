#pragma once
// Shared pieces of the label output tests: grid rows, files in a temporary folder, the recorded
// trace in short form, the "Alert:" messages shown, and a bench of fakes for drivers and jobs.
#include "grid/LabelGrid.h"
#include "output/LabelOutput.h"
#include "output/PrintJob.h"
#include "output/RecordingPrinter.h"
#include "shell/common/Common.h"
#include "shell/common/ProgramOptions.h"
#include "support/FakeSerialPort.h"
#include "support/FakeUi.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// Grid row `row` gets the cells sku, mfn, description, loc, retail, om, pk, upc; missing ones are empty.
inline void setRow(LabelGrid& grid, int row, const QStringList& cells) {
    if (grid.Rows() <= row) grid.setRows(row + 1);
    for (int c = 0; c < 8; ++c) grid.setTextMatrix(row, c + 1, cells.value(c));
}

// Rows 1..count with the sku "S<row>".
inline void fillRows(LabelGrid& grid, int count) {
    for (int r = 1; r <= count; ++r) setRow(grid, r, {QStringLiteral("S%1").arg(r)});
}

// The trace in short: a TEXT line as "<text>@<x>,<y>", any other line with its fields joined by spaces.
inline QStringList placed(const QStringList& trace) {
    QStringList out;
    for (const QString& line : trace) {
        const QStringList f = line.split(u'\t');
        out << (f[0] == u"TEXT" ? f.last() + u'@' + f[1] + u',' + f[2] : f.join(u' '));
    }
    return out;
}

// The prompts shown, each checked to be an "Alert:" message of the given style.
inline QStringList alerts(const ScriptedDialogs& dialogs, int style = MsgStyle::Information) {
    QStringList prompts;
    for (const auto& m : dialogs.messages) {
        EXPECT_EQ(m.title, QStringLiteral("Alert:"));
        EXPECT_EQ(m.style, style);
        prompts << m.prompt;
    }
    return prompts;
}

// Files written byte for byte into a temporary folder.
class FormatFiles {
public:
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
        f.write(bytes);
        return path(name);
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

class FakeWindow : public PrintJobWindow {
public:
    QString button, caption = QStringLiteral("Tagwell");
    QStringList buttonHistory, captionHistory;
    QString Caption() const override { return caption; }
    void setCaption(const QString& c) override { captionHistory << (caption = c); }
    QString PrintButtonCaption() const override { return button; }
    void setPrintButtonCaption(const QString& c) override { buttonHistory << (button = c); }
};

// Drivers and a print job on fakes. Every format file prints the sku: at the label's origin on the
// laser and Dymo printers, as L"<sku>" after the font "F" to the Sierra Sport.
struct Bench {
    FormatFiles files;
    LabelGrid grid;
    ProgramOptions options;
    RecordingPrinter printer{{"Office Laser", "DYMO LabelWriter 450"}, 0};
    FakeSerialPort port;
    ScriptedDialogs dialogs;
    FakeEventPump pump;
    FakeWindow window;
    FakeScreenPointer pointer;
    Hourglass hourglass{pointer};
    PrintJob job{grid, options, printer, port, dialogs, pump, window, hourglass};
    Outcome outcome;  // what the drivers called through `out` report
    const LabelOutput out{printer, outcome, grid, options};

    // Shows what a job returned, or the drivers reported so far, as the window would.
    void show(const Outcome& returned) { ShowOutcome(returned, dialogs); }
    void showReported() { ShowOutcomeSoFar(outcome, dialogs); }

    // SierraPrint = target; rows 1..rows filled by fillRows.
    explicit Bench(int target = 4, int rows = 0) {
        grid.setRows(33);
        fillRows(grid, rows);
        options.SierraPrint = static_cast<std::int16_t>(target);
        options.SierraFormat = files.write("label.fab", "L\"=1\"\r\n");
        options.SierraFont = files.write("font.pcl", "F");
        options.SierraFormat1 = options.SierraFormat3 = options.SierraFormat4 = files.write("label.fa", "SKU,10,0,0,0,,0\r\n");
        window.button = target == 0 ? "Print Sierra" : target == 1 ? "Print Dymo" : "Print Laser";
    }
    // The laser and Dymo labels drawn, as "<sku>@<x>,<y>".
    QStringList texts() const { return placed(printer.lines()).filter("@"); }
};
