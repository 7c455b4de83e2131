#pragma once
// The label grid `msfGrid`: the working document, one label per data row. It keeps the operations of
// a flex grid (Rows, Cols, Row, RowSel, ColSel, TopRow, TextMatrix, ColWidth, ColAlignment, Clear,
// RowIsVisible) and raises RowColChange and SelChange synchronously whenever the current cell or
// the selection changes, whether the user or the code moved it.
//
// As an item model it shows the data rows 1..Rows-1 and the columns 1..Cols-1; row 0 (the headers)
// and column 0 (the row numbers) are the view's header sections.
#include "shell/common/RowFields.h"

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <span>
#include <vector>

class LabelGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LabelGrid(QObject* parent = nullptr);

    // Designed with 31 rows and 9 columns; the start-up shapes it.
    int Rows() const { return rows_; }
    void setRows(int rows);
    int Cols() const { return cols_; }
    void setCols(int cols);

    int Row() const { return row_; }
    void setRow(int row);
    int Col() const { return col_; }
    void setCol(int col);
    int RowSel() const { return rowSel_; }
    void setRowSel(int row);
    int ColSel() const { return colSel_; }
    void setColSel(int col);
    int TopRow() const { return topRow_; }
    void setTopRow(int row);

    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    // Adds one row at the end (Rows grows by one) holding `texts` in columns 0, 1, ... and ""
    // in the rest. A view sees one row inserted with its texts, not a change per cell: a long
    // import appends tens of thousands of rows this way.
    void appendRow(std::span<const QString> texts);

    // Widths in twips; alignment 0 is left-top, 9 the general alignment (text left, numbers right).
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    int ColAlignment(int col) const;
    void setColAlignment(int col, int alignment);

    // Empties every cell, headers and row numbers included; keeps Rows and Cols.
    void Clear();

    // Asked of the view when there is one; without a view the rows TopRow..TopRow+visibleRows-1
    // count as visible.
    bool RowIsVisible(int row) const;
    void setVisibilityProvider(std::function<bool(int)> provider) { visible_ = std::move(provider); }

    // The sku of a data row is not blank.
    bool rowInUse(int row) const;

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static constexpr int kDefaultColWidth = 975;
    static constexpr int kGeneralAlignment = 9;
    static constexpr int kVisibleRowsWithoutView = 12;

Q_SIGNALS:
    void RowColChange();
    void SelChange();
    void TopRowChanged(int row);
    void ColWidthChanged(int col);

private:
    void changeCurrent(int row, int col);
    void changeSelection(int rowSel, int colSel);
    int clampRow(int row) const;
    int clampCol(int col) const;

    int rows_ = 31;
    int cols_ = 9;
    int row_ = 1, col_ = 1, rowSel_ = 1, colSel_ = 1, topRow_ = 1;
    std::vector<QString> cells_;  // rows_ x cols_, row-major
    std::vector<int> widths_;
    std::vector<int> alignments_;
    std::function<bool(int)> visible_;
};
