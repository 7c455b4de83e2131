#include "output/PrintJob.h"

#include "grid/LabelGrid.h"
#include "output/DymoPrinter.h"
#include "output/LabelOutput.h"
#include "output/LaserPrinter.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/Printer.h"
#include "platform/SerialPort.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Numbers.h"
#include "shell/common/Outcome.h"
#include "shell/common/PrintTargets.h"
#include "shell/common/ProgramOptions.h"

#include <exception>
#include <functional>
#include <utility>

namespace {

// Runs `body`; an error it raises comes back as its description (empty when none was raised).
QString failureOf(const std::function<void()>& body) {
    try {
        body();
        return {};
    } catch (const TagwellError& e) {
        return e.description().isEmpty() ? QStringLiteral("Error %1").arg(e.number()) : e.description();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
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
      dialogs_(dialogs),
      pump_(pump),
      window_(window),
      hourglass_(hourglass),
      sierra_(grid, options, port, dialogs, window) {}

QString PrintJob::PortErrorMessage(int number, int port, const QString& description) {
    return QStringLiteral("Error #") + NumberToText(number) + QStringLiteral(" opening port ") + QString::number(port) +
           QStringLiteral("\r\n") + description;
}

void PrintJob::alert(const QString& text) { dialogs_.MsgBox(text, MsgStyle::Information, kAlert); }

int PrintJob::LastRow() const {
    for (int r = grid_.Rows() - 1; r >= 1; --r)
        if (!IsBlank(grid_.TextMatrix(r, GridCol::Sku))) return r;
    return 0;
}

bool PrintJob::openPort() {
    try {
        port_.setPortOpen(true);
        return true;
    } catch (const TagwellError& e) {
        alert(PortErrorMessage(e.number(), port_.CommPort(), e.description()));
        return false;
    }
}

void PrintJob::closePort(QString* failure) {
    if (!port_.PortOpen()) return;
    const QString why = failureOf([this] { port_.setPortOpen(false); });
    if (failure && failure->isEmpty()) *failure = why;
}

bool PrintJob::cancelCheck() {
    pump_.DoEvents();
    if (!printCancelled_) return false;
    alert(PrintJobText::Cancelled);
    return true;
}

void PrintJob::runSierra(int lastRow) {
    if (!openPort()) return;
    bool firstRowReported = false, laterFormatProblem = false;
    QString failure = failureOf([&] {
        for (int row = 1; row <= lastRow; ++row) {
            if (!sierra_.PrintSierraLabel(row)) (row == 1 ? firstRowReported : laterFormatProblem) = true;
            if (cancelCheck()) break;
        }
    });
    // Closing waits for every byte; a label is never cut off by it, and a failure of it is
    // reported like any other.
    closePort(&failure);
    // A format file gone while the job ran (row 1 has its own message).
    if (laterFormatProblem && !firstRowReported) alert(QString::fromLatin1(kSierraFormatProblem));
    if (!failure.isEmpty()) alert(failure);
}

// The labels of `row` on were refused or lost: say so and stop, rather than send the rest of the
// job after them. A file choice the user declined stops the job without a word.
bool PrintJob::dymoStopped(int row) {
    const PrintOutcome outcome = printer_.JobOutcome();
    if (outcome.declined) return true;
    if (outcome.failure.isEmpty()) return false;
    alert(NotPrintedMessage(outcome.failure, row));
    return true;
}

void PrintJob::runDymo(int lastRow) {
    const LabelOutput out{printer_, dialogs_, grid_, options_};
    PrinterJobScope job(printer_);
    bool firstRowReported = false, laterFormatProblem = false;
    for (int row = 1; row <= lastRow; ++row) {
        if (!PrintDymoLabel(out, row)) (row == 1 ? firstRowReported : laterFormatProblem) = true;
        if (dymoStopped(row)) break;
        if (cancelCheck()) break;
    }
    // A format file gone while the job ran (row 1 has its own message).
    if (laterFormatProblem && !firstRowReported) alert(QString::fromLatin1(kDymoFormatProblem));
}

void PrintJob::PrintLabels() {
    if (window_.PrintButtonCaption() == PrintJobText::Cancel) {
        printCancelled_ = true;
        return;
    }
    const int lastRow = LastRow();
    if (lastRow == 0) {
        alert(PrintJobText::NoData);
        return;
    }
    printCancelled_ = false;
    const CaptionRestorer restore(window_);
    window_.setPrintButtonCaption(PrintJobText::Cancel);

    const PrintTarget& target = PrintTargetFor(options_.SierraPrint);
    printer_.setDocumentName(jobName(lastRow));
    QString failure;
    if (target.driver == PrintDriver::Sierra) {
        runSierra(lastRow);  // reports its own failures after closing the port
    } else if (target.driver == PrintDriver::Dymo) {
        failure = failureOf([&] { runDymo(lastRow); });
    } else {
        const int layout = target.code;
        const LabelOutput out{printer_, dialogs_, grid_, options_};
        const int firstLabel = std::exchange(firstLabel_, 1);
        failure = failureOf(
            [&] { PrintLaserJob(out, layout, lastRow, [this] { return cancelCheck(); }, hourglass_, firstLabel); });
        if (!failure.isEmpty()) hourglass_.ShowHourglass(false);
    }
    if (!failure.isEmpty()) alert(failure);
}

QString PrintJob::jobName(int lastRow) const {
    const QString what = jobSource_.isEmpty() ? QStringLiteral("%1 rows").arg(lastRow) : jobSource_;
    return QStringLiteral("Tagwell labels - ") + what;
}

void PrintJob::PrintInstantRow(int row) {
    QString failure;
    // The drivers report a format file that will not open for row 1 only; any other row printed
    // on its own would otherwise vanish without a word.
    QString formatProblem, refused;
    // On the Dymo when it is the target, on the Sierra Sport for any other.
    const PrintTarget* target = FindPrintTarget(options_.SierraPrint);
    if (target && target->driver == PrintDriver::Dymo) {
        const LabelOutput out{printer_, dialogs_, grid_, options_};
        printer_.setDocumentName(QStringLiteral("Tagwell labels - row %1").arg(row));
        failure = failureOf([&] {
            const PrinterJobScope job(printer_);
            if (!PrintDymoLabel(out, row) && row != 1) formatProblem = QString::fromLatin1(kDymoFormatProblem);
            // A label the printing system refused must not vanish without a word either.
            const PrintOutcome outcome = printer_.JobOutcome();
            if (!outcome.failure.isEmpty()) refused = NotPrintedMessage(outcome.failure);
        });
    } else {
        if (!openPort()) return;
        failure = failureOf([&] {
            if (!sierra_.PrintSierraLabel(row) && row != 1) formatProblem = QString::fromLatin1(kSierraFormatProblem);
        });
        closePort(&failure);
    }
    if (!formatProblem.isEmpty()) alert(formatProblem);
    if (!refused.isEmpty()) alert(refused);
    if (!failure.isEmpty()) alert(failure);
}

void PrintJob::SierraSportTest() {
    if (!openPort()) return;
    QString failure = failureOf([&] { sierra_.PrintSierraLabel(1); });
    closePort(&failure);
    // A test that failed must say so: the clerk runs it to find out whether the printer works.
    if (!failure.isEmpty()) alert(failure);
}

void PrintJob::LaserPrinterSetup(PrinterSetupDialog& dialog) {
    const QString failure = failureOf([&] { dialog.ShowPrinterSetup(); });
    if (!failure.isEmpty()) alert(failure);
}
