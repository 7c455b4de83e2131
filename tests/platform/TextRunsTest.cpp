// Texts drawn from kept glyphs come out in a PDF exactly as QPainter::drawText writes them, in
// every style, and are measured exactly as the font measures them.
#include "platform/qt/QtTextRuns.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QtEndian>
#include <gtest/gtest.h>

#include <functional>

namespace {

QFont labelFont(double points, int style) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(points);
    font.setBold(style & 1);
    font.setItalic(style & 2);
    font.setUnderline(style & 4);
    return font;
}

// The drawing `paint` makes on a 600 dpi PDF page, as the page's content streams (inflated) that
// hold text or paths: where every glyph and rule went, to the last digit.
QByteArray pdfDrawing(const std::function<void(QPainter&)>& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        QPainter painter(&writer);
        painter.setPen(Qt::darkBlue);
        paint(painter);
    }
    const QByteArray pdf = buffer.data();
    QByteArray drawing;
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at + 1)) {
        if (at >= 3 && pdf.mid(at - 3, 3) == "end") continue;
        const qsizetype begin = at + 7;
        const qsizetype end = pdf.indexOf("endstream", begin);
        if (end < 0) break;
        // qUncompress wants the size first; a generous guess, it grows as needed.
        QByteArray zipped(4, '\0');
        qToBigEndian<quint32>(1 << 20, zipped.data());
        zipped += pdf.mid(begin, end - begin);
        const QByteArray content = qUncompress(zipped);
        if (content.contains(" Tj") || content.contains(" re") || content.contains(" l\n")) drawing += content;
    }
    return drawing;
}

}  // namespace

TEST(TextRuns, KeptGlyphsDrawAndMeasureAsTheFontDoes) {
    // Kerned pairs, spaces at either end, Latin-1 letters, a text outside Latin-1, a control
    // character and nothing at all.
    const QString texts[] = {"CLAW HAMMER 16OZ", "AV To Wa", "$1.99", "  lead", "trail  ",
                             QString::fromUtf8("Ünïcödé ½"), QString::fromUtf8("€ 5"), "a\tb", ""};
    const QPointF baseline(123.25, 456.5);
    QtTextRuns runs;
    quint64 key = 0;
    for (double points : {7.5, 26.0}) {
        for (int style = 0; style < 8; ++style) {
            const QFont font = labelFont(points, style);
            ++key;
            for (const QString& text : texts) {
                SCOPED_TRACE(testing::Message() << points << " pt, style " << style << ", \"" << text.toStdString() << '"');
                const QByteArray expected = pdfDrawing([&](QPainter& p) {
                    p.setFont(font);
                    p.drawText(baseline, text);
                });
                if (!text.isEmpty()) ASSERT_FALSE(expected.isEmpty());
                // The first drawing of a text goes the ordinary way; the later ones from its glyphs.
                for (int drawing = 1; drawing <= 3; ++drawing)
                    EXPECT_EQ(pdfDrawing([&](QPainter& p) { runs.draw(p, key, font, baseline, text); }), expected)
                        << "drawing " << drawing;
                QImage device(10, 10, QImage::Format_ARGB32);
                EXPECT_EQ(runs.width(key, font, &device, text), QFontMetricsF(font, &device).horizontalAdvance(text));
            }
        }
    }
}

TEST(TextRuns, KeepsABoundedNumberOfTextsAndTheOnesInUse) {
    QtTextRuns runs;
    QImage device(10, 10, QImage::Format_ARGB32);
    const QFont font = labelFont(10, 0);
    const QString price = QStringLiteral("12.99");
    const double priceWidth = QFontMetricsF(font, &device).horizontalAdvance(price);
    for (int i = 0; i < 3 * QtTextRuns::kMaxTexts; ++i) {
        runs.width(1, font, &device, QString::number(i));
        // A text in use all along keeps its measure through every change of generation.
        if (i % 100 == 0) ASSERT_EQ(runs.width(1, font, &device, price), priceWidth) << i;
        ASSERT_LE(runs.size(), QtTextRuns::kMaxTexts);
    }
    EXPECT_GT(runs.size(), QtTextRuns::kMaxTexts / 2);
    // What was dropped is measured again, alike.
    EXPECT_EQ(runs.width(1, font, &device, QStringLiteral("0")), QFontMetricsF(font, &device).horizontalAdvance(u'0'));
}
