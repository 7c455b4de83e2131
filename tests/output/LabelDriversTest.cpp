// Laser sheets and Dymo labels, checked through the trace of a recording printer.
#include "OutputTestSupport.h"
#include "support/ScriptedDialogs.h"
#include "output/DymoPrinter.h"
#include "output/LabelOutput.h"
#include "output/LaserPrinter.h"
#include "platform/RecordingPrinter.h"
#include "platform/ScreenPointer.h"
#include "shell/Common.h"

#include <gtest/gtest.h>

namespace {

class PointerStub : public ScreenPointer {
public:
    int pointer = MousePointerValue::Hourglass;
    int MousePointer() const override { return pointer; }
    void setMousePointer(int p) override { pointer = p; }
};

// The TEXT lines' origins, and the other operations by name.
struct Positions {
    QList<QPair<int, int>> texts;  // x, y
    int newPages = 0;
    int endDocs = 0;
    int lineOfLastNewPage = -1;
};

Positions positions(const QStringList& trace) {
    Positions p;
    for (qsizetype i = 0; i < trace.size(); ++i) {
        const QStringList f = trace[i].split(u'\t');
        if (f[0] == u"TEXT") p.texts.append({f[1].toInt(), f[2].toInt()});
        if (f[0] == u"NEWPAGE") {
            ++p.newPages;
            p.lineOfLastNewPage = static_cast<int>(i);
        }
        if (f[0] == u"ENDDOC") ++p.endDocs;
    }
    return p;
}

class LaserJob : public ::testing::Test {
protected:
    LaserJob() {
        options.SierraFormat3 = files.write(QStringLiteral("sheet.fa3"), {QStringLiteral("' origin only"),
                                                                         QStringLiteral("SKU,10,0,0,0,,0")});
        options.SierraFormat4 = files.write(QStringLiteral("sheet.fa4"), {QStringLiteral("SKU,10,0,0,0,,0")});
    }
    int run(int layout, int lastRow, std::function<bool()> cancel = {}) {
        const LabelOutput out{printer, dialogs, grid, options};
        Hourglass hourglass(pointer);
        return PrintLaserJob(out, layout, lastRow, cancel, hourglass);
    }
    QStringList prompts() const {
        QStringList p;
        for (const auto& m : dialogs.messages) {
            EXPECT_EQ(m.title, QStringLiteral("Alert:"));
            EXPECT_EQ(m.style, MsgStyle::Information);
            p << m.prompt;
        }
        return p;
    }

    FormatFiles files;
    ProgramOptions options;
    LabelGrid grid;
    RecordingPrinter printer;
    ScriptedDialogs dialogs;
    PointerStub pointer;
};

}  // namespace

TEST_F(LaserJob, ThirtyOneRowsOfLayoutThreeTakeOneNewPage) {
    fillRows(grid, 31);
    EXPECT_EQ(run(3, 31), 31);
    const Positions p = positions(printer.lines());
    ASSERT_EQ(p.texts.size(), 31);
    EXPECT_EQ(p.texts[0], qMakePair(110, -200));
    EXPECT_EQ(p.texts[1], qMakePair(4070, -200));
    EXPECT_EQ(p.texts[29], qMakePair(8030, 12760));
    EXPECT_EQ(p.texts[30], qMakePair(110, -200));
    EXPECT_EQ(p.newPages, 1);
    EXPECT_EQ(printer.lines()[p.lineOfLastNewPage + 1].section(u'\t', -1), QStringLiteral("S31"));
    EXPECT_EQ(p.endDocs, 1);
    EXPECT_EQ(printer.lines().last(), QStringLiteral("ENDDOC"));
    EXPECT_EQ(prompts(), QStringList{QStringLiteral(" 31 items printed.")});
    EXPECT_EQ(pointer.pointer, MousePointerValue::Default);
}

TEST_F(LaserJob, ThirtyTwoRowsOfLayoutFourFillOnePage) {
    fillRows(grid, 32);
    run(4, 32);
    const Positions p = positions(printer.lines());
    ASSERT_EQ(p.texts.size(), 32);
    EXPECT_EQ(p.texts[0], qMakePair(0, -100));
    EXPECT_EQ(p.texts[31], qMakePair(9180, 12500));
    EXPECT_EQ(p.newPages, 0);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral(" 32 items printed.")});
}

