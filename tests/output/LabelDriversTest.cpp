// Laser sheets and Dymo labels, checked through the trace of a recording printer.
#include "OutputTestSupport.h"
#include "output/DymoPrinter.h"
#include "output/LaserPrinter.h"

namespace {

class Drivers : public ::testing::Test, protected Bench {
protected:
    int laser(int layout, int lastRow, const std::function<bool()>& cancel = {}, int firstLabel = 1) {
        const int printed = PrintLaserJob(out, layout, lastRow, cancel, hourglass, firstLabel);
        showReported();
        return printed;
    }
};

}  // namespace

TEST_F(Drivers, LaserSheetPositions) {
    // `want` is the trace in short; with `size` given, the last part of a trace of `size` entries.
    // A job refused for its offsets (printed -1) draws nothing and names `refused`.
    struct Case {
        const char* what;
        int layout, rows, printed;
        QStringList want;
        const char *lr = "110", *ud = "-200";
        int blankRow = 0, cancelAt = 0, size = 0;
        const char* refused = "";
        int firstLabel = 1;
    };
    const Case cases[] = {
        {"31 rows of layout 3 take one new page", 3, 31, 31,
         {"S29@4070,12760", "S30@8030,12760", "NEWPAGE", "S31@110,-200", "ENDDOC"}, "110", "-200", 0, 0, 33},
        {"32 rows of layout 4 fill one page", 4, 32, 32, {"S31@6120,12500", "S32@9180,12500", "ENDDOC"}, "110", "-200", 0, 0, 33},
        {"a blank row keeps its position", 3, 3, 3, {"S1@110,-200", "S3@8030,-200", "ENDDOC"}, "110", "-200", 2},
        {"a negative left offset is clamped where negative", 3, 4, 4,
         {"S1@0,12", "S2@3460,12", "S3@7420,12", "S4@0,1452", "ENDDOC"}, "-500", " 12.5 "},
        {"a cancel before row 5 still ends the document", 3, 10, 4,
         {"S1@110,-200", "S2@4070,-200", "S3@8030,-200", "S4@110,1240", "ENDDOC"}, "110", "-200", 0, 5},
        {"a large offset fits in the first column", 3, 1, 1, {"S1@30000,-200", "ENDDOC"}, "30000"},
        {"a left offset that is not a number", 3, 30, -1, {}, "abc", "-200", 0, 0, 0, "SierraOffLr3"},
        {"an empty left offset", 3, 30, -1, {}, "", "-200", 0, 0, 0, "SierraOffLr3"},
        {"an up-down offset with a unit", 3, 30, -1, {}, "110", "12px", 0, 0, 0, "SierraOffUd3"},
        {"an offset beyond 16 bits", 3, 30, -1, {}, "1e12", "0", 0, 0, 0, "SierraOffLr3"},
        {"a left offset placing labels off the page", 3, 30, -1, {}, "30000", "0", 0, 0, 0, "place labels off"},
        {"an up-down offset placing labels off the page", 3, 30, -1, {}, "0", "32000", 0, 0, 0, "place labels off"},
        {"a part-used sheet: row 1 at label 29, row 3 on a fresh sheet", 3, 3, 3,
         {"S1@4070,12760", "S2@8030,12760", "NEWPAGE", "S3@110,-200", "ENDDOC"}, "110", "-200", 0, 0, 0, "", 29},
        {"a part-used sheet whose next sheet has labels off the page", 3, 2, -1, {}, "-33000", "0", 0, 0, 0,
         "place labels off", 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        printer.clear();
        dialogs.messages.clear();
        grid.Clear();
        fillRows(grid, c.rows);
        if (c.blankRow) grid.setTextMatrix(c.blankRow, GridCol::Sku, "   ");
        options.SierraOffLr3 = c.lr;
        options.SierraOffUd3 = c.ud;
        int checks = 0;
        EXPECT_EQ(laser(c.layout, c.rows, [&] { return ++checks == c.cancelAt; }, c.firstLabel), c.printed);
        const QStringList p = placed(printer.lines());
        EXPECT_EQ(p.size(), c.size ? c.size : c.want.size());
        EXPECT_EQ(c.size ? p.mid(p.size() - c.want.size()) : p, c.want);
        const QStringList shown = alerts(dialogs);
        if (c.printed < 0)
            EXPECT_TRUE(shown.size() == 1 && shown[0].contains(c.refused)) << shown.join(u'/').toStdString();
        else
            EXPECT_EQ(shown, QStringList{QStringLiteral(" %1 items printed.").arg(c.printed)});
        EXPECT_EQ(pointer.pointer, MousePointerValue::Default);
    }
}

TEST_F(Drivers, DymoLabelIsOneDocumentOnTheNamedDevice) {
    // The trace of each of rows 1-3, %1 standing for the row.
    const QStringList none{"ENDDOC", "ORIENT|2", "TEXT|0|0|200|10|---|0,0,0|S%1", "ENDDOC", "DEVICE|Office Laser", "ORIENT|1"};
    const struct { const char* device; int current; QStringList label; } cases[] = {
        // "None" differs from the current printer's name, so the saved one is made current again.
        {"None", 0, none},
        {"DYMO LabelWriter 450", 0, QStringList{"DEVICE|DYMO LabelWriter 450"} + none},
        {"DYMO LabelWriter 450", 1, {"ENDDOC", "ORIENT|2", "TEXT|0|0|200|10|---|0,0,0|S%1", "ENDDOC", "ORIENT|1"}},
        {"dymo labelwriter 450", 0, none},  // the name must match exactly
    };
    fillRows(grid, 3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        options.SierraDymoDeviceName = c.device;
        printer.setPrinter(c.current);
        printer.clear();
        QStringList want;
        for (int row = 1; row <= 3; ++row) {
            PrintDymoLabel(out, row);
            showReported();
            want << QStringList(c.label).replaceInStrings("%1", QString::number(row));
        }
        EXPECT_EQ(QStringList(printer.lines()).replaceInStrings("\t", "|"), want);
        EXPECT_EQ(printer.DeviceName(), printer.Printers()[c.current]);
        EXPECT_EQ(printer.Orientation(), PrinterOrientation::Portrait);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}
