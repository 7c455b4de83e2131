// import and print: the window's "Read in a Data File" and "Print Labels" on a console window.
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/ConsoleServices.h"
#include "datafiles/Export.h"
#include "datafiles/Import.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "grid/GridCommands.h"
#include "grid/LabelGrid.h"
#include "output/LaserPrinter.h"
#include "output/PrintJob.h"
#include "platform/qt/QtCupsQueue.h"
#include "platform/FileAccess.h"
#include "platform/qt/QtOdbcRecordSet.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtSerialPort.h"
#include "output/TracingPrinter.h"
#include "shell/common/Common.h"
#include "shell/common/Outcome.h"
#include "shell/common/PrintTargets.h"
#include "shell/common/ProgramOptions.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <memory>

namespace {

// What the window holds between commands, built as its start-up builds it: the options from the
// (overlaid) store, the print target's sheet, an empty grid of one sheet and the dictionary.
struct ConsoleSession {
    explicit ConsoleSession(CliContext& cx) : cx(cx), commands(grid, window, options) {}

    // False (message shown) when the dictionary cannot be read.
    bool start() {
        options.load(cx.settings);
        commands.ApplyPrintTarget();
        commands.ResetGrid();
        return LoadCliDictionary(cx, dctInv);
    }

    // "Read in a Data File" (index 0) or "Read in a Price Change File" (1) of `path`, the open
    // dialog answering with it. False when the import reported a failure; `cut` tells a file cut
    // short by a NUL byte, whose rows up to there are still written or printed.
    bool import(const QString& path, int index, bool& cut) {
        cwDatFile datFile;
        QtOdbcRecordSetFactory recordSets;
        Hourglass hourglass(screen);
        cx.dialogs.setOpenFile(path);
        DataFileImport run(cx.dialogs, cx.settings, grid, dctInv, datFile, &recordSets, hourglass, pump,
                           commands.LabelsPerSheet, [this] { commands.LoadRowIntoEntry(); });
        Outcome outcome = run.mnuFileRead(index);
        // A database the window leaves out silently (its connection refused) still fails the run.
        if (!outcome.failed() && !run.databaseFailure().isEmpty()) outcome.addFailure(run.databaseFailure());
        ShowOutcome(outcome, cx.dialogs);
        cut = run.dataCut();
        return !outcome.failed();
    }

    CliContext& cx;
    ProgramOptions options;
    LabelGrid grid;
    ConsoleWindow window;
    GridCommands commands;
    cwDct dctInv;
    NullScreenPointer screen;
    ConsoleEventPump pump;
};

// Writes the trace lines into a file as they come; the file is put in place when the job is over,
// so a run that fails or is killed leaves the previous trace as it was.
class TraceFile {
public:
    explicit TraceFile(const QString& path) : file_(path) {}
    bool open() { return file_.open(); }
    QString errorString() const { return file_.errorString(); }
    void write(const QString& line) { file_.write(line.toUtf8() + '\n'); }
    bool commit() { return file_.commit(); }

private:
    FileWriter file_;
};

// Why no printer can take the labels, naming what was found: printers without a default among
// them, or none, or a printing system that does not answer.
QString NoPrinterMessage(QStringList printers) {
    printers.removeAll(QtPrinter::fileDeviceName());
    if (!printers.isEmpty())
        return QStringLiteral("No default printer is set among the installed printers (%1): give --printer NAME, or "
                              "--pdf FILE to print into a PDF file.")
            .arg(printers.join(QStringLiteral(", ")));
    const QString unreachable = CupsQueue::Unreachable();
    if (!unreachable.isEmpty())
        return unreachable + QStringLiteral(": give --pdf FILE to print into a PDF file.");
    return QStringLiteral("No printer is installed: give --pdf FILE to print into a PDF file.");
}

}  // namespace

