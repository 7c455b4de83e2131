#include "output/LabelFormat.h"

#include "grid/LabelGrid.h"
#include "platform/FileAccess.h"
#include "platform/Printer.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Cp1252.h"
#include "shell/common/Numbers.h"
#include "shell/common/RowFields.h"

#include <QDateTime>
#include <QFile>
#include <QIODevice>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace {

// Format files are single-byte Windows text. Lines end in CR LF; a lone CR or LF (a file saved by
// another editor) also ends a line rather than becoming part of a field.
QStringList splitLines(const QByteArray& bytes) {
    const QString text = DecodeCp1252(bytes);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) lines << text.mid(start);
    return lines;
}

// The column a keyword takes its value from, or nothing for LINE/BOX and fixed text.
std::optional<int> keywordColumn(const QString& keyword) {
    if (const RowField* field = FieldOfKeyword(keyword)) return field->column;
    return std::nullopt;
}

// A colour part above 255 counts as 255; one below 0 (a negative colour number) as 0.
int colourPart(double part) {
    if (part > 255) return 255;
    if (part < 0) return 0;
    return static_cast<int>(part);
}

// The colour number is written green-blue-red, three decimal digits each: 255 is red, 255000
// blue, 255000000 green. A number beyond 32 bits cannot be split that way and gives black.
PrinterColor decodeColour(const QString& field) {
    const double n = LeadingNumber(field);
    std::int32_t whole = 0;
    try {
        whole = ToInt32(n);
    } catch (const TagwellError&) {
        return {};
    }
    const std::int32_t red = whole % 1000;
    const double blue = (static_cast<double>(whole % 1000000) - red) / 1000.0;
    const double green = std::floor(n / 1000000.0);
    return {colourPart(red), colourPart(green), colourPart(blue)};
}

// Reads fields 0..6 of `line` into `s`; a field that is absent or whose number does not fit 16 bits
// leaves its value from the previous line. Returns the line's colour: from field 6 when every
// field was read, black otherwise.
PrinterColor readElement(const QString& line, ElementSettings& s) {
    // An empty element line has no fields at all, so everything carries over, keyword included.
    const QStringList fields = line.isEmpty() ? QStringList() : line.split(u',');
    bool allRead = true;
    auto readInt = [&](qsizetype i, int& target) {
        if (i >= fields.size()) {
            allRead = false;
            return;
        }
        try {
            target = TextToInt16(fields[i]);
        } catch (const TagwellError&) {
            allRead = false;
        }
    };
    if (!fields.isEmpty()) s.keyword = trimSpaces(fields[0]).toUpper();
    else allRead = false;
    readInt(1, s.size);
    readInt(2, s.x);
    readInt(3, s.y);
    readInt(4, s.width);
    if (fields.size() > 5) s.style = fields[5].toUpper();
    readInt(5, s.y2);
    if (fields.size() <= 6) allRead = false;
    return allRead ? decodeColour(fields[6]) : PrinterColor{};
}

// Origin plus field, which must stay a 16-bit position; nothing when it leaves that range.
std::optional<int> position(int origin, int field) {
    const int sum = origin + field;
    if (sum < INT16_MIN || sum > INT16_MAX) return std::nullopt;
    return sum;
}

// The fitting loop: while the text is wider than `width`, one point smaller, down to 6 points;
// the first test comes before the bound, so a text already at 6 points or less loses one point
// once. Stepping a point at a time would measure the text up to 32,000 times for a large size,
// so the size the loop stops at is found by halving instead: the loop stops at the first size,
// going down, whose text fits, and since a text is never wider at a smaller size that is the
// largest fitting size in the range, or 6 points when none fits. False when the text would go
// below one point, which no printer takes: then it is not drawn.
bool fitFontSize(Printer& printer, const QString& value, int width) {
    if (printer.TextWidth(value) <= width) return true;
    const double start = printer.FontSize();
    if (start - 1 < 1) return false;
    // Sizes start - k for k = 1..last; the loop ends at k = last (6 points) at the latest.
    const int last = start - 1 <= 6 ? 1 : static_cast<int>(std::ceil(start - 6));
    const auto fits = [&](int k) {
        printer.setFontSize(start - k);
        return printer.TextWidth(value) <= width;
    };
    int lo = 1, hi = last;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (fits(mid)) hi = mid;
        else lo = mid + 1;
    }
    printer.setFontSize(start - lo);
    return true;
}

void drawText(Printer& printer, const QString& value, const ElementSettings& s, PrinterColor colour,
              int originX, int originY) {
    const auto left = position(originX, s.x);
    const auto top = position(originY, s.y);
    if (!left || !top || s.size < 1) return;

    printer.setFontSize(s.size);
    printer.setForeColor(colour);
    // Fitting: measured with the style of the previous line's reset (bold and italic off), and the
    // width test comes before the 6-point bound, so a too-wide text at 6 points or less still
    // loses one point.
    if (s.width > 200 && !fitFontSize(printer, value, s.width)) return;
    printer.setFontBold(s.style.contains(u'B'));
    printer.setFontItalic(s.style.contains(u'I'));
    printer.setFontUnderline(s.style.contains(u'U'));
    printer.setCurrentX(s.style.contains(u'R') ? *left - printer.TextWidth(value) : *left);
    printer.setCurrentY(*top);
    printer.Print(value);
}

