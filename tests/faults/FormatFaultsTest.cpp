// A format file deleted while a job runs, on each of the three targets: the labels before it
// print, the rest come out blank, and the clerk is told so once instead of only seeing the count.
#include "output/PrintJob.h"

#include "FakeSerialPort.h"
#include "FakeUi.h"
#include "ScriptedDialogs.h"
#include "grid/LabelGrid.h"
#include "output/RecordingPrinter.h"
#include "shell/common/Common.h"
#include "shell/common/ProgramOptions.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Window : public PrintJobWindow {
public:
    QString button = QStringLiteral("Print");
    QString caption = QStringLiteral("Tagwell");
    QString Caption() const override { return caption; }
    void setCaption(const QString& c) override { caption = c; }
    QString PrintButtonCaption() const override { return button; }
    void setPrintButtonCaption(const QString& c) override { button = c; }
};

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    return path;
}

TEST(FormatFaults, FormatFileDeletedBetweenTwoLabels) {
    const struct {
        int target;
        const char* problem;
    } cases[] = {{3, "Problem opening Laser Format File"},
                 {4, "Problem opening Laser Format File"},
                 {1, "Problem opening Dymo Format File"},
                 {0, "Problem opening Sierra Format File"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        QTemporaryDir dir;
        ProgramOptions options;
        options.SierraPrint = static_cast<std::int16_t>(c.target);
        options.SierraDymoDeviceName = QStringLiteral("Laser");
        options.SierraFont = writeFile(dir.filePath("f.pcl"), "FONT\r\n");
        const QString format = dir.filePath("label.fmt");
        writeFile(format, c.target == 0 ? QByteArray("^FD\"=1\"^FS\r\n") : QByteArray("SKU,8,100,100,0,,0\r\n"));
        options.SierraFormat = options.SierraFormat1 = options.SierraFormat3 = options.SierraFormat4 = format;

        LabelGrid grid;
        grid.setRows(11);
        for (int r = 1; r <= 10; ++r) grid.setTextMatrix(r, GridCol::Sku, QStringLiteral("S%1").arg(r));
        ScriptedDialogs dialogs;
        FakeEventPump pump;
        FakeSerialPort port;
        Window window;
        FakeScreenPointer screen;
        Hourglass hourglass(screen);
        RecordingPrinter printer;
        PrintJob job(grid, options, printer, port, dialogs, pump, window, hourglass);

        // The file goes once the second label is out (the laser job checks before each label,
        // the others after each).
        const int goneAt = c.target >= 3 ? 3 : 2;
        pump.onCall = [&](int call) {
            if (call == goneAt) QFile::remove(format);
        };
        ShowOutcome(job.PrintLabels(), dialogs);

        QStringList prompts;
        for (const RecordedMessage& m : dialogs.messages) prompts << m.prompt;
        if (c.target >= 3)
            EXPECT_EQ(prompts, (QStringList{c.problem, " 10 items printed."}));
        else
            EXPECT_EQ(prompts, QStringList{c.problem});
        if (c.target == 0) {
            EXPECT_EQ(port.sent, "FONT^FD\"S1\"^FS^FD\"S2\"^FS");
            EXPECT_FALSE(port.PortOpen());
        } else {
            EXPECT_EQ(printer.lines().filter(QStringLiteral("TEXT")).size(), 2);
        }
        EXPECT_EQ(window.button, "Print");

        // An instant print of a later row says so too.
        dialogs.messages.clear();
        if (c.target <= 1) {
            ShowOutcome(job.PrintInstantRow(5), dialogs);
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].prompt, c.problem);
        }
    }
}

}  // namespace
