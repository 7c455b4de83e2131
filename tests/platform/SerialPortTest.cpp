// The QSerialPort adapter on a real line: a pseudo-terminal pair standing for the printer's
// cable, a port that does not exist, and plain files standing in for a device.
#include "output/OutputTestSupport.h"
#include "platform/qt/QtSerialPort.h"
#include "support/MemorySettingsStore.h"
#include "support/PtyPair.h"
#include "support/RunTool.h"

#include <QDeadlineTimer>
#include <QSerialPort>

namespace {

// The error number a call throws (its description, never empty, kept in `why`), 0 when it throws none.
template <typename F>
int errorOf(F call, QString* why = nullptr) {
    try {
        call();
    } catch (const TagwellError& e) {
        EXPECT_FALSE(e.description().isEmpty());
        if (why) *why = e.description();
        return e.number();
    }
    return 0;
}

// Port 1 drives the near end of a pseudo-terminal pair; a Sierra job prints rows 1.. with a format
// drawing the description and the UPC.
class Pty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(pty.error(), QString());
        store.SaveSetting(kRegApp, kRegSec, "com1", pty.a);  // the key is matched without regard to case
        bench.options.SierraFormat = bench.files.write("label.fab", "^XA\r\n^FO20,20^FD\"=10\"^FS\r\n^FO20,60^BUN,50^FD\"=149\"^FS\r\n^XZ\r\n");
    }
    void PrintLabels() { ShowOutcome(job.PrintLabels(), bench.dialogs); }
    Bench bench{0};
    PtyPair pty{bench.files.path({})};
    MemorySettingsStore store;
    QtSerialPort port{store};
    PrintJob job{bench.grid, bench.options, bench.printer, port, bench.dialogs, bench.pump, bench.window, bench.hourglass};
};

}  // namespace

TEST_F(Pty, TwoRowSierraJobArrivesExactlyAtTheOtherEnd) {
    QSerialPort reader;
    reader.setPortName(pty.b);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly)) << reader.errorString().toStdString();
    port.setSettings("19200,n,8,2");
    // Every byte value, CR and LF in the middle of a line, and bytes above 127 must pass unchanged.
    QByteArray fontLine1;
    for (int c = 0; c < 256; ++c) fontLine1.append(c == '\r' ? "" : QByteArray(1, char(c)));
    bench.options.SierraFont = bench.files.write("font.pcl", fontLine1 + "\r\n\x1b(s1P\r\n");
    setRow(bench.grid, 1, {"1001", "", QString::fromUtf8("CAF\u00c9 3\" MUG"), "", "", "", "", "036000291452"});
    setRow(bench.grid, 2, {"1002", "", "SPOON"});
    PrintLabels();
    const QByteArray expected = fontLine1 + "\x1b(s1P" + "^XA^FO20,20^FD\"CAF\xc9 3~034 MUG\"^FS^FO20,60^BUN,50^FD\"03600029145\"^FS^XZ" +
                                "^XA^FO20,20^FD\"SPOON\"^FS^FO20,60^BUN,50^FD\"00000000000\"^FS^XZ";
    QByteArray got;
    for (QDeadlineTimer deadline(10000); got.size() < expected.size() && !deadline.hasExpired(); got += reader.readAll())
        reader.waitForReadyRead(200);
    reader.waitForReadyRead(200);  // nothing more may follow
    EXPECT_EQ((got + reader.readAll()).toHex(), expected.toHex());
    EXPECT_EQ(bench.dialogs.transcript, QStringList());
}

