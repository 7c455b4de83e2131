// The scan-and-ENTER loop on real widgets with real key events.
#include "WindowFixture.h"
#include "shell/msfGridView.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {
struct EntryKeys : ::testing::Test {
    WindowFixture f;
    frmTagwell* w = nullptr;
    QStringList lookedUp;
    QList<int> printed;

    void start(int printer = 3, int single = 0) {
        f.set("SierraPrint", QString::number(printer));
        f.set("SierraSingleSheet", QString::number(single));
        w = &f.start();
        // A look-up that fills the description from the code, as the databases would.
        w->commands().lookupItem = [this] {
            lookedUp << w->txtSku->text();
            for (QLineEdit* t : {w->txtMfn, w->txtDesc, w->txtLoc, w->txtRetail, w->txtOm, w->txtPk}) t->clear();
            if (!w->txtSku->text().isEmpty()) {
                w->txtDesc->setText("Item " + w->txtSku->text());
                w->txtMfn->setText("M" + w->txtSku->text());
                w->txtRetail->setText("1299");
            }
        };
        w->commands().printInstantRow = [this](int row) { printed << row; };
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        w->activateWindow();
    }
    void scan(const QString& code) {
        w->txtSku->setFocus();
        w->txtSku->selectAll();
        QTest::keyClicks(w->txtSku, code);
        QTest::keyClick(w->txtSku, Qt::Key_Return);
    }
    QString cell(int r, int c) { return w->grid().TextMatrix(r, c); }
};
}  // namespace