TEST_F(LaserJob, LayoutTwoAndOthersPrintAsLayoutFour) {
    fillRows(grid, 5);
    run(2, 5);
    EXPECT_EQ(positions(printer.lines()).texts[4], qMakePair(0, 1700));
}

TEST_F(LaserJob, BlankRowKeepsItsPositionAndCounts) {
    fillRows(grid, 3);
    grid.setTextMatrix(2, 1, QStringLiteral("   "));
    run(3, 3);
    const Positions p = positions(printer.lines());
    EXPECT_EQ(p.texts, (QList<QPair<int, int>>{{110, -200}, {8030, -200}}));
    EXPECT_EQ(prompts(), QStringList{QStringLiteral(" 3 items printed.")});
}

TEST_F(LaserJob, NegativeLeftOffsetIsClampedOnlyWhereNegative) {
    options.SierraOffLr3 = QStringLiteral("-500");
    options.SierraOffUd3 = QStringLiteral(" 12.5 ");  // half to even: 12
    fillRows(grid, 4);
    run(3, 4);
    EXPECT_EQ(positions(printer.lines()).texts,
              (QList<QPair<int, int>>{{0, 12}, {3460, 12}, {7420, 12}, {0, 1452}}));
}

TEST_F(LaserJob, CancelBeforeRowFiveStillEndsTheDocument) {
    fillRows(grid, 10);
    int checks = 0;
    EXPECT_EQ(run(3, 10, [&] { return ++checks == 5; }), 4);
    const Positions p = positions(printer.lines());
    EXPECT_EQ(p.texts.size(), 4);
    EXPECT_EQ(p.endDocs, 1);
    EXPECT_EQ(prompts(), QStringList{QStringLiteral(" 4 items printed.")});
}

TEST_F(LaserJob, MissingFormatFileWarnsOnceForRowOne) {
    fillRows(grid, 3);
    options.SierraFormat4 = files.missing(QStringLiteral("gone.fa4"));
    run(4, 3);
    EXPECT_EQ(prompts(), (QStringList{QStringLiteral("Problem opening Laser Format File"),
                                      QStringLiteral(" 3 items printed.")}));
    EXPECT_EQ(printer.lines(), QStringList{QStringLiteral("ENDDOC")});

    // Row 1 blank: the rows after it that came out blank are still reported, once, before the count.
    dialogs.messages.clear();
    grid.setTextMatrix(1, 1, QString());
    run(4, 3);
    EXPECT_EQ(prompts(), (QStringList{QStringLiteral("Problem opening Laser Format File"),
                                      QStringLiteral(" 3 items printed.")}));
}

TEST_F(LaserJob, OffsetsThatAreNotWholeNumbersRefuseTheJobBeforeDrawing) {
    const struct {
        const char* lr;
        const char* ud;
        const char* named;
    } cases[] = {
        {"abc", "-200", "SierraOffLr3"}, {"", "-200", "SierraOffLr3"},   {"110", "12px", "SierraOffUd3"},
        {"110", "", "SierraOffUd3"},     {"1e12", "0", "SierraOffLr3"},  {"30000", "0", "place labels off"},
        {"0", "32000", "place labels off"},
    };
    fillRows(grid, 30);
    for (const auto& c : cases) {
        options.SierraOffLr3 = QString::fromLatin1(c.lr);
        options.SierraOffUd3 = QString::fromLatin1(c.ud);
        dialogs.messages.clear();
        printer.clear();
        pointer.pointer = MousePointerValue::Hourglass;
        EXPECT_EQ(run(3, 30), -1) << c.lr << " " << c.ud;
        EXPECT_TRUE(printer.lines().isEmpty()) << c.lr << " " << c.ud;
        const QStringList p = prompts();
        ASSERT_EQ(p.size(), 1);
        EXPECT_TRUE(p[0].contains(QString::fromLatin1(c.named))) << p[0].toStdString();
        EXPECT_EQ(pointer.pointer, MousePointerValue::Default);
    }
}

TEST_F(LaserJob, LargeOffsetFitsWhenOnlyTheFirstColumnIsUsed) {
    options.SierraOffLr3 = QStringLiteral("30000");
    fillRows(grid, 1);
    EXPECT_EQ(run(3, 1), 1);
    EXPECT_EQ(positions(printer.lines()).texts, (QList<QPair<int, int>>{{30000, -200}}));
}

