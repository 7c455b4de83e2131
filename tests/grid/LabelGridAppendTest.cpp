// Appending a row in one step: what a view attached to the grid is told.
#include "grid/LabelGrid.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(LabelGridAppend, OneInsertionCarriesTheRowsTexts) {
    LabelGrid grid;
    grid.setRows(3);
    QSignalSpy inserted(&grid, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
    QSignalSpy headers(&grid, &QAbstractItemModel::headerDataChanged);
    int rowsSeenAtInsertion = 0;
    QString skuSeenAtInsertion;
    QObject::connect(&grid, &QAbstractItemModel::rowsInserted, [&] {
        rowsSeenAtInsertion = grid.Rows();
        skuSeenAtInsertion = grid.data(grid.index(2, 0), Qt::DisplayRole).toString();
    });

    const QString full[] = {"3", "sku", "mfn", "desc", "loc", "1.50", "om", "pk", "upc", "beyond the columns"};
    grid.appendRow(full);
    const QString partial[] = {"4", "only sku"};
    grid.appendRow(partial);

    ASSERT_EQ(inserted.count(), 2);
    // Data rows are model rows from 0: grid row 3 is model row 2.
    EXPECT_EQ(inserted[0][1].toInt(), 2);
    EXPECT_EQ(inserted[0][2].toInt(), 2);
    EXPECT_EQ(inserted[1][1].toInt(), 3);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(headers.count(), 0);
    EXPECT_EQ(rowsSeenAtInsertion, 5);
    EXPECT_EQ(skuSeenAtInsertion, "sku") << "the texts are in place when the view hears of the row";

    EXPECT_EQ(grid.Rows(), 5);
    for (int c = 0; c <= 8; ++c) EXPECT_EQ(grid.TextMatrix(3, c), full[c]) << c;
    EXPECT_EQ(grid.TextMatrix(4, 0), "4");
    EXPECT_EQ(grid.TextMatrix(4, 1), "only sku");
    for (int c = 2; c <= 8; ++c) EXPECT_EQ(grid.TextMatrix(4, c), "") << c;
    EXPECT_EQ(grid.headerData(3, Qt::Vertical, Qt::DisplayRole).toString(), "4");
}
