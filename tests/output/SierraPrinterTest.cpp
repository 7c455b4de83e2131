// The Sierra Sport byte stream, checked byte for byte through a recording serial port.
#include "output/SierraPrinter.h"

#include "support/FakeSerialPort.h"
#include "support/ScriptedDialogs.h"
#include "grid/LabelGrid.h"
#include "shell/ProgramOptions.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class RecordingCaption : public WindowCaption {
public:
    QString caption = QStringLiteral("Tagwell");
    QStringList history;
    QString Caption() const override { return caption; }
    void setCaption(const QString& c) override {
        caption = c;
        history << c;
    }
};

// A port that notes the window caption at every write, to show when the fonts went out.
class CaptionWatchingPort : public FakeSerialPort {
public:
    const WindowCaption* window = nullptr;
    QStringList captionsSeen;
    void Output(const QByteArray& bytes) override {
        captionsSeen << window->Caption();
        FakeSerialPort::Output(bytes);
    }
};

// sku, mfn, description, loc, retail, om, pk, upc; cells not given are empty.
using Row = QStringList;

class SierraTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    LabelGrid grid;
    ProgramOptions options;
    CaptionWatchingPort port;
    ScriptedDialogs dialogs;
    RecordingCaption window;
    SierraPrinter sierra{grid, options, port, dialogs, window};

    void SetUp() override {
        port.window = &window;
        port.setPortOpen(true);
        options.SierraFont = dir.filePath("fonts.pcl");
        options.SierraFormat = dir.filePath("label.fab");
        writeFile(options.SierraFont, "");
    }
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void setRow(int r, const Row& v) {
        for (int c = 0; c < 8; ++c) grid.setTextMatrix(r, c + 1, v.value(c));
    }
};

