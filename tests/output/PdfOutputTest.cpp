// Real output: the demo format files drawn by the Qt printer into PDF files, pages rendered at
// 300 dpi by pdftoppm, and every UPC symbol read back by zbarimg.
#include "OutputTestSupport.h"
#include "support/ScriptedDialogs.h"
#include "output/DymoPrinter.h"
#include "output/LabelFormat.h"
#include "output/LabelOutput.h"
#include "output/LaserPrinter.h"
#include "platform/QtPrinter.h"
#include "platform/ScreenPointer.h"
#include "platform/TracingPrinter.h"
#include "shell/Common.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class PointerStub : public ScreenPointer {
public:
    int pointer = 0;
    int MousePointer() const override { return pointer; }
    void setMousePointer(int p) override { pointer = p; }
};

const QString kDemo = QStringLiteral(TAGWELL_SOURCE_DIR "/demo/");

// Rows that look like a store's: the UPC cells carry a wrong check digit on purpose (9 unless
// 9 is right), so only a corrected symbol decodes to the expected code.
QStringList fillDemoRows(LabelGrid& grid, int count) {
    static const char* const items[] = {"CLAW HAMMER 16OZ FIBERGLASS", "WOOD SCREWS #8 X 1-1/4 100PK",
                                        "LATEX PAINT EGGSHELL WHITE 1GAL", "DUCT TAPE SILVER 60YD",
                                        "LED BULB A19 60W EQUIV 4PK", "GARDEN HOSE 5/8 X 50FT"};
    QStringList corrected;
    for (int r = 1; r <= count; ++r) {
        QString upc = QStringLiteral("0%1").arg(7252700000LL + r * 7919LL, 10, 10, QChar(u'0'));  // 11 digits
        QString good = upc;
        FixUpcCheckDigit(good);
        upc += good.endsWith(u'9') ? u'8' : u'9';
        corrected << good;
        setLabelRow(grid, r,
                    {QStringLiteral("%1").arg(100200 + r * 13), QStringLiteral("MF%1").arg(r),
                     QString::fromLatin1(items[r % 6]), QStringLiteral("A%1-%2").arg(r % 12 + 1).arg(r % 5 + 1),
                     QStringLiteral("%1.%2").arg(r * 3 % 90 + 1).arg(r * 7 % 100, 2, 10, QChar(u'0')),
                     QStringLiteral("EA"), QStringLiteral("1"), upc});
    }
    return corrected;
}

bool haveTools(QString* why) {
    for (const char* tool : {"pdftoppm", "zbarimg"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            *why = QStringLiteral("%1 is not installed (poppler-utils / zbar-tools)").arg(QString::fromLatin1(tool));
            return false;
        }
    }
    return true;
}

// Page `page` of the PDF as a 300 dpi PNG; returns its path or "" when pdftoppm failed.
QString renderPage(const QString& pdf, int page, const QString& outBase) {
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-f"),
                                         QString::number(page), QStringLiteral("-l"), QString::number(page),
                                         QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, outBase});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return outBase + QStringLiteral(".png");
}

// The 12-digit UPC-A codes zbarimg reads in the image (EAN-13 readings with a leading 0 are UPC-A).
QStringList decode(const QString& png) {
    QProcess p;
    p.start(QStringLiteral("zbarimg"), {QStringLiteral("-q"), QStringLiteral("--raw"), png});
    p.waitForFinished(60000);
    QStringList codes;
    for (QString line : QString::fromLatin1(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
        line = line.trimmed();
        if (line.size() == 13 && line.startsWith(u'0')) line = line.mid(1);
        codes << line;
    }
    codes.sort();
    return codes;
}

class PdfOutput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        options.SierraFormat3 = kDemo + QStringLiteral("demo.fa3");
        options.SierraFormat4 = kDemo + QStringLiteral("demo.fa4");
        options.SierraFormat1 = kDemo + QStringLiteral("demo.fa1");
    }
    int laserJob(Printer& printer, int layout, int rows) {
        PointerStub pointer;
        Hourglass hourglass(pointer);
        return PrintLaserJob(LabelOutput{printer, dialogs, grid, options}, layout, rows, {}, hourglass);
    }

    QTemporaryDir dir;
    ProgramOptions options;
    LabelGrid grid;
    ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(PdfOutput, EverySymbolOfFullSheetsScansAsTheCorrectedCode) {
    QString why;
    if (!haveTools(&why)) GTEST_SKIP() << why.toStdString();
    for (int layout : {3, 4}) {
        const int perSheet = LaserSheetFor(layout).perSheet;
        QStringList expected = fillDemoRows(grid, perSheet);
        expected.sort();
        // The sheets are kept in the build folder for a look at them.
        const QString pdf = QStringLiteral(TAGWELL_BINARY_DIR "/demo-%1up.pdf").arg(layout);
        QFile::remove(pdf);
        {
            QtPrinter printer(dialogs);
            printer.setOutputFile(pdf);
            ASSERT_EQ(laserJob(printer, layout, perSheet), perSheet);
        }
        ASSERT_TRUE(QFile::exists(pdf));
        const QString png = renderPage(pdf, 1, dir.filePath(QStringLiteral("page%1").arg(layout)));
        ASSERT_FALSE(png.isEmpty()) << "pdftoppm failed on " << pdf.toStdString();
        EXPECT_EQ(decode(png), expected) << "layout " << layout;
        EXPECT_TRUE(dialogs.saveRequests.empty());
    }
}

