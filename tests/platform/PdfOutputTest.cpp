// Real output: the demo format files drawn by the Qt printer into PDF files, pages rendered at
// 300 dpi by pdftoppm, and every UPC symbol read back by zbarimg.
#include "output/OutputTestSupport.h"
#include "output/DymoPrinter.h"
#include "output/LabelFormat.h"
#include "output/LaserPrinter.h"
#include "platform/qt/QtPrinter.h"
#include "platform/TagwellError.h"
#include "support/PdfPages.h"

#include <QDir>

namespace {

class PdfOutput : public ::testing::Test, protected Bench {
protected:
    PdfOutput() {
        const QString demo = QStringLiteral(TAGWELL_SOURCE_DIR "/demo/");
        options.SierraFormat1 = demo + "demo.fa1";
        options.SierraFormat3 = demo + "demo.fa3";
        options.SierraFormat4 = demo + "demo.fa4";
        // Store-like rows whose UPC cells carry a wrong check digit, so only a corrected symbol
        // decodes to the code kept in `corrected`.
        for (int r = 1; r <= 32; ++r) {
            const QString upc = QStringLiteral("0%1").arg(7252700000LL + r * 7919LL, 10, 10, QChar(u'0'));
            QString good = upc;
            FixUpcCheckDigit(good);
            corrected << good;
            setRow(grid, r, {QString::number(100200 + r * 13), "MF", r % 2 ? "CLAW HAMMER 16OZ FIBERGLASS" : "DUCT TAPE",
                             QStringLiteral("A%1").arg(r), QStringLiteral("%1.99").arg(r), "EA", "1",
                             upc + (good.endsWith(u'9') ? u'8' : u'9')});
        }
    }
    QStringList corrected;
};

}  // namespace

TEST_F(PdfOutput, EverySymbolScansAsTheCorrectedCode) {
    for (int layout : {3, 4}) {
        SCOPED_TRACE(layout);
        const int perSheet = LaserSheetFor(layout).perSheet;
        // The sheets stay in the build folder for a look at them.
        const QString pdf = QStringLiteral(TAGWELL_BINARY_DIR "/demo-%1up.pdf").arg(layout);
        QFile::remove(pdf);
        {
            QtPrinter printer(dialogs);
            printer.setOutputFile(pdf);
            ASSERT_EQ(PrintLaserJob(LabelOutput{printer, outcome, grid, options}, layout, perSheet, {}, hourglass), perSheet);
        }
        showReported();
        QStringList expected = corrected.first(perSheet);
        expected.sort();
        EXPECT_EQ(ScanSymbols(pdf), expected);
    }
    // Dymo labels: a document, so a file, each.
    QtPrinter printer(dialogs);
    printer.setOutputFile(files.path("dymo.pdf"));
    {
        PrinterJobScope job(printer);
        for (int row = 1; row <= 3; ++row) PrintDymoLabel(LabelOutput{printer, outcome, grid, options}, row);
        showReported();
    }
    for (int i = 0; i < 3; ++i)  // a file each, the second and later numbered from 2
        EXPECT_EQ(ScanSymbols(files.path(i ? QStringLiteral("dymo-%1.pdf").arg(i + 1) : QStringLiteral("dymo.pdf"))), QStringList{corrected[i]});
    EXPECT_EQ(dialogs.transcript, (QStringList{"MsgBox \"Alert:\" style 64 -> 1:  30 items printed.",
                                               "MsgBox \"Alert:\" style 64 -> 1:  32 items printed."}));
}

// A PDF is written beside its file and put in place only once complete: up to the end of the
// document (when a killed job would stop) the previous file is there byte for byte, and a
// document that could not be completed is an error, not a count of printed labels.
TEST(PdfFile, ThePreviousFileStaysUntilTheDocumentIsComplete) {
    const auto ReadFile = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    QTemporaryDir dir;
    const QString target = dir.filePath("labels.pdf");
    const QByteArray old = "%PDF-1.4 yesterday's labels\n%%EOF\n";
    QFile previous(target);
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly) && previous.write(old) == old.size());
    previous.close();
    ScriptedDialogs dialogs;
    {
        QtPrinter printer(dialogs);
        printer.setOutputFile(target);
        for (int i = 0; i < 40; ++i) {
            printer.Print(QStringLiteral("LABEL %1").arg(i));
            if (i % 10 == 9) printer.NewPage();
        }
        EXPECT_EQ(ReadFile(target), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "the document is staged without a name";
        printer.EndDoc();
    }
    EXPECT_TRUE(ReadFile(target).startsWith("%PDF-"));
    EXPECT_NE(ReadFile(target), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"labels.pdf"});
    EXPECT_EQ(dialogs.transcript, QStringList());

    // The folder gone before the end: the document cannot be put in place, and says so.
    const QString gone = dir.filePath("gone/labels.pdf");
    QDir().mkpath(dir.filePath("gone"));
    QtPrinter printer(dialogs);
    printer.setOutputFile(gone);
    printer.Print(QStringLiteral("LABEL"));
    QDir(dir.filePath("gone")).removeRecursively();
    printer.EndDoc();
    EXPECT_TRUE(printer.JobOutcome().failure.startsWith("The labels could not be written to " + gone))
        << printer.JobOutcome().failure.toStdString();
}