namespace {

class DymoJob : public ::testing::Test {
protected:
    DymoJob() : printer({QStringLiteral("Office Laser"), QStringLiteral("DYMO LabelWriter 450")}, 0) {
        options.SierraFormat1 = files.write(QStringLiteral("label.fa1"), {QStringLiteral("SKU,10,0,0,0,,0")});
        fillRows(grid, 3);
    }
    void print(int row) { PrintDymoLabel(LabelOutput{printer, dialogs, grid, options}, row); }
    static QStringList expected(std::initializer_list<const char*> lines) {
        QStringList l;
        for (const char* s : lines) l << QString::fromLatin1(s).replace(u'|', u'\t');
        return l;
    }

    FormatFiles files;
    ProgramOptions options;
    LabelGrid grid;
    RecordingPrinter printer;
    ScriptedDialogs dialogs;
};

}  // namespace

// "None" differs from the current printer's name, so the saved printer is made current again after
// the label (a no-op switch, but the step is there).
TEST_F(DymoJob, NoneNamesNoPrinterSoEachLabelIsADocumentOnTheCurrentOne) {
    for (int row = 1; row <= 3; ++row) print(row);
    QStringList want;
    for (int row = 1; row <= 3; ++row)
        want << expected({"ENDDOC", "ORIENT|2"}) << QStringLiteral("TEXT\t0\t0\t200\t10\t---\t0,0,0\tS%1").arg(row)
             << expected({"ENDDOC", "DEVICE|Office Laser", "ORIENT|1"});
    EXPECT_EQ(printer.lines(), want);
    EXPECT_EQ(printer.DeviceName(), QStringLiteral("Office Laser"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DymoJob, NamedDeviceIsMadeCurrentForTheLabelAndSwitchedBack) {
    options.SierraDymoDeviceName = QStringLiteral("DYMO LabelWriter 450");
    print(2);
    EXPECT_EQ(printer.lines(), expected({"DEVICE|DYMO LabelWriter 450", "ENDDOC", "ORIENT|2",
                                         "TEXT|0|0|200|10|---|0,0,0|S2", "ENDDOC", "DEVICE|Office Laser",
                                         "ORIENT|1"}));
    EXPECT_EQ(printer.Orientation(), PrinterOrientation::Portrait);
}

TEST_F(DymoJob, AlreadyCurrentDymoIsNotSwitchedAndLeftInPortrait) {
    options.SierraDymoDeviceName = QStringLiteral("DYMO LabelWriter 450");
    printer.setPrinter(1);
    printer.clear();
    print(1);
    EXPECT_EQ(printer.lines(),
              expected({"ENDDOC", "ORIENT|2", "TEXT|0|0|200|10|---|0,0,0|S1", "ENDDOC", "ORIENT|1"}));
    EXPECT_EQ(printer.DeviceName(), QStringLiteral("DYMO LabelWriter 450"));
}

TEST_F(DymoJob, NameDifferingInCaseDoesNotMatch) {
    options.SierraDymoDeviceName = QStringLiteral("dymo labelwriter 450");
    print(1);
    // No printer is made the Dymo; the saved one is made current again, as the switch-back asks.
    EXPECT_EQ(printer.lines(), expected({"ENDDOC", "ORIENT|2", "TEXT|0|0|200|10|---|0,0,0|S1", "ENDDOC",
                                         "DEVICE|Office Laser", "ORIENT|1"}));
}

TEST_F(DymoJob, BlankSkuAndMissingFormat) {
    grid.setTextMatrix(2, 1, QStringLiteral(" "));
    print(2);
    EXPECT_TRUE(printer.lines().isEmpty());

    options.SierraFormat1 = files.missing(QStringLiteral("none.fa1"));
    for (int row = 1; row <= 3; ++row) print(row);
    EXPECT_TRUE(printer.lines().isEmpty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].prompt, QStringLiteral("Problem opening Dymo Format File"));
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Alert:"));
    EXPECT_EQ(dialogs.messages[0].style, MsgStyle::Information);

    options.SierraFormat1.clear();  // no path set at all
    print(3);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}
