// Inputs at and beyond the sizes a store meets: a 50 MB data file with a 2 MB line, a dictionary
// of a million lines, and a grid at its largest (32,767 rows) taking Insert Row, Copy Row, Delete
// Row and ENTER on its last row. Files are generated in a temporary folder.
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"

#include "ScriptedDialogs.h"
#include "WindowFixture.h"
#include "grid/GridCommands.h"
#include "grid/LabelGrid.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(BigInputs, FiftyMegabyteDataFileWithATwoMegabyteLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("big.dat");
    constexpr int kRecords = 640000;
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray chunk = "1,10,48\r\n";
        for (int i = 1; i <= kRecords; ++i) {
            if (i == 1000) {
                // One record of 2 MB: a description that never ends.
                chunk += "\"LONG\",\"" + QByteArray(2 * 1024 * 1024, 'D') + "\",1.00\r\n";
                continue;
            }
            chunk += "\"S" + QByteArray::number(i) + "\",\"ITEM " + QByteArray::number(i) +
                     " WITH A DESCRIPTION OF ORDINARY LENGTH ......\",\"12.99\"\r\n";
            if (chunk.size() > (1 << 20)) {
                ASSERT_EQ(f.write(chunk), chunk.size());
                chunk.clear();
            }
        }
        ASSERT_EQ(f.write(chunk), chunk.size());
    }
    ASSERT_GT(QFileInfo(path).size(), 50LL * 1000 * 1000);

    cwDct dct;
    dct.setDLen(1, 12);
    dct.setDLen(10, 30);
    dct.setDLen(48, 9);
    ScriptedDialogs dialogs;
    cwDatFile dat;
    ASSERT_EQ(dat.fopen(path, dct), 0);
    ShowOutcome(dat.fopenOutcome(), dialogs);
    int records = 0;
    QString sku, desc, price, last;
    while (dat.gr()) {
        ++records;
        ASSERT_EQ(dat.gf(1, sku), 0);
        dat.gf(10, desc);
        ASSERT_LE(desc.size(), 30);
        if (sku == "LONG") {
            EXPECT_EQ(desc, QString(30, u'D')) << "the 2 MB value is cut to its field's length";
            ASSERT_EQ(dat.gf(48, price), 0);
            EXPECT_EQ(price, "1.00") << "the field after the long one is still found";
        }
        last = sku;
    }
    dat.fclose();
    EXPECT_EQ(records, kRecords);
    EXPECT_EQ(last, "S640000");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(BigInputs, DictionaryOfAMillionLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath("big.dct");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray bytes = "[INV]\r\n";
        for (int i = 0; i < 1000000; ++i) {
            const int field = i % 250;  // 200..249 are beyond the dictionary and skipped
            bytes += QByteArray::number(field) + ",1," + QByteArray::number(i % 40 + 1) + ":Field " +
                     QByteArray::number(i) + "\r\n";
        }
        bytes += "[END]\r\n%BEGIN%\r\n48,P\r\n21,S\r\n%END%\r\n";
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    cwDct dct;
    ASSERT_EQ(dct.setup(path, "INV", 0), 0);
    EXPECT_EQ(dct.dLast(), 199);
    // The last definition of a field wins: field 199 was last written on line 999949.
    EXPECT_EQ(dct.dDesc(199), "Field 999949");
    EXPECT_EQ(dct.dLen(199), 999949 % 40 + 1);
    ASSERT_EQ(dct.setupms(path, false), 0);
    EXPECT_TRUE(dct.dStDat(48));
    EXPECT_TRUE(dct.dStDat(21));
    EXPECT_TRUE(dct.dMaster(1));
}

TEST(BigInputs, GridAtItsLargest) {
    WindowFixture f;
    frmTagwell& w = f.start();
    w.options.SierraPrint = 0;  // the Sierra Sport's grid may always grow
    LabelGrid& grid = w.grid();
    GridCommands& cmd = w.commands();
    constexpr int kMax = GridCommands::kMaxRows;
    grid.setRows(kMax);
    for (int r = 1; r < kMax; ++r) grid.setTextMatrix(r, GridCol::Sku, QString::number(r));

    auto expectIntact = [&](const char* after) {
        SCOPED_TRACE(after);
        EXPECT_EQ(grid.Rows(), kMax);
        EXPECT_EQ(grid.TextMatrix(kMax - 1, GridCol::Sku), QString::number(kMax - 1)) << "the last label is kept";
        EXPECT_EQ(grid.TextMatrix(100, GridCol::Sku), "100");
        ASSERT_EQ(f.dialogs.messages.size(), 1u) << "the full grid is reported";
        EXPECT_EQ(f.dialogs.messages[0].title, "Alert:");
        EXPECT_TRUE(f.dialogs.messages[0].prompt.contains("32766")) << f.dialogs.messages[0].prompt.toStdString();
        f.dialogs.messages.clear();
    };
    grid.setRow(100);
    ShowOutcome(cmd.InsertRow(), f.dialogs);
    expectIntact("Insert Row");
    ShowOutcome(cmd.CopyRow(), f.dialogs);
    expectIntact("Copy Row");

    // ENTER on the last row stores it and stays there.
    grid.setRow(kMax - 1);
    w.txtSelRow->setText(QString::number(kMax - 1));
    w.txtSku->setText("ENTERED");
    ShowOutcome(cmd.SkuEnter(), f.dialogs);
    EXPECT_EQ(grid.Rows(), kMax);
    EXPECT_EQ(grid.TextMatrix(kMax - 1, GridCol::Sku), "ENTERED");
    EXPECT_EQ(grid.Row(), kMax - 1);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    f.dialogs.messages.clear();

    // Delete Row makes room; Insert Row then works again without a message.
    grid.setRow(100);
    cmd.DeleteRow();
    EXPECT_EQ(grid.TextMatrix(100, GridCol::Sku), "101");
    EXPECT_EQ(grid.TextMatrix(kMax - 2, GridCol::Sku), "ENTERED");
    EXPECT_TRUE(f.dialogs.messages.empty());
    grid.setRow(100);
    ShowOutcome(cmd.InsertRow(), f.dialogs);
    EXPECT_EQ(grid.TextMatrix(100, GridCol::Sku), "");
    EXPECT_EQ(grid.TextMatrix(101, GridCol::Sku), "101");
    EXPECT_EQ(grid.TextMatrix(kMax - 1, GridCol::Sku), "ENTERED");
    EXPECT_TRUE(f.dialogs.messages.empty());
}

}  // namespace
