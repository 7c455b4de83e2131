// The label format language, checked through the trace of a recording printer.
#include "OutputTestSupport.h"
#include "output/LabelFormat.h"
#include "platform/RecordingPrinter.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

// Recording measure: a character is FontSize x 10 twips wide, x 12 when bold.
struct Drawn {
    QStringList trace;
    double fontSizeAfter;
};

Drawn draw(const QStringList& lines, const LabelRowValues& row, int originX = 0, int originY = 0) {
    LabelGrid grid;
    setLabelRow(grid, 1, row);
    QByteArray bytes = lines.join(QStringLiteral("\r\n")).toLatin1();
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    RecordingPrinter printer;
    DrawLabelFormat(file, printer, grid, 1, originX, originY);
    return {printer.lines(), printer.FontSize()};
}

const LabelRowValues kItem{QStringLiteral("100234"), QStringLiteral("MF-77"), QStringLiteral("WIDGET"),
                           QStringLiteral("A12"),    QStringLiteral("12.99"), QStringLiteral("EA"),
                           QStringLiteral("6"),      QStringLiteral("036000291453")};

QString tabs(const QString& spaced) { return QString(spaced).replace(u'|', u'\t'); }

}  // namespace

TEST(LabelFormat, WorkedExampleAtAnOrigin) {
    const Drawn d = draw({QStringLiteral("' Shelf label 3-up"), QStringLiteral("DESC,10,150,60,3600,B,0"),
                          QStringLiteral("RTL,24,3700,400,0,BR,255"), QStringLiteral("UPC,450,150,450,1900,,0"),
                          QStringLiteral("LINE,2,0,380,3800,380,0"), QStringLiteral("SALE,14,2500,60,0,BI,255")},
                         kItem, 1000, 2000);
    const QStringList expected{
        tabs("TEXT|1150|2060|720|10|B--|0,0,0|WIDGET"),
        // Bold 24 points: 5 x 24 x 12 = 1440 wide, so it starts 1440 left of 1000 + 3700.
        tabs("TEXT|3260|2400|1440|24|B--|255,0,0|12.99"),
        tabs("BARCODE|1150|2450|1900|450|036000291452"),
        tabs("LINE|1000|2380|4800|2380|2|0,0,0"),
        tabs("TEXT|3500|2060|672|14|BI-|255,0,0|SALE"),
    };
    EXPECT_EQ(d.trace, expected);
}

// One row per case: the format lines, the trace expected at origin (0, 0).
struct FormatCase {
    const char* name;
    QStringList lines;
    QStringList trace;
};

class LabelFormatCases : public ::testing::TestWithParam<FormatCase> {};

