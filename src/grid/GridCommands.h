#pragma once
// The grid's routines and the row commands of the main window, kept apart from the widgets so they
// run the same under a test as on screen: the window is reached through EntryHost.
#include "shell/common/Outcome.h"

#include <QString>
#include <cstdint>
#include <functional>

class LabelGrid;
struct ProgramOptions;

// The main window as the grid commands see it: the eight entry boxes (by grid column 1..8),
// the selected-row box, the focus and the print button's caption.
class EntryHost {
public:
    virtual ~EntryHost() = default;
    virtual QString entryText(int col) const = 0;
    virtual void setEntryText(int col, const QString& text) = 0;
    virtual QString selRowText() const = 0;
    virtual void setSelRowText(const QString& text) = 0;
    // Focus to the sku box; with `selectAll` its whole text is selected.
    virtual void focusSku(bool selectAll) = 0;
    virtual void showWindow() = 0;
    virtual void setPrintCaption(const QString& caption) = 0;
};

class GridCommands {
public:
    GridCommands(LabelGrid& grid, EntryHost& host, ProgramOptions& options);

    // Labels on one sheet of the chosen printer; 0 until the first valid printer choice.
    std::int16_t LabelsPerSheet = 0;

    // The item look-up and instant printing, plugged in by the window (which shows what the
    // printing tells at once, before the entry moves on).
    std::function<void()> lookupItem;
    std::function<void(int row)> printInstantRow;

    void ResetGrid();
    void ApplyPrintTarget();
    bool GridMayGrow() const;
    void applyInitialColumns();

    void LoadRowIntoEntry();
    void StoreEntryRow();
    void ClearEntry();

    // The commands that may add a row fail, with a message, when the grid is at its largest.
    void SaveRow();
    Outcome InsertRow();
    Outcome CopyRow();
    void DeleteRow();
    void ClearSku();
    void ClearGrid();

    // Grid notifications.
    void RowColChange();
    void SelChange();

    // Entry keys.
    Outcome SkuEnter();
    void MfnOrDescEnter();
    void SkuArrowReleased(int keyCode);  // 38 up, 40 down
    void SkuFocusLost();

    // The retail text as stored: "1299" -> "12.99", "12." -> "12.00", "7.5" -> "7.50".
    static QString NormaliseRetail(const QString& trimmedRetail);

    // The largest Rows a grid may reach: row numbers are 16-bit.
    static constexpr int kMaxRows = 32767;

private:
    // Adds one numbered row at the end; false (and the message in `outcome`) when the grid is
    // already at its largest.
    bool growByOne(Outcome& outcome);
    // Insert Row; false when the grid is full and nothing was moved.
    bool insertRow(Outcome& outcome);
    void copyRowCells(int from, int to);
    void emptyRowCells(int row);

    LabelGrid& grid_;
    EntryHost& host_;
    ProgramOptions& options_;
};
