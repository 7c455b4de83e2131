// The format a job keeps between labels, and the computed fitting loop against the stepped one.
#include "OutputTestSupport.h"
#include "output/LabelFormat.h"
#include "output/LaserPrinter.h"
#include "output/RecordingPrinter.h"

#include <QDateTime>
#include <QFile>

#include <cstdio>

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
        bench.showReported();
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
        EXPECT_EQ(placed(bench.printer.lines()).filter("@"), (QStringList{"S1@100,0", c.seesChange ? "S2@200,0" : "S2@100,0"}));
        // Either way a stamp that moves is always seen.
        stamp.modifiedNsec = 1;
        bench.files.write("shelf.fa3", "SKU,10,300,0,0,,0\r\n");
        ASSERT_TRUE(PrintLaserLabel(bench.out, 3, 1, 0, 0, formats));
        EXPECT_EQ(placed(bench.printer.lines()).filter("@").last(), "S1@300,0");
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
