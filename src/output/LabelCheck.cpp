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

// What a trace line draws: its kind, the box it covers in twips and how a message names it.
struct Drawn {
    QString kind, what;
    QRectF box;
};
std::optional<Drawn> drawnOf(const QString& line) {
    const auto number = [](const QStringList& f, int i) { return f[i].toDouble(); };
    if (const auto f = fieldsOf(line, QStringLiteral("TEXT"), 8))  // TEXT x y width size style colour text
        return Drawn{(*f)[0], u'"' + f->mid(7).join(u'\t') + u'"',
                     QRectF(number(*f, 1), number(*f, 2), number(*f, 3), number(*f, 4) * 20)};
    if (const auto f = fieldsOf(line, QStringLiteral("LINE"), 5))  // LINE x1 y1 x2 y2 ...
        return Drawn{(*f)[0], QStringLiteral("the line"),
                     QRectF(QPointF(number(*f, 1), number(*f, 2)), QPointF(number(*f, 3), number(*f, 4))).normalized()};
    if (const auto f = fieldsOf(line, QStringLiteral("BARCODE"), 6))  // BARCODE x y w h data
        return Drawn{(*f)[0], QStringLiteral("UPC symbol ") + (*f)[5],
                     QRectF(number(*f, 1), number(*f, 2), number(*f, 3), number(*f, 4))};
    return std::nullopt;
}

// Whether `box` lies within `area`, edges included (QRectF::contains refuses an empty box).
bool within(const QRectF& box, const QRectF& area) {
    return box.left() >= area.left() && box.right() <= area.right() && box.top() >= area.top() && box.bottom() <= area.bottom();
}
}  // namespace

LabelArea LabelAreaFor(int target) {
    const PrintTarget* t = FindPrintTarget(target);
    if (!t || t->driver != PrintDriver::Dymo) t = &LaserTargetFor(target);
    return {t->labelWidth, t->labelHeight};
}

QStringList TextOverflows(const QStringList& trace, LabelArea area) {
    QRectF border(0, 0, area.width, area.height);
    for (const QString& line : trace)
        if (const auto d = drawnOf(line); d && d->kind == QLatin1String("LINE") && d->box.width() > 0 && d->box.height() > 0)
            border = border.intersected(d->box);
    QStringList found;
    for (const QString& line : trace) {
        const auto d = drawnOf(line);
        if (!d || d->kind != QLatin1String("TEXT") || within(d->box, border)) continue;
        found << QStringLiteral("%1 spans %2..%3 x %4..%5 twips, the label %6..%7 x %8..%9")
                     .arg(d->what)
                     .arg(d->box.left())
                     .arg(d->box.right())
                     .arg(d->box.top())
                     .arg(d->box.bottom())
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
        const auto d = drawnOf(line);
        if (!d || within(d->box, QRectF(0, 0, printable.width, printable.height))) continue;
        found << QStringLiteral("%1 spans %2..%3 x %4..%5 twips, the printer prints 0..%6 x 0..%7")
                     .arg(d->what)
                     .arg(d->box.left())
                     .arg(d->box.right())
                     .arg(d->box.top())
                     .arg(d->box.bottom())
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
