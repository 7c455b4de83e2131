// Labels as real printers print them: a Dymo LabelWriter 450 (printer-driver-dymo's PPD and
// raster2dymolw) and a PostScript laser (CUPS's Generic PostScript Printer) behind the private
// scheduler, their device bytes captured, decoded into pictures and compared with the same labels
// printed into a PDF file. Every picture is 300 dots to the inch, from the top-left of the area
// the device prints (the PDF's from the origin of the labels, on its 9 point margins).
#include "CupsFixture.h"
#include "support/PdfPages.h"

#include <QImage>
#include <QPainter>

using namespace cupstest;

namespace {

constexpr double kDotsPerPoint = 300.0 / 72;

// The LabelWriter's stream turned into pictures, one per label: each raster line (SYN: bytes,
// ETB: runs of dots, a byte each: top bit black, 7 bits the run's length less one) after the dot
// tab of ESC B; ESC f 1 n skips n lines; ESC G or ESC E ends a label. A LabelWriter feeds the
// label top first; when its PPD turns a landscape page -90 degrees, line r, dot d of the upright
// label is the point (r, across - 1 - d) of the landscape label, turned +90 the point
// (along - 1 - r, d). A command the decoder does not know fails the test with its offset.
std::vector<QImage> DecodeLabelWriter(const QByteArray& s, QSize printable, int turn) {
    std::vector<QImage> labels;
    std::vector<QByteArray> lines;  // one byte a dot, 1 black
    int tab = 0, perLine = 0;
    const auto label = [&] {
        if (lines.empty()) return;
        QImage image(printable, QImage::Format_Grayscale8);
        image.fill(255);
        for (int r = 0; r < static_cast<int>(lines.size()) && r < printable.width(); ++r)
            for (int d = 0; d < lines[r].size() && d < printable.height(); ++d)
                if (lines[r][d])
                    image.setPixel(turn < 0 ? QPoint(r, printable.height() - 1 - d) : QPoint(printable.width() - 1 - r, d), qRgb(0, 0, 0));
        labels.push_back(image);
        lines.clear();
    };
    const auto u = [&](qsizetype i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0; };
    for (qsizetype i = 0; i < s.size();) {
        if (u(i) == 0x1b) {
            const char c = static_cast<char>(u(i + 1));
            const int args = QByteArray("BD").contains(c) ? 1 : QByteArray("QLf").contains(c) ? 2 : 0;
            if (c == 'B') tab = u(i + 2);
            if (c == 'D') perLine = u(i + 2);
            if (c == 'f') lines.resize(lines.size() + u(i + 3), QByteArray());
            if (c == 'G' || c == 'E') label();
            if (c != 0x1b && !QByteArray("BDQLfheiGE@").contains(c)) {
                ADD_FAILURE() << "unknown command ESC " << int(c) << " at " << i;
                return labels;
            }
            i += c == 0x1b ? 1 : 2 + args;
        } else if (u(i) == 0x16 || u(i) == 0x17) {
            QByteArray dots(tab * 8, 0);
            qsizetype j = i + 1;
            if (u(i) == 0x16) {
                for (; j < i + 1 + perLine; ++j)
                    for (int b = 7; b >= 0; --b) dots += char((u(j) >> b) & 1);
            } else {
                while (dots.size() < (tab + perLine) * 8 && j < s.size()) dots += QByteArray((u(j) & 0x7f) + 1, char(u(j) >> 7)), ++j;
            }
            lines.push_back(dots);
            i = j;
        } else {
            ADD_FAILURE() << "unknown byte " << u(i) << " at " << i;
            return labels;
        }
    }
    label();
    return labels;
}

// Page `page` (1 = first) of a PDF or PostScript file at 300 dots to the inch, `area` of it (all
// of it when null).
QImage Render(const QString& file, QRect area, int page = 1) {
    const QString png = file + QStringLiteral("-%1.png").arg(page);
    const QString p = QString::number(page);
    const QString why =
        file.endsWith(".pdf") ? RunTool("pdftoppm", {"-r", "300", "-gray", "-png", "-singlefile", "-f", p, "-l", p, file, png.chopped(4)})
                              : RunTool("gs", {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pnggray", "-r300",
                                               "-dFirstPage=" + p, "-dLastPage=" + p, "-sOutputFile=" + png, file});
    EXPECT_EQ(why, QString());
    const QImage image = QImage(png).convertToFormat(QImage::Format_Grayscale8);
    QFile::remove(png);
    return area.isNull() ? image : image.copy(area);
}

// The share of the black dots of `wanted` that `got` has black within a dot (the renderers round
// edges differently), `got` moved by up to three dots the way that matches best (a device places
// its raster to a dot or two): what the device printed of the labels.
double Printed(const QImage& wanted, const QImage& got) {
    const int w = got.width(), h = got.height();
    std::vector<char> ink(size_t(w) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (qGray(got.pixel(x, y)) < 128)
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (got.valid(x + dx, y + dy)) ink[size_t(y + dy) * w + x + dx] = 1;
    std::vector<QPoint> black;
    for (int y = 0; y < wanted.height(); ++y)
        for (int x = 0; x < wanted.width(); ++x)
            if (qGray(wanted.pixel(x, y)) < 128) black.emplace_back(x, y);
    std::ptrdiff_t best = 0;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            best = std::max(best, std::count_if(black.begin(), black.end(), [&](QPoint p) {
                               return got.valid(p.x() + dx, p.y() + dy) && ink[size_t(p.y() + dy) * w + p.x() + dx];
                           }));
    return black.empty() ? 0 : double(best) / double(black.size());
}

// Where the first black dot from the top and from the left lies.
QPoint TopLeftInk(const QImage& image) {
    QPoint p(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) p = QPoint(std::min(p.x(), x), std::min(p.y(), y));
    return p;
}

// Rows whose every element reaches the edges the demo format gives them: a long description, a
// four-digit price, a location.
void fillDemoRows(QtBench& b, int rows) {
    for (int r = 1; r <= rows; ++r)
        setRow(b.grid, r, {QString::number(100260 + r), "HIL-82747", "WOOD SCREW #6 X 1-1/4IN ZINC 100PK", "K12-5",
                           r == 1 ? "1234.99" : "7.49", "10", "25", r == 1 ? "030699707638" : "036000291452"});
}

// Each Dymo label is one job and one label; the LabelWriter prints every dot of it, at scale 1,
// turned as the page was drawn, with the format's (0, 0) on the printable corner of the label.
TEST_F(CupsPrinting, ALabelWriterPrintsTheWholeDymoLabelFromItsPrintableCorner) {
    // The printable area of the landscape label in dots, and its corner in points from the
    // label's top-left (its PPD's ImageableArea, turned the queue's way): 30252 "4.32 4.32 76.08 235.44" of
    // 79 x 252, 30256 "4.08 4.32 163.68 271.20" of 167 x 288.
    const struct { const char* queue; int turn; QSize printable; QPointF corner; } cases[] = {
        {"lw30252", -90, {963, 299}, {16.56, 2.92}},
        {"lw30256", -90, {1112, 665}, {16.80, 3.32}},
        {"lw30252plus90", 90, {963, 299}, {4.32, 4.32}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queue);
        QtBench device(1, 2), file(1, 2);
        fillDemoRows(device, 2);
        fillDemoRows(file, 2);
        device.to(c.queue);
        const QString tag = token();
        device.job.setJobSource(tag);
        ShowOutcome(device.job.PrintLabels(), device.dialogs);
        EXPECT_EQ(device.dialogs.transcript, QStringList());
        const QString pdf = file.files.path(tag + ".pdf");
        file.qt.setOutputFile(pdf);
        ShowOutcome(file.job.PrintLabels(), file.dialogs);
        ASSERT_TRUE(cups_->waitForJobs());
        const QStringList captured = cups_->captured("Tagwell labels - " + tag);
        const QStringList submitted = cups_->submitted("Tagwell labels - " + tag);
        ASSERT_EQ(captured.size(), 2);
        for (int n = 0; n < 2; ++n) {
            SCOPED_TRACE(n + 1);
            QFile bytes(captured[n]);
            ASSERT_TRUE(bytes.open(QIODevice::ReadOnly));
            const std::vector<QImage> labels = DecodeLabelWriter(bytes.readAll(), c.printable, c.turn);
            ASSERT_EQ(labels.size(), 1u);
            const QImage wanted = Render(n ? file.files.path(tag + "-2.pdf") : pdf, QRect(QPoint(38, 38), c.printable));
            const double printed = Printed(wanted, labels[0]), extra = Printed(labels[0], wanted);
            // Where the format's (0, 0) lands on the label, in points: the page sent, against the
            // same label drawn from the origin; and how much of the page sent reaches the paper.
            const QImage page = Render(submitted[n], QRect());
            const QPoint at = TopLeftInk(page) - TopLeftInk(wanted);
            QImage paper(page.size(), QImage::Format_Grayscale8);
            paper.fill(255);
            QPainter(&paper).drawImage((c.corner * kDotsPerPoint).toPoint(), labels[0]);
            const double reached = Printed(page, paper);
            std::cout << c.queue << " label " << n + 1 << ": " << qRound(reached * 1000) / 10.0 << " % of the page reaches the paper; "
                      << qRound(printed * 1000) / 10.0 << " % of the label printed where the PDF has it, with "
                      << qRound(extra * 1000) / 10.0 << " % of the printed dots; origin at (" << at.x() / kDotsPerPoint
                      << ", " << at.y() / kDotsPerPoint << ") pt\n";
            EXPECT_GE(reached, 0.99);
            EXPECT_GE(printed, 0.99);
            EXPECT_GE(extra, 0.99);
            EXPECT_NEAR(at.x() / kDotsPerPoint, c.corner.x(), 0.6);
            EXPECT_NEAR(at.y() / kDotsPerPoint, c.corner.y(), 0.6);
            // scripts/label-pictures keeps the pictures (docs/ shows the 30252's).
            if (const QString keep = qEnvironmentVariable("TAGWELL_PICTURES"); !keep.isEmpty()) {
                labels[0].save(QStringLiteral("%1/%2-%3-printed.png").arg(keep, c.queue).arg(n + 1));
                wanted.save(QStringLiteral("%1/%2-%3-pdf.png").arg(keep, c.queue).arg(n + 1));
            }
        }
    }
}

// A laser sheet on a PostScript printer: every label where the PDF has it from the printable
// corner, the offsets applied, at 100 % although the queue would fit pages into its printable area.
TEST_F(CupsPrinting, APostScriptLaserPrintsTheSheetFromItsPrintableCorner) {
    QtBench device(3, 5), file(3, 5);
    for (QtBench* b : {&device, &file}) {
        fillDemoRows(*b, 5);
        b->options.SierraOffLr3 = "100";
        b->options.SierraOffUd3 = "150";
    }
    device.use("laser");
    const QString tag = token();
    device.job.setJobSource(tag);
    ShowOutcome(device.job.PrintLabels(), device.dialogs);
    const QString pdf = file.files.path(tag + ".pdf");
    file.qt.setOutputFile(pdf);
    ShowOutcome(file.job.PrintLabels(), file.dialogs);
    ASSERT_TRUE(cups_->waitForJobs());
    const QStringList captured = cups_->captured("Tagwell labels - " + tag);
    ASSERT_EQ(captured.size(), 1);
    // Letter less 12 points all round (the PDF's margins are 9 points).
    const QSize printable(qRound(588 * kDotsPerPoint), qRound(768 * kDotsPerPoint));
    const QImage printed = Render(captured[0], QRect(QPoint(50, 50), printable));
    const QImage wanted = Render(pdf, QRect(QPoint(38, 38), printable));
    if (const QString keep = qEnvironmentVariable("TAGWELL_PICTURES"); !keep.isEmpty()) printed.save(keep + "/laser-printed.png");
    EXPECT_GE(Printed(wanted, printed), 0.99);
    EXPECT_GE(Printed(printed, wanted), 0.99);
}

}  // namespace
