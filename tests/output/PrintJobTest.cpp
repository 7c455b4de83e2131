// The print job on every target, with the nested cancel click, the port error and driver failures.
#include "output/PrintJob.h"

#include "OutputTestSupport.h"
#include "platform/EventPump.h"
#include "platform/QtSerialPort.h"
#include "platform/RecordingPrinter.h"
#include "platform/ScreenPointer.h"
#include "shell/Common.h"
#include "support/FakeSerialPort.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

class FakeWindow : public PrintJobWindow {
public:
    QString button = QStringLiteral("Print Laser-4");
    QString caption = QStringLiteral("Tagwell");
    QStringList buttonHistory;
    QString Caption() const override { return caption; }
    void setCaption(const QString& c) override { caption = c; }
    QString PrintButtonCaption() const override { return button; }
    void setPrintButtonCaption(const QString& c) override {
        button = c;
        buttonHistory << c;
    }
};

// Pending events: call number n (from 1) runs what the test put there, as a click would.
class ScriptedPump : public EventPump {
public:
    std::map<int, std::function<void()>> at;
    int calls = 0;
    QStringList buttonSeen;
    const FakeWindow* window = nullptr;
    void DoEvents() override {
        ++calls;
        if (window) buttonSeen << window->button;
        if (auto it = at.find(calls); it != at.end()) it->second();
    }
};

class PointerStub : public ScreenPointer {
public:
    int pointer = MousePointerValue::Default;
    int MousePointer() const override { return pointer; }
    void setMousePointer(int p) override { pointer = p; }
};

class PrintJobTest : public ::testing::Test {
protected:
    FormatFiles files;
    LabelGrid grid;
    ProgramOptions options;
    RecordingPrinter printer;
    FakeSerialPort port;
    ScriptedDialogs dialogs;
    ScriptedPump pump;
    FakeWindow window;
    PointerStub pointer;
    Hourglass hourglass{pointer};
    PrintJob job{grid, options, printer, port, dialogs, pump, window, hourglass};

    PrintJobTest() {
        pump.window = &window;
        grid.setRows(33);
        options.SierraFormat = files.write("label.fab", {"L\"=1\""});
        options.SierraFont = files.write("font.pcl", {"F"});
        options.SierraFormat1 = files.write("label.fa1", {"SKU,10,0,0,0,,0"});
        options.SierraFormat3 = files.write("sheet.fa3", {"SKU,10,0,0,0,,0"});
        options.SierraFormat4 = files.write("sheet.fa4", {"SKU,10,0,0,0,,0"});
    }
    void setTarget(int target) {
        options.SierraPrint = static_cast<std::int16_t>(target);
        window.button = target == 0 ? "Print Sierra" : target == 1 ? "Print Dymo" : "Print Laser-4";
    }
    // The skus that reached the printer or the port, in order.
    QStringList printedSkus() const {
        QStringList skus;
        for (const QString& line : printer.lines()) {
            const QStringList f = line.split(u'\t');
            if (f[0] == u"TEXT") skus << f.last();
        }
        for (const QByteArray& label : port.sent.split('L'))
            if (!label.isEmpty() && label != "F") skus << QString::fromLatin1(label).remove(u'"');
        return skus;
    }
    QList<QPair<int, int>> textOrigins() const {
        QList<QPair<int, int>> xy;
        for (const QString& line : printer.lines()) {
            const QStringList f = line.split(u'\t');
            if (f[0] == u"TEXT") xy.append({f[1].toInt(), f[2].toInt()});
        }
        return xy;
    }
    QStringList prompts() const {
        QStringList p;
        for (const auto& m : dialogs.messages) {
            EXPECT_EQ(m.title, "Alert:");
            EXPECT_EQ(m.style, MsgStyle::Information);
            p << m.prompt;
        }
        return p;
    }
    QString cancelClick() {
        const QString seen = window.button;
        job.PrintLabels();  // the nested click on the button that reads CANCEL
        return seen;
    }
};

