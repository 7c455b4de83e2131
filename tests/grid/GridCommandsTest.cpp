// The grid routines and row commands on a grid with no window: the entry boxes are plain texts.
#include "MemorySettingsStore.h"
#include "ScriptedDialogs.h"
#include "grid/GridCommands.h"
#include "grid/LabelGrid.h"
#include "shell/common/ProgramOptions.h"

#include <QObject>
#include <gtest/gtest.h>

namespace {
struct Host : EntryHost {
    QString boxes[9];
    QString selRow = "1";
    QString caption = "Print Labels";
    int focusCalls = 0;
    QString entryText(int col) const override { return boxes[col]; }
    void setEntryText(int col, const QString& t) override { boxes[col] = t; }
    QString selRowText() const override { return selRow; }
    void setSelRowText(const QString& t) override { selRow = t; }
    void focusSku(bool) override { ++focusCalls; }
    void showWindow() override {}
    void setPrintCaption(const QString& c) override { caption = c; }
};

struct GridFixture : ::testing::Test {
    LabelGrid grid;
    Host host;
    ProgramOptions options;
    ScriptedDialogs dialogs;
    GridCommands cmd{grid, host, options};
    // Shows what a row command tells, as the window does.
    void show(const Outcome& outcome) { ShowOutcome(outcome, dialogs); }

    // Start-up for a printer: caption, sheet size, one empty sheet; the notifications wired as
    // the window wires them.
    void startWith(int printer, int singleSheet = 0) {
        options.SierraPrint = static_cast<std::int16_t>(printer);
        options.SierraSingleSheet = static_cast<std::int16_t>(singleSheet);
        QObject::connect(&grid, &LabelGrid::RowColChange, [this] { cmd.RowColChange(); });
        QObject::connect(&grid, &LabelGrid::SelChange, [this] { cmd.SelChange(); });
        cmd.ApplyPrintTarget();
        cmd.ResetGrid();
    }
    void label(int row, const QString& sku) {
        for (int c = 1; c <= 8; ++c) grid.setTextMatrix(row, c, c == 1 ? sku : sku + "-" + QString::number(c));
    }
    QString sku(int row) const { return grid.TextMatrix(row, 1); }
};
}  // namespace

TEST_F(GridFixture, PrintTargetsSetCaptionSheetAndRows) {
    struct Case { int printer; const char* caption; int perSheet; };
    const Case cases[] = {{0, "Print Sierra", 30}, {1, "Print Dymo", 30}, {3, "Print Laser-3", 30}, {4, "Print Laser-4", 32}};
    for (const Case& c : cases) {
        options.SierraPrint = static_cast<std::int16_t>(c.printer);
        cmd.ApplyPrintTarget();
        EXPECT_EQ(host.caption, c.caption);
        EXPECT_EQ(cmd.LabelsPerSheet, c.perSheet);
        EXPECT_EQ(grid.Rows(), c.perSheet + 1);
    }
    options.SierraPrint = 2;  // there is no printer 2: nothing changes
    cmd.ApplyPrintTarget();
    EXPECT_EQ(host.caption, "Print Laser-4");
    EXPECT_EQ(cmd.LabelsPerSheet, 32);
}

TEST_F(GridFixture, SwitchingSheetsTrimsOnlyBlankRows) {
    startWith(4);
    EXPECT_EQ(grid.Rows(), 33);
    options.SierraPrint = 3;
    cmd.ApplyPrintTarget();
    EXPECT_EQ(grid.Rows(), 31);  // empty grid: trimmed

    options.SierraPrint = 4;
    cmd.ApplyPrintTarget();
    EXPECT_EQ(grid.Rows(), 33);
    EXPECT_EQ(grid.TextMatrix(31, 0), "31");
    EXPECT_EQ(grid.TextMatrix(32, 0), "32");
    EXPECT_EQ(sku(31), "");

    label(32, "A32");
    options.SierraPrint = 3;
    cmd.ApplyPrintTarget();
    EXPECT_EQ(grid.Rows(), 33);  // a label in row 32 keeps it

    label(32, "");
    grid.setTextMatrix(32, 1, "");
    label(31, "A31");
    cmd.ApplyPrintTarget();
    EXPECT_EQ(grid.Rows(), 32);
}

