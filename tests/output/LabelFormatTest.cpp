// The label format language, checked through the trace of a recording printer, whose measure is
// FontSize x 10 twips a character, x 12 when bold.
#include "OutputTestSupport.h"
#include "output/LabelFormat.h"
#include "output/LaserPrinter.h"
#include "output/RecordingPrinter.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>

#include <cstdio>

// One row per case: the format lines (joined with CR LF), the exact trace ('|' for its tabs), the
// row's UPC cell and the label's origin. The other cells: sku 100234, mfn blank, WIDGET, A12, 12.99,
// EA, 6.
struct FormatCase { const char* what; QStringList lines, trace; const char* upc = "036000291453"; int x = 0, y = 0; };

TEST(LabelFormat, DrawsExactly) {
    const FormatCase cases[] = {
        {"worked example: 3-up label at an origin, its wrong check digit corrected",
         {"' Shelf label 3-up", "DESC,10,150,60,3600,B,0", "RTL,24,3700,400,0,BR,255", "UPC,450,150,450,1900,,0",
          "LINE,2,0,380,3800,380,0", "SALE,14,2500,60,0,BI,255"},
         {"TEXT|1150|2060|720|10|B--|0,0,0|WIDGET", "TEXT|3260|2400|1440|24|B--|255,0,0|12.99",
          "BARCODE|1150|2450|1900|450|036000291452", "LINE|1000|2380|4800|2380|2|0,0,0", "TEXT|3500|2060|672|14|BI-|255,0,0|SALE"},
         "036000291453", 1000, 2000},
        {"a comment changes nothing but the reset", {"SKU,10,100,200,0,B,255", "'RTL,30,999,999,999,I,999", "DESC,12,300,400"},
         {"TEXT|100|200|720|10|B--|255,0,0|100234", "TEXT|300|400|864|12|B--|0,0,0|WIDGET"}},
        {"lower-case keyword with spaces around", {"  sku ,10,0,0,0,,0  "}, {"TEXT|0|0|600|10|---|0,0,0|100234"}},
        {"unknown keyword is fixed upper-case text", {"sale now,14,50,60,0,,255"}, {"TEXT|50|60|1120|14|---|255,0,0|SALE NOW"}},
        {"empty field 0 draws nothing", {",10,100,100,0,,0"}, {}},
        {"blank cell draws nothing", {"MFN,30,0,0,201,,0", "SKU,12,0,0,0,,0"}, {"TEXT|0|0|720|12|---|0,0,0|100234"}},
        {"width 200 turns fitting off", {"DESC,10,0,0,200,,0"}, {"TEXT|0|0|600|10|---|0,0,0|WIDGET"}},
        {"width 201 fits, stopping at 6 points", {"DESC,10,0,0,201,,0"}, {"TEXT|0|0|360|6|---|0,0,0|WIDGET"}},
        {"fitting stops once the text fits", {"DESC,10,0,0,480,,0"}, {"TEXT|0|0|480|8|---|0,0,0|WIDGET"}},
        {"fitting measures before bold", {"DESC,10,0,0,540,B,0"}, {"TEXT|0|0|648|9|B--|0,0,0|WIDGET"}},
        {"too wide at 6 points loses one point, once", {"DESC,6,0,0,201,,0"}, {"TEXT|0|0|300|5|---|0,0,0|WIDGET"}},
        {"B and R at 3700 end the bold text there", {"RTL,24,3700,400,0,BR,0"}, {"TEXT|2260|400|1440|24|B--|0,0,0|12.99"}},
        {"style letters anywhere, others ignored", {"SKU,10,0,0,0,xuix,0"}, {"TEXT|0|0|600|10|-IU|0,0,0|100234"}},
        {"colour 255255255 is white", {"SKU,10,0,0,0,,255255255"}, {"TEXT|0|0|600|10|---|255,255,255|100234"}},
        {"colour 999 counts as red 255", {"SKU,10,0,0,0,,999"}, {"TEXT|0|0|600|10|---|255,0,0|100234"}},
        {"colour in green-blue-red order", {"SKU,10,0,0,0,,7008009"}, {"TEXT|0|0|600|10|---|9,7,8|100234"}},
        {"colour absent is black", {"SKU,10,0,0,0,"}, {"TEXT|0|0|600|10|---|0,0,0|100234"}},
        {"four fields carry width and style and take black", {"DESC,10,150,60,3600,BI,255", "SKU,12,500,700"},
         {"TEXT|150|60|720|10|BI-|255,0,0|WIDGET", "TEXT|500|700|864|12|BI-|0,0,0|100234"}},
        {"an empty line draws the text again in black", {"RTL,24,3700,400,0,BR,255", "", "'end"},
         {"TEXT|2260|400|1440|24|B--|255,0,0|12.99", "TEXT|2260|400|1440|24|B--|0,0,0|12.99"}},
        {"a field beyond 16 bits keeps the previous value, black", {"SKU,10,100,200,0,,255", "DESC,12,40000,300,0,,255"},
         {"TEXT|100|200|600|10|---|255,0,0|100234", "TEXT|100|300|720|12|---|0,0,0|WIDGET"}},
        {"12-character UPC with a wrong check digit", {"UPC,450,0,0,1900,,0"}, {"BARCODE|0|0|1900|450|036000291452"}},
        {"UPC trimmed to 12", {"UPC,450,0,0,1900,,0"}, {"BARCODE|0|0|1900|450|036000291452"}, "  036000291452 "},
        {"11-character UPC draws no symbol", {"UPC,450,0,0,1900,,0"}, {}, "03600029145"},
        {"13-character UPC draws no symbol", {"UPC,450,0,0,1900,,0"}, {}, "0360002914530"},
        {"check digit: 3 x odd + even places, to the next ten", {"UPC,450,0,0,1900,,0"}, {"BARCODE|0|0|1900|450|725272730706"}, "725272730700"},
        {"check digit 0 when the sum is a multiple of ten", {"UPC,450,0,0,1900,,0"}, {"BARCODE|0|0|1900|450|000000000000"}, "000000000001"},
        {"a letter counts as 0 and is kept", {"UPC,450,0,0,1900,,0"}, {"BARCODE|0|0|1900|450|A36000291452"}, "A3600029145X"},
        {"LINE", {"LINE,3,10,20,3000,20,255000"}, {"LINE|10|20|3000|20|3|0,0,255"}},
        {"BOX draws what LINE draws", {"box,3,10,20,3000,20,255000"}, {"LINE|10|20|3000|20|3|0,0,255"}},
        {"text below one point is skipped", {"SKU,0,0,0,0,,0", "OM,10,0,0,0,,0"}, {"TEXT|0|0|200|10|---|0,0,0|EA"}},
        {"fitting down to 0 points skips the text", {"ABCDEFGHIJKLMNOPQRSTUVWXYZ,1,0,0,201,,0", "PK,8,0,0,0,,0"},
         {"TEXT|0|0|80|8|---|0,0,0|6"}},
        {"a pen below one pixel is skipped", {"LINE,0,0,0,100,0,0", "LINE,-2,0,0,100,0,0", "LOC,8,0,0,0,,0"},
         {"TEXT|0|0|240|8|---|0,0,0|A12"}},
        // SKU, UPC and LINE's second point leave 16 bits; RTL's x field does not fit, so it keeps the
        // 0 of the LINE line and lands at 32000; DESC at 32000 - 32000 = 0.
        {"positions leaving 16 bits skip only that element",
         {"SKU,10,1000,0,0,,0", "UPC,450,1000,0,1900,,0", "LINE,2,0,0,1000,0,0", "RTL,10,-40000,0,0,,0", "DESC,10,-32000,0,0,,0"},
         {"TEXT|32000|100|500|10|---|0,0,0|12.99", "TEXT|0|100|600|10|---|0,0,0|WIDGET"}, "036000291453", 32000, 100},
        {"LF and CR alone also end lines", {"SKU,10,0,0,0,,0\nRTL,10,0,500,0,,0\rOM,10,0,900,0,,0"},
         {"TEXT|0|0|600|10|---|0,0,0|100234", "TEXT|0|500|500|10|---|0,0,0|12.99", "TEXT|0|900|200|10|---|0,0,0|EA"}},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.what);
        LabelGrid grid;
        setRow(grid, 1, {"100234", "   ", "WIDGET", "A12", "12.99", "EA", "6", c.upc});
        QByteArray bytes = c.lines.join(QStringLiteral("\r\n")).toLatin1();
        QBuffer file(&bytes);
        file.open(QIODevice::ReadOnly);
        RecordingPrinter printer;
        DrawLabelFormat(file, printer, grid, 1, c.x, c.y);
        EXPECT_EQ(QStringList(printer.lines()).replaceInStrings("\t", "|"), c.trace);
    }
}