TEST_F(SierraTest, FormatLinesAreMergedByteForByte) {
    const QByteArray tail150(150, 'x');
    struct Case {
        const char* what;
        QByteArray formatLine;
        Row row;
        QByteArray expected;
    };
    const Case cases[] = {
        {"line without placeholder is trimmed only", "  ^FO10,20^FDplain text^FS  ", {"A1"}, "^FO10,20^FDplain text^FS"},
        {"description placeholder", "^FD\"=10\"^FS", {"A1", "", "WIDGET 3/4"}, "^FD\"WIDGET 3/4\"^FS"},
        {"every column code", "\"=1\"\"=11\"", {"S1", "M1"}, "\"S1\"\"=11\""},
        {"mfn", "T\"=11\"", {"S1", "MFN-9"}, "T\"MFN-9\""},
        {"loc", "T\"=21\"", {"S1", "", "", "A-12"}, "T\"A-12\""},
        {"retail", "T\"=48\"", {"S1", "", "", "", "12.99"}, "T\"12.99\""},
        {"om", "T\"=66\"", {"S1", "", "", "", "", "OM"}, "T\"OM\""},
        {"pk", "T\"=65\"", {"S1", "", "", "", "", "", "6"}, "T\"6\""},
        {"unknown code gives a single space", "T\"=99\"end", {"S1", "", "DESC"}, "T\" \"end"},
        {"code too large for 16 bits names nothing", "T\"=9E99\"", {"S1"}, "T\" \""},
        {"spaces inside the code are skipped", "T\"=1 0\"", {"S1", "", "D"}, "T\"D\""},
        {"cell of spaces sends one space", "T\"=10\"", {"S1", "", "    "}, "T\" \""},
        {"value is trimmed", "T\"=10\"", {"S1", "", "  ab  "}, "T\"ab\""},
        {"both quotes of a value escaped", "T\"=10\"", {"S1", "", "PIPE 3\" X 10\""}, "T\"PIPE 3~034 X 10~034\""},
        {"only the first placeholder is filled", "A\"=1\" B\"=10\"", {"S1", "", "D"}, "A\"S1\" B\"=10\""},
        {"no closing quote leaves the line alone", "  T\"=10 and more  ", {"S1", "", "D"}, "T\"=10 and more"},
        {"tail after closing quote cut to 100 with the quote", "T\"=1\"" + tail150, {"S1"}, "T\"S1\"" + QByteArray(99, 'x')},
        {"text after an escaped quote cut to 100", "T\"=10\"", {"S1", "", "A\"" + QString(150, u'b')},
         "T\"A~034" + QByteArray(100, 'b') + "\""},
        {"12-digit UPC loses its check digit", "U\"=149\"", {"S1", "", "", "", "", "", "", "036000291452"}, "U\"03600029145\""},
        {"UPC with spaces around it", "U\"=149\"", {"S1", "", "", "", "", "", "", " 036000291452 "}, "U\"03600029145\""},
        {"short UPC sends eleven zeros", "U\"=149\"", {"S1", "", "", "", "", "", "", "12345"}, "U\"00000000000\""},
        {"empty UPC sends eleven zeros", "U\"=149\"", {"S1"}, "U\"00000000000\""},
        {"Windows-1252 bytes", "T\"=10\"", {"S1", "", QString::fromUtf8("Caf\u00e9 \u20ac5 \u2014 \u4e00")},
         "T\"Caf\xe9 \x80" "5 \x97 ?\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        port.sent.clear();
        sierra.setFontsLoaded(true);
        writeFile(options.SierraFormat, c.formatLine + "\r\n");
        setRow(1, c.row);
        sierra.PrintSierraLabel(1);
        EXPECT_EQ(port.sent, c.expected);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SierraTest, LinesGoOutOneAfterAnotherWithNothingBetween) {
    // CR LF and a lone CR end a line; a lone LF is a byte of the line.
    writeFile(options.SierraFormat, "^XA\r\n  ^FD\"=1\"^FS \r^PQ1\n^XZ\r\n\r\nlast");
    setRow(1, {"SKU7"});
    sierra.setFontsLoaded(true);
    sierra.PrintSierraLabel(1);
    EXPECT_EQ(port.sent, QByteArray("^XA^FD\"SKU7\"^FS^PQ1\n^XZlast"));
}

TEST_F(SierraTest, FontsGoOutOnceAcrossTwoJobsWithTheCaptionShown) {
    writeFile(options.SierraFont, "FONT1\r\nFONT2\rFONT3\r\n");
    writeFile(options.SierraFormat, "L\"=1\"\r\n");
    setRow(1, {"A"});
    setRow(2, {"B"});
    EXPECT_FALSE(sierra.FontsLoaded());

    sierra.PrintSierraLabel(1);
    sierra.PrintSierraLabel(2);
    port.setPortOpen(false);
    port.setPortOpen(true);  // the second job
    sierra.PrintSierraLabel(1);

    EXPECT_EQ(port.sent, QByteArray("FONT1FONT2FONT3L\"A\"L\"B\"L\"A\""));
    EXPECT_TRUE(sierra.FontsLoaded());
    const QString loading = QStringLiteral("LOADING FONTS, PLEASE WAIT...");
    EXPECT_EQ(port.captionsSeen.mid(0, 3), QStringList({loading, loading, loading}));
    EXPECT_EQ(port.captionsSeen.mid(3), QStringList({"Tagwell", "Tagwell", "Tagwell"}));
    EXPECT_EQ(window.history, QStringList({loading, "Tagwell"}));
}

TEST_F(SierraTest, MissingFontFileAsksOnEveryLabel) {
    options.SierraFont = dir.filePath("absent.pcl");
    writeFile(options.SierraFormat, "L\"=1\"\r\n");
    for (int r = 1; r <= 3; ++r) setRow(r, {QStringLiteral("S%1").arg(r)});
    dialogs.msgAnswers = {MsgResult::OK, MsgResult::Cancel, MsgResult::OK};

    for (int r = 1; r <= 3; ++r) sierra.PrintSierraLabel(r);

    // OK prints without fonts, Cancel skips the label.
    EXPECT_EQ(port.sent, QByteArray("L\"S1\"L\"S3\""));
    ASSERT_EQ(dialogs.messages.size(), 3u);
    for (const auto& m : dialogs.messages) {
        EXPECT_EQ(m.prompt, "Problem opening Sierra Font File");
        EXPECT_EQ(m.style, MsgStyle::Information | MsgStyle::OKCancel);
        EXPECT_EQ(m.title, "Alert:");
    }
    EXPECT_FALSE(sierra.FontsLoaded());

    // Once a font file opens the question stops.
    options.SierraFont = dir.filePath("fonts.pcl");
    writeFile(options.SierraFont, "F");
    sierra.PrintSierraLabel(1);
    sierra.PrintSierraLabel(2);
    EXPECT_EQ(dialogs.messages.size(), 3u);
    EXPECT_TRUE(port.sent.endsWith("FL\"S1\"L\"S2\""));
}

TEST_F(SierraTest, BlankSkuSendsNothingNotEvenFonts) {
    writeFile(options.SierraFont, "FONTS\r\n");
    writeFile(options.SierraFormat, "L\"=10\"\r\n");
    setRow(1, {"", "M", "has a description"});
    setRow(2, {"   ", "M", "D"});
    sierra.PrintSierraLabel(1);
    sierra.PrintSierraLabel(2);
    sierra.PrintSierraLabel(40);  // beyond the grid
    EXPECT_TRUE(port.sent.isEmpty());
    EXPECT_FALSE(sierra.FontsLoaded());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(window.history.isEmpty());
}

TEST_F(SierraTest, MissingFormatFileReportedForRowOneOnly) {
    writeFile(options.SierraFont, "F");
    options.SierraFormat = dir.filePath("absent.fab");
    setRow(1, {"A"});
    setRow(2, {"B"});
    sierra.PrintSierraLabel(1);
    sierra.PrintSierraLabel(2);
    // The fonts still went out; nothing of either label did.
    EXPECT_EQ(port.sent, QByteArray("F"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].prompt, "Problem opening Sierra Format File");
    EXPECT_EQ(dialogs.messages[0].style, MsgStyle::Information);

    // A directory where the file should be counts as not opening.
    options.SierraFormat = dir.path();
    sierra.PrintSierraLabel(1);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(port.sent, QByteArray("F"));
}

TEST_F(SierraTest, ErrorDuringFontsRestoresCaptionAndSendsFontsAgain) {
    writeFile(options.SierraFont, "AAAA\r\nBBBB\r\n");
    writeFile(options.SierraFormat, "L\"=1\"\r\n");
    setRow(1, {"S"});
    port.failOutputAfterBytes = 6;
    EXPECT_THROW(sierra.PrintSierraLabel(1), TagwellError);
    EXPECT_EQ(window.caption, "Tagwell");
    EXPECT_FALSE(sierra.FontsLoaded());

    port.failOutputAfterBytes = -1;
    port.sent.clear();
    sierra.PrintSierraLabel(1);
    EXPECT_EQ(port.sent, QByteArray("AAAABBBBL\"S\""));
}

TEST_F(SierraTest, WritingToAClosedPortIsAnErrorNotSilence) {
    port.setPortOpen(false);
    sierra.setFontsLoaded(true);
    writeFile(options.SierraFormat, "L\r\n");
    setRow(1, {"S"});
    EXPECT_THROW(sierra.PrintSierraLabel(1), TagwellError);
}

TEST(SierraText, LineSplittingAndCodePage) {
    EXPECT_EQ(SplitTextLines(""), QList<QByteArray>());
    EXPECT_EQ(SplitTextLines("\r\n"), QList<QByteArray>({""}));
    EXPECT_EQ(SplitTextLines("a\r\n\r\nb"), QList<QByteArray>({"a", "", "b"}));
    EXPECT_EQ(SplitTextLines("a\rb\nc"), QList<QByteArray>({"a", "b\nc"}));
    EXPECT_EQ(SplitTextLines(QByteArray("\0\x1b\xff\r\n", 5)), QList<QByteArray>({QByteArray("\0\x1b\xff", 3)}));
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("\u00ff\u0081\u2122\u0100")), QByteArray("\xff\x81\x99?"));
}

}  // namespace

