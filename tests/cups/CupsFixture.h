#pragma once
// The scheduler the CUPS tests share: every test is in the suite CupsPrinting, whichever file holds
// it, so one scheduler serves them all (libcups keeps the server it first talked to). And the print
// job on the Qt printer with grid rows of demo-like items.
#include "PrivateCups.h"
#include "output/OutputTestSupport.h"
#include "platform/qt/QtPrinter.h"
#include "support/FakeSerialPort.h"

#include <QRandomGenerator>

namespace cupstest {

inline const QString kDemo = QStringLiteral(TAGWELL_SOURCE_DIR "/demo/");

// A token for job names, so that a test finds its own PDFs among any others.
inline QString token() { return QStringLiteral("tw") + QString::number(QRandomGenerator::global()->generate(), 36); }

struct CupsPrinting : ::testing::Test {
    static void SetUpTestSuite() { startError_ = (cups_ = std::make_unique<PrivateCups>())->startWithQueues(); }
    static void TearDownTestSuite() { cups_.reset(); }
    void SetUp() override { ASSERT_EQ(startError_, QString()) << "the private cupsd did not start"; }
    static inline std::unique_ptr<PrivateCups> cups_;
    static inline QString startError_;
};

// The print job on the Qt printer, with scripted dialogs and grid rows of demo-like items.
struct QtBench : Bench {
    QtPrinter qt{dialogs};
    FakeSerialPort port;
    PrintJob job{grid, options, qt, port, dialogs, pump, window, hourglass};

    QtBench(int target, int rows) : Bench(target) {
        const QStringList upcs{"036000291452", "012345678905", "042100005264"};
        for (int r = 1; r <= rows; ++r)
            setRow(grid, r, {QString::number(100000 + r), "MF", QStringLiteral("DESC %1").arg(r), "A1", "1.99", "EA", "1", upcs[r % 3]});
        options.SierraFormat1 = kDemo + "demo.fa1";
        options.SierraFormat3 = kDemo + "demo.fa3";
        options.SierraFormat4 = kDemo + "demo.fa4";
    }
    void use(const QString& name) { qt.setPrinter(static_cast<int>(qt.Printers().indexOf(name))); }
    // The Dymo device name for Dymo labels, else the current laser printer.
    void to(const QString& name) { options.SierraPrint == 1 ? void(options.SierraDymoDeviceName = name) : use(name); }
};

}  // namespace cupstest