// A job keeps the format it read while the file stays as it was, and sees at the next label a file
// edited in place (same size), replaced by another, or deleted.
TEST(LabelFormat, JobSeesEveryChangeOfTheFormatFileBetweenLabels) {
    Bench bench(3, 6);
    const QString format = bench.files.write("shelf.fa3", "SKU,10,100,0,0,,0\r\n");
    bench.options.SierraFormat3 = format;
    // The file was written a minute ago, and the cache's clock runs ten seconds ahead, so every
    // stamp is old enough to be trusted: each change below must show in the stamp itself.
    {
        QFile f(format);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    }
    LabelFormatCache formats({}, [] { return QDateTime::currentSecsSinceEpoch() + 10; });
    auto label = [&](int row) {
        const qsizetype before = bench.printer.lines().size();
        const bool drawn = PrintLaserLabel(bench.out, 3, row, 0, 0, formats);
        return drawn ? placed(bench.printer.lines().mid(before)).filter("@") : QStringList{"not drawn"};
    };
    EXPECT_EQ(label(1), QStringList{"S1@100,0"});
    EXPECT_EQ(label(2), QStringList{"S2@100,0"});
    bench.files.write("shelf.fa3", "SKU,10,200,0,0,,0\r\n");
    EXPECT_EQ(label(3), QStringList{"S3@200,0"});
    const QString other = bench.files.write("other.fa3", "SKU,10,300,0,0,,0\r\n");
    ASSERT_EQ(std::rename(QFile::encodeName(other).constData(), QFile::encodeName(format).constData()), 0);
    EXPECT_EQ(label(4), QStringList{"S4@300,0"});
    QFile::remove(format);
    EXPECT_EQ(label(5), QStringList{"not drawn"});
    bench.files.write("shelf.fa3", "SKU,10,400,0,0,,0\r\n");
    EXPECT_EQ(label(6), QStringList{"S6@400,0"});
    EXPECT_TRUE(bench.dialogs.messages.empty());
}

