#pragma once
// UPC-A symbols drawn with libzint's vector output onto any QPainter.
#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

// Paints the UPC-A symbol of `data` (11 digits, or 12 with a correct check digit) with its
// human-readable digits so that the whole symbol fills `target` (painter coordinates). Returns
// false, drawing nothing, when the data is not a valid UPC-A.
bool PaintUpcA(QPainter& painter, const QString& data, const QRectF& target, const QColor& color = Qt::black);
