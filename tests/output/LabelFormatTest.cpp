// The format a job keeps between labels, and the computed fitting loop against the stepped one.
#include "OutputTestSupport.h"
#include "output/LabelFormat.h"
#include "output/LaserPrinter.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cstdio>

namespace {
QByteArray skuAt(int x) { return "SKU,10," + QByteArray::number(x) + ",0,0,,0\r\n"; }  // 19 bytes for x of 3 digits
// The TEXT lines of a trace, each as "<text>@<x>,<y>".
QStringList placed(const QStringList& trace) {
    QStringList out;
    for (const QString& line : trace.filter(QRegularExpression("^TEXT\t"))) {
        const QStringList f = line.split(u'\t');
        out << f.last() + u'@' + f[1] + u',' + f[2];
    }
    return out;
}
}  // namespace

// A job keeps the format it read while the file stays as it was, and sees at the next label a file
// edited in place (same size), replaced by another, or deleted.
TEST(LabelFormat, JobSeesEveryChangeOfTheFormatFileBetweenLabels) {
    Bench bench(3, 6);
    const QString format = bench.options.SierraFormat3 = bench.files.write("shelf.fa3", skuAt(100));
    // Written a minute ago with the cache's clock ten seconds ahead, every stamp is old enough to be
    // trusted: each change below must show in the stamp itself.
    { QFile f(format); ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime)); }
    LabelFormatCache formats({}, [] { return QDateTime::currentSecsSinceEpoch() + 10; });
    QStringList drawn;
    for (int row = 1; row <= 6; ++row) {
        if (row == 3) bench.files.write("shelf.fa3", skuAt(200));
        if (row == 4) { ASSERT_EQ(std::rename(QFile::encodeName(bench.files.write("other.fa3", skuAt(300))).constData(), QFile::encodeName(format).constData()), 0); }
        if (row == 5) QFile::remove(format);
        if (row == 6) bench.files.write("shelf.fa3", skuAt(400));
        const qsizetype before = bench.printer.lines().size();
        drawn << (PrintLaserLabel(bench.out, 3, row, 0, 0, formats) ? placed(bench.printer.lines().mid(before)).join(' ') : "not drawn");
    }
    EXPECT_EQ(drawn, (QStringList{"S1@100,0", "S2@100,0", "S3@200,0", "S4@300,0", "not drawn", "S6@400,0"}));
    bench.showReported();
    EXPECT_EQ(bench.dialogs.transcript, QStringList());
}

// File times move in clock ticks, so a file is trusted to be unchanged while its stamp stays only
// once both its times are more than two seconds older than the clock. Here the stamp never moves
// while the bytes change between labels; a stamp that moves, or another file, is always seen.
TEST(LabelFormat, CacheTrustsAStampOnlyOnceItIsOlderThanTwoSeconds) {
    for (const auto& [age, seesChange] : {std::pair{0, true}, {2, true}, {3, false}, {60, false}}) {
        SCOPED_TRACE(::testing::Message() << "stamp " << age << " s old");
        Bench bench(3, 2);
        bench.options.SierraFormat3 = bench.files.write("shelf.fa3", skuAt(100));
        FileStamp stamp;
        stamp.size = 19;
        stamp.modifiedSec = stamp.changedSec = 1'000'000;
        LabelFormatCache formats([&](const QString&) { return stamp; }, [&] { return 1'000'000 + age; });
        for (int x : {200, 300}) {
            ASSERT_TRUE(PrintLaserLabel(bench.out, 3, 1, 0, 0, formats));
            bench.files.write("shelf.fa3", skuAt(x));
        }
        stamp.modifiedNsec = 1;
        ASSERT_TRUE(PrintLaserLabel(bench.out, 3, 2, 0, 0, formats));
        bench.options.SierraFormat3 = bench.files.write("other.fa3", skuAt(400));  // another file with the same stamp
        ASSERT_TRUE(PrintLaserLabel(bench.out, 3, 2, 0, 0, formats));
        EXPECT_EQ(placed(bench.printer.lines()), (QStringList{"S1@100,0", seesChange ? "S1@200,0" : "S1@100,0", "S2@300,0", "S2@400,0"}));
    }
}

// The fitting loop is computed rather than stepped a point at a time; it must stop at exactly the
// size the stepping loop stops at, for any measure that never grows as the size falls.
namespace {
struct MeasuredPrinter : SimulatedPrinter {
    std::function<double(double size)> measure;
    double printedAt = -1;
    double TextWidth(const QString&) override { return measure(fontSize_); }
    void Print(const QString&) override { printedAt = fontSize_; }
};
}  // namespace

TEST(LabelFormat, FittingStopsWhereTheSteppedLoopStops) {
    const std::function<double(double)> measures[] = {
        [](double s) { return s * 60; }, [](double s) { return std::floor(s / 5) * 400 + 150; },  // proportional; in steps of 5 points
        [](double) { return 1e9; }, [](double) { return 10; }, [](double s) { return s < 3 ? 100 : 1e6; }};  // never, always, below 3
    int drawnSmaller = 0;
    for (int m = 0; m < 5; ++m)
        for (int size : {1, 2, 6, 7, 8, 9, 24, 100, 1000, 32767})
            for (int width : {201, 202, 450, 1000, 5000, 32767}) {
                SCOPED_TRACE(::testing::Message() << "measure " << m << ", size " << size << ", width " << width);
                // The loop as the format language states it; -1 when the text is not drawn.
                MeasuredPrinter stepped, computed;
                stepped.measure = computed.measure = measures[m];
                double expected = size;
                stepped.setFontSize(size);
                do {
                    if (stepped.TextWidth({}) > width && (expected = stepped.FontSize() - 1) >= 1) stepped.setFontSize(expected);
                } while (expected >= 1 && stepped.TextWidth({}) > width && stepped.FontSize() > 6);
                expected = expected < 1 ? -1 : stepped.FontSize();
                LabelGrid grid;
                grid.setTextMatrix(1, GridCol::Desc, "TEXT");
                LabelFormat::parse(QStringLiteral("DESC,%1,0,0,%2,,0").arg(size).arg(width).toLatin1()).draw(computed, grid, 1, 0, 0);
                EXPECT_EQ(computed.printedAt, expected);
                drawnSmaller += expected >= 0 && expected < size;
            }
    EXPECT_GT(drawnSmaller, 50) << "the table exercises the loop";
}
