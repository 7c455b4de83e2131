#pragma once
// The print job: the grid's rows as labels on the target of SierraPrint (0 Sierra Sport, 1 Dymo,
// 3 laser 3-up, anything else laser 4-up), with the print button's "CANCEL" caption as the running
// mark and a click on it, arriving while the job lets pending events run, as the cancel. Also the
// one-row instant print, the Sierra Sport test and the laser printer setup.
//
// The main window owns one PrintJob for the whole run (it holds FontsLoaded and PrintCancelled)
// and runs each command through it; nothing here knows a widget.
#include "output/SierraPrinter.h"
#include "shell/common/Outcome.h"

#include <QString>

class Dialogs;
class EventPump;
class Hourglass;
class LabelGrid;
class Printer;
class PrinterSetupDialog;
class SerialPort;
struct ProgramOptions;

// The two captions a job changes: the print button's (the running mark) and, through
// WindowCaption, the window's (while the Sierra fonts go out).
class PrintJobWindow : public WindowCaption {
public:
    virtual QString PrintButtonCaption() const = 0;
    virtual void setPrintButtonCaption(const QString& caption) = 0;
};


namespace PrintJobText {
inline const QString Cancel = QStringLiteral("CANCEL");
inline const QString NoData = QStringLiteral("No data to print.");
inline const QString Cancelled =
    QStringLiteral("Printing Cancelled.  Several labels may print before cancel takes effect.");
}  // namespace PrintJobText

// Gives the serial control SierraPort and SierraSettings (at start-up and when the options dialog
// closes). A port number or settings text the control refuses leaves the previous value in force
// and never stops the caller; the refusal's description comes back ("" when both were taken).
QString ConfigureSierraPort(SerialPort& port, const ProgramOptions& options);

class PrintJob {
public:
    PrintJob(const LabelGrid& grid, const ProgramOptions& options, Printer& printer, SerialPort& port,
             Dialogs& dialogs, EventPump& pump, PrintJobWindow& window, Hourglass& hourglass);

    // Each command returns what it has to tell, in the order the clerk sees it; the caller shows
    // it. Questions (the Sierra font file's, where to save a PDF) are asked on the way.

    // Print Labels (menu and print button alike). While a job runs (the button reads "CANCEL") a
    // second call only sets PrintCancelled, which the running job sees at its next check.
    // " N items printed." is a notice; any other message says something did not print.
    Outcome PrintLabels();

    // One row at once, after ENTER stored it: on the Dymo printer when SierraPrint is 1, else on
    // the Sierra Sport. A port that will not open gets the port error message.
    Outcome PrintInstantRow(int row);

    // Sierra Sport Test: grid row 1 to the Sierra Sport, whatever the target; the port is opened
    // and closed even when row 1 is empty.
    Outcome SierraSportTest();

    // Laser Printer Setup. Cancel changes nothing.
    Outcome LaserPrinterSetup(PrinterSetupDialog& dialog);

    // The position (1 = top-left) at which the next laser job starts on its first sheet, for a
    // sheet part used before; every job after that one starts at 1 again.
    void setFirstLabel(int position) { firstLabel_ = position; }

    // The data file the grid was read from, named in the printing system's job name ("Tagwell
    // labels - items.txt"); without one the job is named by its row count ("Tagwell labels - 35
    // rows").
    void setJobSource(const QString& name) { jobSource_ = name; }

    // The last row whose sku is not blank, 0 when there is none.
    int LastRow() const;

    bool PrintCancelled() const { return printCancelled_; }
    bool FontsLoaded() const { return sierra_.FontsLoaded(); }
    void setFontsLoaded(bool loaded) { sierra_.setFontsLoaded(loaded); }

    // "Error # <n> opening port <port>" CR LF and the platform's description.
    static QString PortErrorMessage(int number, int port, const QString& description);

private:
    // Opens the port; on failure reports the port error message and returns false.
    bool openPort(Outcome& outcome);
    // Closes the port if open. Returns the failure to report, if any.
    void closePort(QString* failure);
    bool cancelCheck(Outcome& outcome);
    void runSierra(int lastRow, Outcome& outcome);
    void runDymo(int lastRow, Outcome& outcome);
    bool dymoStopped(int row, Outcome& outcome);
    QString jobName(int lastRow) const;

    const LabelGrid& grid_;
    const ProgramOptions& options_;
    Printer& printer_;
    SerialPort& port_;
    EventPump& pump_;
    PrintJobWindow& window_;
    Hourglass& hourglass_;
    SierraPrinter sierra_;
    bool printCancelled_ = false;
    int firstLabel_ = 1;
    QString jobSource_;
};
