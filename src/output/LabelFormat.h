#pragma once
// The label format language (.fa1, .fa3, .fa4 files): one element per line, fields cut at commas,
// drawn by DrawLabelFormat onto the current page of a printer at a label origin.
#include <QString>

class QIODevice;
class LabelGrid;
class Printer;

// Interprets the already opened format `file` to its end for grid row `row` (1 = first data row),
// drawing onto `printer` with the label origin (originX, originY) in twips. The caller has made
// sure the row's sku is not blank. An element that cannot be drawn (a position that leaves 16 bits,
// a size or pen width below 1) is skipped and the label goes on.
void DrawLabelFormat(QIODevice& file, Printer& printer, const LabelGrid& grid, int row, int originX,
                     int originY);

// Replaces `upc` by its first 11 characters (after trimming spaces) followed by the UPC-A
// modulo-10 check digit computed from them.
void FixUpcCheckDigit(QString& upc);