void drawFigure(Printer& printer, const ElementSettings& s, PrinterColor colour, int originX, int originY) {
    const auto x1 = position(originX, s.x);
    const auto y1 = position(originY, s.y);
    const auto x2 = position(originX, s.width);
    const auto y2 = position(originY, s.y2);
    if (!x1 || !y1 || !x2 || !y2 || s.size < 1) return;
    printer.setDrawWidth(s.size);
    printer.setForeColor(colour);
    // LINE and BOX draw the same figure: the outline of the rectangle the two points span, which
    // is a plain rule whenever the points share an x or a y.
    printer.Line(*x1, *y1, *x2, *y2, colour, LineFigure::Outline);
}

void drawBarcode(Printer& printer, QString value, const ElementSettings& s, int originX, int originY) {
    if (trimSpaces(value).size() != 12) return;
    const auto left = position(originX, s.x);
    const auto top = position(originY, s.y);
    if (!left || !top || s.width < 1 || s.size < 1) return;
    FixUpcCheckDigit(value);
    printer.DrawBarcode(value, *left, *top, s.width, s.size);
}

}  // namespace

void FixUpcCheckDigit(QString& upc) {
    const QString first11 = trimSpaces(upc).left(11);
    int odd = 0, even = 0;
    for (qsizetype i = 0; i < first11.size(); ++i) {
        const QChar c = first11[i];
        const int digit = (c >= u'0' && c <= u'9') ? c.unicode() - u'0' : 0;
        // c1, c3, ... are at even indexes counted from 0.
        if (i % 2 == 0) odd += digit;
        else even += digit;
    }
    const int check = (10 - ((3 * odd + even) % 10)) % 10;
    upc = first11 + QString::number(check);
}

LabelFormat LabelFormat::parse(const QByteArray& bytes) {
    LabelFormat format;
    ElementSettings s;
    const QStringList lines = splitLines(bytes);
    format.elements_.reserve(lines.size());
    for (const QString& raw : lines) {
        const QString line = trimSpaces(raw);
        Element element;
        if (!line.startsWith(u'\'')) {
            // Each element line starts from the values the lines before it left: what it draws is
            // fixed by the file alone, so it is worked out once here and not for every label.
            const PrinterColor colour = readElement(line, s);
            element.settings = s;
            element.colour = colour;
            element.column = keywordColumn(s.keyword);
            if (s.keyword == u"UPC") element.kind = Element::Barcode;
            else if (s.keyword == u"LINE" || s.keyword == u"BOX") element.kind = Element::Figure;
            else element.kind = Element::Text;
        }
        format.elements_.push_back(std::move(element));
    }
    return format;
}

void LabelFormat::draw(Printer& printer, const LabelGrid& grid, int row, int originX, int originY) const {
    for (const Element& e : elements_) {
        if (e.kind != Element::Comment) {
            const ElementSettings& s = e.settings;
            const QString value = e.column ? grid.TextMatrix(row, *e.column) : s.keyword;
            if (e.kind == Element::Barcode) {
                drawBarcode(printer, value, s, originX, originY);
            } else if (e.kind == Element::Figure) {
                drawFigure(printer, s, e.colour, originX, originY);
            } else if (!IsBlank(value)) {
                drawText(printer, value, s, e.colour, originX, originY);
            }
        }
        // After every line, comments included. Underline and size stay as they are.
        printer.setFontBold(false);
        printer.setForeColor(PrinterColor{});
        printer.setFontItalic(false);
    }
}

LabelFormatCache::LabelFormatCache(StampOf stampOf, Clock now)
    : stampOf_(stampOf ? std::move(stampOf) : StampOf(FileStampOf)),
      now_(now ? std::move(now) : Clock([] { return QDateTime::currentSecsSinceEpoch(); })) {}

const LabelFormat* LabelFormatCache::load(const QString& path) {
    if (path.isEmpty()) return nullptr;
    // A file that is still the one read last (same file, size, and modification and status
    // times) is not opened again. Anything else, including a file that cannot be looked at, is
    // opened, so that a file gone or no longer readable is reported for this very label.
    const std::optional<FileStamp> stamp = stampOf_(path);
    if (stamp && stamp_ && *stamp == *stamp_ && path == path_) return &format_;
    stamp_.reset();
    const std::optional<QByteArray> bytes = ReadWholeFile(path, FileBound::LabelFormat);
    if (!bytes) return nullptr;
    format_ = LabelFormat::parse(*bytes);
    path_ = path;
    // File times move in clock ticks, so a file written again within the tick it was read in
    // keeps its times. Until a file is a few seconds older than its reading, its times prove
    // nothing and it is read for every label.
    const std::int64_t now = now_();
    if (stamp && stamp->modifiedSec < now - 2 && stamp->changedSec < now - 2) stamp_ = stamp;
    return &format_;
}

void DrawLabelFormat(QIODevice& file, Printer& printer, const LabelGrid& grid, int row, int originX,
                     int originY) {
    // What the file holds, up to the bound. Asking for the whole bound at once would have a buffer
    // of the largest allowed file made (and its pages touched) for every label of a few hundred
    // bytes: a stall of milliseconds at the printer for each label.
    QByteArray bytes;
    if (file.isSequential()) {
        while (bytes.size() < FileBound::LabelFormat) {
            const QByteArray chunk = file.read(std::min<qint64>(64 * 1024, FileBound::LabelFormat - bytes.size()));
            if (chunk.isEmpty()) break;
            bytes += chunk;
        }
    } else {
        bytes = file.read(std::clamp<qint64>(file.size() - file.pos(), 0, FileBound::LabelFormat));
    }
    LabelFormat::parse(bytes).draw(printer, grid, row, originX, originY);
}
