#include "grid/GridCommands.h"

#include "grid/LabelGrid.h"
#include "shell/common/Common.h"
#include "shell/common/Numbers.h"
#include "shell/common/ProgramOptions.h"

namespace {
const char* const kHeaders[] = {"sku", "mfn", "description", "loc", "retail", "om", "pk", "upc"};
}

GridCommands::GridCommands(LabelGrid& grid, EntryHost& host, ProgramOptions& options)
    : grid_(grid), host_(host), options_(options) {}

void GridCommands::ResetGrid() {
    grid_.setColSel(0);
    grid_.Clear();
    const bool toFirst = grid_.Row() > LabelsPerSheet || options_.SierraPrint == 1 || options_.SierraPrint == 0;
    if (toFirst) {
        host_.setSelRowText(QStringLiteral("1"));
        grid_.setRow(1);
        grid_.setRowSel(1);
        grid_.setTopRow(1);
    }
    grid_.setRows(LabelsPerSheet + 1);
    for (int c = 1; c <= 8; ++c) grid_.setTextMatrix(0, c, QString::fromLatin1(kHeaders[c - 1]));
    for (int i = 1; i <= LabelsPerSheet; ++i) grid_.setTextMatrix(i, 0, QString::number(i));
}

void GridCommands::ApplyPrintTarget() {
    switch (options_.SierraPrint) {
    case 0: host_.setPrintCaption(QStringLiteral("Print Sierra")); LabelsPerSheet = 30; break;
    case 1: host_.setPrintCaption(QStringLiteral("Print Dymo")); LabelsPerSheet = 30; break;
    case 3: host_.setPrintCaption(QStringLiteral("Print Laser-3")); LabelsPerSheet = 30; break;
    case 4: host_.setPrintCaption(QStringLiteral("Print Laser-4")); LabelsPerSheet = 32; break;
    default: break;  // no such printer: caption and sheet size stay
    }
    const int sheetRows = LabelsPerSheet + 1;
    if (grid_.Rows() < sheetRows) {
        const int oldRows = grid_.Rows();
        grid_.setRows(sheetRows);
        for (int i = oldRows; i <= LabelsPerSheet; ++i) grid_.setTextMatrix(i, 0, QString::number(i));
    } else if (grid_.Rows() > sheetRows) {
        int last = grid_.Rows() - 1;
        while (last > LabelsPerSheet && !grid_.rowInUse(last)) --last;
        grid_.setRows(last + 1);
    }
}

bool GridCommands::GridMayGrow() const { return options_.SierraSingleSheet == 0 || options_.SierraPrint == 0; }

void GridCommands::applyInitialColumns() {
    grid_.setColWidth(0, 350);
    grid_.setColWidth(1, 1000);
    grid_.setColWidth(2, 1500);
    grid_.setColWidth(3, 5000);
    grid_.setColWidth(8, 1500);
    for (int c : {1, 2, 3, 8}) grid_.setColAlignment(c, 0);
}

void GridCommands::LoadRowIntoEntry() {
    const int row = grid_.Row();
    host_.setSelRowText(QString::number(row));
    for (int c = 1; c <= 8; ++c) host_.setEntryText(c, grid_.TextMatrix(row, c));
    host_.showWindow();
    host_.focusSku(true);
    if (!grid_.RowIsVisible(row)) grid_.setTopRow(row > 2 ? row - 2 : 1);
}

QString GridCommands::NormaliseRetail(const QString& retail) {
    if (retail.isEmpty()) return retail;
    const qsizetype point = retail.indexOf(u'.') + 1;  // counted from 1; 0 when there is none
    const qsizetype length = retail.size();
    if (point == 0) {
        // A whole number of cents.
        QString text = QString::number(LeadingNumber(retail) / 100.0, 'f', 2);
        if (text == QLatin1String("-0.00")) text = QStringLiteral("0.00");
        return text;
    }
    if (length - point == 0) return retail + QStringLiteral("00");
    if (length - point == 1) return retail + QStringLiteral("0");
    return retail;
}

void GridCommands::StoreEntryRow() {
    QString retail = host_.entryText(GridCol::Retail);
    while (retail.startsWith(u' ')) retail.remove(0, 1);
    while (retail.endsWith(u' ')) retail.chop(1);
    retail = NormaliseRetail(retail);
    host_.setEntryText(GridCol::Retail, retail);
    const int r = TextToInt16(host_.selRowText());
    for (int c = 1; c <= 8; ++c) grid_.setTextMatrix(r, c, host_.entryText(c));
}