// File times move in clock ticks, so a file is trusted to be unchanged while its stamp stays only
// once both its times are more than two seconds older than the clock. Here the stamp never moves
// while the bytes change between labels.
TEST(LabelFormat, CacheTrustsAStampOnlyOnceItIsOlderThanTwoSeconds) {
    const struct {
        std::int64_t age;  // seconds from the stamp's times to the clock
        bool seesChange;
    } cases[] = {{0, true}, {2, true}, {3, false}, {60, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stamp " << c.age << " s old");
        Bench bench(3, 2);
        bench.options.SierraFormat3 = bench.files.write("shelf.fa3", "SKU,10,100,0,0,,0\r\n");
        FileStamp stamp;
        stamp.size = 19;
        stamp.modifiedSec = stamp.changedSec = 1'000'000;
        LabelFormatCache formats([&](const QString&) { return stamp; }, [&] { return 1'000'000 + c.age; });
        ASSERT_TRUE(PrintLaserLabel(bench.out, 3, 1, 0, 0, formats));
        bench.files.write("shelf.fa3", "SKU,10,200,0,0,,0\r\n");
        ASSERT_TRUE(PrintLaserLabel(bench.out, 3, 2, 0, 0, formats));
        EXPECT_EQ(bench.texts(), (QStringList{"S1@100,0", c.seesChange ? "S2@200,0" : "S2@100,0"}));
        // Either way a stamp that moves is always seen.
        stamp.modifiedNsec = 1;
        bench.files.write("shelf.fa3", "SKU,10,300,0,0,,0\r\n");
        ASSERT_TRUE(PrintLaserLabel(bench.out, 3, 1, 0, 0, formats));
        EXPECT_EQ(bench.texts().last(), "S1@300,0");
    }
}

// The fitting loop is computed rather than stepped a point at a time; it must stop at exactly the
// size the stepping loop stops at, for any measure that never grows as the size falls.
namespace {
struct MeasuredPrinter : PrinterState {
    std::function<double(double size)> measure;
    double printedAt = -1;
    double TextWidth(const QString&) override { return measure(fontSize_); }
    void Print(const QString&) override { printedAt = fontSize_; }
    void Line(double, double, double, double, PrinterColor, LineFigure) override {}
    void DrawBarcode(const QString&, double, double, double, double) override {}
    void Scale() override {}
    void NewPage() override {}
    void EndDoc() override {}
    QString DeviceName() const override { return {}; }
    QStringList Printers() const override { return {}; }
    void setPrinter(int) override {}
};

// The loop as the format language states it; -1 when the text is not drawn.
double SteppedFit(MeasuredPrinter& p, int size, int width) {
    p.setFontSize(size);
    do {
        if (p.TextWidth({}) > width) {
            const double smaller = p.FontSize() - 1;
            if (smaller < 1) return -1;
            p.setFontSize(smaller);
        }
    } while (p.TextWidth({}) > width && p.FontSize() > 6);
    return p.FontSize();
}
}  // namespace

TEST(LabelFormat, FittingStopsWhereTheSteppedLoopStops) {
    const struct Measure {
        const char* name;
        std::function<double(double)> width;
    } measures[] = {
        {"proportional", [](double s) { return s * 60; }},
        {"in steps of 5 points", [](double s) { return std::floor(s / 5) * 400 + 150; }},
        {"never fits", [](double) { return 1e9; }},
        {"always fits", [](double) { return 10; }},
        {"fits only below 3 points", [](double s) { return s < 3 ? 100 : 1e6; }},
    };
    const int sizes[] = {1, 2, 6, 7, 8, 9, 24, 100, 1000, 32767};
    const int widths[] = {201, 202, 450, 1000, 5000, 32767};
    int drawnSmaller = 0;
    for (const Measure& m : measures) {
        for (int size : sizes) {
            for (int width : widths) {
                SCOPED_TRACE(::testing::Message() << m.name << ", size " << size << ", width " << width);
                MeasuredPrinter stepped, computed;
                stepped.measure = computed.measure = m.width;
                const double expected = SteppedFit(stepped, size, width);
                LabelGrid grid;
                grid.setTextMatrix(1, GridCol::Desc, "TEXT");
                LabelFormat::parse(QStringLiteral("DESC,%1,0,0,%2,,0").arg(size).arg(width).toLatin1())
                    .draw(computed, grid, 1, 0, 0);
                EXPECT_EQ(computed.printedAt, expected);
                if (expected >= 0 && expected < size) ++drawnSmaller;
            }
        }
    }
    EXPECT_GT(drawnSmaller, 50) << "the table exercises the loop";
}
