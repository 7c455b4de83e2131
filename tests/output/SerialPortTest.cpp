// The QSerialPort adapter against a real pseudo-terminal pair made by socat, and against plain
// files standing in for a device.
#include "platform/QtSerialPort.h"

#include "output/SierraPrinter.h"
#include "grid/LabelGrid.h"
#include "platform/TagwellError.h"
#include "shell/ProgramOptions.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedDialogs.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Two linked pseudo-terminals: what is written to `a` can be read at `b`.
class PtyPair {
public:
    explicit PtyPair(const QString& dir) : a(dir + "/ttyA"), b(dir + "/ttyB") {
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(QStringLiteral("socat"), {"-d", "-d", "pty,raw,echo=0,link=" + a, "pty,raw,echo=0,link=" + b});
        if (!process.waitForStarted(5000)) return;
        // socat reports the start of its transfer loop once both ends exist.
        QByteArray log;
        const QDeadlineTimer deadline(10000);
        while (!log.contains("starting data transfer loop") && !deadline.hasExpired()) {
            process.waitForReadyRead(200);
            log += process.readAllStandardError();
        }
        ready = QFileInfo::exists(a) && QFileInfo::exists(b);
    }
    ~PtyPair() {
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
    QString a, b;
    bool ready = false;
    QProcess process;
};

class NoCaption : public WindowCaption {
public:
    QString Caption() const override { return "Tagwell"; }
    void setCaption(const QString&) override {}
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(SerialPortAdapter, TwoRowSierraJobArrivesExactlyAtTheOtherEnd) {
    if (QStandardPaths::findExecutable("socat").isEmpty()) GTEST_SKIP() << "socat is not installed";
    QTemporaryDir dir;
    PtyPair pty(dir.path());
    ASSERT_TRUE(pty.ready) << "socat did not make the pseudo-terminals";

    QSerialPort reader;
    reader.setPortName(pty.b);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly)) << reader.errorString().toStdString();

    MemorySettingsStore store;
    store.SaveSetting(kRegApp, kRegSec, "COM3", pty.a);
    QtSerialPort port(store);
    port.setCommPort(3);
    port.setSettings("19200,n,8,2");
    EXPECT_EQ(port.DevicePath(), pty.a);

    // Every byte value, CR and LF in the middle of a line, and bytes above 127 must pass unchanged.
    QByteArray fontLine1;
    for (int b = 0; b < 256; ++b)
        if (b != '\r') fontLine1.append(char(b));
    ProgramOptions options;
    options.SierraFont = dir.filePath("f.pcl");
    options.SierraFormat = dir.filePath("l.fab");
    writeFile(options.SierraFont, fontLine1 + "\r\n\x1b(s1P\r\n");
    writeFile(options.SierraFormat, "^XA\r\n^FO20,20^FD\"=10\"^FS\r\n^FO20,60^BUN,50^FD\"=149\"^FS\r\n^XZ\r\n");
    LabelGrid grid;
    grid.setTextMatrix(1, GridCol::Sku, "1001");
    grid.setTextMatrix(1, GridCol::Desc, QString::fromUtf8("CAF\u00c9 3\" MUG"));
    grid.setTextMatrix(1, GridCol::Upc, "036000291452");
    grid.setTextMatrix(2, GridCol::Sku, "1002");
    grid.setTextMatrix(2, GridCol::Desc, "SPOON");
    ScriptedDialogs dialogs;
    NoCaption window;
    SierraPrinter sierra(grid, options, port, dialogs, window);

    port.setPortOpen(true);
    ASSERT_TRUE(port.PortOpen());
    sierra.PrintSierraLabel(1);
    sierra.PrintSierraLabel(2);
    port.setPortOpen(false);
    EXPECT_FALSE(port.PortOpen());

