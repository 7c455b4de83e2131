#pragma once
// UPC-A symbols drawn with libzint's vector output onto any QPainter.
#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;
class QtTextRuns;

// Paints the UPC-A symbol of `data` (11 digits, or 12 with a correct check digit) with its
// human-readable digits so that the whole symbol fills `target` (painter coordinates). Returns
// false, drawing nothing, when the data is not a valid UPC-A. With `runs`, the digits are measured
// and shaped through it (clear it when the painter's device changes).
bool PaintUpcA(QPainter& painter, const QString& data, const QRectF& target, const QColor& color = Qt::black,
               QtTextRuns* runs = nullptr);