TEST_F(EntryKeys, ThreeScansFillThreeRows) {
    start();
    scan("1001");
    scan("1002");
    scan("1003");
    EXPECT_EQ(cell(1, 1), "1001");
    EXPECT_EQ(cell(2, 3), "Item 1002");
    EXPECT_EQ(cell(3, 5), "12.99");
    EXPECT_EQ(w->grid().Row(), 4);
    EXPECT_EQ(w->txtSelRow->text(), "4");
    EXPECT_EQ(w->txtSku->text(), "");
    EXPECT_TRUE(w->txtSku->hasFocus());
    EXPECT_TRUE(printed.isEmpty());
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(EntryKeys, EnterOnTheLastRowGrowsOnlyWhenAllowed) {
    start(1, 1);  // Dymo, single sheet
    w->grid().setRow(30);
    scan("3000");
    EXPECT_EQ(w->grid().Rows(), 31);
    EXPECT_EQ(w->grid().Row(), 30);
    EXPECT_EQ(cell(30, 1), "3000");

    w->options.SierraSingleSheet = 0;
    scan("3001");
    EXPECT_EQ(w->grid().Rows(), 32);
    EXPECT_EQ(cell(31, 0), "31");
    EXPECT_EQ(w->grid().Row(), 31);
    EXPECT_EQ(cell(30, 1), "3001");

    // ENTER in mfn on the last row stores it and stays.
    w->txtMfn->setText("typed");
    QTest::keyClick(w->txtMfn, Qt::Key_Return);
    EXPECT_EQ(w->grid().Rows(), 32);
    EXPECT_EQ(w->grid().Row(), 31);
    EXPECT_EQ(cell(31, 2), "typed");
}

TEST_F(EntryKeys, InstantPrintingPrintsTheStoredRow) {
    f.set("SierraInstant", "1");
    start(3);
    scan("42");
    scan("43");
    EXPECT_EQ(printed, QList<int>({1, 2}));
}

TEST_F(EntryKeys, ArrowsReloadWithoutStoring) {
    start();
    scan("1001");
    scan("1002");
    w->grid().setRow(1);
    w->txtDesc->setText("typed but not stored");
    QTest::keyRelease(w->txtSku, Qt::Key_Down);
    EXPECT_EQ(w->grid().Row(), 2);
    EXPECT_EQ(w->txtDesc->text(), "Item 1002");
    EXPECT_EQ(cell(1, 3), "Item 1001");
    QTest::keyRelease(w->txtSku, Qt::Key_Up);
    QTest::keyRelease(w->txtSku, Qt::Key_Up);  // row 1: stays and reloads
    EXPECT_EQ(w->grid().Row(), 1);
    EXPECT_EQ(w->txtSku->text(), "1001");
    EXPECT_EQ(w->txtSku->selectedText(), "1001");
}

TEST_F(EntryKeys, LeavingTheSkuBoxLooksUpOnlyForARowWithoutMfn) {
    start();
    w->txtSku->setFocus();
    QTest::keyClicks(w->txtSku, "777");
    lookedUp.clear();
    QTest::keyClick(w->txtSku, Qt::Key_Tab);
    EXPECT_EQ(lookedUp, QStringList({"777"}));
    EXPECT_EQ(w->txtDesc->text(), "Item 777");
    EXPECT_EQ(cell(1, 1), "");  // nothing stored

    w->grid().setTextMatrix(1, 2, "MFN");
    w->txtSku->setFocus();
    lookedUp.clear();
    QTest::keyClick(w->txtSku, Qt::Key_Tab);
    EXPECT_TRUE(lookedUp.isEmpty());
}

TEST_F(EntryKeys, ButtonsRunTheirCommands) {
    start();
    scan("1");
    scan("2");
    w->grid().setRow(1);
    QTest::mouseClick(w->cmdCopyRow, Qt::LeftButton);
    EXPECT_EQ(cell(2, 1), "1");
    EXPECT_EQ(cell(3, 1), "2");
    QTest::mouseClick(w->cmdDeleteRow, Qt::LeftButton);
    EXPECT_EQ(cell(1, 1), "1");
    EXPECT_EQ(cell(2, 1), "2");
    QTest::mouseClick(w->cmdInsertRow, Qt::LeftButton);
    EXPECT_EQ(cell(1, 1), "");
    EXPECT_EQ(cell(2, 1), "1");
    QTest::mouseClick(w->cmdClearGrid, Qt::LeftButton);
    EXPECT_EQ(cell(2, 1), "");
    EXPECT_EQ(w->txtSku->text(), "");
}

TEST_F(EntryKeys, ClickingAGridRowLoadsIt) {
    start();
    scan("1001");
    scan("1002");
    QTest::keyClick(w->msfGrid, Qt::Key_Up);  // the grid's own arrow keys
    const QRect r = w->msfGrid->visualRect(w->grid().index(0, 1));
    QTest::mouseClick(w->msfGrid->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(w->grid().Row(), 1);
    EXPECT_EQ(w->txtSelRow->text(), "1");
    EXPECT_EQ(w->txtSku->text(), "1001");
    EXPECT_TRUE(w->txtSku->hasFocus());
}

// Whenever the current row leaves the view, above or below, the view scrolls so that it shows
// third from the top; while it stays in view nothing scrolls.
TEST_F(EntryKeys, ARowMovedOutOfViewShowsThirdFromTheTop) {
    start();
    msfGridView* view = w->msfGrid;
    auto topRow = [&] { return view->rowAt(0) + 1; };
    auto check = [&](int before, const char* step) {
        const int row = w->grid().Row();
        SCOPED_TRACE(std::string(step) + " to row " + std::to_string(row));
        EXPECT_TRUE(view->rowVisible(row));
        if (topRow() != before) {
            EXPECT_EQ(topRow(), row > 2 ? row - 2 : 1);
        }
        return topRow() != before;
    };
    int scrolls = 0;
    for (int i = 1; i <= 12; ++i) {
        const int before = topRow();
        scan(QString::number(1000 + i));
        scrolls += check(before, "scan");
    }
    ASSERT_GT(scrolls, 1);  // the view shows fewer rows than were scanned
    ASSERT_GT(topRow(), 3);
    for (int i = 0; i < 12; ++i) {
        const int before = topRow();
        QTest::keyRelease(w->txtSku, Qt::Key_Up);
        check(before, "up arrow");
    }
    EXPECT_EQ(w->grid().Row(), 1);
    EXPECT_EQ(topRow(), 1);
    // The grid's own arrow keys follow the same rule.
    for (int i = 0; i < 12; ++i) {
        const int before = topRow();
        QTest::keyClick(view, Qt::Key_Down);
        check(before, "grid's down arrow");
    }
}

// A click on a command button leaves the focus in the entry box, so the next scan is stored.
TEST_F(EntryKeys, AScanAfterClickingARowButtonIsStored) {
    start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    scan("1");
    scan("2");
    int code = 500;
    for (QPushButton* b : {w->cmdInsertRow, w->cmdCopyRow, w->cmdDeleteRow}) {
        SCOPED_TRACE(b->objectName().toStdString());
        w->txtSku->setFocus();
        QTest::mouseClick(b, Qt::LeftButton);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        const int row = w->txtSelRow->text().toInt();
        const QString scanned = QString::number(++code);
        QTest::keyClicks(focus, scanned);  // a scanner types into whatever has the focus
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_EQ(cell(row, 1), scanned);
        EXPECT_EQ(cell(row, 3), "Item " + scanned);
    }
}

#include "StoreDatabases.h"

// The whole road of a scan: the UPC typed into the sku box, converted through the UPC table to
// the stock number, filled from the inventory, stored with its retail as money, printed at once on
// the Sierra Sport.
TEST(EntryKeysWithDatabases, AScannedUpcFillsTheRowFromTheStoreDatabases) {
    QTemporaryDir dir;
    const QString db = dir.filePath("store.db");
    ASSERT_EQ(ExecOnSqlite(db, {kCreateUpc, kCreateInv,
                                "INSERT INTO upc VALUES ('HW100', '036000291452', '010105')",
                                "INSERT INTO inv VALUES ('HW100', 'Claw hammer 16 oz', 'ST-51', 'A3', 1299, '1', '6')"}),
              "");
    QtOdbcRecordSetFactory recordSets;
    WindowFixture f;
    f.set("ODBCUPC", SqliteConnect(db));
    f.set("ODBCINV", SqliteConnect(db));
    f.set("SierraPrint", "0");
    f.set("SierraInstant", "1");
    QTemporaryDir formats;
    QFile fab(formats.filePath("label.fab"));
    ASSERT_TRUE(fab.open(QIODevice::WriteOnly));
    fab.write("^XA^FD\"=1\"^FS\r\n  ^FD\"=48\"^FS^XZ  \r\n");
    fab.close();
    f.set("SierraFormat", fab.fileName());
    QFile pcl(formats.filePath("fonts.pcl"));
    ASSERT_TRUE(pcl.open(QIODevice::WriteOnly));
    pcl.write("<FONT>\r\n");
    pcl.close();
    f.set("SierraFont", pcl.fileName());
    f.window = std::make_unique<frmTagwell>(
        TagwellServices{f.settings, f.dialogs, f.serial, f.screen, f.events, &recordSets, &f.printer});
    frmTagwell& w = *f.window;
    w.Form_Load();
    f.dialogs.messages.clear();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    w.txtSku->setFocus();
    QTest::keyClicks(w.txtSku, "036000291452");
    QTest::keyClick(w.txtSku, Qt::Key_Return);

    LabelGrid& g = w.grid();
    EXPECT_EQ(g.TextMatrix(1, 1), "HW100");
    EXPECT_EQ(g.TextMatrix(1, 2), "ST-51");
    EXPECT_EQ(g.TextMatrix(1, 3), "Claw hammer 16 oz");
    EXPECT_EQ(g.TextMatrix(1, 4), "A3");
    EXPECT_EQ(g.TextMatrix(1, 5), "12.99");  // the inventory's 1299 cents, stored as money
    EXPECT_EQ(g.TextMatrix(1, 8), "036000291452");
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(f.serial.opens, 1);
    EXPECT_EQ(f.serial.sent, QByteArray("<FONT>^XA^FD\"HW100\"^FS^FD\"12.99\"^FS^XZ"));
    EXPECT_TRUE(f.dialogs.messages.empty());
}

// Print Labels clicked with nowhere chosen for the sheet (the PDF file dialog cancelled): nothing
// printed, no count; chosen the next time, the count follows.
TEST_F(EntryKeys, ACancelledChoiceOfOutputPrintsNothingAndCountsNothing) {
    f.set("SierraFormat3", QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo.fa3"));
    start();
    scan("1001");
    scan("1002");
    f.printer.simulated().declineDocuments(true);
    QTest::mouseClick(w->cmdPrintGrid, Qt::LeftButton);
    EXPECT_TRUE(f.dialogs.messages.empty()) << f.dialogs.messages.front().prompt.toStdString();
    EXPECT_EQ(w->cmdPrintGrid->text(), "Print Laser-3");
    f.printer.simulated().declineDocuments(false);
    QTest::mouseClick(w->cmdPrintGrid, Qt::LeftButton);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0].prompt, " 2 items printed.");
}