TEST_F(Pty, LineSettingsReachTheDevice) {
    // A pseudo-terminal keeps 8 data bits without parity whatever it is asked, so speed and stop
    // bits are what can be seen; settings changed while open apply at once.
    const auto modes = [&] {
        QByteArray stty;
        RunTool("stty", {"-F", pty.a, "-a"}, &stty);
        const QString all = stty;
        return all.section(';', 0, 0) + (all.contains(" cstopb") ? " cstopb" : " -cstopb");
    };
    port.setSettings("4800,n,8,2");
    port.setPortOpen(true);
    EXPECT_EQ(modes(), "speed 4800 baud cstopb");
    port.setSettings("9600,n,8,1");
    EXPECT_EQ(modes(), "speed 9600 baud -cstopb");
    // Settings the device refuses: an error, the old ones stay; at open, the port stays closed.
    EXPECT_NE(errorOf([&] { port.setSettings("9600,e,7,1"); }), 0);
    EXPECT_EQ(port.Settings(), "9600,n,8,1");
    port.setPortOpen(false);
    port.setSettings("9600,e,7,1");
    EXPECT_NE(errorOf([&] { port.setPortOpen(true); }), 0);
    EXPECT_FALSE(port.PortOpen());
}

// The cable goes after the fifth of 40 labels: reported once, the job stops there, the port is
// closed and the captions are back; the next job finds no printer and says so.
TEST_F(Pty, PrinterGoneInTheMiddleOfASierraJob) {
    bench.options.SierraFont = bench.files.write("f.pcl", "\x1b(s1P\r\n");
    for (int r = 1; r <= 40; ++r) setRow(bench.grid, r, {QString::number(1000 + r), "", QStringLiteral("ITEM %1").arg(r)});
    bench.pump.onCall = [&](int call) { if (call == 5) pty.pullThePlug(); };
    PrintLabels();
    PrintLabels();
    const QStringList shown = bench.dialogs.transcript;
    ASSERT_EQ(shown.size(), 2) << shown.join(u'\n').toStdString();
    EXPECT_TRUE(shown[0].startsWith("MsgBox \"Alert:\"")) << shown[0].toStdString();
    EXPECT_TRUE(shown[1].contains("-> 1: Error #")) << shown[1].toStdString();
    EXPECT_LT(bench.pump.calls, 40) << "the job stops at the failure instead of failing label after label";
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(bench.window.button + ' ' + bench.window.caption, "Print Tagwell");
}

// Port numbers and settings, a port that does not exist, and a file as the device: emptied at the
// first open of the run, appended to by later jobs.
TEST(SerialPortAdapter, PortsSettingsFailuresAndFileDevices) {
    FormatFiles files;
    MemorySettingsStore store;
    QtSerialPort port(store);
    port.setCommPort(2);
    EXPECT_EQ(port.DevicePath(), "/dev/ttyS1");
    for (const char* bad : {"", "9600,n,8", "9600,x,8,1", "abc,n,8,1", "9600,n,9,1", "9600,n,4,1", "9600,n,8,3"})
        EXPECT_EQ(errorOf([&] { port.setSettings(bad); }), ErrorNumber::InvalidPropertyValue) << bad;
    EXPECT_EQ(port.Settings(), "9600,n,8,1");
    EXPECT_EQ(errorOf([&] { port.setCommPort(0); }), ErrorNumber::InvalidPortNumber);
    EXPECT_EQ(port.CommPort(), 2);
    store.SaveSetting(kRegApp, kRegSec, "COM2", "/dev/ttyTagwellNoSuchPort");
    QString why;
    EXPECT_EQ(errorOf([&] { port.setPortOpen(true); }, &why), ErrorNumber::InvalidPortNumber);
    EXPECT_TRUE(why.startsWith("/dev/ttyTagwellNoSuchPort: ")) << why.toStdString();  // the device tried
    EXPECT_FALSE(port.PortOpen() || QFileInfo::exists("/dev/ttyTagwellNoSuchPort"));
    EXPECT_EQ(errorOf([&] { port.Output("x"); }), ErrorNumber::PortNotOpen);

    store.SaveSetting(kRegApp, kRegSec, "COM2", files.write("printer.bin", "left over from an earlier run"));
    for (const char* job : {"job1", "job2"}) {
        port.setPortOpen(true);
        port.Output(job);
        EXPECT_NE(errorOf([&] { port.setPortOpen(true); }), 0);  // already open
        EXPECT_NE(errorOf([&] { port.setCommPort(5); }), 0);     // not while open
        port.setPortOpen(false);
    }
    QFile f(files.path("printer.bin"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "job1job2");
}