int RunImport(const ParsedArguments& args, CliContext& cx) {
    ApplySharedOverrides(args, cx.settings);
    ConsoleSession session(cx);
    if (!session.start()) return CliExit::Failed;
    bool cut = false;
    if (!session.import(args.positional, args.has(QStringLiteral("price-change")) ? 1 : 0, cut) && !cut)
        return CliExit::Failed;
    // Written either way; a file cut short still fails the run.
    const int done = cut ? CliExit::Failed : CliExit::Ok;

    const QByteArray bytes = ExportFileBytes(session.grid);
    if (args.has(QStringLiteral("out"))) {
        const QString path = args.value(QStringLiteral("out"));
        if (const QString reason = WriteWholeFile(path, bytes); !reason.isEmpty()) {
            cx.dialogs.MsgBox(QStringLiteral("The export file %1 could not be written: %2").arg(path, reason),
                              MsgStyle::Information, kAlert);
            return CliExit::Failed;
        }
        return done;
    }
    // The export file is bytes (Windows-1252, CR LF): it goes out unchanged, after any text.
    cx.out.flush();
    if (const QString reason = WriteToStandardOutput(bytes); !reason.isEmpty()) {
        cx.dialogs.MsgBox(QStringLiteral("The export file could not be written to standard output: ") + reason,
                          MsgStyle::Information, kAlert);
        return CliExit::Failed;
    }
    return done;
}

