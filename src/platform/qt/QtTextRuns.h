#pragma once
// Texts shaped once and kept, per font. A label job draws the same prices, locations, check
// digits and fixed words label after label, and shaping a text (finding its glyphs and where each
// goes) is the dearest part of drawing it: it was a quarter of a laser job's time.
#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QString>

#include <utility>

class QPainter;
class QPaintDevice;

class QtTextRuns {
public:
    // Texts kept at most, so a job of any size holds no more. The texts used most recently stay:
    // the prices and locations that come back label after label outlast the descriptions and
    // stock numbers that pass once.
    static constexpr qsizetype kMaxTexts = 4096;

    // `fontKey` tells the fonts of one device apart: one key always goes with one font. After the
    // device or its resolution changes, clear() first.

    // The advance width of `text` in `font` on `device`: QFontMetricsF::horizontalAdvance.
    double width(quint64 fontKey, const QFont& font, QPaintDevice* device, const QString& text);

    // Draws `text` in `font` with the painter's pen and the left end of its baseline at
    // `baseline`: exactly what QPainter::drawText draws there. The painter's font may change.
    void draw(QPainter& painter, quint64 fontKey, const QFont& font, const QPointF& baseline, const QString& text);

    void clear() {
        recent_.clear();
        older_.clear();
    }
    qsizetype size() const { return recent_.size() + older_.size(); }

private:
    struct Entry {
        double width = -1;  // below 0 until measured
        int drawn = 0;      // times drawn
        bool shaped = false;
        QList<QGlyphRun> runs;  // from the top left of the text's line
        double ascent = 0;      // of that line: where its baseline is
    };
    Entry& entry(quint64 fontKey, const QString& text);

    // Two generations: texts are added to and looked up in the recent one; an older one that is
    // used again moves back. When the recent generation is full, the older one is dropped and
    // the recent one becomes the older.
    using Generation = QHash<std::pair<quint64, QString>, Entry>;
    Generation recent_, older_;
};
