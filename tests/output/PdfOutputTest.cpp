// Real output: the demo format files drawn by the Qt printer into PDF files, pages rendered at
// 300 dpi by pdftoppm, and every UPC symbol read back by zbarimg.
#include "OutputTestSupport.h"
#include "output/DymoPrinter.h"
#include "output/LabelFormat.h"
#include "output/LaserPrinter.h"
#include "platform/qt/QtPrinter.h"
#include "platform/TagwellError.h"

#include <QDir>

#include <QProcess>
#include <QStandardPaths>

namespace {

// The codes zbarimg reads on page 1 of the PDF, sorted (an EAN-13 reading with a leading 0 is UPC-A).
QStringList scan(const QString& pdf) {
    QProcess::execute("pdftoppm", {"-r", "300", "-f", "1", "-l", "1", "-png", "-singlefile", pdf, pdf});
    QProcess zbar;
    zbar.start("zbarimg", {"-q", "--raw", pdf + ".png"});
    zbar.waitForFinished(60000);
    QStringList codes;
    for (QString line : QString::fromLatin1(zbar.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
        line = line.trimmed();
        codes << (line.size() == 13 && line.startsWith(u'0') ? line.mid(1) : line);
    }
    codes.sort();
    return codes;
}

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
    int laserJob(Printer& printer, int layout, int rows) {
        const int printed = PrintLaserJob(LabelOutput{printer, outcome, grid, options}, layout, rows, {}, hourglass);
        showReported();
        return printed;
    }
    QStringList corrected;
};

}  // namespace

TEST_F(PdfOutput, EverySymbolScansAsTheCorrectedCode) {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty() || QStandardPaths::findExecutable("zbarimg").isEmpty())
        GTEST_SKIP() << "pdftoppm or zbarimg is not installed (poppler-utils, zbar-tools)";
    for (int layout : {3, 4}) {
        SCOPED_TRACE(layout);
        const int perSheet = LaserSheetFor(layout).perSheet;
        // The sheets stay in the build folder for a look at them.
        const QString pdf = QStringLiteral(TAGWELL_BINARY_DIR "/demo-%1up.pdf").arg(layout);
        QFile::remove(pdf);
        QStringList trace;
        {
            QtPrinter printer(dialogs);
            printer.setOutputFile(pdf);
            TracingPrinter traced(printer, [&](const QString& l) { trace << l; });
            ASSERT_EQ(laserJob(traced, layout, perSheet), perSheet);
        }
        QStringList expected = corrected.first(perSheet);
        expected.sort();
        EXPECT_EQ(scan(pdf), expected);
        if (layout != 3) continue;
        // The first 3-up label: description, rule, price right-aligned at 110 + 3750 by its measured
        // width, then the symbol.
        ASSERT_GT(trace.size(), 3);
        const QStringList price = trace[2].split(u'\t');
        ASSERT_EQ(price.value(0), "TEXT");
        EXPECT_EQ(price.value(5), "B--");
        EXPECT_NEAR(price[1].toInt() + price[3].toInt(), 3860, 1);
        EXPECT_TRUE(trace[3].startsWith("BARCODE\t210\t370\t1750\t560\t")) << trace[3].toStdString();
    }
    // Dymo labels: a document, so a file, each.
    QtPrinter printer(dialogs);
    printer.setOutputFile(files.path("dymo.pdf"));
    {
        PrinterJobScope job(printer);
        for (int row = 1; row <= 3; ++row) PrintDymoLabel(LabelOutput{printer, outcome, grid, options}, row);
        showReported();
    }
    EXPECT_EQ(scan(files.path("dymo.pdf")), QStringList{corrected[0]});
    EXPECT_EQ(scan(files.path("dymo-2.pdf")), QStringList{corrected[1]});
    EXPECT_EQ(scan(files.path("dymo-3.pdf")), QStringList{corrected[2]});
    EXPECT_TRUE(dialogs.saveRequests.empty());
    EXPECT_EQ(alerts(dialogs), (QStringList{" 30 items printed.", " 32 items printed."}));
}

TEST_F(PdfOutput, DeclinedOrUnwritableFilePrintsNothingAndTheJobGoesOn) {
    {
        // The file printer without a file: asked once for the whole Dymo job; declined, nothing more.
        QtPrinter printer(dialogs);
        printer.setPrinter(static_cast<int>(printer.Printers().indexOf(QtPrinter::fileDeviceName())));
        PrinterJobScope job(printer);
        for (int row = 1; row <= 3; ++row) PrintDymoLabel(LabelOutput{printer, outcome, grid, options}, row);
        showReported();
    }
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_TRUE(dialogs.saveRequests[0].filter.contains("*.pdf"));
    EXPECT_TRUE(dialogs.messages.empty());
    QtPrinter printer(dialogs);
    printer.setOutputFile(files.path("no/such/folder/labels.pdf"));
    // A file that cannot be written: one message that nothing was printed, and no count.
    EXPECT_EQ(laserJob(printer, 3, 4), 0);
    const QStringList p = alerts(dialogs);
    ASSERT_EQ(p.size(), 1);
    EXPECT_TRUE(p[0].startsWith("The labels were not printed.\r\n")) << p[0].toStdString();
    EXPECT_TRUE(p[0].contains("could not be written")) << p[0].toStdString();
}

// A PDF is written beside its file and put in place only once complete: up to the end of the
// document (when a killed job would stop) the previous file is there byte for byte, and a
// document that could not be completed is an error, not a count of printed labels.
namespace {
QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
}  // namespace

TEST(PdfFile, ThePreviousFileStaysUntilTheDocumentIsComplete) {
    QTemporaryDir dir;
    const QString target = dir.filePath("labels.pdf");
    const QByteArray old = "%PDF-1.4 yesterday's labels\n%%EOF\n";
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    ScriptedDialogs dialogs;
    {
        QtPrinter printer(dialogs);
        printer.setOutputFile(target);
        for (int i = 0; i < 40; ++i) {
            printer.Print(QStringLiteral("LABEL %1").arg(i));
            if (i % 10 == 9) printer.NewPage();
        }
        EXPECT_EQ(ReadFile(target), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "the document is staged beside";
        printer.EndDoc();
    }
    EXPECT_TRUE(ReadFile(target).startsWith("%PDF-"));
    EXPECT_NE(ReadFile(target), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"labels.pdf"});
    EXPECT_TRUE(dialogs.messages.empty());

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
