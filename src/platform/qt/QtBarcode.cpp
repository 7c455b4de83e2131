#include "platform/qt/QtBarcode.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QList>

#include <zint.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using Symbol = std::unique_ptr<zint_symbol, SymbolDeleter>;

}  // namespace

namespace {

// Encodes `bytes` with the bars `barHeight` X-dimensions tall (0: zint's default) and lays the
// symbol out as vectors.
Symbol encode(const QByteArray& bytes, float barHeight) {
    Symbol symbol(ZBarcode_Create());
    if (!symbol) return nullptr;
    symbol->symbology = BARCODE_UPCA;
    symbol->show_hrt = 1;
    if (barHeight > 0) symbol->height = barHeight;
    if (ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(bytes.constData()),
                        static_cast<int>(bytes.size())) >= ZINT_ERROR)
        return nullptr;
    if (ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR) return nullptr;
    if (!symbol->vector || symbol->vector->width <= 0 || symbol->vector->height <= 0) return nullptr;
    return symbol;
}

}  // namespace

bool PaintUpcA(QPainter& painter, const QString& data, const QRectF& target, const QColor& color) {
    if (target.width() <= 0 || target.height() <= 0) return false;
    const QByteArray bytes = data.toLatin1();
    Symbol symbol = encode(bytes, 0);
    if (!symbol) return false;

    // The bar height is chosen so the symbol fills the rectangle at one scale, the digits keeping
    // their proportion to the bars; a rectangle too flat for that squeezes the symbol instead.
    const double scale = target.width() / symbol->vector->width;
    const double textRoom = symbol->vector->height - symbol->height;
    const double barHeight = target.height() / scale - textRoom;
    if (barHeight >= 8) {
        if (Symbol tailored = encode(bytes, static_cast<float>(barHeight))) symbol = std::move(tailored);
    }
    const zint_vector* vector = symbol->vector;
    const double sx = target.width() / vector->width;
    const double sy = target.height() / vector->height;
    // Plain rectangles, so a PDF gets one short rectangle operator per bar.
    QList<QRectF> bars;
    for (const zint_vector_rect* r = vector->rectangles; r; r = r->next)
        bars.append(QRectF(target.x() + r->x * sx, target.y() + r->y * sy, r->width * sx, r->height * sy));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRects(bars.constData(), static_cast<int>(bars.size()));

    const double textScale = std::min(sx, sy);
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 72;
    QFont font(QStringLiteral("DejaVu Sans"));
    painter.setPen(color);
    for (const zint_vector_string* s = vector->strings; s; s = s->next) {
        // zint gives the font size and the baseline in its own units.
        const double points = std::max(0.5, s->fsize * textScale * 72.0 / dpi);
        font.setPointSizeF(points);
        const QString text = QString::fromUtf8(reinterpret_cast<const char*>(s->text), s->length);
        const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
        double x = target.x() + s->x * sx;
        if (s->halign == 0) x -= width / 2;
        else if (s->halign == 2) x -= width;
        painter.setFont(font);
        painter.drawText(QPointF(x, target.y() + s->y * sy), text);
    }
    painter.restore();
    return true;
}
