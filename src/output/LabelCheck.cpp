#include "output/LabelCheck.h"

#include "shell/common/PrintTargets.h"

#include <QRectF>
#include <QRegularExpression>

#include <optional>

namespace {
// The fields of a trace line of `kind`, or nothing when the line is of another kind.
std::optional<QStringList> fieldsOf(const QString& line, const QString& kind, int count) {
    const QStringList fields = line.split(u'\t');
    if (fields.value(0) != kind || fields.size() < count) return std::nullopt;
    return fields;
}
}  // namespace

LabelArea LabelAreaFor(int target) {
    const PrintTarget* t = FindPrintTarget(target);
    if (!t || t->driver != PrintDriver::Dymo) t = &LaserTargetFor(target);
    return {t->labelWidth, t->labelHeight};
}

QStringList TextOverflows(const QStringList& trace, LabelArea area) {
    QRectF border(0, 0, area.width, area.height);
    for (const QString& line : trace) {
        const auto f = fieldsOf(line, QStringLiteral("LINE"), 5);
        if (!f) continue;
        const QRectF frame = QRectF(QPointF((*f)[1].toDouble(), (*f)[2].toDouble()),
                                    QPointF((*f)[3].toDouble(), (*f)[4].toDouble()))
                                 .normalized();
        if (frame.width() > 0 && frame.height() > 0) border = border.intersected(frame);
    }
    QStringList found;
    for (const QString& line : trace) {
        // TEXT x y width size style colour text
        const auto f = fieldsOf(line, QStringLiteral("TEXT"), 8);
        if (!f) continue;
        const double left = (*f)[1].toDouble(), top = (*f)[2].toDouble();
        const double right = left + (*f)[3].toDouble(), bottom = top + (*f)[4].toDouble() * 20;
        if (left >= border.left() && right <= border.right() && top >= border.top() && bottom <= border.bottom())
            continue;
        found << QStringLiteral("\"%1\" spans %2..%3 x %4..%5 twips, the label %6..%7 x %8..%9")
                     .arg(f->mid(7).join(u'\t'))
                     .arg(left)
                     .arg(right)
                     .arg(top)
                     .arg(bottom)
                     .arg(border.left())
                     .arg(border.right())
                     .arg(border.top())
                     .arg(border.bottom());
    }
    return found;
}

QStringList OutsidePrintable(const QStringList& trace, LabelArea printable) {
    QStringList found;
    for (const QString& line : trace) {
        const QStringList f = line.split(u'\t');
        QRectF box;
        QString what;
        if (f.size() >= 8 && f[0] == QLatin1String("TEXT")) {  // TEXT x y width size style colour text
            box = QRectF(f[1].toDouble(), f[2].toDouble(), f[3].toDouble(), f[4].toDouble() * 20);
            what = u'"' + f.mid(7).join(u'\t') + u'"';
        } else if (f.size() >= 5 && f[0] == QLatin1String("LINE")) {  // LINE x1 y1 x2 y2 ...
            box = QRectF(QPointF(f[1].toDouble(), f[2].toDouble()), QPointF(f[3].toDouble(), f[4].toDouble())).normalized();
            what = QStringLiteral("the line");
        } else if (f.size() >= 6 && f[0] == QLatin1String("BARCODE")) {  // BARCODE x y w h data
            box = QRectF(f[1].toDouble(), f[2].toDouble(), f[3].toDouble(), f[4].toDouble());
            what = QStringLiteral("UPC symbol ") + f[5];
        } else {
            continue;
        }
        if (box.left() >= 0 && box.top() >= 0 && box.right() <= printable.width && box.bottom() <= printable.height)
            continue;
        found << QStringLiteral("%1 spans %2..%3 x %4..%5 twips, the printer prints 0..%6 x 0..%7")
                     .arg(what)
                     .arg(box.left())
                     .arg(box.right())
                     .arg(box.top())
                     .arg(box.bottom())
                     .arg(printable.width)
                     .arg(printable.height);
    }
    return found;
}

FormatLines ReadFormatLines(const QByteArray& bytes) {
    static const QRegularExpression number(QStringLiteral(R"(^\s*([+-]?\s*(\d[\d\s]*)?\.?\d*([eEdD][+-]?\d+)?|&[hHoO][0-9A-Fa-f]+)\s*$)"));
    FormatLines lines;
    int n = 0;
    for (const QByteArray& raw : bytes.split('\n')) {
        ++n;
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('\'')) continue;
        const QList<QByteArray> fields = line.split(',');
        bool element = fields.size() >= 4 && !fields[0].trimmed().isEmpty();
        for (const char c : line) element = element && (static_cast<unsigned char>(c) >= 0x20 || c == '\t');
        for (int f = 1; element && f <= 3; ++f) element = number.match(QString::fromLatin1(fields[f])).hasMatch();
        if (element) {
            ++lines.elements;
        } else {
            QString shown = QString::fromLatin1(line.left(40));
            for (QChar& c : shown)
                if (c.unicode() < 0x20 || c.unicode() >= 0x7f) c = u'?';
            lines.others << QStringLiteral("line %1: %2%3").arg(n).arg(shown, line.size() > 40 ? QStringLiteral("...") : QString());
        }
    }
    return lines;
}

QStringList SmallUpcSymbols(const QStringList& trace) {
    QStringList found;
    for (const QString& line : trace) {
        // BARCODE x y w h data
        const auto f = fieldsOf(line, QStringLiteral("BARCODE"), 5);
        if (!f || (*f)[3].toInt() >= kSmallestUpcWidth) continue;
        found << QStringLiteral("UPC symbol %1 twips wide, below the %2 a scanner reliably reads (GS1: 80 % of "
                                "the nominal UPC-A symbol)")
                     .arg((*f)[3])
                     .arg(kSmallestUpcWidth);
    }
    return found;
}
