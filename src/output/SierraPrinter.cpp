#include "output/SierraPrinter.h"

#include "grid/LabelGrid.h"
#include "platform/Dialogs.h"
#include "platform/FileAccess.h"
#include "platform/SerialPort.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Numbers.h"
#include "shell/common/Outcome.h"
#include "shell/common/ProgramOptions.h"

#include <QFile>

namespace {
const QString kLoadingFonts = QStringLiteral("LOADING FONTS, PLEASE WAIT...");
const QString kQuoteEscape = QStringLiteral("~034");
constexpr int kTailLength = 100;  // what follows a closing quote, or an escaped quote, is cut to this

// Only the space character is trimmed, as everywhere in the stores' text files.
QByteArray trimSpaces(const QByteArray& bytes) {
    qsizetype from = 0, to = bytes.size();
    while (from < to && bytes[from] == ' ') ++from;
    while (to > from && bytes[to - 1] == ' ') --to;
    return bytes.mid(from, to - from);
}

QString trimSpaces(const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == u' ') ++from;
    while (to > from && text[to - 1] == u' ') --to;
    return text.mid(from, to - from);
}

// Windows-1252 bytes 0x80..0x9F; 0 where the code page has no character there.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char toCp1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        // The five unassigned bytes keep the control characters that stand for them.
        if (kCp1252High[i] == c || (kCp1252High[i] == 0 && c == 0x80 + i)) return static_cast<char>(0x80 + i);
    }
    return '?';
}

bool readFile(const QString& path, QByteArray& content) {
    // Format and font files alike: regular files within the font's bound, never a pipe or a device.
    std::optional<QByteArray> bytes = ReadWholeFile(path, FileBound::SierraFont);
    if (!bytes) return false;
    content = std::move(*bytes);
    return true;
}
}  // namespace

QByteArray ToWindows1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) out.append(toCp1252(c.unicode()));
    return out;
}

QList<QByteArray> SplitTextLines(const QByteArray& content) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = content.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (content[i] != '\r') continue;
        lines.append(content.mid(start, i - start));
        if (i + 1 < n && content[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(content.mid(start));
    return lines;
}

QString SierraFieldValue(int code, const LabelGrid& grid, int row) {
    switch (code) {
    case 1: return grid.TextMatrix(row, GridCol::Sku);
    case 11: return grid.TextMatrix(row, GridCol::Mfn);
    case 10: return grid.TextMatrix(row, GridCol::Desc);
    case 21: return grid.TextMatrix(row, GridCol::Loc);
    case 48: return grid.TextMatrix(row, GridCol::Retail);
    case 66: return grid.TextMatrix(row, GridCol::Om);
    case 65: return grid.TextMatrix(row, GridCol::Pk);
    case 149: {
        // The UPC without its check digit; anything but twelve characters prints as zeros.
        QString upc = trimSpaces(grid.TextMatrix(row, GridCol::Upc));
        if (upc.size() != 12) upc = QStringLiteral("000000000000");
        return upc.left(11);
    }
    default: return QString();
    }
}

QByteArray MergeSierraLine(const QByteArray& rawLine, const LabelGrid& grid, int row) {
    const QByteArray line = trimSpaces(rawLine);
    const qsizetype open = line.indexOf("\"=");  // 0-based position of the opening quote
    if (open < 0) return line;
    const qsizetype close = line.indexOf('"', open + 2);
    // No closing quote: the line goes out as written.
    if (close < 0) return line;

    int code = 0;
    try {
        code = TextToInt16(QString::fromLatin1(line.mid(open + 2, 4)));
    } catch (const TagwellError&) {
        code = -1;  // a code beyond 16 bits names no column
    }
    QString value = trimSpaces(SierraFieldValue(code, grid, row));
    if (value.isEmpty()) value = QStringLiteral(" ");
    // A quote inside a value would end the printer's string: it goes out as ~034, and what
    // followed it is kept up to 100 characters.
    for (qsizetype k = value.indexOf(u'"'); k >= 0; k = value.indexOf(u'"'))
        value = value.left(k) + kQuoteEscape + value.mid(k + 1, kTailLength);

    QByteArray merged = line.left(open + 1);
    merged += ToWindows1252(value);
    merged += line.mid(close, kTailLength);
    return merged;
}

SierraPrinter::SierraPrinter(const LabelGrid& grid, const ProgramOptions& options, SerialPort& port,
                             Dialogs& dialogs, WindowCaption& window)
    : grid_(grid), options_(options), port_(port), dialogs_(dialogs), window_(window) {}

bool SierraPrinter::sendFonts(Outcome& outcome) {
    QByteArray fonts;
    if (!readFile(options_.SierraFont, fonts)) {
        // What the job has to tell so far comes before the question.
        ShowOutcomeSoFar(outcome, dialogs_);
        // OK goes on without fonts; the next label asks again.
        return dialogs_.MsgBox(QStringLiteral("Problem opening Sierra Font File"),
                               MsgStyle::Information | MsgStyle::OKCancel, kAlert) != MsgResult::Cancel;
    }
    // The caption comes back however the sending ends; when it did not end, the printer may hold
    // half a font: it is sent whole again with the next label.
    struct Restore {
        WindowCaption& window;
        QString saved;
        bool& loaded;
        bool sent = false;
        ~Restore() {
            if (!sent) loaded = false;
            window.setCaption(saved);
        }
    } restore{window_, window_.Caption(), fontsLoaded_};
    window_.setCaption(kLoadingFonts);
    fontsLoaded_ = true;
    for (const QByteArray& line : SplitTextLines(fonts)) port_.Output(line);
    restore.sent = true;
    return true;
}

bool SierraPrinter::PrintSierraLabel(int row, Outcome& outcome) {
    if (trimSpaces(grid_.TextMatrix(row, GridCol::Sku)).isEmpty()) return true;
    if (!fontsLoaded_ && !sendFonts(outcome)) {
        outcome.markFailed();  // the question was answered Cancel: this label is not sent
        return true;
    }

    QByteArray format;
    if (!readFile(options_.SierraFormat, format)) {
        if (row == 1) outcome.addFailure(QString::fromLatin1(kSierraFormatProblem));
        return false;
    }
    for (const QByteArray& line : SplitTextLines(format)) port_.Output(MergeSierraLine(line, grid_, row));
    return true;
}
