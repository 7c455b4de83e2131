#include "WindowFixture.h"
#include "shell/msfGridView.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

TEST(Window, FirstStartWithAnEmptyStore) {
    WindowFixture f;
    frmTagwell& w = f.start();
    EXPECT_EQ(w.windowTitle(), "Tagwell");
    EXPECT_EQ(w.cmdPrintGrid->text(), "Print Laser-4");
    EXPECT_EQ(w.LabelsPerSheet(), 32);
    LabelGrid& g = w.grid();
    EXPECT_EQ(g.Rows(), 33);
    EXPECT_EQ(g.Cols(), 9);
    EXPECT_EQ(g.Row(), 1);
    const char* headers[] = {"sku", "mfn", "description", "loc", "retail", "om", "pk", "upc"};
    for (int c = 1; c <= 8; ++c) EXPECT_EQ(g.TextMatrix(0, c), headers[c - 1]);
    for (int r = 1; r <= 32; ++r) EXPECT_EQ(g.TextMatrix(r, 0), QString::number(r));
    EXPECT_EQ(w.txtSelRow->text(), "1");
    EXPECT_TRUE(w.txtSelRow->font().bold());
    EXPECT_EQ(g.ColWidth(0), 350);
    EXPECT_EQ(g.ColWidth(1), 1000);
    EXPECT_EQ(g.ColWidth(2), 1500);
    EXPECT_EQ(g.ColWidth(8), 1500);
    EXPECT_EQ(g.ColAlignment(3), 0);
    EXPECT_EQ(f.serial.CommPort(), 1);
    EXPECT_EQ(f.serial.Settings(), "9600,n,8,1");
    EXPECT_EQ(w.options.SierraDymoDeviceName, "None");

    // No dictionary yet: the Dictionary File dialog is offered; cancelled, the master/store
    // warning follows.
    ASSERT_EQ(f.startupOpenRequests.size(), 1u);
    EXPECT_EQ(f.startupOpenRequests[0].dialogTitle, "Open the Dictionary File");
    ASSERT_EQ(f.startupMessages.size(), 1u);
    EXPECT_EQ(f.startupMessages[0].prompt,
              "Warning: could not read master/store specific info from data dictionary.  Will treat all info as master.");
    ASSERT_NE(w.datFile, nullptr);

    w.mnuFileExit->trigger();  // Exit runs the shut-down sequence
    EXPECT_EQ(f.settings.raw("SierraPrint"), "4");
    EXPECT_EQ(f.settings.raw("SierraInstant"), "0");
    EXPECT_EQ(f.settings.raw("SierraShowDetail"), "1");
    EXPECT_EQ(f.settings.raw("SierraSingleSheet"), "0");
    EXPECT_EQ(f.settings.raw("SierraConvertUpc"), "1");
    EXPECT_EQ(f.settings.raw("SierraPort"), "1");
    EXPECT_EQ(f.settings.raw("SierraoffLr3"), "110");
    EXPECT_EQ(f.settings.raw("SierraoffUd3"), "-200");
    EXPECT_EQ(f.settings.raw("SierraoffLr4"), "0");
    EXPECT_EQ(f.settings.raw("SierraoffUd4"), "-100");
    EXPECT_EQ(f.settings.raw("SierraSettings"), "9600,n,8,1");
    EXPECT_EQ(f.settings.raw("SierraDymoDeviceName"), "None");
    for (const char* k : {"SierraFormat", "SierraFormat1", "SierraFormat3", "SierraFormat4", "SierraFont"})
        EXPECT_TRUE(f.settings.hasRaw(k)) << k;
    for (const char* k : {"FTOPfrmTagwell", "FLEFTfrmTagwell", "FHEIGHTfrmTagwell", "FWIDTHfrmTagwell"})
        EXPECT_TRUE(f.settings.hasRaw(k)) << k;
    EXPECT_EQ(f.settings.values.size(), 21);
}

TEST(Window, StoredOptionsAreReadAndWrittenBack) {
    WindowFixture f;
    f.set("SierraPrint", "3 apples");
    f.set("SierraoffLr3", "12.5mm");
    f.set("SierraPort", "99999");        // beyond 16 bits: the default port
    f.set("SierraSettings", "fast");     // refused by the serial control: start-up goes on
    f.set("SierraShowDetail", "");
    frmTagwell& w = f.start();
    EXPECT_EQ(w.options.SierraPrint, 3);
    EXPECT_EQ(w.cmdPrintGrid->text(), "Print Laser-3");
    EXPECT_EQ(w.grid().Rows(), 31);
    EXPECT_EQ(w.options.SierraOffLr3, "12.5mm");
    EXPECT_EQ(w.options.SierraPort, 1);
    EXPECT_EQ(w.options.SierraShowDetail, 0);
    w.options.SierraOffLr3 = "-5";
    w.close();
    EXPECT_EQ(f.settings.raw("SierraoffLr3"), "-5");
    EXPECT_EQ(f.settings.raw("SierraPrint"), "3");
    EXPECT_EQ(f.settings.values.size(), 21);  // no second spelling of any key

    WindowFixture empty;
    empty.set("SierraPrint", "");
    EXPECT_EQ(empty.start().options.SierraPrint, 0);  // an empty value is the Sierra Sport
}

TEST(Window, AFailedSaveAtExitIsReported) {
    WindowFixture f;
    frmTagwell& w = f.start();
    f.settings.failWrites = true;
    w.close();
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0].title, "Alert:");
}

