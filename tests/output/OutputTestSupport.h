#pragma once
// Shared pieces of the label output tests: a grid filled with label rows, format files written to a
// temporary folder, and the options that point the drivers at them.
#include "grid/LabelGrid.h"
#include "shell/ProgramOptions.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

struct LabelRowValues {
    QString sku, mfn, desc, loc, retail, om, pk, upc;
};

inline void setLabelRow(LabelGrid& grid, int row, const LabelRowValues& v) {
    if (grid.Rows() <= row) grid.setRows(row + 1);
    const QString cells[] = {v.sku, v.mfn, v.desc, v.loc, v.retail, v.om, v.pk, v.upc};
    for (int c = 0; c < 8; ++c) grid.setTextMatrix(row, c + 1, cells[c]);
}

// A row whose sku and description name its number, for the sheet-position tests.
inline void fillRows(LabelGrid& grid, int count) {
    for (int r = 1; r <= count; ++r)
        setLabelRow(grid, r, {QStringLiteral("S%1").arg(r), {}, QStringLiteral("ITEM %1").arg(r), {}, {}, {}, {}, {}});
}

class FormatFiles {
public:
    // Writes `text` (lines joined with CR LF, as the stores' editors save them) as Windows text.
    QString write(const QString& name, const QStringList& lines) {
        const QString path = dir_.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
        return path;
    }
    QString missing(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};
