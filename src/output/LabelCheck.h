#pragma once
// What the IT person's check asks of a label format: that every text of a label stays inside the
// label, and that a UPC symbol is large enough for a scanner to read. Both are judged from the
// trace a TracingPrinter writes while one label is drawn at the origin (0, 0).
#include <QString>
#include <QStringList>

// The size of one label in twips: the pitch of a laser sheet's labels, the Dymo 30252 address
// label (3.5 x 1.125 in, landscape) for the Dymo.
struct LabelArea {
    int width;
    int height;
};
// 1 the Dymo label, 3 the 3-up sheet's label, anything else the 4-up sheet's.
LabelArea LabelAreaFor(int target);

// GS1's smallest UPC-A symbol a scanner reliably reads: 80 % of the nominal 37.29 mm wide symbol
// (quiet zones included), in twips.
inline constexpr int kSmallestUpcWidth = 1691;

// One line for every TEXT of `trace` that crosses the border of the label: its text and where it
// lies. A text reaches one em (its size in points times 20 twips) below its top. The border is the
// label's edge, or the frame drawn on the label when the format draws one (a LINE whose two points
// differ in x and in y is drawn as the outline of a rectangle).
QStringList TextOverflows(const QStringList& trace, LabelArea area);

// One line for every element of `trace` (text, figure, symbol) that reaches past the area the
// device prints, `printable` from the top-left of its printable area: what lies there is cut off.
QStringList OutsidePrintable(const QStringList& trace, LabelArea printable);

// The lines of a file named as a label format that are not element lines of the format language,
// as "line N: text". An element line names what it draws and then, as numbers, at least its size
// and position ("DESC,11,60,40"); blank and comment lines count for neither side. A dictionary, a
// data file or a binary file given by mistake has almost none.
struct FormatLines {
    int elements = 0;
    QStringList others;
    // More lines that are not elements than lines that are: not a label format at all.
    bool notAFormat() const { return others.size() > elements; }
};
FormatLines ReadFormatLines(const QByteArray& bytes);

// One line for every BARCODE of `trace` narrower than kSmallestUpcWidth.
QStringList SmallUpcSymbols(const QStringList& trace);