namespace {
// The demo store's Sierra files make one whole label: the font download once, without its line
// ends, then the merged commands from ^XA to ^XZ.
TEST(SierraDemo, DemoFilesMakeAWholeLabel) {
    ProgramOptions options;
    options.SierraFont = TAGWELL_SOURCE_DIR "/demo/demo.pcl";
    options.SierraFormat = TAGWELL_SOURCE_DIR "/demo/demo.fab";
    QFile font(options.SierraFont);
    ASSERT_TRUE(font.open(QIODevice::ReadOnly));
    QByteArray fontBytes = font.readAll();
    fontBytes.replace("\r\n", "");

    LabelGrid grid;
    const QStringList row = {"100234", "AC-55", "HOSE 5/8\" X 50'", "B12", "24.99", "EA", "1", "036000291452"};
    for (int c = 0; c < 8; ++c) grid.setTextMatrix(1, c + 1, row[c]);
    FakeSerialPort port;
    ScriptedDialogs dialogs;
    RecordingCaption window;
    SierraPrinter sierra(grid, options, port, dialogs, window);
    port.setPortOpen(true);
    sierra.PrintSierraLabel(1);

    ASSERT_TRUE(port.sent.startsWith(fontBytes));
    const QByteArray label = port.sent.mid(fontBytes.size());
    EXPECT_TRUE(label.startsWith("^XA^LH0,0")) << label.constData();
    EXPECT_TRUE(label.endsWith("^PQ1,0,1,Y^XZ")) << label.constData();
    for (const char* part : {"^FD\"HOSE 5/8~034 X 50'\"^FS", "^FD\"100234\"^FS", "^FD\"AC-55\"^FS", "^FD\"B12\"^FS",
                             "^FD\"1\"^FS", "^FD\"EA\"^FS", "^FD\"24.99\"^FS", "^BUN,110,Y,N,N^FD\"03600029145\"^FS"})
        EXPECT_TRUE(label.contains(part)) << part;
    EXPECT_FALSE(label.contains('\r'));
    EXPECT_FALSE(label.contains('\n'));
    EXPECT_TRUE(dialogs.messages.empty());
}
}  // namespace