TEST_F(GridFixture, ClearGridMovesToTheFirstRowOnlyWhenItMust) {
    startWith(3);
    grid.setRow(12);
    cmd.ClearGrid();
    EXPECT_EQ(grid.Row(), 12);

    for (int i = 0; i < 10; ++i) grid.setRows(grid.Rows() + 1);
    grid.setRow(40);
    cmd.ClearGrid();
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(host.selRow, "1");
    EXPECT_EQ(grid.Rows(), 31);

    options.SierraPrint = 1;
    cmd.ApplyPrintTarget();
    grid.setRow(12);
    cmd.ClearGrid();
    EXPECT_EQ(grid.Row(), 1);
}

TEST_F(GridFixture, GridMayGrowOnlyWithoutTheSheetLimitOrForTheSierra) {
    struct Case { int printer, single; bool grows; };
    for (Case c : {Case{0, 1, true}, Case{1, 1, false}, Case{3, 1, false}, Case{4, 1, false}, Case{3, 0, true}}) {
        options.SierraPrint = static_cast<std::int16_t>(c.printer);
        options.SierraSingleSheet = static_cast<std::int16_t>(c.single);
        EXPECT_EQ(cmd.GridMayGrow(), c.grows) << c.printer << "/" << c.single;
    }
}

TEST_F(GridFixture, RetailIsStoredAsMoney) {
    struct Case { const char* typed; const char* stored; };
    const Case cases[] = {{"1299", "12.99"}, {"12.", "12.00"}, {"7.5", "7.50"}, {"", ""}, {"12,99", "0.12"},
                          {"5", "0.05"}, {"100", "1.00"}, {".5", ".50"}, {"12.99", "12.99"}, {"12.999", "12.999"},
                          {"1.2.3", "1.2.3"}, {"  1299  ", "12.99"}, {"-250", "-2.50"}, {"abc", "0.00"}};
    startWith(3);
    for (const Case& c : cases) {
        host.boxes[GridCol::Retail] = c.typed;
        host.boxes[GridCol::Sku] = " sku ";
        cmd.StoreEntryRow();
        EXPECT_EQ(grid.TextMatrix(1, GridCol::Retail), c.stored) << c.typed;
        EXPECT_EQ(host.boxes[GridCol::Retail], c.stored);
        EXPECT_EQ(sku(1), " sku ");  // only the retail is trimmed
    }
}

TEST_F(GridFixture, InsertRowShiftsDownAndGrowsOnlyWhenAllowed) {
    startWith(3, 1);
    for (int r = 1; r <= 29; ++r) label(r, "S" + QString::number(r));
    grid.setRow(5);
    host.boxes[1] = "in the boxes";
    show(cmd.InsertRow());
    EXPECT_EQ(grid.Rows(), 31);
    EXPECT_EQ(sku(5), "");
    EXPECT_EQ(sku(6), "S5");
    EXPECT_EQ(sku(30), "S29");
    EXPECT_EQ(grid.TextMatrix(6, 0), "6");  // row numbers never move
    EXPECT_EQ(host.boxes[1], "in the boxes");

    // Row 30 now holds a label and the sheet is limited: it is pushed out.
    grid.setRow(5);
    show(cmd.InsertRow());
    EXPECT_EQ(grid.Rows(), 31);
    EXPECT_EQ(sku(30), "S28");

    options.SierraSingleSheet = 0;
    show(cmd.InsertRow());
    EXPECT_EQ(grid.Rows(), 32);
    EXPECT_EQ(grid.TextMatrix(31, 0), "31");
    EXPECT_EQ(sku(31), "S28");
}

