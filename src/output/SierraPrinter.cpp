#include "output/SierraPrinter.h"

#include "grid/LabelGrid.h"
#include "platform/Dialogs.h"
#include "platform/FileAccess.h"
#include "platform/SerialPort.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Cp1252.h"
#include "shell/common/Numbers.h"
#include "shell/common/Outcome.h"
#include "shell/common/ProgramOptions.h"
#include "shell/common/RowFields.h"

#include <QFile>

namespace {
const QString kLoadingFonts = QStringLiteral("LOADING FONTS, PLEASE WAIT...");
const QString kQuoteEscape = QStringLiteral("~034");
constexpr int kTailLength = 100;  // what follows a closing quote, or an escaped quote, is cut to this

bool readFile(const QString& path, QByteArray& content) {
    // Format and font files alike: regular files within the font's bound, never a pipe or a device.
    std::optional<QByteArray> bytes = ReadWholeFile(path, FileBound::SierraFont);
    if (!bytes) return false;
    content = std::move(*bytes);
    return true;
}
}  // namespace

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
    const RowField* field = FieldOfNumber(code);
    if (!field) return QString();
    if (field->column != GridCol::Upc) return grid.TextMatrix(row, field->column);
    // The UPC without its check digit; anything but twelve characters prints as zeros.
    QString upc = trimSpaces(grid.TextMatrix(row, GridCol::Upc));
    if (upc.size() != 12) upc = QStringLiteral("000000000000");
    return upc.left(11);
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
    merged += EncodeCp1252(value);
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
