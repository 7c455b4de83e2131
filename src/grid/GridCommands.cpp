#include "grid/GridCommands.h"

#include "grid/LabelGrid.h"
#include "shell/common/Common.h"
#include "shell/common/Numbers.h"
#include "shell/common/Outcome.h"
#include "shell/common/PrintTargets.h"
#include "shell/common/ProgramOptions.h"
#include "shell/common/RowFields.h"

GridCommands::GridCommands(LabelGrid& grid, EntryHost& host, ProgramOptions& options)
    : grid_(grid), host_(host), options_(options) {}

void GridCommands::ResetGrid() {
    grid_.setColSel(0);
    grid_.Clear();
    // Only a laser sheet keeps its current row: its labels have places on the sheet.
    const PrintTarget* target = FindPrintTarget(options_.SierraPrint);
    const bool toFirst = grid_.Row() > LabelsPerSheet || (target && target->driver != PrintDriver::Laser);
    if (toFirst) {
        host_.setSelRowText(QStringLiteral("1"));
        grid_.setRow(1);
        grid_.setRowSel(1);
        grid_.setTopRow(1);
    }
    grid_.setRows(LabelsPerSheet + 1);
    for (const RowField& f : kRowFields) grid_.setTextMatrix(0, f.column, QString::fromLatin1(f.header));
    for (int i = 1; i <= LabelsPerSheet; ++i) grid_.setTextMatrix(i, 0, QString::number(i));
}

void GridCommands::ApplyPrintTarget() {
    // No such printer: caption and sheet size stay.
    if (const PrintTarget* target = FindPrintTarget(options_.SierraPrint)) {
        host_.setPrintCaption(QString::fromLatin1(target->printCaption));
        LabelsPerSheet = static_cast<std::int16_t>(target->labelsPerSheet);
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

bool GridCommands::GridMayGrow() const {
    // The Sierra Sport prints from a roll: a sheet never limits it.
    const PrintTarget* target = FindPrintTarget(options_.SierraPrint);
    return options_.SierraSingleSheet == 0 || (target && target->driver == PrintDriver::Sierra);
}

void GridCommands::applyInitialColumns() {
    grid_.setColWidth(0, 350);
    for (const RowField& f : kRowFields)
        if (f.initialWidth > 0) grid_.setColWidth(f.column, f.initialWidth);
    for (const RowField& f : kRowFields)
        if (f.leftAligned) grid_.setColAlignment(f.column, 0);
}

void GridCommands::LoadRowIntoEntry() {
    const int row = grid_.Row();
    host_.setSelRowText(QString::number(row));
    for (const RowField& f : kRowFields) host_.setEntryText(f.column, grid_.TextMatrix(row, f.column));
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
    const QString retail = NormaliseRetail(trimSpaces(host_.entryText(GridCol::Retail)));
    host_.setEntryText(GridCol::Retail, retail);
    const int r = TextToInt16(host_.selRowText());
    for (const RowField& f : kRowFields) grid_.setTextMatrix(r, f.column, host_.entryText(f.column));
}

void GridCommands::ClearEntry() {
    for (const RowField& f : kRowFields) host_.setEntryText(f.column, QString());
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