const QString kCancelled = "Printing Cancelled.  Several labels may print before cancel takes effect.";

TEST_F(PrintJobTest, AllBlankGridHasNoDataAndTouchesNothing) {
    for (int target : {0, 1, 3, 4}) {
        SCOPED_TRACE(target);
        dialogs.messages.clear();
        setTarget(target);
        window.buttonHistory.clear();
        grid.setTextMatrix(5, GridCol::Sku, "   ");
        grid.setTextMatrix(6, GridCol::Desc, "a description without a sku");
        job.PrintLabels();
        EXPECT_EQ(prompts(), QStringList{"No data to print."});
        EXPECT_TRUE(window.buttonHistory.isEmpty());
        EXPECT_EQ(port.opens, 0);
        EXPECT_TRUE(printer.lines().isEmpty());
        EXPECT_EQ(pump.calls, 0);
    }
}

TEST_F(PrintJobTest, LastRowSkipsTrailingBlanksAndBlankRowsPrintNothing) {
    grid.setTextMatrix(1, GridCol::Sku, "S1");
    grid.setTextMatrix(2, GridCol::Sku, "S2");
    grid.setTextMatrix(4, GridCol::Sku, "S4");
    grid.setTextMatrix(3, GridCol::Desc, "no sku");
    grid.setTextMatrix(5, GridCol::Desc, "no sku");
    EXPECT_EQ(job.LastRow(), 4);

    struct Case {
        int target;
        int events;  // cancel checks made: one per row handed out
        QList<QPair<int, int>> origins;
        QStringList messages;
    };
    const Case cases[] = {
        {0, 4, {}, {}},
        {1, 4, {{0, 0}, {0, 0}, {0, 0}}, {}},
        // Row 3 keeps its position empty: S4 lands on the fourth place of the sheet.
        {4, 4, {{0, -100}, {3060, -100}, {9180, -100}}, {" 4 items printed."}},
        {3, 4, {{110, -200}, {4070, -200}, {110, 1240}}, {" 4 items printed."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        setTarget(c.target);
        printer.clear();
        port.sent.clear();
        dialogs.messages.clear();
        pump.calls = 0;
        const QString idle = window.button;
        job.PrintLabels();
        EXPECT_EQ(printedSkus(), QStringList({"S1", "S2", "S4"}));
        EXPECT_EQ(textOrigins(), c.origins);
        EXPECT_EQ(pump.calls, c.events);
        EXPECT_EQ(prompts(), c.messages);
        EXPECT_EQ(window.button, idle);
        EXPECT_FALSE(port.PortOpen());
    }
    // The fonts went out once, with the first Sierra label of the run.
    EXPECT_EQ(port.opens, 1);
    EXPECT_TRUE(job.FontsLoaded());
}

TEST_F(PrintJobTest, CancelClickedDuringAJobStopsItBetweenLabels) {
    fillRows(grid, 10);
    struct Case {
        int target;
        QStringList printed;
        QStringList messages;
    };
    const Case cases[] = {
        // Sierra Sport and Dymo: the check follows each label, so label 3 completes.
        {1, {"S1", "S2", "S3"}, {kCancelled}},
        {0, {"S1", "S2", "S3"}, {kCancelled}},
        // Laser: the check comes before each label; what was drawn prints and is counted.
        {4, {"S1", "S2"}, {kCancelled, " 2 items printed."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        setTarget(c.target);
        printer.clear();
        port.sent.clear();
        dialogs.messages.clear();
        pump.calls = 0;
        pump.buttonSeen.clear();
        QString seenAtClick;
        pump.at = {{3, [&] { seenAtClick = cancelClick(); }}};
        const QString idle = window.button;

        job.PrintLabels();

        EXPECT_EQ(seenAtClick, "CANCEL");
        EXPECT_EQ(printedSkus(), c.printed);
        EXPECT_EQ(prompts(), c.messages);
        EXPECT_EQ(pump.calls, 3);
        EXPECT_EQ(pump.buttonSeen, QStringList({"CANCEL", "CANCEL", "CANCEL"}));
        EXPECT_EQ(window.button, idle);
        EXPECT_TRUE(job.PrintCancelled());
        EXPECT_FALSE(port.PortOpen());
    }
    // The Dymo job made one document per label, no more.
    pump.at.clear();
    setTarget(1);
    printer.clear();
    dialogs.messages.clear();
    job.PrintLabels();
    EXPECT_FALSE(job.PrintCancelled());  // cleared when the next job starts
    EXPECT_EQ(printer.lines().count("ENDDOC"), 20);
    EXPECT_TRUE(prompts().isEmpty());
}

TEST_F(PrintJobTest, PortThatWillNotOpenIsReportedAndNothingPrints) {
    fillRows(grid, 3);
    setTarget(0);
    port.setCommPort(3);
    port.failOpen = true;
    job.PrintLabels();
    EXPECT_EQ(prompts(), QStringList{"Error # 8002 opening port 3\r\nNo such file or directory"});
    EXPECT_TRUE(port.sent.isEmpty());
    EXPECT_EQ(window.button, "Print Sierra");
    EXPECT_EQ(window.buttonHistory, QStringList({"CANCEL", "Print Sierra"}));
    EXPECT_EQ(pump.calls, 0);
}

TEST_F(PrintJobTest, RealPortThatDoesNotExist) {
    MemorySettingsStore store;
    store.SaveSetting(kRegApp, kRegSec, "COM7", "/dev/ttyTagwellNoSuchPort");
    QtSerialPort realPort(store);
    realPort.setCommPort(7);
    PrintJob realJob(grid, options, printer, realPort, dialogs, pump, window, hourglass);
    fillRows(grid, 2);
    setTarget(0);
    realJob.PrintLabels();
    const QStringList p = prompts();
    ASSERT_EQ(p.size(), 1);
    EXPECT_TRUE(p[0].startsWith("Error # 8002 opening port 7\r\n")) << p[0].toStdString();
    EXPECT_GT(p[0].size(), QString("Error # 8002 opening port 7\r\n").size());
    EXPECT_EQ(window.button, "Print Sierra");
    EXPECT_FALSE(realPort.PortOpen());
}

TEST_F(PrintJobTest, TargetsOutsideTheListPrintAsLaserFourUp) {
    fillRows(grid, 5);
    for (int target : {2, 5, -1}) {
        SCOPED_TRACE(target);
        setTarget(target);
        printer.clear();
        dialogs.messages.clear();
        job.PrintLabels();
        EXPECT_EQ(textOrigins(), (QList<QPair<int, int>>{{0, -100}, {3060, -100}, {6120, -100}, {9180, -100}, {0, 1700}}));
        EXPECT_EQ(prompts(), QStringList{" 5 items printed."});
        EXPECT_EQ(port.opens, 0);
    }
}

TEST_F(PrintJobTest, DriverFailureIsReportedAndEverythingPutBack) {
    fillRows(grid, 3);
    setTarget(0);
    port.failOutputAfterBytes = 6;  // fonts and the first label go out, the second fails
    window.caption = "Tagwell";
    job.PrintLabels();
    EXPECT_EQ(prompts(), QStringList{"Device I/O error"});
    EXPECT_EQ(port.sent, QByteArray("FL\"S1\""));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(window.button, "Print Sierra");
    EXPECT_EQ(window.caption, "Tagwell");

    // A laser job refused for its offsets still gives the button back.
    setTarget(4);
    dialogs.messages.clear();
    options.SierraOffLr4 = "left";
    job.PrintLabels();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(window.button, "Print Laser-4");
    EXPECT_TRUE(printer.lines().isEmpty());
}

TEST_F(PrintJobTest, InstantRowGoesToDymoOrTheSierraPort) {
    fillRows(grid, 3);
    struct Case {
        int target;
        int docs;
        QByteArray sent;
    };
    const Case cases[] = {{1, 2, ""}, {0, 0, "FL\"S2\""}, {3, 0, "L\"S2\""}, {4, 0, "L\"S2\""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        setTarget(c.target);
        printer.clear();
        port.sent.clear();
        window.buttonHistory.clear();
        const int opens = port.opens;
        job.PrintInstantRow(2);
        EXPECT_EQ(printer.lines().count("ENDDOC"), c.docs);
        EXPECT_EQ(port.sent, c.sent);
        EXPECT_EQ(port.opens - opens, c.target == 1 ? 0 : 1);
        EXPECT_FALSE(port.PortOpen());
        EXPECT_TRUE(window.buttonHistory.isEmpty());
        EXPECT_EQ(pump.calls, 0);
    }
    EXPECT_TRUE(prompts().isEmpty());

    // A port that will not open: the port error message instead of an unhandled error.
    port.failOpen = true;
    job.PrintInstantRow(1);
    EXPECT_EQ(prompts(), QStringList{"Error # 8002 opening port 1\r\nNo such file or directory"});
}

TEST_F(PrintJobTest, SierraSportTestSendsRowOneWhateverTheTarget) {
    setTarget(4);
    job.SierraSportTest();  // empty grid: the port still opens and closes
    EXPECT_EQ(port.opens, 1);
    EXPECT_EQ(port.closes, 1);
    EXPECT_TRUE(port.sent.isEmpty());
    EXPECT_TRUE(prompts().isEmpty());

    fillRows(grid, 2);
    setTarget(1);
    job.SierraSportTest();
    EXPECT_EQ(port.sent, QByteArray("FL\"S1\""));
    EXPECT_TRUE(printer.lines().isEmpty());

    port.failOutputAfterBytes = 0;
    job.SierraSportTest();
    EXPECT_EQ(prompts(), QStringList{"Device I/O error"});
    EXPECT_FALSE(port.PortOpen());

    port.failOpen = true;
    dialogs.messages.clear();
    job.SierraSportTest();
    EXPECT_EQ(prompts(), QStringList{"Error # 8002 opening port 1\r\nNo such file or directory"});
}

TEST_F(PrintJobTest, LaserPrinterSetupReportsAFailingDialog) {
    struct Setup : PrinterSetupDialog {
        int shown = 0;
        bool fail = false;
        bool ShowPrinterSetup() override {
            ++shown;
            if (fail) throw TagwellError(ErrorNumber::DeviceIo, "No printers are installed");
            return false;
        }
    } setup;
    job.LaserPrinterSetup(setup);
    EXPECT_EQ(setup.shown, 1);
    EXPECT_TRUE(prompts().isEmpty());  // Cancel: no message
    setup.fail = true;
    job.LaserPrinterSetup(setup);
    EXPECT_EQ(prompts(), QStringList{"No printers are installed"});
}

TEST_F(PrintJobTest, SerialConfigurationNeverStopsTheCaller) {
    options.SierraPort = 4;
    options.SierraSettings = "19200,e,7,2";
    EXPECT_EQ(ConfigureSierraPort(port, options), "");
    EXPECT_EQ(port.CommPort(), 4);
    EXPECT_EQ(port.Settings(), "19200,e,7,2");

    // Each refused value leaves its predecessor; the other one is still taken.
    options.SierraPort = 0;
    options.SierraSettings = "9600,n,8,1";
    EXPECT_FALSE(ConfigureSierraPort(port, options).isEmpty());
    EXPECT_EQ(port.CommPort(), 4);
    EXPECT_EQ(port.Settings(), "9600,n,8,1");
    options.SierraPort = 2;
    options.SierraSettings = "fast";
    EXPECT_FALSE(ConfigureSierraPort(port, options).isEmpty());
    EXPECT_EQ(port.CommPort(), 2);
    EXPECT_EQ(port.Settings(), "9600,n,8,1");
}

}  // namespace