int RunPrint(const ParsedArguments& args, CliContext& cx) {
    const auto opt = [&](const char* name) { return QString::fromLatin1(name); };
    if (args.has(opt("printer")) && args.has(opt("pdf")))
        throw UsageError(QStringLiteral("--printer and --pdf exclude each other"));

    // Overrides first, so that the options load them as the window loads its store.
    ApplySharedOverrides(args, cx.settings);
    OverlaySettingsStore& store = cx.settings;
    if (args.has(opt("target")))
        store.setOverride(opt("SierraPrint"), QString::number(CliChoice(args, opt("target"), PrintTargetCodes())));
    if (args.has(opt("port"))) store.setOverride(opt("SierraPort"), QString::number(CliWholeNumber(args, opt("port"), 1, 32767)));
    if (args.has(opt("settings"))) store.setOverride(opt("SierraSettings"), args.value(opt("settings")));
    if (args.has(opt("font"))) store.setOverride(opt("SierraFont"), args.value(opt("font")));

    ProgramOptions probe;
    probe.load(store);
    const int target = probe.SierraPrint;
    // What --format and --first-label address depends on the target, as in the options dialog.
    const PrintTarget& printTarget = PrintTargetFor(target);
    int firstLabel = 1;
    if (args.has(opt("first-label"))) {
        // Only a laser sheet has positions.
        if (printTarget.driver != PrintDriver::Laser)
            throw UsageError(QStringLiteral("--first-label needs a laser target (3 or 4), not %1").arg(target));
        firstLabel = CliWholeNumber(args, opt("first-label"), 1, printTarget.labelsPerSheet);
    }
    if (args.has(opt("format"))) store.setOverride(opt(printTarget.formatKey), args.value(opt("format")));
    if (args.has(opt("offsets"))) {
        static const QRegularExpression pair(QStringLiteral("^\\s*([-+]?\\d+)\\s*,\\s*([-+]?\\d+)\\s*$"));
        const auto m = pair.match(args.value(opt("offsets")));
        if (!m.hasMatch())
            throw UsageError(QStringLiteral("--offsets must be two whole numbers of twips, LR,UD, not \"%1\"")
                                 .arg(args.value(opt("offsets"))));
        // The offsets of the 3-up sheet for target 3, of the 4-up sheet for any other.
        const PrintTarget& sheet = LaserTargetFor(target);
        store.setOverride(opt(sheet.offLrKey), m.captured(1));
        store.setOverride(opt(sheet.offUdKey), m.captured(2));
    }
    // The serial adapter reads "COM<port>" for the device of port N each time it opens the port.
    if (args.has(opt("device"))) store.setOverride(QStringLiteral("COM%1").arg(probe.SierraPort), args.value(opt("device")));

    ConsoleSession session(cx);
    if (!session.start()) return CliExit::Failed;
    ProgramOptions& options = session.options;

    // The printer, chosen before the job so that the trace holds the job's operations only.
    QtPrinter qtPrinter(cx.dialogs);
    const bool sierra = options.SierraPrint == 0;
    const bool dymo = options.SierraPrint == 1;
    if (args.has(opt("pdf"))) {
        qtPrinter.setOutputFile(args.value(opt("pdf")));
        // A Dymo label goes to the device of that name when it is installed: name the PDF member so
        // that the labels go into the file.
        if (dymo) options.SierraDymoDeviceName = QtPrinter::fileDeviceName();
    } else if (args.has(opt("printer"))) {
        const QString name = args.value(opt("printer"));
        const auto index = qtPrinter.Printers().indexOf(name);
        if (index < 0 || name == QtPrinter::fileDeviceName()) {
            cx.dialogs.MsgBox(QStringLiteral("There is no printer named %1.").arg(name), MsgStyle::Information, kAlert);
            return CliExit::Failed;
        }
        if (dymo) options.SierraDymoDeviceName = name;
        else qtPrinter.setPrinter(static_cast<int>(index));
    }
    if (!sierra && !args.has(opt("pdf"))) {
        // Without a printer the labels would go to a PDF whose name nobody can be asked for.
        const bool dymoInstalled = dymo && qtPrinter.Printers().contains(options.SierraDymoDeviceName) &&
                                   options.SierraDymoDeviceName != QtPrinter::fileDeviceName();
        if (!dymoInstalled && qtPrinter.DeviceName() == QtPrinter::fileDeviceName()) {
            cx.dialogs.MsgBox(NoPrinterMessage(qtPrinter.Printers()), MsgStyle::Information, kAlert);
            return CliExit::Failed;
        }
    }

    std::unique_ptr<TraceFile> trace;
    std::unique_ptr<TracingPrinter> tracing;
    if (args.has(opt("trace"))) {
        trace = std::make_unique<TraceFile>(args.value(opt("trace")));
        if (!trace->open()) {
            cx.dialogs.MsgBox(QStringLiteral("The trace file %1 could not be written: %2")
                                  .arg(args.value(opt("trace")), trace->errorString()),
                              MsgStyle::Information, kAlert);
            return CliExit::Failed;
        }
        tracing = std::make_unique<TracingPrinter>(qtPrinter, [t = trace.get()](const QString& line) { t->write(line); });
    }
    Printer& printer = tracing ? static_cast<Printer&>(*tracing) : static_cast<Printer&>(qtPrinter);

    QtSerialPort serial(store);
    const QString refused = ConfigureSierraPort(serial, options);
    if (!refused.isEmpty() && sierra) {
        cx.dialogs.MsgBox(refused, MsgStyle::Information, kAlert);
        return CliExit::Failed;
    }

    bool cut = false;
    if (!session.import(args.positional, 0, cut) && !cut) return CliExit::Failed;

    Hourglass hourglass(session.screen);
    PrintJob job(session.grid, options, printer, serial, cx.dialogs, session.pump, session.window, hourglass);
    job.setFirstLabel(firstLabel);
    job.setJobSource(args.positional.section(u'/', -1));
    const Outcome printed = job.PrintLabels();
    ShowOutcome(printed, cx.dialogs);
    if (trace && !trace->commit()) {
        cx.dialogs.MsgBox(QStringLiteral("The trace file %1 could not be written: %2")
                              .arg(args.value(opt("trace")), trace->errorString()),
                          MsgStyle::Information, kAlert);
        return CliExit::Failed;
    }
    return printed.failed() || cut ? CliExit::Failed : CliExit::Ok;
}
