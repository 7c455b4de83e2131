#include "output/PrintJob.h"

#include "grid/LabelGrid.h"
#include "output/DymoPrinter.h"
#include "output/LabelOutput.h"
#include "output/LaserPrinter.h"
#include "platform/ConnectionSecrets.h"
#include "platform/EventPump.h"
#include "platform/Printer.h"
#include "platform/SerialPort.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Cp1252.h"
#include "shell/common/Numbers.h"
#include "shell/common/Outcome.h"
#include "shell/common/PrintTargets.h"
#include "shell/common/ProgramOptions.h"

#include <exception>
#include <functional>
#include <utility>

namespace {
// Runs `body`; an error it raises comes back as its description (empty when none was raised).
// Anything else travels on to the command's guard.
QString failureOf(const std::function<void()>& body) {
    try {
        body();
        return {};
    } catch (const TagwellError& e) {
        return e.description().isEmpty() ? QStringLiteral("Error %1").arg(e.number()) : e.description();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    }
}

// Puts the print button's caption back however the job ends.
class CaptionRestorer {
public:
    explicit CaptionRestorer(PrintJobWindow& window) : window_(window), saved_(window.PrintButtonCaption()) {}
    ~CaptionRestorer() { window_.setPrintButtonCaption(saved_); }
    CaptionRestorer(const CaptionRestorer&) = delete;
    CaptionRestorer& operator=(const CaptionRestorer&) = delete;

private:
    PrintJobWindow& window_;
    QString saved_;
};

// Closes the port when a job is left by an error nobody on the way expected; on every other path
// the job closes it itself and reports how that went.
class PortGuard {
public:
    explicit PortGuard(SerialPort& port) : port_(port) {}
    ~PortGuard() {
        if (!port_.PortOpen()) return;
        try {
            port_.setPortOpen(false);
        } catch (const TagwellError&) {
        } catch (const std::exception&) {
        }
    }
    PortGuard(const PortGuard&) = delete;
    PortGuard& operator=(const PortGuard&) = delete;

private:
    SerialPort& port_;
};
}  // namespace

QString ConfigureSierraPort(SerialPort& port, const ProgramOptions& options) {
    const QString portFailure = failureOf([&] { port.setCommPort(options.SierraPort); });
    const QString settingsFailure = failureOf([&] { port.setSettings(options.SierraSettings); });
    return portFailure.isEmpty() ? settingsFailure : portFailure;
}

PrintJob::PrintJob(const LabelGrid& grid, const ProgramOptions& options, Printer& printer, SerialPort& port,
                   Dialogs& dialogs, EventPump& pump, PrintJobWindow& window, Hourglass& hourglass)
    : grid_(grid),
      options_(options),
      printer_(printer),
      port_(port),
      pump_(pump),
      window_(window),
      hourglass_(hourglass),
      sierra_(grid, options, port, dialogs, window) {}

QString PrintJob::PortErrorMessage(int number, int port, const QString& description) {
    return QStringLiteral("Error #") + NumberToText(number) + QStringLiteral(" opening port ") + QString::number(port) +
           QStringLiteral("\r\n") + description;
}

int PrintJob::LastRow() const {
    for (int r = grid_.Rows() - 1; r >= 1; --r)
        if (!IsBlank(grid_.TextMatrix(r, GridCol::Sku))) return r;
    return 0;
}

bool PrintJob::openPort(Outcome& outcome) {
    try {
        port_.setPortOpen(true);
        return true;
    } catch (const TagwellError& e) {
        outcome.addFailure(PortErrorMessage(e.number(), port_.CommPort(), e.description()));
        return false;
    }
}

void PrintJob::closePort(QString* failure) {
    if (!port_.PortOpen()) return;
    const QString why = failureOf([this] { port_.setPortOpen(false); });
    if (failure && failure->isEmpty()) *failure = why;
}

bool PrintJob::cancelCheck(Outcome& outcome) {
    pump_.DoEvents();
    if (!printCancelled_) return false;
    // Not every label printed: the job did not do all it was asked.
    outcome.addFailure(PrintJobText::Cancelled);
    return true;
}

void PrintJob::runSierra(int lastRow, Outcome& outcome) {
    if (!openPort(outcome)) return;
    const PortGuard guard(port_);
    bool firstRowReported = false, laterFormatProblem = false;
    QString failure = failureOf([&] {
        for (int row = 1; row <= lastRow; ++row) {
            if (!sierra_.PrintSierraLabel(row, outcome)) (row == 1 ? firstRowReported : laterFormatProblem) = true;
            if (cancelCheck(outcome)) break;
        }
    });
    // Closing waits for every byte; a label is never cut off by it, and a failure of it is
    // reported like any other.
    closePort(&failure);
    // A format file gone while the job ran (row 1 has its own message).
    if (laterFormatProblem && !firstRowReported) outcome.addFailure(QString::fromLatin1(kSierraFormatProblem));
    if (!failure.isEmpty()) outcome.addFailure(failure);
}

// The labels of `row` on were refused or lost: say so and stop, rather than send the rest of the
// job after them. A file choice the user declined stops the job without a word.
bool PrintJob::dymoStopped(int row, Outcome& outcome) {
    const PrintOutcome printed = printer_.JobOutcome();
    if (printed.declined) {
        outcome.markFailed();
        return true;
    }
    if (printed.failure.isEmpty()) return false;
    outcome.addFailure(NotPrintedMessage(printed.failure, row));
    return true;
}

