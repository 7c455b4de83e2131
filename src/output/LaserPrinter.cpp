#include "output/LaserPrinter.h"

#include "grid/LabelGrid.h"
#include "output/LabelFormat.h"
#include "output/LabelOutput.h"
#include "platform/Printer.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Numbers.h"
#include "shell/common/Outcome.h"
#include "shell/common/PrintTargets.h"
#include "shell/common/ProgramOptions.h"

#include <QRegularExpression>

#include <cstdint>
#include <optional>

namespace {

// An offset setting as a whole number of twips: the whole text must be a number (spaces around it
// allowed), rounded to the nearest whole number, a half to the even one. An empty or non-numeric
// text gives nothing.
std::optional<std::int32_t> offsetValue(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eEdD][+-]?\d+)?\s*$)"));
    if (!number.match(text).hasMatch()) return std::nullopt;
    try {
        return ToInt32(LeadingNumber(text));
    } catch (const TagwellError&) {
        return std::nullopt;
    }
}

struct Origin {
    int x;
    int y;
};

// The origin of position p on the sheet. Products and sums are 16-bit positions; a negative x is
// moved to the left edge, a negative y is kept.
std::optional<Origin> labelOrigin(const LaserSheet& sheet, std::int32_t offLr, std::int32_t offUd, int p) {
    const std::int64_t x = offLr + static_cast<std::int64_t>(p % sheet.across) * sheet.columnPitch;
    const std::int64_t y = offUd + static_cast<std::int64_t>(p / sheet.across) * sheet.linePitch;
    if (x < INT16_MIN || x > INT16_MAX || y < INT16_MIN || y > INT16_MAX) return std::nullopt;
    return Origin{x < 0 ? 0 : static_cast<int>(x), static_cast<int>(y)};
}

}  // namespace

QString NotPrintedMessage(const QString& failure, int fromRow) {
    const QString head = fromRow > 1 ? QStringLiteral("The labels from row %1 on were not printed.").arg(fromRow)
                                     : QStringLiteral("The labels were not printed.");
    return failure.isEmpty() ? head : head + QStringLiteral("\r\n") + failure;
}

QString HeldMessage(const PrintOutcome& printed, int labels) {
    if (printed.heldDocuments == 0) return {};
    const QString reason = printed.heldReason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(printed.heldReason);
    const QString wait = labels == 1 ? QStringLiteral("1 label waits") : QStringLiteral("%1 labels wait").arg(labels);
    return QStringLiteral("The printer %1 is stopped%2: %3 in its queue.").arg(printed.heldBy, reason, wait);
}

LaserSheet LaserSheetFor(int layout) {
    const PrintTarget& t = LaserTargetFor(layout);
    return {t.across, t.down, t.labelsPerSheet, t.labelWidth, t.labelHeight};
}

bool PrintLaserLabel(const LabelOutput& out, int layout, int row, int originX, int originY,
                     LabelFormatCache& formats) {
    if (IsBlank(out.grid.TextMatrix(row, GridCol::Sku))) return true;
    const LabelFormat* format = formats.load(out.options.*LaserTargetFor(layout).format);
    if (!format) {
        if (row == 1) out.outcome.addFailure(QString::fromLatin1(kLaserFormatProblem));
        return false;
    }
    format->draw(out.printer, out.grid, row, originX, originY);
    return true;
}

int PrintLaserJob(const LabelOutput& out, int layout, int lastRow, const std::function<bool()>& cancelCheck,
                  Hourglass& hourglass, int firstLabel) {
    const LaserSheet sheet = LaserSheetFor(layout);
    const int firstPosition = (firstLabel >= 1 && firstLabel <= sheet.perSheet ? firstLabel : 1) - 1;
    const PrintTarget& target = LaserTargetFor(layout);
    const QString lrName = QString::fromLatin1(target.offLrKey);
    const QString udName = QString::fromLatin1(target.offUdKey);
    const QString& lrText = out.options.*target.offLr;
    const QString& udText = out.options.*target.offUd;

    // Offsets are checked before anything is drawn: a job that would stop half way on a typing
    // error in the options would waste the sheets already printed.
    auto refuse = [&](const QString& why) {
        hourglass.ShowHourglass(false);
        out.outcome.addFailure(why + QStringLiteral("\r\nCorrect the laser offsets in the options and print again."));
        return -1;
    };
    const auto offLr = offsetValue(lrText);
    if (!offLr) return refuse(QStringLiteral("The offset %1 \"%2\" is not a whole number of twips.").arg(lrName, lrText));
    const auto offUd = offsetValue(udText);
    if (!offUd) return refuse(QStringLiteral("The offset %1 \"%2\" is not a whole number of twips.").arg(udName, udText));
    // The positions the job will use: from the first label on, and the whole sheet once it goes on
    // to a second one.
    const bool secondSheet = firstPosition + lastRow > sheet.perSheet;
    const int from = secondSheet ? 0 : firstPosition;
    const int to = secondSheet ? sheet.perSheet : firstPosition + lastRow;
    for (int p = from; p < to; ++p)
        if (!labelOrigin(sheet, *offLr, *offUd, p))
            return refuse(QStringLiteral("The offsets %1 \"%2\" and %3 \"%4\" place labels off the page.")
                              .arg(lrName, lrText, udName, udText));

    PrinterJobScope job(out.printer);
    int p = firstPosition - 1;
    out.printer.Scale();
    int row = 1;
    bool firstRowReported = false, laterFormatProblem = false;
    LabelFormatCache formats;
    for (; row <= lastRow; ++row) {
        if (cancelCheck && cancelCheck()) break;
        ++p;
        if (p == sheet.perSheet) {
            out.printer.NewPage();
            p = 0;
        }
        const Origin origin = *labelOrigin(sheet, *offLr, *offUd, p);
        if (!PrintLaserLabel(out, layout, row, origin.x, origin.y, formats)) (row == 1 ? firstRowReported : laterFormatProblem) = true;
    }
    // Also after a cancel: every label drawn so far prints.
    out.printer.EndDoc();
    hourglass.ShowHourglass(false);
    // The count says the labels were printed: it is shown only when the document reached the
    // printer. A file choice the user cancelled ends the job as quietly as a cancelled dialog.
    const PrintOutcome outcome = out.printer.JobOutcome();
    if (outcome.declined) {
        out.outcome.markFailed();
        return 0;
    }
    if (!outcome.failure.isEmpty()) {
        out.outcome.addFailure(NotPrintedMessage(outcome.failure));
        return 0;
    }
    const int handedOut = row - 1;
    // Without this the count below would be all the clerk learns of labels that came out blank.
    if (laterFormatProblem && !firstRowReported) out.outcome.addFailure(QString::fromLatin1(kLaserFormatProblem));
    out.outcome.addNotice(NumberToText(handedOut) + QStringLiteral(" items printed."));
    // The count is true (the printer has the labels), but they come out only once it is started.
    const QString held = HeldMessage(outcome, handedOut);
    if (!held.isEmpty()) out.outcome.addNotice(held);
    return handedOut;
}
