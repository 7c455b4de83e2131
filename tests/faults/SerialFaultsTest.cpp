// The Sierra Sport going away in the middle of a job: the pseudo-terminal pair that stands for the
// printer's cable loses its other end while labels are going out.
#include "output/PrintJob.h"

#include "FakeUi.h"
#include "MemorySettingsStore.h"
#include "ScriptedDialogs.h"
#include "grid/LabelGrid.h"
#include "platform/qt/QtSerialPort.h"
#include "output/RecordingPrinter.h"
#include "shell/common/Common.h"
#include "shell/common/ProgramOptions.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Two linked pseudo-terminals made by socat; killing socat takes the far end away.
class PtyPair {
public:
    explicit PtyPair(const QString& dir) : a(dir + "/ttyA"), b(dir + "/ttyB") {
        process.start(QStringLiteral("socat"), {"-d", "-d", "pty,raw,echo=0,link=" + a, "pty,raw,echo=0,link=" + b});
        if (!process.waitForStarted(5000)) return;
        QByteArray log;
        const QDeadlineTimer deadline(10000);
        while (!log.contains("starting data transfer loop") && !deadline.hasExpired()) {
            process.waitForReadyRead(200);
            log += process.readAllStandardError();
        }
        ready = QFileInfo::exists(a) && QFileInfo::exists(b);
    }
    void pullThePlug() {
        process.kill();
        process.waitForFinished(5000);
    }
    ~PtyPair() { pullThePlug(); }
    QString a, b;
    bool ready = false;
    QProcess process;
};

class Window : public PrintJobWindow {
public:
    QString button = QStringLiteral("Print Sierra");
    QString caption = QStringLiteral("Tagwell");
    QString Caption() const override { return caption; }
    void setCaption(const QString& c) override { caption = c; }
    QString PrintButtonCaption() const override { return button; }
    void setPrintButtonCaption(const QString& c) override { button = c; }
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(SerialFaults, PrinterGoneInTheMiddleOfASierraJob) {
    if (QStandardPaths::findExecutable("socat").isEmpty()) GTEST_SKIP() << "socat is not installed";
    QTemporaryDir dir;
    PtyPair pty(dir.path());
    ASSERT_TRUE(pty.ready) << "socat did not make the pseudo-terminals";

    MemorySettingsStore store;
    store.SaveSetting(kRegApp, kRegSec, "COM2", pty.a);
    QtSerialPort port(store);
    port.setCommPort(2);

    ProgramOptions options;
    options.SierraPrint = 0;
    options.SierraFont = dir.filePath("f.pcl");
    options.SierraFormat = dir.filePath("l.fab");
    writeFile(options.SierraFont, "\x1b(s1P\r\n");
    writeFile(options.SierraFormat, "^XA\r\n^FO20,20^FD\"=10\"^FS\r\n^FO20,60^FD\"=1\"^FS\r\n^XZ\r\n");

    LabelGrid grid;
    grid.setRows(41);
    for (int r = 1; r <= 40; ++r) {
        grid.setTextMatrix(r, GridCol::Sku, QString::number(1000 + r));
        grid.setTextMatrix(r, GridCol::Desc, QStringLiteral("ITEM %1").arg(r));
    }
    ScriptedDialogs dialogs;
    FakeEventPump pump;
    Window window;
    FakeScreenPointer screen;
    Hourglass hourglass(screen);
    RecordingPrinter printer;
    PrintJob job(grid, options, printer, port, dialogs, pump, window, hourglass);

    // The cable goes after the fifth label.
    pump.onCall = [&](int call) {
        if (call == 5) pty.pullThePlug();
    };
    ShowOutcome(job.PrintLabels(), dialogs);

    ASSERT_EQ(dialogs.messages.size(), 1u) << "the lost printer is reported once";
    EXPECT_EQ(dialogs.messages[0].title, "Alert:");
    EXPECT_FALSE(dialogs.messages[0].prompt.isEmpty());
    EXPECT_LT(pump.calls, 40) << "the job stops at the failure instead of failing label after label";
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(window.button, "Print Sierra");
    EXPECT_EQ(window.caption, "Tagwell");
    for (int r = 1; r <= 40; ++r) ASSERT_EQ(grid.TextMatrix(r, GridCol::Sku), QString::number(1000 + r));

    // The next job finds no printer, says so, and the program goes on.
    dialogs.messages.clear();
    ShowOutcome(job.PrintLabels(), dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].prompt.startsWith("Error #")) << dialogs.messages[0].prompt.toStdString();
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(window.button, "Print Sierra");
}

}  // namespace