TEST(Window, MenuTreeAndButtons) {
    WindowFixture f;
    frmTagwell& w = f.start();
    QStringList menus;
    for (QAction* a : w.menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, QStringList({"File", "Edit", "Options", "Help"}));
    QStringList file;
    for (QAction* a : w.menuBar()->actions()[0]->menu()->actions()) file << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(file, QStringList({"Read in a Data File", "Read in a Price Change File", "Save Data to  a File", "-",
                                 "Laser Printer Setup", "Dymo Printer Setup", "Sierra Sport Printer Setup",
                                 "Print Labels", "-", "Dictionary File", "Inventory Database",
                                 "CIS Database (optional)", "UPC Database", "Test Database Connections", "-",
                                 "E&xit"}));
    QStringList edit;
    for (QAction* a : w.menuBar()->actions()[1]->menu()->actions()) edit << a->text();
    EXPECT_EQ(edit, QStringList({"Save Row", "Insert Row", "Copy Row", "Delete Row", "Clear Sku", "Clear Grid"}));
    for (QAction* a : w.findChildren<QAction*>()) EXPECT_TRUE(a->shortcut().isEmpty()) << a->text().toStdString();

    EXPECT_EQ(frmTagwell::twipsLeft(w.cmdSave), 8040);
    EXPECT_EQ(frmTagwell::twipsTop(w.cmdSave), 533);
    EXPECT_EQ(frmTagwell::twipsWidth(w.cmdPrintGrid), 1332);
    EXPECT_EQ(frmTagwell::twipsLeft(w.txtUpc), 6360);
    // Tab order: sku, mfn, desc, loc, retail, pk, om, upc, then the buttons and the grid.
    QWidget* expected[] = {w.txtSku, w.txtMfn, w.txtDesc, w.txtLoc, w.txtRetail, w.txtPk, w.txtOm, w.txtUpc,
                           w.cmdSave, w.cmdExit, w.cmdClearGrid, w.cmdPrintGrid, w.cmdInsertRow, w.cmdCopyRow,
                           w.cmdDeleteRow, w.msfGrid};
    const QSet<QWidget*> controls(std::begin(expected), std::end(expected));
    QList<QWidget*> chain;
    QWidget* at = w.txtSku;
    do {
        if (controls.contains(at) && !chain.contains(at)) chain << at;
        at = at->nextInFocusChain();
    } while (at != w.txtSku && chain.size() < controls.size());
    EXPECT_EQ(chain, QList<QWidget*>(std::begin(expected), std::end(expected)));
}

TEST(Window, LayoutFollowsTheWindowSize) {
    WindowFixture f;
    frmTagwell& w = f.start();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // Inner size 12000 x 6000 twips (15 twips a pixel on a 96-dpi screen).
    w.centralWidget()->resize(w.toPixelsX(12000), w.toPixelsY(6000));
    w.Form_Resize();
    w.Form_Resize();  // the description width follows the grid's previous width
    EXPECT_DOUBLE_EQ(frmTagwell::twipsTop(w.msfGrid), 1310);
    EXPECT_DOUBLE_EQ(frmTagwell::twipsWidth(w.msfGrid), 12000 - 240);
    EXPECT_DOUBLE_EQ(frmTagwell::twipsHeight(w.msfGrid), 6000 - 1310 - 150);
    EXPECT_DOUBLE_EQ(w.line1X2(), 12000);
    EXPECT_TRUE(w.txtLoc->isVisible());
    // All columns shown: the description takes what the other columns leave.
    EXPECT_EQ(w.grid().ColWidth(3), 11760 - 350 - (350 + 1000 + 1500 + 4 * LabelGrid::kDefaultColWidth + 1500));

    w.options.SierraShowDetail = 0;
    w.Form_Resize();
    EXPECT_DOUBLE_EQ(frmTagwell::twipsTop(w.msfGrid), 904);
    EXPECT_FALSE(w.txtLoc->isVisible());
    EXPECT_FALSE(w.txtUpc->isVisible());
    EXPECT_EQ(w.grid().ColWidth(3), 11760 - 350 - (350 + 1000 + 1500));

    // A grid too narrow for a 2000-twip description keeps the description as it is.
    w.options.SierraShowDetail = 1;
    w.centralWidget()->resize(w.toPixelsX(9000), w.toPixelsY(6000));
    w.Form_Resize();
    const int before = w.grid().ColWidth(3);
    w.Form_Resize();
    EXPECT_EQ(w.grid().ColWidth(3), before);

    // Tiny: nothing fails, the grid keeps a size it can have.
    w.resize(10, 10);
    w.centralWidget()->resize(2, 2);
    EXPECT_NO_THROW(w.Form_Resize());
    EXPECT_GE(frmTagwell::twipsHeight(w.msfGrid), 0);
    EXPECT_GE(frmTagwell::twipsWidth(w.msfGrid), 0);
}

TEST(Window, MinimizedWindowIsNotLaidOutOrSaved) {
    WindowFixture f;
    f.set("FTOPfrmTagwell", "300");
    frmTagwell& w = f.start();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const double topBefore = frmTagwell::twipsTop(w.msfGrid);
    w.options.SierraShowDetail = 0;
    w.showMinimized();
    w.Form_Resize();
    if (w.isMinimized()) {
        EXPECT_EQ(frmTagwell::twipsTop(w.msfGrid), topBefore);
        w.close();
        EXPECT_EQ(f.settings.raw("FTOPfrmTagwell"), "300");
    } else {
        GTEST_SKIP() << "this platform does not minimize windows";
    }
}
