#pragma once
// The label grid on screen: a table view over LabelGrid. Row 0 of the grid is the column header and
// column 0 the row header. The current row follows the model both ways: a click or an arrow key
// sets the grid's Row, and a Row set by code moves the view's current cell.
#include <QTableView>

class LabelGrid;

class msfGridView : public QTableView {
    Q_OBJECT
public:
    msfGridView(LabelGrid& grid, QWidget* parent = nullptr);
    // Twips to pixels for the column widths (set by the window from its screen).
    void setTwipsPerPixel(double twipsPerPixel);
    bool rowVisible(int row) const;
    // Scrolls only sideways: which row shows at the top is decided by the row commands.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void applyColumnWidth(int col);
    void followModelCurrent();
    void scrollToTopRow(int row);

    LabelGrid& grid_;
    double twipsPerPixel_ = 15.0;
    bool syncing_ = false;
};