void GridCommands::ClearEntry() {
    for (int c = 1; c <= 8; ++c) host_.setEntryText(c, QString());
    host_.focusSku(false);
}

void GridCommands::SaveRow() {
    StoreEntryRow();
    if (grid_.Row() < grid_.Rows() - 2) grid_.setRow(grid_.Row() + 1);
    LoadRowIntoEntry();
}

bool GridCommands::growByOne(Outcome& outcome) {
    if (grid_.Rows() >= kMaxRows) {
        outcome.addFailure(QStringLiteral("The grid holds %1 labels, the most it can hold; no row was added.").arg(kMaxRows - 1));
        return false;
    }
    grid_.setRows(grid_.Rows() + 1);
    grid_.setTextMatrix(grid_.Rows() - 1, 0, QString::number(grid_.Rows() - 1));
    return true;
}

void GridCommands::copyRowCells(int from, int to) {
    for (int c = 1; c < grid_.Cols(); ++c) grid_.setTextMatrix(to, c, grid_.TextMatrix(from, c));
}

void GridCommands::emptyRowCells(int row) {
    for (int c = 1; c < grid_.Cols(); ++c) grid_.setTextMatrix(row, c, QString());
}

Outcome GridCommands::InsertRow() {
    Outcome outcome;
    insertRow(outcome);
    return outcome;
}

bool GridCommands::insertRow(Outcome& outcome) {
    // A grid at its largest with its last row in use has nowhere to push that row: after the
    // message nothing moves, rather than the last label being pushed out of the grid.
    if (grid_.rowInUse(grid_.Rows() - 1) && GridMayGrow() && !growByOne(outcome)) return false;
    const int current = grid_.Row();
    for (int i = grid_.Rows() - 2; i >= current; --i) copyRowCells(i, i + 1);
    emptyRowCells(current);
    return true;
}

Outcome GridCommands::CopyRow() {
    Outcome outcome;
    if (!insertRow(outcome)) return outcome;
    const int current = grid_.Row();
    // On the last row with no room to grow there is no row below to copy from: the row stays
    // empty, as Insert Row left it.
    if (current + 1 < grid_.Rows()) copyRowCells(current + 1, current);
    return outcome;
}

void GridCommands::DeleteRow() {
    for (int i = grid_.Row(); i <= grid_.Rows() - 2; ++i) copyRowCells(i + 1, i);
    emptyRowCells(grid_.Rows() - 1);
    if (grid_.Rows() > LabelsPerSheet + 1 && !grid_.rowInUse(grid_.Rows() - 1)) grid_.setRows(grid_.Rows() - 1);
    if (LeadingNumber(host_.selRowText()) > grid_.Rows() - 1) host_.setSelRowText(QString::number(grid_.Rows() - 1));
}

void GridCommands::ClearSku() { ClearEntry(); }

void GridCommands::ClearGrid() {
    ResetGrid();
    ClearEntry();
}

void GridCommands::RowColChange() {
    grid_.setRowSel(grid_.Row());
    grid_.setColSel(0);
}

void GridCommands::SelChange() {
    LoadRowIntoEntry();
    grid_.setColSel(0);
}

Outcome GridCommands::SkuEnter() {
    Outcome outcome;
    if (lookupItem) lookupItem();
    StoreEntryRow();
    if (options_.SierraInstant != 0 && printInstantRow) printInstantRow(TextToInt16(host_.selRowText()));
    const int n = grid_.Rows();
    if (grid_.Row() == n - 1 && GridMayGrow()) growByOne(outcome);
    if (grid_.Row() < grid_.Rows() - 1) grid_.setRow(grid_.Row() + 1);
    LoadRowIntoEntry();
    return outcome;
}

void GridCommands::MfnOrDescEnter() {
    StoreEntryRow();
    if (grid_.Row() < grid_.Rows() - 1) grid_.setRow(grid_.Row() + 1);
    LoadRowIntoEntry();
}

void GridCommands::SkuArrowReleased(int keyCode) {
    if (keyCode == 40 && grid_.Row() < grid_.Rows() - 1) grid_.setRow(grid_.Row() + 1);
    else if (keyCode == 38 && grid_.Row() >= 2) grid_.setRow(grid_.Row() - 1);
    if (keyCode == 38 || keyCode == 40) LoadRowIntoEntry();
}

void GridCommands::SkuFocusLost() {
    if (IsBlank(grid_.TextMatrix(grid_.Row(), GridCol::Mfn)) && lookupItem) lookupItem();
}
