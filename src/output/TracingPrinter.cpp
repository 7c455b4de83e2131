#include "output/TracingPrinter.h"

#include <cmath>

namespace {
QString twips(double v) { return QString::number(static_cast<long long>(std::llround(v))); }
QString colour(PrinterColor c) {
    return QStringLiteral("%1,%2,%3").arg(c.red).arg(c.green).arg(c.blue);
}
}  // namespace

void TracingPrinter::write(const QStringList& fields) {
    if (sink_) sink_(fields.join(u'\t'));
}

void TracingPrinter::Print(const QString& text) {
    const double x = inner_.CurrentX();
    const double y = inner_.CurrentY();
    const double width = inner_.TextWidth(text);
    QString style = QStringLiteral("---");
    if (inner_.FontBold()) style[0] = u'B';
    if (inner_.FontItalic()) style[1] = u'I';
    if (inner_.FontUnderline()) style[2] = u'U';
    const QString size = twips(inner_.FontSize());
    const QString fore = colour(inner_.ForeColor());
    inner_.Print(text);
    write({QStringLiteral("TEXT"), twips(x), twips(y), twips(width), size, style, fore, text});
}

void TracingPrinter::Line(double x1, double y1, double x2, double y2, PrinterColor color, LineFigure figure) {
    inner_.Line(x1, y1, x2, y2, color, figure);
    write({QStringLiteral("LINE"), twips(x1), twips(y1), twips(x2), twips(y2), QString::number(inner_.DrawWidth()),
           colour(color)});
}

void TracingPrinter::DrawBarcode(const QString& data, double left, double top, double width, double height) {
    inner_.DrawBarcode(data, left, top, width, height);
    write({QStringLiteral("BARCODE"), twips(left), twips(top), twips(width), twips(height), data});
}

void TracingPrinter::NewPage() {
    inner_.NewPage();
    write({QStringLiteral("NEWPAGE")});
}

void TracingPrinter::EndDoc() {
    inner_.EndDoc();
    write({QStringLiteral("ENDDOC")});
}

void TracingPrinter::setOrientation(int orientation) {
    inner_.setOrientation(orientation);
    write({QStringLiteral("ORIENT"), QString::number(orientation)});
}

void TracingPrinter::setPrinter(int index) {
    inner_.setPrinter(index);
    write({QStringLiteral("DEVICE"), inner_.DeviceName()});
}
