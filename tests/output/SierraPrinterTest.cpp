// The Sierra Sport byte stream, checked byte for byte through a recording serial port (`wire`).
#include "OutputTestSupport.h"

namespace {

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

class Sierra : public ::testing::Test, protected Bench {
protected:
    Sierra() {
        wire.window = &window;
        wire.setPortOpen(true);
    }
    CaptionWatchingPort wire;
    SierraPrinter sierra{grid, options, wire, dialogs, window};
    // One label, what it reported shown as the job would show it.
    bool label(int row) {
        const bool opened = sierra.PrintSierraLabel(row, outcome);
        showReported();
        return opened;
    }
};

}  // namespace

TEST_F(Sierra, FormatLinesAreMergedByteForByte) {
    // The format file less its last CR LF, the row's cells, the bytes sent.
    const struct { const char* what; QByteArray format; QStringList row; QByteArray sent; } cases[] = {
        {"a line without placeholder is trimmed only", "  ^FO10,20^FDplain text^FS  ", {"A1"}, "^FO10,20^FDplain text^FS"},
        {"every code; a 12-digit UPC without its check digit",
         "A\"=1\"\r\nB\"=11\"\r\nC\"=10\"\r\nD\"=21\"\r\nE\"=48\"\r\nF\"=66\"\r\nG\"=65\"\r\nH\"=149\"",
         {"S1", "MFN-9", "WIDGET 3/4", "A-12", "12.99", "OM", "6", "036000291452"},
         "A\"S1\"B\"MFN-9\"C\"WIDGET 3/4\"D\"A-12\"E\"12.99\"F\"OM\"G\"6\"H\"03600029145\""},
        {"an unknown code sends a single space", "T\"=99\"end", {"S1", "", "DESC"}, "T\" \"end"},
        {"a code beyond 16 bits names nothing", "T\"=9E99\"", {"S1"}, "T\" \""},
        {"spaces inside the code are skipped", "T\"=1 0\"", {"S1", "", "D"}, "T\"D\""},
        {"a cell of spaces sends one space", "T\"=10\"", {"S1", "", "    "}, "T\" \""},
        {"a value is trimmed", "T\"=10\"", {"S1", "", "  ab  "}, "T\"ab\""},
        {"both quotes of a value escaped", "T\"=10\"", {"S1", "", "PIPE 3\" X 10\""}, "T\"PIPE 3~034 X 10~034\""},
        {"only the first placeholder is filled", "A\"=1\" B\"=10\"", {"S1", "", "D"}, "A\"S1\" B\"=10\""},
        {"no closing quote leaves the line alone", "  T\"=10 and more  ", {"S1", "", "D"}, "T\"=10 and more"},
        {"the tail after the closing quote cut to 100", "T\"=1\"" + QByteArray(150, 'x'), {"S1"}, "T\"S1\"" + QByteArray(99, 'x')},
        {"the text after an escaped quote cut to 100", "T\"=10\"", {"S1", "", "A\"" + QString(150, u'b')},
         "T\"A~034" + QByteArray(100, 'b') + "\""},
        {"a short UPC sends eleven zeros", "U\"=149\"", {"S1", "", "", "", "", "", "", "12345"}, "U\"00000000000\""},
        {"Windows-1252 bytes", "T\"=10\"", {"S1", "", QString::fromUtf8("Caf\u00e9 \u20ac5 \u2122 \u4e00")}, "T\"Caf\xe9 \x80" "5 \x99 ?\""},
        {"CR LF and CR end lines, LF is a byte, nothing is added between lines",
         "^XA\r\n  ^FD\"=1\"^FS \r^PQ1\n^XZ\r\n\r\nlast", {"SKU7"}, "^XA^FD\"SKU7\"^FS^PQ1\n^XZlast"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        wire.sent.clear();
        sierra.setFontsLoaded(true);
        files.write("label.fab", c.format + "\r\n");
        setRow(grid, 1, c.row);
        label(1);
        EXPECT_EQ(wire.sent, c.sent);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Sierra, FontsGoOutOnceAcrossTwoJobsWithTheCaptionShown) {
    files.write("font.pcl", "FONT1\r\nFONT2\rFONT3\r\n");
    fillRows(grid, 2);
    EXPECT_FALSE(sierra.FontsLoaded());
    label(1);
    label(2);
    wire.setPortOpen(false);
    wire.setPortOpen(true);  // the second job
    label(1);
    EXPECT_EQ(wire.sent, QByteArray("FONT1FONT2FONT3L\"S1\"L\"S2\"L\"S1\""));
    EXPECT_TRUE(sierra.FontsLoaded());
    const QString loading = QStringLiteral("LOADING FONTS, PLEASE WAIT...");
    EXPECT_EQ(wire.captionsSeen, QStringList({loading, loading, loading, "Tagwell", "Tagwell", "Tagwell"}));
    EXPECT_EQ(window.captionHistory, QStringList({loading, "Tagwell"}));
}

TEST_F(Sierra, MissingFontFileAsksOnEveryLabel) {
    options.SierraFont = files.path("absent.pcl");
    fillRows(grid, 3);
    dialogs.msgAnswers = {MsgResult::OK, MsgResult::Cancel, MsgResult::OK};
    for (int r = 1; r <= 3; ++r) label(r);
    // OK prints without fonts, Cancel skips the label, and the job did not print everything.
    EXPECT_EQ(wire.sent, QByteArray("L\"S1\"L\"S3\""));
    EXPECT_TRUE(outcome.failed());
    EXPECT_EQ(alerts(dialogs, MsgStyle::Information | MsgStyle::OKCancel), QStringList(3, "Problem opening Sierra Font File"));
    EXPECT_FALSE(sierra.FontsLoaded());
    options.SierraFont = files.path("font.pcl");  // once a font file opens the question stops
    label(1);
    label(2);
    EXPECT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(wire.sent, QByteArray("L\"S1\"L\"S3\"FL\"S1\"L\"S2\""));
}

TEST_F(Sierra, BlankSkuSendsNothingNotEvenFonts) {
    setRow(grid, 1, {"", "M", "has a description"});
    setRow(grid, 2, {"   ", "M", "D"});
    label(1);
    label(2);
    label(40);  // beyond the grid
    EXPECT_TRUE(wire.sent.isEmpty());
    EXPECT_FALSE(sierra.FontsLoaded());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(window.captionHistory.isEmpty());
}

TEST_F(Sierra, PortFailuresAreErrorsAndTheFontsGoOutAgain) {
    files.write("font.pcl", "AAAA\r\nBBBB\r\n");
    fillRows(grid, 1);
    wire.failOutputAfterBytes = 6;
    EXPECT_THROW(label(1), TagwellError);
    EXPECT_EQ(window.caption, "Tagwell");
    EXPECT_FALSE(sierra.FontsLoaded());
    wire.failOutputAfterBytes = -1;
    wire.sent.clear();
    label(1);
    EXPECT_EQ(wire.sent, QByteArray("AAAABBBBL\"S1\""));
    wire.setPortOpen(false);  // a closed port is an error, not silence
    EXPECT_THROW(label(1), TagwellError);
}