void PrintJob::runDymo(int lastRow, Outcome& outcome) {
    const LabelOutput out{printer_, outcome, grid_, options_};
    PrinterJobScope job(printer_);
    bool firstRowReported = false, laterFormatProblem = false;
    for (int row = 1; row <= lastRow; ++row) {
        if (!PrintDymoLabel(out, row)) (row == 1 ? firstRowReported : laterFormatProblem) = true;
        if (dymoStopped(row, outcome)) break;
        if (cancelCheck(outcome)) break;
    }
    // A format file gone while the job ran (row 1 has its own message).
    if (laterFormatProblem && !firstRowReported) outcome.addFailure(QString::fromLatin1(kDymoFormatProblem));
    const PrintOutcome printed = printer_.JobOutcome();
    if (printed.heldDocuments > 0) outcome.addNotice(HeldMessage(printed, printed.heldDocuments));
}

Outcome PrintJob::PrintLabels() {
    if (window_.PrintButtonCaption() == PrintJobText::Cancel) {
        printCancelled_ = true;
        return Outcome::done();
    }
    const int lastRow = LastRow();
    if (lastRow == 0) return Outcome::failure(PrintJobText::NoData);
    printCancelled_ = false;
    const CaptionRestorer restore(window_);
    window_.setPrintButtonCaption(PrintJobText::Cancel);

    const PrintTarget& target = PrintTargetFor(options_.SierraPrint);
    printer_.setDocumentName(jobName(lastRow));
    Outcome outcome;
    QString failure;
    if (target.driver == PrintDriver::Sierra) {
        runSierra(lastRow, outcome);  // reports its own failures after closing the port
    } else if (target.driver == PrintDriver::Dymo) {
        failure = failureOf([&] { runDymo(lastRow, outcome); });
    } else {
        const int layout = target.code;
        const LabelOutput out{printer_, outcome, grid_, options_};
        const int firstLabel = std::exchange(firstLabel_, 1);
        failure = failureOf([&] {
            PrintLaserJob(out, layout, lastRow, [&] { return cancelCheck(outcome); }, hourglass_, firstLabel);
        });
        if (!failure.isEmpty()) hourglass_.ShowHourglass(false);
    }
    if (!failure.isEmpty()) outcome.addFailure(failure);
    return outcome;
}

QString PrintJob::jobName(int lastRow) const {
    // The name ends up in the scheduler's queue and page log, one line per job: control characters
    // (a newline or an ESC in a file name) are left out. A name byte that is not UTF-8 (kept as
    // U+DC80 + byte) is shown as the store's code page has it.
    QString source;
    for (const QChar c : MaskSecrets(jobSource_)) {
        if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)
            source += Cp1252ToChar(static_cast<unsigned char>(c.unicode() - 0xDC00));
        else if (c.category() != QChar::Other_Control)
            source += c;
    }
    const QString what = source.isEmpty() ? QStringLiteral("%1 rows").arg(lastRow) : source;
    return QStringLiteral("Tagwell labels - ") + what;
}

Outcome PrintJob::PrintInstantRow(int row) {
    Outcome outcome;
    QString failure;
    // The drivers report a format file that will not open for row 1 only; any other row printed
    // on its own would otherwise vanish without a word.
    QString formatProblem, refused, held;
    // On the Dymo when it is the target, on the Sierra Sport for any other.
    const PrintTarget* target = FindPrintTarget(options_.SierraPrint);
    if (target && target->driver == PrintDriver::Dymo) {
        const LabelOutput out{printer_, outcome, grid_, options_};
        printer_.setDocumentName(QStringLiteral("Tagwell labels - row %1").arg(row));
        failure = failureOf([&] {
            const PrinterJobScope job(printer_);
            if (!PrintDymoLabel(out, row) && row != 1) formatProblem = QString::fromLatin1(kDymoFormatProblem);
            // A label the printing system refused must not vanish without a word either.
            const PrintOutcome printed = printer_.JobOutcome();
            if (!printed.failure.isEmpty()) refused = NotPrintedMessage(printed.failure);
            held = HeldMessage(printed, printed.heldDocuments);
        });
    } else {
        if (!openPort(outcome)) return outcome;
        const PortGuard guard(port_);
        failure = failureOf([&] {
            if (!sierra_.PrintSierraLabel(row, outcome) && row != 1)
                formatProblem = QString::fromLatin1(kSierraFormatProblem);
        });
        closePort(&failure);
    }
    if (!formatProblem.isEmpty()) outcome.addFailure(formatProblem);
    if (!refused.isEmpty()) outcome.addFailure(refused);
    if (!held.isEmpty()) outcome.addNotice(held);
    if (!failure.isEmpty()) outcome.addFailure(failure);
    return outcome;
}

Outcome PrintJob::SierraSportTest() {
    Outcome outcome;
    if (!openPort(outcome)) return outcome;
    const PortGuard guard(port_);
    QString failure = failureOf([&] { sierra_.PrintSierraLabel(1, outcome); });
    closePort(&failure);
    // A test that failed must say so: the clerk runs it to find out whether the printer works.
    if (!failure.isEmpty()) outcome.addFailure(failure);
    return outcome;
}

Outcome PrintJob::LaserPrinterSetup(PrinterSetupDialog& dialog) {
    const QString failure = failureOf([&] { dialog.ShowPrinterSetup(); });
    return failure.isEmpty() ? Outcome::done() : Outcome::failure(failure);
}