TEST_P(LabelFormatCases, DrawsExactly) {
    const Drawn d = draw(GetParam().lines, kItem);
    QStringList expected;
    for (const QString& l : GetParam().trace) expected << tabs(l);
    EXPECT_EQ(d.trace, expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Elements, LabelFormatCases,
    ::testing::Values(
        FormatCase{"comment between lines changes nothing but the reset",
                   {"SKU,10,100,200,0,B,255", "'RTL,30,999,999,999,I,999", "DESC,12,300,400"},
                   {"TEXT|100|200|720|10|B--|255,0,0|100234", "TEXT|300|400|864|12|B--|0,0,0|WIDGET"}},
        FormatCase{"lower-case keyword and spaces around it", {"  sku ,10,0,0,0,,0  "}, {"TEXT|0|0|600|10|---|0,0,0|100234"}},
        FormatCase{"unknown keyword is fixed upper-case text", {"sale now,14,50,60,0,,255"},
                   {"TEXT|50|60|1120|14|---|255,0,0|SALE NOW"}},
        FormatCase{"empty field 0 draws nothing", {",10,100,100,0,,0"}, {}},
        FormatCase{"width 200 turns fitting off", {"DESC,10,0,0,200,,0"}, {"TEXT|0|0|600|10|---|0,0,0|WIDGET"}},
        FormatCase{"width 201 fits, stopping at 6 points", {"DESC,10,0,0,201,,0"}, {"TEXT|0|0|360|6|---|0,0,0|WIDGET"}},
        FormatCase{"fitting stops once the text fits", {"DESC,10,0,0,480,,0"}, {"TEXT|0|0|480|8|---|0,0,0|WIDGET"}},
        FormatCase{"fitting measures before bold is applied", {"DESC,10,0,0,540,B,0"}, {"TEXT|0|0|648|9|B--|0,0,0|WIDGET"}},
        FormatCase{"too wide at 6 points loses one point, once", {"DESC,6,0,0,201,,0"}, {"TEXT|0|0|300|5|---|0,0,0|WIDGET"}},
        FormatCase{"too wide at 3 points still loses one", {"WIDGETWIDGET,3,0,0,201,,0"},
                   {"TEXT|0|0|240|2|---|0,0,0|WIDGETWIDGET"}},
        FormatCase{"B and R at 3700 end the bold text there", {"RTL,24,3700,400,0,BR,0"},
                   {"TEXT|2260|400|1440|24|B--|0,0,0|12.99"}},
        FormatCase{"style letters anywhere, other letters ignored", {"SKU,10,0,0,0,xuix,0"}, {"TEXT|0|0|600|10|-IU|0,0,0|100234"}},
        FormatCase{"BOLD means bold only", {"SKU,10,0,0,0,bold,0"}, {"TEXT|0|0|720|10|B--|0,0,0|100234"}},
        FormatCase{"colour 255255255 is white", {"SKU,10,0,0,0,,255255255"}, {"TEXT|0|0|600|10|---|255,255,255|100234"}},
        FormatCase{"colour 999 counts as red 255", {"SKU,10,0,0,0,,999"}, {"TEXT|0|0|600|10|---|255,0,0|100234"}},
        FormatCase{"colour green-blue-red order", {"SKU,10,0,0,0,,7008009"}, {"TEXT|0|0|600|10|---|9,7,8|100234"}},
        FormatCase{"colour absent is black", {"SKU,10,0,0,0,"}, {"TEXT|0|0|600|10|---|0,0,0|100234"}},
        FormatCase{"four fields carry width, style and take black",
                   {"DESC,10,150,60,3600,BI,255", "SKU,12,500,700"},
                   {"TEXT|150|60|720|10|BI-|255,0,0|WIDGET", "TEXT|500|700|864|12|BI-|0,0,0|100234"}},
        FormatCase{"an empty line draws the text again in black",
                   {"RTL,24,3700,400,0,BR,255", "", "'end"},
                   {"TEXT|2260|400|1440|24|B--|255,0,0|12.99", "TEXT|2260|400|1440|24|B--|0,0,0|12.99"}},
        FormatCase{"a field beyond 16 bits keeps the previous value and gives black",
                   {"SKU,10,100,200,0,,255", "DESC,12,40000,300,0,,255"},
                   {"TEXT|100|200|600|10|---|255,0,0|100234", "TEXT|100|300|720|12|---|0,0,0|WIDGET"}},
        FormatCase{"UPC of 12 characters with a wrong check digit is corrected", {"UPC,450,150,450,1900"},
                   {"BARCODE|150|450|1900|450|036000291452"}},
        FormatCase{"LINE", {"LINE,3,10,20,3000,20,255000"}, {"LINE|10|20|3000|20|3|0,0,255"}},
        FormatCase{"BOX draws what LINE draws", {"box,3,10,20,3000,20,255000"}, {"LINE|10|20|3000|20|3|0,0,255"}},
        FormatCase{"text below one point is skipped, the label goes on", {"SKU,0,0,0,0,,0", "OM,10,0,0,0,,0"},
                   {"TEXT|0|0|200|10|---|0,0,0|EA"}},
        FormatCase{"fitting that would reach 0 points skips the text", {"ABCDEFGHIJKLMNOPQRSTUVWXYZ,1,0,0,201,,0", "PK,8,0,0,0,,0"},
                   {"TEXT|0|0|80|8|---|0,0,0|6"}},
        FormatCase{"a pen below one pixel is skipped", {"LINE,0,0,0,100,0,0", "LINE,-2,0,0,100,0,0", "LOC,8,0,0,0,,0"},
                   {"TEXT|0|0|240|8|---|0,0,0|A12"}}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return "case" + std::to_string(info.index); });

TEST(LabelFormat, UpcCellLengths) {
    struct Case {
        QString upc;
        QStringList trace;
    };
    const Case cases[] = {
        {QStringLiteral("03600029145"), {}},                              // 11 characters: no symbol
        {QStringLiteral("0360002914530"), {}},                            // 13 characters: no symbol
        {QStringLiteral(""), {}},
        {QStringLiteral("  036000291452 "), {tabs("BARCODE|0|0|1900|450|036000291452")}},  // trimmed to 12
        {QStringLiteral("725272730700"), {tabs("BARCODE|0|0|1900|450|725272730706")}},
    };
    for (const Case& c : cases) {
        LabelRowValues row = kItem;
        row.upc = c.upc;
        EXPECT_EQ(draw({QStringLiteral("UPC,450,0,0,1900,,0")}, row).trace, c.trace) << c.upc.toStdString();
    }
}

TEST(LabelFormat, BlankCellDrawsNothingAndKeepsTheSize) {
    LabelRowValues row = kItem;
    row.mfn = QStringLiteral("   ");
    row.loc = QString();
    const Drawn d = draw({QStringLiteral("SKU,12,0,0,0,,0"), QStringLiteral("MFN,30,0,0,201,,0"),
                          QStringLiteral("LOC,40,0,0,0,,0")},
                         row);
    EXPECT_EQ(d.trace, QStringList{tabs("TEXT|0|0|720|12|---|0,0,0|100234")});
    EXPECT_EQ(d.fontSizeAfter, 12);
}

TEST(LabelFormat, PositionsLeavingSixteenBitsSkipOnlyThatElement) {
    const Drawn d = draw({QStringLiteral("SKU,10,1000,0,0,,0"), QStringLiteral("UPC,450,1000,0,1900,,0"),
                          QStringLiteral("LINE,2,0,0,1000,0,0"), QStringLiteral("RTL,10,-40000,0,0,,0"),
                          QStringLiteral("DESC,10,-32000,0,0,,0")},
                         kItem, 32000, 100);
    // SKU, UPC and LINE's second point leave 16 bits. RTL's x field does not fit, so it keeps the
    // 0 of the LINE line and lands at 32000; DESC at 32000 - 32000 = 0.
    EXPECT_EQ(d.trace, (QStringList{tabs("TEXT|32000|100|500|10|---|0,0,0|12.99"),
                                    tabs("TEXT|0|100|600|10|---|0,0,0|WIDGET")}));
}

TEST(LabelFormat, LineEndsOfOtherEditorsStillSplitLines) {
    LabelGrid grid;
    setLabelRow(grid, 1, kItem);
    QByteArray bytes("SKU,10,0,0,0,,0\nRTL,10,0,500,0,,0\rOM,10,0,900,0,,0");
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    RecordingPrinter printer;
    DrawLabelFormat(file, printer, grid, 1, 0, 0);
    EXPECT_EQ(printer.lines().size(), 3);
}

TEST(FixUpcCheckDigit, ComputesTheModuloTenDigit) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"036000291453", "036000291452"}, {"036000291452", "036000291452"}, {"03600029145", "036000291452"},
        {" 725272730700 ", "725272730706"}, {"012345678905", "012345678905"}, {"000000000001", "000000000000"},
        {"A3600029145X", "A36000291452"},  // a letter counts as 0 and is kept
    };
    for (const auto& c : cases) {
        QString upc = QString::fromLatin1(c.in);
        FixUpcCheckDigit(upc);
        EXPECT_EQ(upc, QString::fromLatin1(c.out)) << c.in;
    }
}
