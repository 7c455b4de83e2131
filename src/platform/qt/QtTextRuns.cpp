#include "platform/qt/QtTextRuns.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace {

// Text kept shaped: printable Latin-1, what label files and store databases hold. Anything else
// (controls, other scripts, text that needs fonts merged from elsewhere) is drawn the ordinary way.
bool keepsShaped(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u > 0xFF) return false;
    }
    return true;
}

}  // namespace

QtTextRuns::Entry& QtTextRuns::entry(quint64 fontKey, const QString& text) {
    const std::pair key(fontKey, text);
    auto it = recent_.find(key);
    if (it != recent_.end()) return *it;
    Entry found;
    auto old = older_.find(key);
    if (old != older_.end()) {
        found = std::move(*old);
        older_.erase(old);
    }
    if (recent_.size() >= kMaxTexts / 2) {
        older_ = std::move(recent_);
        recent_ = Generation();
    }
    return *recent_.insert(key, std::move(found));
}

double QtTextRuns::width(quint64 fontKey, const QFont& font, QPaintDevice* device, const QString& text) {
    Entry& e = entry(fontKey, text);
    if (e.width < 0) e.width = QFontMetricsF(font, device).horizontalAdvance(text);
    return e.width;
}

void QtTextRuns::draw(QPainter& painter, quint64 fontKey, const QFont& font, const QPointF& baseline,
                      const QString& text) {
    // The first drawing of a text goes the ordinary way: most descriptions and stock numbers are
    // drawn only once, and laying one out to keep its glyphs costs more than drawing it. Its
    // glyphs are kept from the second drawing on. Underlined text always goes the ordinary way:
    // a glyph run draws its own underline, which can end a fraction of a dot away from drawText's.
    Entry* e = keepsShaped(text) && !font.underline() ? &entry(fontKey, text) : nullptr;
    if (!e || (!e->shaped && ++e->drawn < 2)) {
        painter.setFont(font);
        painter.drawText(baseline, text);
        return;
    }
    if (!e->shaped) {
        // One line laid out left to right from x = 0 without wrapping: what drawText does with a
        // point and the painter's default direction.
        QTextLayout layout(text, font, painter.device());
        QTextOption option(Qt::AlignLeft);
        option.setTextDirection(Qt::LeftToRight);
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        if (line.isValid()) {
            e->runs = layout.glyphRuns();
            e->ascent = line.ascent();
        }
        e->shaped = true;
    }
    const QPointF topLeft(baseline.x(), baseline.y() - e->ascent);
    for (const QGlyphRun& run : std::as_const(e->runs)) painter.drawGlyphRun(topLeft, run);
}