TEST_F(PdfOutput, WithoutAFileTheUserIsAskedOncePerJobAndEachDymoLabelIsADocument) {
    QString why;
    if (!haveTools(&why)) GTEST_SKIP() << why.toStdString();
    const QStringList codes = fillDemoRows(grid, 3);
    QtPrinter printer(dialogs);
    printer.setPrinter(static_cast<int>(printer.Printers().indexOf(QtPrinter::fileDeviceName())));
    ASSERT_EQ(printer.DeviceName(), QtPrinter::fileDeviceName());
    const QString chosen = dir.filePath(QStringLiteral("dymo.pdf"));
    dialogs.fileAnswers.push_back(chosen);
    {
        PrinterJobScope job(printer);
        for (int row = 1; row <= 3; ++row) PrintDymoLabel(LabelOutput{printer, dialogs, grid, options}, row);
    }
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_TRUE(dialogs.saveRequests[0].filter.contains(QStringLiteral("*.pdf")));
    const QString files[] = {chosen, dir.filePath(QStringLiteral("dymo-2.pdf")), dir.filePath(QStringLiteral("dymo-3.pdf"))};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(QFile::exists(files[i])) << files[i].toStdString();
        const QString png = renderPage(files[i], 1, dir.filePath(QStringLiteral("dymo%1").arg(i)));
        EXPECT_EQ(decode(png), QStringList{codes[i]});
    }
    EXPECT_EQ(printer.Orientation(), PrinterOrientation::Portrait);
    EXPECT_TRUE(dialogs.messages.empty());
    QFile::remove(QStringLiteral(TAGWELL_BINARY_DIR "/demo-dymo.pdf"));
    QFile::copy(files[0], QStringLiteral(TAGWELL_BINARY_DIR "/demo-dymo.pdf"));
}

TEST_F(PdfOutput, DeclinedOrUnwritableFilePrintsNothingAndTheJobGoesOn) {
    fillDemoRows(grid, 4);
    {
        // Declined: asked once for the job, nothing written, the count still reported.
        QtPrinter printer(dialogs);
        printer.setPrinter(static_cast<int>(printer.Printers().indexOf(QtPrinter::fileDeviceName())));
        EXPECT_EQ(laserJob(printer, 3, 4), 4);
        EXPECT_EQ(dialogs.saveRequests.size(), 1u);
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }
    dialogs.messages.clear();
    {
        QtPrinter printer(dialogs);
        printer.setOutputFile(dir.filePath(QStringLiteral("no/such/folder/labels.pdf")));
        EXPECT_EQ(laserJob(printer, 3, 4), 4);
        ASSERT_EQ(dialogs.messages.size(), 2u);
        EXPECT_TRUE(dialogs.messages[0].prompt.contains(QStringLiteral("could not be written")));
        EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Alert:"));
        EXPECT_EQ(dialogs.messages[1].prompt, QStringLiteral(" 4 items printed."));
    }
}

TEST_F(PdfOutput, TraceOfARealJobMatchesWhatWasMeasured) {
    fillDemoRows(grid, 2);
    QtPrinter printer(dialogs);
    printer.setOutputFile(dir.filePath(QStringLiteral("traced.pdf")));
    QStringList trace;
    TracingPrinter traced(printer, [&](const QString& l) { trace << l; });
    laserJob(traced, 3, 2);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("traced.pdf"))));
    // Per label: description, rule, price, symbol, sku, location.
    ASSERT_EQ(trace.size(), 13);
    EXPECT_EQ(trace.last(), QStringLiteral("ENDDOC"));
    const QStringList price = trace[2].split(u'\t');
    ASSERT_EQ(price[0], QStringLiteral("TEXT"));
    // Right-aligned at 110 + 3750: its measured width ends there.
    EXPECT_NEAR(price[1].toInt() + price[3].toInt(), 3860, 1);
    EXPECT_EQ(price[5], QStringLiteral("B--"));
    EXPECT_TRUE(trace[3].startsWith(QStringLiteral("BARCODE\t210\t370\t1750\t560\t")));
}
