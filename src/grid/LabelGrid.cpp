#include "grid/LabelGrid.h"

#include "shell/common/Common.h"

#include <algorithm>

LabelGrid::LabelGrid(QObject* parent) : QAbstractTableModel(parent) {
    cells_.resize(static_cast<size_t>(rows_) * cols_);
    widths_.assign(cols_, kDefaultColWidth);
    alignments_.assign(cols_, kGeneralAlignment);
}

int LabelGrid::clampRow(int row) const { return std::clamp(row, rows_ > 1 ? 1 : 0, std::max(rows_ - 1, 0)); }
int LabelGrid::clampCol(int col) const { return std::clamp(col, cols_ > 1 ? 1 : 0, std::max(cols_ - 1, 0)); }

void LabelGrid::setRows(int rows) {
    rows = std::max(rows, 1);
    if (rows == rows_) return;
    const int oldData = rows_ - 1;
    const int newData = rows - 1;
    if (newData > oldData) {
        beginInsertRows({}, oldData, newData - 1);
        rows_ = rows;
        cells_.resize(static_cast<size_t>(rows_) * cols_);
        endInsertRows();
    } else {
        beginRemoveRows({}, newData, oldData - 1);
        rows_ = rows;
        cells_.resize(static_cast<size_t>(rows_) * cols_);
        endRemoveRows();
    }
    // A current row or selection that fell off the end moves to the new last row.
    if (topRow_ > rows_ - 1) setTopRow(std::max(1, rows_ - 1));
    if (row_ > rows_ - 1 || rowSel_ > rows_ - 1) changeCurrent(std::min(row_, rows_ - 1), col_);
}

void LabelGrid::setCols(int cols) {
    cols = std::max(cols, 1);
    if (cols == cols_) return;
    beginResetModel();
    std::vector<QString> cells(static_cast<size_t>(rows_) * cols);
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < std::min(cols, cols_); ++c) cells[static_cast<size_t>(r) * cols + c] = cells_[static_cast<size_t>(r) * cols_ + c];
    cells_.swap(cells);
    cols_ = cols;
    widths_.resize(cols_, kDefaultColWidth);
    alignments_.resize(cols_, kGeneralAlignment);
    endResetModel();
    if (col_ > cols_ - 1) changeCurrent(row_, cols_ - 1);
}

void LabelGrid::changeCurrent(int row, int col) {
    row = clampRow(row);
    col = clampCol(col);
    const bool moved = row != row_ || col != col_;
    row_ = row;
    col_ = col;
    // Moving the current cell collapses the selection onto it.
    const bool selMoved = rowSel_ != row || colSel_ != col;
    rowSel_ = row;
    colSel_ = col;
    if (moved) Q_EMIT RowColChange();
    if (selMoved) Q_EMIT SelChange();
}

void LabelGrid::changeSelection(int rowSel, int colSel) {
    rowSel = std::clamp(rowSel, 0, std::max(rows_ - 1, 0));
    colSel = std::clamp(colSel, 0, std::max(cols_ - 1, 0));
    if (rowSel == rowSel_ && colSel == colSel_) return;
    rowSel_ = rowSel;
    colSel_ = colSel;
    Q_EMIT SelChange();
}

void LabelGrid::setRow(int row) { changeCurrent(row, col_); }
void LabelGrid::setCol(int col) { changeCurrent(row_, col); }
void LabelGrid::setRowSel(int row) { changeSelection(row, colSel_); }
void LabelGrid::setColSel(int col) { changeSelection(rowSel_, col); }

void LabelGrid::setTopRow(int row) {
    row = clampRow(row);
    topRow_ = row;
    Q_EMIT TopRowChanged(row);
}

QString LabelGrid::TextMatrix(int row, int col) const {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return {};
    return cells_[static_cast<size_t>(row) * cols_ + col];
}

void LabelGrid::setTextMatrix(int row, int col, const QString& text) {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return;
    QString& cell = cells_[static_cast<size_t>(row) * cols_ + col];
    if (cell == text) return;
    cell = text;
    if (row == 0 && col > 0) Q_EMIT headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    else if (col == 0 && row > 0) Q_EMIT headerDataChanged(Qt::Vertical, row - 1, row - 1);
    else if (row > 0 && col > 0) {
        const QModelIndex i = index(row - 1, col - 1);
        Q_EMIT dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    }
}

void LabelGrid::appendRow(std::span<const QString> texts) {
    const int row = rows_;
    beginInsertRows({}, row - 1, row - 1);
    rows_ = row + 1;
    cells_.resize(static_cast<size_t>(rows_) * cols_);
    const size_t count = std::min(texts.size(), static_cast<size_t>(cols_));
    for (size_t c = 0; c < count; ++c) cells_[static_cast<size_t>(row) * cols_ + c] = texts[c];
    endInsertRows();
}

int LabelGrid::ColWidth(int col) const { return col >= 0 && col < cols_ ? widths_[col] : 0; }
void LabelGrid::setColWidth(int col, int twips) {
    if (col < 0 || col >= cols_) return;
    widths_[col] = std::max(twips, 0);
    Q_EMIT ColWidthChanged(col);
}
int LabelGrid::ColAlignment(int col) const { return col >= 0 && col < cols_ ? alignments_[col] : 0; }
void LabelGrid::setColAlignment(int col, int alignment) {
    if (col < 0 || col >= cols_) return;
    alignments_[col] = alignment;
    if (rows_ > 1 && col > 0) Q_EMIT dataChanged(index(0, col - 1), index(rows_ - 2, col - 1), {Qt::TextAlignmentRole});
}

void LabelGrid::Clear() {
    beginResetModel();
    std::fill(cells_.begin(), cells_.end(), QString());
    endResetModel();
}

bool LabelGrid::RowIsVisible(int row) const {
    if (visible_) return visible_(row);
    return row >= topRow_ && row < topRow_ + kVisibleRowsWithoutView;
}

bool LabelGrid::rowInUse(int row) const { return !IsBlank(TextMatrix(row, GridCol::Sku)); }

int LabelGrid::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : std::max(rows_ - 1, 0); }
int LabelGrid::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : std::max(cols_ - 1, 0); }

QVariant LabelGrid::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int r = index.row() + 1, c = index.column() + 1;
    if (role == Qt::DisplayRole || role == Qt::EditRole) return TextMatrix(r, c);
    if (role == Qt::TextAlignmentRole) {
        if (ColAlignment(c) == 0) return int(Qt::AlignLeft | Qt::AlignTop);
        // General alignment: numbers right, text left.
        bool number = false;
        TextMatrix(r, c).trimmed().toDouble(&number);
        return int((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    return {};
}

bool LabelGrid::setData(const QModelIndex&, const QVariant&, int) { return false; }

Qt::ItemFlags LabelGrid::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QVariant LabelGrid::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return TextMatrix(0, section + 1);
    return TextMatrix(section + 1, 0);
}
