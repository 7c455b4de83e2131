// Golden cases of label output: a case folder holds the grid rows, the options, the format files
// and a script of commands; the runner runs them on a recording printer and a recording serial
// port and compares what was drawn (output/<case>/trace) or sent (sierra/<case>/stream.bin), the
// dialogs' transcript with each command's outcome (`messages`) and the state left behind with the
// expected files.
//
// rows     one grid row a line from row 1: sku|mfn|description|loc|retail|om|pk|upc
// options  KEY=VALUE settings of the program options; by default SierraFormat1, 3 and 4 name the
//          case's `format`, SierraFormat its `label.fab` and SierraFont its `font.pcl`
// script   print | instant ROW | test | setup cancel|fail | draw ROW X Y | set KEY=VALUE |
//          answer OK|Cancel... | at CALL print|delete FILE | port open-fails|write-fails-after N|N |
//          printer refuses-from N REASON|declines|current N | first-label N | configure |
//          source NAME (\uXXXX stands for a character)
#include "GoldenCases.h"
#include "output/LabelFormat.h"
#include "shell/common/Outcome.h"
#include "support/FakeSerialPort.h"
#include "support/FakeUi.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingWindow.h"
#include "support/ScriptedDialogs.h"
#include "grid/LabelGrid.h"
#include "output/RecordingPrinter.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/ProgramOptions.h"

#include <QTemporaryDir>

