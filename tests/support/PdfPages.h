#pragma once
// What a PDF holds, as poppler and zbar read it: the size of its first page and the symbols
// that scan on it.
#include "RunTool.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

// "w x h" of the first page, in whole points.
inline QString PageSize(const QString& pdf) {
    QByteArray info;
    RunTool(QStringLiteral("pdfinfo"), {pdf}, &info);
    static const QRegularExpression size(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+))"));
    const auto m = size.match(QString::fromUtf8(info));
    return m.hasMatch() ? QStringLiteral("%1 x %2").arg(qRound(m.captured(1).toDouble())).arg(qRound(m.captured(2).toDouble()))
                        : QStringLiteral("<no page>");
}

// The codes zbarimg reads on page 1 rendered at 300 dpi, sorted; an EAN-13 reading with a leading
// 0 is the UPC-A symbol it contains.
inline QStringList ScanSymbols(const QString& pdf) {
    QByteArray zbar;
    RunTool(QStringLiteral("pdftoppm"), {"-r", "300", "-f", "1", "-l", "1", "-png", "-singlefile", pdf, pdf});
    RunTool(QStringLiteral("zbarimg"), {"-q", "--raw", pdf + ".png"}, &zbar);
    QFile::remove(pdf + ".png");
    QStringList codes;
    for (QString line : QString::fromLatin1(zbar).split(u'\n', Qt::SkipEmptyParts)) {
        line = line.trimmed();
        codes << (line.size() == 13 && line.startsWith(u'0') ? line.mid(1) : line);
    }
    codes.sort();
    return codes;
}
