#include "shell/msfGridView.h"

#include "grid/LabelGrid.h"

#include <QHeaderView>
#include <QScrollBar>

msfGridView::msfGridView(LabelGrid& grid, QWidget* parent) : QTableView(parent), grid_(grid) {
    setModel(&grid_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);

    connect(&grid_, &LabelGrid::ColWidthChanged, this, &msfGridView::applyColumnWidth);
    connect(&grid_, &LabelGrid::RowColChange, this, &msfGridView::followModelCurrent);
    connect(&grid_, &LabelGrid::TopRowChanged, this, &msfGridView::scrollToTopRow);
    connect(&grid_, &QAbstractItemModel::modelReset, this, &msfGridView::followModelCurrent);
    grid_.setVisibilityProvider([this](int row) { return rowVisible(row); });
    for (int c = 0; c < grid_.Cols(); ++c) applyColumnWidth(c);
    followModelCurrent();
}

void msfGridView::setTwipsPerPixel(double twipsPerPixel) {
    twipsPerPixel_ = twipsPerPixel > 0 ? twipsPerPixel : 15.0;
    for (int c = 0; c < grid_.Cols(); ++c) applyColumnWidth(c);
}

void msfGridView::applyColumnWidth(int col) {
    const int px = qRound(grid_.ColWidth(col) / twipsPerPixel_);
    if (col == 0) verticalHeader()->setFixedWidth(px);
    else setColumnWidth(col - 1, px);
}

void msfGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (syncing_ || !current.isValid()) return;
    // The user moved the current cell (mouse or arrow keys): the grid raises its notifications.
    grid_.setRow(current.row() + 1);
    grid_.setCol(current.column() + 1);
}

void msfGridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // The view would bring every new current row into view before the grid's notifications run,
    // and the entry routine's own rule (a row out of view shows third from the top) would then
    // never apply. The rule sets TopRow itself; here only a column beyond the edge comes into view.
    QScrollBar* vertical = verticalScrollBar();
    const int top = vertical->value();
    QTableView::scrollTo(index, hint);
    vertical->setValue(top);
}

void msfGridView::followModelCurrent() {
    if (grid_.Rows() < 2 || grid_.Cols() < 2) return;
    const QModelIndex want = grid_.index(grid_.Row() - 1, grid_.Col() - 1);
    if (currentIndex() == want) return;
    syncing_ = true;
    setCurrentIndex(want);
    syncing_ = false;
}

void msfGridView::scrollToTopRow(int row) {
    if (row < 1 || row >= grid_.Rows()) return;
    verticalScrollBar()->setValue(row - 1);  // per-item vertical scrolling: one step per row
}

bool msfGridView::rowVisible(int row) const {
    if (row < 1 || row >= grid_.Rows()) return false;
    const int y = rowViewportPosition(row - 1);
    return y >= 0 && y + rowHeight(row - 1) <= viewport()->height();
}