TEST_F(GridFixture, CopyRowDuplicatesAndIsSafeOnTheLastRow) {
    startWith(3);
    label(3, "C3");
    label(4, "C4");
    grid.setRow(3);
    show(cmd.CopyRow());
    EXPECT_EQ(grid.Row(), 3);
    for (int c = 1; c <= 8; ++c) EXPECT_EQ(grid.TextMatrix(3, c), grid.TextMatrix(4, c));
    EXPECT_EQ(sku(5), "C4");

    // The last row with no room to grow: nothing is read beyond the grid, the row is emptied.
    options.SierraSingleSheet = 1;
    label(30, "LAST");
    grid.setRow(30);
    EXPECT_NO_THROW(show(cmd.CopyRow()));
    EXPECT_EQ(grid.Rows(), 31);
    EXPECT_EQ(sku(30), "");
}

TEST_F(GridFixture, DeleteRowShiftsUpAndShrinksAboveOneSheet) {
    startWith(3);
    for (int r = 1; r <= 30; ++r) label(r, "D" + QString::number(r));
    grid.setRow(5);
    cmd.DeleteRow();
    EXPECT_EQ(sku(5), "D6");
    EXPECT_EQ(sku(29), "D30");
    EXPECT_EQ(sku(30), "");
    EXPECT_EQ(grid.Rows(), 31);

    for (int i = 0; i < 5; ++i) grid.setRows(grid.Rows() + 1);
    label(35, "D35");
    host.selRow = "35";
    grid.setRow(2);
    host.selRow = "35";
    cmd.DeleteRow();
    EXPECT_EQ(grid.Rows(), 35);
    EXPECT_EQ(host.selRow, "34");  // clamped to the new last row
    EXPECT_EQ(sku(34), "D35");
}

TEST_F(GridFixture, SaveRowNeverAdvancesOntoTheLastRow) {
    startWith(3);
    grid.setRow(28);
    host.boxes[1] = "X28";
    cmd.SaveRow();
    EXPECT_EQ(sku(28), "X28");
    EXPECT_EQ(grid.Row(), 29);
    EXPECT_EQ(host.selRow, "29");
    host.boxes[1] = "X29";
    cmd.SaveRow();
    EXPECT_EQ(grid.Row(), 29);
    EXPECT_EQ(sku(29), "X29");
}

TEST_F(GridFixture, MovingTheCurrentRowLoadsItAndScrollsItIntoView) {
    startWith(3);
    label(20, "R20");
    grid.setTopRow(1);
    grid.setRow(20);  // by code: the notifications load the row
    EXPECT_EQ(host.selRow, "20");
    EXPECT_EQ(host.boxes[1], "R20");
    EXPECT_EQ(host.boxes[8], "R20-8");
    EXPECT_EQ(grid.TopRow(), 18);  // shown as the third visible row
    EXPECT_EQ(grid.RowSel(), 20);
    EXPECT_EQ(grid.ColSel(), 0);
    grid.setRow(2);
    EXPECT_EQ(grid.TopRow(), 1);
}

TEST_F(GridFixture, ClearSkuEmptiesTheBoxesOnly) {
    startWith(3);
    label(1, "K1");
    for (int c = 1; c <= 8; ++c) host.boxes[c] = "x";
    host.selRow = "7";
    cmd.ClearSku();
    for (int c = 1; c <= 8; ++c) EXPECT_EQ(host.boxes[c], "");
    EXPECT_EQ(host.selRow, "7");
    EXPECT_EQ(sku(1), "K1");
}

TEST_F(GridFixture, TheGridStopsAtItsLargestSizeWithAMessage) {
    startWith(0);  // the Sierra Sport may always grow
    grid.setRows(GridCommands::kMaxRows);
    label(GridCommands::kMaxRows - 1, "FULL");
    grid.setRow(GridCommands::kMaxRows - 1);
    show(cmd.InsertRow());
    EXPECT_EQ(grid.Rows(), GridCommands::kMaxRows);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "Alert:");

    host.boxes[1] = "ENTERED";
    host.selRow = QString::number(GridCommands::kMaxRows - 1);
    show(cmd.SkuEnter());
    EXPECT_EQ(grid.Rows(), GridCommands::kMaxRows);
    EXPECT_EQ(sku(GridCommands::kMaxRows - 1), "ENTERED");
}