    const QByteArray expected = fontLine1 + "\x1b(s1P" +
                                "^XA^FO20,20^FD\"CAF\xc9 3~034 MUG\"^FS^FO20,60^BUN,50^FD\"03600029145\"^FS^XZ" +
                                "^XA^FO20,20^FD\"SPOON\"^FS^FO20,60^BUN,50^FD\"00000000000\"^FS^XZ";
    QByteArray got;
    const QDeadlineTimer deadline(10000);
    while (got.size() < expected.size() && !deadline.hasExpired()) {
        reader.waitForReadyRead(200);
        got += reader.readAll();
    }
    reader.waitForReadyRead(200);  // nothing more may follow
    got += reader.readAll();
    EXPECT_EQ(got.toHex(), expected.toHex());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(SerialPortAdapter, LineSettingsReachTheDevice) {
    if (QStandardPaths::findExecutable("socat").isEmpty() || QStandardPaths::findExecutable("stty").isEmpty())
        GTEST_SKIP() << "socat or stty is not installed";
    QTemporaryDir dir;
    PtyPair pty(dir.path());
    ASSERT_TRUE(pty.ready);
    MemorySettingsStore store;
    store.SaveSetting(kRegApp, kRegSec, "com1", pty.a);  // the key is matched without regard to case
    QtSerialPort port(store);
    // A pseudo-terminal keeps 8 data bits without parity whatever it is asked, so speed and stop
    // bits are what can be seen here.
    port.setSettings("4800,n,8,2");
    port.setPortOpen(true);
    QProcess stty;
    stty.start("stty", {"-F", pty.a, "-a"});
    ASSERT_TRUE(stty.waitForFinished(5000));
    const QString modes = QString::fromLocal8Bit(stty.readAllStandardOutput());
    if (stty.exitCode() != 0) GTEST_SKIP() << "the open port cannot be inspected here";
    EXPECT_TRUE(modes.contains("speed 4800 baud") && modes.contains(" cstopb")) << modes.toStdString();

    // Changed while open: applied at once.
    port.setSettings("9600,n,8,1");
    stty.start("stty", {"-F", pty.a, "-a"});
    ASSERT_TRUE(stty.waitForFinished(5000));
    const QString now = QString::fromLocal8Bit(stty.readAllStandardOutput());
    EXPECT_TRUE(now.contains("speed 9600 baud") && now.contains("-cstopb")) << now.toStdString();

    // Settings the device refuses: an error with the platform's description, the old ones stay.
    EXPECT_THROW(port.setSettings("9600,e,7,1"), TagwellError);
    EXPECT_EQ(port.Settings(), "9600,n,8,1");
    port.setPortOpen(false);

    // Refused at open: the open fails and the port stays closed.
    port.setSettings("9600,e,7,1");
    try {
        port.setPortOpen(true);
        ADD_FAILURE() << "a pseudo-terminal took parity";
    } catch (const TagwellError& e) {
        EXPECT_FALSE(e.description().isEmpty());
    }
    EXPECT_FALSE(port.PortOpen());
}

TEST(SerialPortAdapter, PortNamesSettingsAndFailures) {
    MemorySettingsStore store;
    QtSerialPort port(store);
#ifdef Q_OS_WIN
    EXPECT_EQ(QtSerialPort::DefaultDevicePath(1), "COM1");
#else
    EXPECT_EQ(QtSerialPort::DefaultDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(QtSerialPort::DefaultDevicePath(4), "/dev/ttyS3");
#endif
    port.setCommPort(2);
    EXPECT_EQ(port.DevicePath(), QtSerialPort::DefaultDevicePath(2));

    // Rejected settings keep the previous ones.
    for (const char* bad : {"", "9600,n,8", "9600,x,8,1", "abc,n,8,1", "9600,n,9,1", "9600,n,4,1", "9600,n,8,3"}) {
        SCOPED_TRACE(bad);
        try {
            port.setSettings(bad);
            ADD_FAILURE() << "accepted";
        } catch (const TagwellError& e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidPropertyValue);
        }
        EXPECT_EQ(port.Settings(), "9600,n,8,1");
    }
    EXPECT_THROW(port.setCommPort(0), TagwellError);
    EXPECT_EQ(port.CommPort(), 2);

    // A port that does not exist: an error number and the platform's description, still closed.
    store.SaveSetting(kRegApp, kRegSec, "COM2", "/dev/ttyTagwellNoSuchPort");
    try {
        port.setPortOpen(true);
        ADD_FAILURE() << "opened a port that does not exist";
    } catch (const TagwellError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::InvalidPortNumber);
        EXPECT_FALSE(e.description().isEmpty());
    }
    EXPECT_FALSE(port.PortOpen());
    EXPECT_FALSE(QFileInfo::exists("/dev/ttyTagwellNoSuchPort"));
    try {
        port.Output("x");
        ADD_FAILURE() << "wrote to a closed port";
    } catch (const TagwellError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::PortNotOpen);
    }
}

TEST(SerialPortAdapter, FileDeviceHoldsTheRunsBytes) {
    QTemporaryDir dir;
    const QString out = dir.filePath("printer.bin");
    writeFile(out, "left over from an earlier run");
    MemorySettingsStore store;
    store.SaveSetting(kRegApp, kRegSec, "COM1", out);
    QtSerialPort port(store);

    port.setPortOpen(true);
    port.Output(QByteArray("\0\r\n\xff", 4));
    EXPECT_THROW(port.setPortOpen(true), TagwellError);  // already open
    EXPECT_THROW(port.setCommPort(5), TagwellError);     // not while open
    port.setPortOpen(false);
    EXPECT_EQ(readAll(out), QByteArray("\0\r\n\xff", 4));

    port.setPortOpen(true);  // a second job of the same run appends
    port.Output("job2");
    port.setPortOpen(false);
    EXPECT_EQ(readAll(out), QByteArray("\0\r\n\xff" "job2", 8));

    // A file that cannot be made is an open error, not silence.
    store.SaveSetting(kRegApp, kRegSec, "COM1", dir.filePath("no/such/folder/out.bin"));
    EXPECT_THROW(port.setPortOpen(true), TagwellError);
    EXPECT_FALSE(port.PortOpen());
}

}  // namespace