namespace {

QString unescape(QString text) {
    for (qsizetype at; (at = text.indexOf(QStringLiteral("\\u"))) >= 0;)
        text.replace(at, 6, QChar(char16_t(text.mid(at + 2, 4).toUInt(nullptr, 16))));
    return text;
}

struct SetupDialog : PrinterSetupDialog {
    bool fail = false;
    bool ShowPrinterSetup() override {
        if (fail) throw TagwellError(ErrorNumber::DeviceIo, QStringLiteral("No printers are installed"));
        return false;  // the user cancels
    }
};

// A port that notes the window's caption at every write: the fonts go out under "LOADING FONTS".
struct CaptionWatchingPort : FakeSerialPort {
    const WindowCaption* window = nullptr;
    QStringList seen;
    void Output(const QByteArray& bytes) override {
        seen << window->Caption();
        FakeSerialPort::Output(bytes);
    }
};

// The captions seen at the writes, a run of writes under one caption as "<caption> xN".
QString captionRuns(const QStringList& seen) {
    QStringList runs;
    for (qsizetype i = 0, j = 0; i < seen.size(); i = j) {
        for (j = i; j < seen.size() && seen[j] == seen[i]; ++j) {}
        runs << QStringLiteral("%1 x%2").arg(seen[i]).arg(j - i);
    }
    return runs.join(QStringLiteral(" > "));
}

// One case run on a recording printer and port; `sierra` cases expect what was sent.
struct PrintRun {
    void run(const golden::Case& c, bool sierra) {
        // The case's files are used from a copy, which a script may delete from.
        QTemporaryDir work;
        for (const QString& name : QDir(c.dir()).entryList(QDir::Files)) QFile::copy(c.path(name), work.filePath(name));
        const auto file = [&](const QString& name) { return work.filePath(name); };
        port.window = &window;
        MemorySettingsStore store;
        const auto set = [&](const QString& assignment) {
            const QString value = assignment.section(u'=', 1).replace(c.dir(), work.path());
            store.SaveSetting(kRegApp, kRegSec, assignment.section(u'=', 0, 0), value);
            options.load(store);
        };
        for (const char* key : {"SierraFormat1", "SierraFormat3", "SierraFormat4"}) set(key + QStringLiteral("=") + file("format"));
        set("SierraFormat=" + file("label.fab"));
        set("SierraFont=" + file("font.pcl"));
        if (c.has("options"))
            for (const QString& line : c.lines("options")) set(line);
        const QStringList rows = QString::fromUtf8(c.read("rows")).split(u'\n');
        grid.setRows(std::max<int>(33, static_cast<int>(rows.size()) + 1));
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList cells = rows[r].split(u'|');
            for (int col = 0; col < 8; ++col) grid.setTextMatrix(r + 1, col + 1, cells.value(col));
        }
        QStringList state;
        for (const QString& line : c.lines("script")) {
            const QStringList w = line.split(u' ');
            const QString& verb = w[0];
            if (verb == u"print") dialogs.show(job.PrintLabels());
            else if (verb == u"instant") dialogs.show(job.PrintInstantRow(w[1].toInt()));
            else if (verb == u"test") dialogs.show(job.SierraSportTest());
            else if (verb == u"setup") {
                SetupDialog dialog;
                dialog.fail = w[1] == u"fail";
                dialogs.show(job.LaserPrinterSetup(dialog));
            } else if (verb == u"draw") {
                QFile format(file("format"));
                ASSERT_TRUE(format.open(QIODevice::ReadOnly));
                DrawLabelFormat(format, printer, grid, w[1].toInt(), w[2].toInt(), w[3].toInt());
            } else if (verb == u"set") set(line.mid(4));
            else if (verb == u"answer") {
                for (const QString& a : w.mid(1)) dialogs.msgAnswers.push_back(a == u"OK" ? MsgResult::OK : MsgResult::Cancel);
            } else if (verb == u"at") {
                pump.onCall = [this, call = w[1].toInt(), w, file](int n) {
                    if (n != call) return;
                    if (w[2] == u"print") dialogs.show(job.PrintLabels());  // a click on the button reading CANCEL
                    else QFile::remove(file(w[3]));
                };
            } else if (verb == u"port") {
                if (w[1] == u"open-fails") port.failOpen = true;
                else if (w[1] == u"write-fails-after") port.failOutputAfterBytes = w[2].toInt();
                else port.setCommPort(w[1].toInt());
            } else if (verb == u"printer") {
                if (w[1] == u"refuses-from") printer.simulated().failFrom(w[2].toInt(), w.mid(3).join(u' '));
                else if (w[1] == u"declines") printer.simulated().declineDocuments(true);
                else printer.setPrinter(w[2].toInt());
            } else if (verb == u"first-label") job.setFirstLabel(w[1].toInt());
            else if (verb == u"source") job.setJobSource(unescape(line.section(u' ', 1)));
            else if (verb == u"configure") {
                const QString refused = ConfigureSierraPort(port, options);
                state << QStringLiteral("configure: port %1, settings %2, refused: %3").arg(port.CommPort()).arg(port.Settings(), refused);
            } else FAIL() << "unknown script line: " << line.toStdString();
        }
        if (sierra) c.expect("stream.bin", port.sent);
        else c.expect("trace", printer.lines().isEmpty() ? QByteArray() : (printer.lines().join(u'\n') + u'\n').toUtf8());
        c.expect("messages", (dialogs.transcript.join(u'\n') + u'\n').toUtf8());
        state << QStringLiteral("port: opened %1, closed %2, open now %3").arg(port.opens).arg(port.closes).arg(port.PortOpen())
              << "button: " + window.buttonHistory.join(QStringLiteral(" > "))
              << "caption: " + window.captionHistory.join(QStringLiteral(" > "))
              << "writes under caption: " + captionRuns(port.seen)
              << QStringLiteral("events: %1, mouse pointer %2").arg(pump.calls).arg(pointer.pointer)
              << QStringLiteral("fonts loaded: %1, cancelled: %2").arg(job.FontsLoaded()).arg(job.PrintCancelled())
              << QStringLiteral("printer: %1, orientation %2").arg(printer.DeviceName()).arg(printer.Orientation())
              << "document: " + printer.simulated().documentName();
        c.expect("state", (state.join(u'\n') + u'\n').toUtf8());
    }

    LabelGrid grid;
    ProgramOptions options;
    RecordingPrinter printer{{QStringLiteral("Office Laser"), QStringLiteral("DYMO LabelWriter 450")}, 0};
    CaptionWatchingPort port;
    ScriptedDialogs dialogs;
    FakeEventPump pump;
    RecordingWindow window;
    FakeScreenPointer pointer;
    Hourglass hourglass{pointer};
    PrintJob job{grid, options, printer, port, dialogs, pump, window, hourglass};
};

GOLDEN_CASES(OutputCase, "output");
GOLDEN_CASES(SierraCase, "sierra");
TEST_P(OutputCase, DrawsAndShowsExactly) { PrintRun().run(c, false); }
TEST_P(SierraCase, SendsAndShowsExactly) { PrintRun().run(c, true); }

}  // namespace
