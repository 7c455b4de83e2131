// The program options dialog on real widgets: what it shows, what Save and Cancel do to the
// window's options, and what the window does once the dialog has closed.
#include "WindowFixture.h"
#include "options/frmSierraOptions.h"
#include "shell/msfGridView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

// All seventeen options as texts, to compare before and after.
QStringList snapshot(const ProgramOptions& o) {
    return {QString::number(o.SierraPrint), QString::number(o.SierraInstant), QString::number(o.SierraShowDetail),
            QString::number(o.SierraSingleSheet), QString::number(o.SierraConvertUpc), QString::number(o.SierraPort),
            o.SierraFormat, o.SierraFormat1, o.SierraFormat3, o.SierraFormat4, o.SierraOffLr3, o.SierraOffUd3,
            o.SierraOffLr4, o.SierraOffUd4, o.SierraFont, o.SierraSettings, o.SierraDymoDeviceName};
}

// Runs `menu`; once the modal dialog shows, `act` works on it. A dialog that `act` leaves open is
// cancelled, so no test can hang on it. Returns whether the dialog was seen.
bool withDialog(QAction* menu, const std::function<void(frmSierraOptions&)>& act) {
    bool seen = false;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* d = qobject_cast<frmSierraOptions*>(QApplication::activeModalWidget());
        if (!d) return;
        seen = true;
        act(*d);
        if (d->isVisible()) d->reject();
    });
    timer.start();
    menu->trigger();
    return seen;
}

QList<QWidget*> sixFields(frmSierraOptions& d) {
    return {d.txtLaser3Format, d.txtLaser4Format, d.txtDymoFormat, d.txtSierraFormat, d.txtSierraFont, d.cboDymoName};
}

}  // namespace

TEST(ProgramOptionsDialog, ThreeMenuCommandsOpenTheDialogWithItsControls) {
    WindowFixture f;
    frmTagwell& w = f.start();
    for (QAction* menu : {w.mnuOptionsSierraSport, w.mnuFileDymoSetup, w.mnuFileSierraSetup}) {
        SCOPED_TRACE(menu->text().toStdString());
        bool checked = false;
        EXPECT_TRUE(withDialog(menu, [&](frmSierraOptions& d) {
            checked = true;
            EXPECT_EQ(d.windowTitle(), "Label Program Options");
            EXPECT_EQ(d.parentWidget(), &w);
            EXPECT_TRUE(d.isModal());
            // The window's printers are offered for the Dymo.
            ASSERT_EQ(d.cboDymoName->count(), 1);
            EXPECT_EQ(d.cboDymoName->itemText(0), "Laser");
        }));
        EXPECT_TRUE(checked);
    }

    frmSierraOptions d(w, w.options, f.dialogs, &f.printer);
    struct Control {
        QWidget* widget;
        const char* caption;  // "" for text boxes
        const char* tip;
        double left, top, width, height;
    };
    const Control controls[] = {
        {d.ckbConvertUpc, "Convert UPC to SKU",
         "Check if using a scanner.  Will look up values in the UPC database and cross reference to a sku.  Uncheck "
         "to treat all entered values as skus.",
         240, 120, 2292, 252},
        {d.ckbShowDetail, "Show All Columns in Data Grid", "Uncheck to show Sku, Mfn and Description Only", 240, 480,
         2532, 252},
        {d.ckbSingleSheet, "Single Sheet Mode",
         "Check to limit grid to one sheet of labels.  Uncheck to allow more rows.", 240, 840, 2292, 192},
        {d.ckbLaser3, "Laser 3-Up", "", 240, 240, 1212, 192},
        {d.ckbLaser4, "Laser 4-Up", "", 240, 600, 1212, 252},
        {d.ckbSierraSport, "Sierra Sport", "", 1680, 240, 1212, 192},
        {d.ckbDymo, "Dymo", "", 1680, 600, 1332, 252},
        {d.Frame1, "Print To:", "", 240, 1200, 3612, 972},
        {d.txtL3Lr, "", "Left-Right Offset for Laser 3-Up Format (-110, 0, 200)", 1200, 2832, 492, 288},
        {d.txtL3Ud, "", "Up-Down Offset for Laser 3-Up Format (-110, 0, 200)", 3120, 2832, 492, 288},
        {d.txtL4Lr, "", "Left-Right Offset for Laser 4-Up Format (-110, 0, 200)", 1200, 3912, 492, 288},
        {d.txtL4Ud, "", "Up-Down Offset for Laser 4-Up Format (-110, 0, 200)", 3120, 3912, 492, 288},
        {d.ckbInstantPrint, "Instant Print (Sierra Sport and Dymo Only)",
         "Check to print Sierra Sport Label as soon as ENTER key is pressed", 120, 5400, 3492, 252},
        {d.txtPort, "", "Which port the Sierra Sport is on", 1320, 5880, 612, 288},
        {d.txtSettings, "", "Sierra Sport Baud, Parity, Data Bits, Stop Bits", 1920, 6360, 1572, 288},
        {d.cmdSave, "&Save", "Save changes and exit options", 3000, 120, 852, 372},
        {d.cmdCancel, "&Cancel", "Exit Options without saving changes", 3000, 720, 852, 372},
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(c.widget->objectName().toStdString());
        QString caption;
        if (auto* b = qobject_cast<QAbstractButton*>(c.widget)) caption = b->text();
        if (auto* g = qobject_cast<QGroupBox*>(c.widget)) caption = g->title();
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(c.widget->toolTip(), c.tip);
        EXPECT_EQ(frmTagwell::twipsLeft(c.widget), c.left);
        EXPECT_EQ(frmTagwell::twipsTop(c.widget), c.top);
        EXPECT_EQ(frmTagwell::twipsWidth(c.widget), c.width);
        EXPECT_EQ(frmTagwell::twipsHeight(c.widget), c.height);
        EXPECT_EQ(c.widget->x(), w.toPixelsX(c.left));
    }
    for (QRadioButton* r : {d.ckbLaser3, d.ckbLaser4, d.ckbSierraSport, d.ckbDymo}) EXPECT_EQ(r->parentWidget(), d.Frame1);

    // The twelve captions stand at the left of their controls, on the same row.
    const QStringList captions = {"Laser 3-Up Format:", "L3 L-R Offset", "L3 U-D Offset", "Laser 4-Up Format:",
                                  "L4 L-R Offset", "L4 U-D Offset", "Dymo Format:", "DymoPrinter:", "Sierra Port",
                                  "Settings(9600,n,8,1)", "Sierra Font File:", "Sierra Format:"};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(d.Label1[i]->text(), captions[i]);
        QWidget* buddy = d.Label1[i]->buddy();
        ASSERT_NE(buddy, nullptr);
        EXPECT_LT(d.Label1[i]->geometry().right(), buddy->x());
        EXPECT_TRUE(d.Label1[i]->geometry().intersects(QRect(0, buddy->y(), d.width(), buddy->height())));
    }
    EXPECT_EQ(d.Label1[2]->buddy(), d.txtL3Ud);
    EXPECT_GT(d.Label1[2]->x(), d.txtL3Lr->geometry().right());

    // Tab order as designed, the frame taking no focus of its own.
    const QList<QWidget*> order = {d.ckbConvertUpc, d.ckbShowDetail, d.ckbSingleSheet, d.ckbLaser3, d.ckbLaser4,
                                   d.ckbSierraSport, d.ckbDymo, d.txtLaser3Format, d.txtL3Lr, d.txtL3Ud,
                                   d.txtLaser4Format, d.txtL4Lr, d.txtL4Ud, d.txtDymoFormat, d.cboDymoName,
                                   d.ckbInstantPrint, d.txtPort, d.txtSettings, d.txtSierraFont, d.txtSierraFormat,
                                   d.cmdSave, d.cmdCancel};
    auto nextTabStop = [](QWidget* w) {
        do w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    };
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        EXPECT_EQ(nextTabStop(order[i]), order[i + 1]) << order[i]->objectName().toStdString();
    EXPECT_FALSE(d.Frame1->focusPolicy() & Qt::TabFocus);
}

TEST(ProgramOptionsDialog, PrintTargetOpensSavesAndCancels) {
    struct Case {
        std::int16_t stored;
        const char* selected;
        std::int16_t saved;
    };
    const Case cases[] = {{0, "ckbSierraSport", 0}, {1, "ckbDymo", 1}, {2, "ckbSierraSport", 0},
                          {3, "ckbLaser3", 3},      {4, "ckbLaser4", 4}, {-7, "ckbSierraSport", 0}};
    WindowFixture f;
    frmTagwell& w = f.start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        for (bool save : {true, false}) {
            w.options.SierraPrint = c.stored;
            frmSierraOptions d(w, w.options, f.dialogs, &f.printer);
            for (QRadioButton* r : d.Frame1->findChildren<QRadioButton*>())
                EXPECT_EQ(r->isChecked(), r->objectName() == c.selected) << r->objectName().toStdString();
            if (save) {
                d.cmdSave_Click();
                EXPECT_EQ(d.result(), QDialog::Accepted);
                EXPECT_EQ(w.options.SierraPrint, c.saved);
            } else {
                d.cmdCancel_Click();
                EXPECT_EQ(d.result(), QDialog::Rejected);
                EXPECT_EQ(w.options.SierraPrint, c.stored);
            }
        }
    }
}

TEST(ProgramOptionsDialog, LoadShowsAndSaveTakesEveryOption) {
    WindowFixture f;
    frmTagwell& w = f.start();
    ProgramOptions& o = w.options;
    o.SierraInstant = 1;
    o.SierraShowDetail = 0;
    o.SierraSingleSheet = 1;
    o.SierraConvertUpc = 0;
    o.SierraPort = 3;
    o.SierraFormat = "/s/a.fab";
    o.SierraFormat1 = "/s/a.fa1";
    o.SierraFormat3 = "/s/a.fa3";
    o.SierraFormat4 = "/s/a.fa4";
    o.SierraOffLr3 = "1";
    o.SierraOffUd3 = "2";
    o.SierraOffLr4 = "3";
    o.SierraOffUd4 = "4";
    o.SierraFont = "/s/a.pcl";
    o.SierraSettings = "4800,e,7,2";
    o.SierraDymoDeviceName = "Laser";

    frmSierraOptions d(w, o, f.dialogs, &f.printer);
    EXPECT_TRUE(d.ckbInstantPrint->isChecked());
    EXPECT_FALSE(d.ckbShowDetail->isChecked());
    EXPECT_TRUE(d.ckbSingleSheet->isChecked());
    EXPECT_FALSE(d.ckbConvertUpc->isChecked());
    const std::pair<QLineEdit*, QString> loaded[] = {
        {d.txtPort, "3"},           {d.txtSierraFormat, "/s/a.fab"}, {d.txtDymoFormat, "/s/a.fa1"},
        {d.txtLaser3Format, "/s/a.fa3"}, {d.txtLaser4Format, "/s/a.fa4"}, {d.txtL3Lr, "1"},
        {d.txtL3Ud, "2"},           {d.txtL4Lr, "3"},           {d.txtL4Ud, "4"},
        {d.txtSierraFont, "/s/a.pcl"}, {d.txtSettings, "4800,e,7,2"}};
    for (const auto& [box, text] : loaded) EXPECT_EQ(box->text(), text) << box->objectName().toStdString();

    d.ckbInstantPrint->setChecked(false);
    d.ckbShowDetail->setChecked(true);
    d.ckbSingleSheet->setChecked(false);
    d.ckbConvertUpc->setChecked(true);
    d.ckbDymo->setChecked(true);
    d.txtPort->setText("12");
    d.txtSierraFormat->setText("b.fab");
    d.txtDymoFormat->setText("b.fa1");
    d.txtLaser3Format->setText("b.fa3");
    d.txtLaser4Format->setText("b.fa4");
    // Offsets are kept as typed, whatever they are.
    d.txtL3Lr->setText("left a bit");
    d.txtL3Ud->setText("-110");
    d.txtL4Lr->setText("");
    d.txtL4Ud->setText("1e9");
    d.txtSierraFont->setText("b.pcl");
    d.txtSettings->setText("19200,n,8,1");
    d.cmdSave_Click();
    EXPECT_EQ(snapshot(o), QStringList({"1", "0", "1", "0", "1", "12", "b.fab", "b.fa1", "b.fa3", "b.fa4",
                                        "left a bit", "-110", "", "1e9", "b.pcl", "19200,n,8,1", "Laser"}));
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(ProgramOptionsDialog, PortTextIsCheckedBeforeAnyOptionChanges) {
    struct Case {
        const char* text;
        int port;  // 0: refused
    };
    const Case cases[] = {{"3", 3},   {" 12 ", 12}, {"2.5", 2},   {"3.5", 4},    {"32767", 32767}, {"+7", 7},
                          {"", 0},    {"   ", 0},   {"abc", 0},   {"1x", 0},     {"&H3", 0},       {"0", 0},
                          {"-2", 0},  {"32768", 0}, {"40000", 0}, {"1e3", 0},    {"0.4", 0},       {"1 2", 0}};
    WindowFixture f;
    frmTagwell& w = f.start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        f.dialogs.messages.clear();
        w.options = ProgramOptions{};
        const QStringList before = snapshot(w.options);
        frmSierraOptions d(w, w.options, f.dialogs, &f.printer);
        d.ckbLaser3->setChecked(true);
        d.ckbInstantPrint->setChecked(true);
        d.txtSierraFont->setText("changed.pcl");
        d.txtPort->setText(QString::fromLatin1(c.text));
        d.cmdSave_Click();
        if (c.port) {
            EXPECT_TRUE(f.dialogs.messages.empty());
            EXPECT_EQ(w.options.SierraPort, c.port);
            EXPECT_EQ(w.options.SierraPrint, 3);
            EXPECT_EQ(d.result(), QDialog::Accepted);
        } else {
            ASSERT_EQ(f.dialogs.messages.size(), 1u);
            EXPECT_EQ(f.dialogs.messages[0].title, "Alert:");
            EXPECT_EQ(f.dialogs.messages[0].prompt, "Sierra Port must be a whole number from 1 to 32767.");
            EXPECT_EQ(snapshot(w.options), before);
            EXPECT_NE(d.result(), QDialog::Accepted);
        }
    }
}

TEST(ProgramOptionsDialog, DymoPrinterListAndSelection) {
    struct Case {
        QStringList printers;
        const char* stored;
        int selected;
        const char* saved;
    };
    const Case cases[] = {
        // Two printers of the stored name: the later one.
        {{"Dymo", "Laser", "Dymo", "Print to File (PDF)"}, "Dymo", 2, "Dymo"},
        // No equal name (the default "None", or a name differing in case): the first printer.
        {{"Laser", "Dymo"}, "None", 0, "Laser"},
        {{"Laser", "Dymo"}, "dymo", 0, "Laser"},
        {{"Laser", "Dymo"}, "Dymo", 1, "Dymo"},
        // No printer installed: nothing to pick, the stored name stays.
        {{}, "Zebra", -1, "Zebra"},
    };
    WindowFixture f;
    frmTagwell& w = f.start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        RecordingPrinter printer(c.printers);
        w.options.SierraDymoDeviceName = c.stored;
        frmSierraOptions d(w, w.options, f.dialogs, &printer);
        ASSERT_EQ(d.cboDymoName->count(), c.printers.size());
        for (int i = 0; i < d.cboDymoName->count(); ++i) EXPECT_EQ(d.cboDymoName->itemText(i), c.printers[i]);
        EXPECT_FALSE(d.cboDymoName->isEditable());
        EXPECT_EQ(d.cboDymoName->currentIndex(), c.selected);
        d.cmdSave_Click();
        EXPECT_EQ(w.options.SierraDymoDeviceName, c.saved);
    }
    // A window without a printer object lists nothing either.
    w.options.SierraDymoDeviceName = "Kept";
    frmSierraOptions none(w, w.options, f.dialogs, nullptr);
    EXPECT_EQ(none.cboDymoName->count(), 0);
    none.cmdSave_Click();
    EXPECT_EQ(w.options.SierraDymoDeviceName, "Kept");
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(ProgramOptionsDialog, ResizingWidensTheSixFieldsOnly) {
    WindowFixture f;
    frmTagwell& w = f.start();
    frmSierraOptions d(w, w.options, f.dialogs, &f.printer);
    d.show();
    const double pixel = w.toTwipsX(1);
    // At the designed width the six fields keep a 240-twip margin: 4008 - 1560 - 240.
    for (QWidget* field : sixFields(d)) EXPECT_NEAR(frmTagwell::twipsWidth(field), 2208, pixel);

    struct Step {
        double dialogTwips;
        double fieldTwips;  // expected width afterwards
    };
    // 2000 twips and less leave the fields as the previous size made them; a dialog wider than
    // 16 bits of twips still widens them.
    const Step steps[] = {{6000, 4200}, {2000, 4200}, {1500, 4200}, {3000, 1200}, {40000, 38200}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.dialogTwips);
        d.resize(w.toPixelsX(s.dialogTwips), d.height());
        QCoreApplication::processEvents();
        ASSERT_NEAR(d.ScaleWidth(), s.dialogTwips, pixel);
        for (QWidget* field : sixFields(d)) {
            EXPECT_NEAR(frmTagwell::twipsWidth(field), s.fieldTwips, pixel) << field->objectName().toStdString();
            EXPECT_EQ(frmTagwell::twipsLeft(field), 1560);
            EXPECT_EQ(field->width(), w.toPixelsX(frmTagwell::twipsWidth(field)));
        }
        // Nothing else moves.
        for (QWidget* other : std::initializer_list<QWidget*>{d.txtL3Ud, d.txtSettings, d.txtPort, d.Frame1, d.cmdSave})
            EXPECT_EQ(other->width(), w.toPixelsX(frmTagwell::twipsWidth(other)));
        EXPECT_EQ(frmTagwell::twipsWidth(d.txtSettings), 1572);
        EXPECT_EQ(frmTagwell::twipsWidth(d.Frame1), 3612);
    }
    d.close();
}

TEST(ProgramOptionsDialog, DoubleClickChoosesAFile) {
    struct Case {
        QLineEdit* frmSierraOptions::*box;
        const char* title;
        const char* filter;
    };
    const Case cases[] = {
        {&frmSierraOptions::txtDymoFormat, "Dymo Printer Format File", "All Files (*.*)|*.*|fa1 Files (*.fa1)|*.fa1"},
        {&frmSierraOptions::txtLaser3Format, "Laser Printer 3-Up Format File",
         "All Files (*.*)|*.*|fa3 Files (*.fa3)|*.fa3"},
        {&frmSierraOptions::txtLaser4Format, "Laser Printer 4-Up Format File",
         "All Files (*.*)|*.*|fa4 Files (*.fa4)|*.fa4"},
        {&frmSierraOptions::txtSierraFont, "Sierra Printer Font File", "All Files (*.*)|*.*|Pcl Files (*.pcl)|*.pcl"},
        {&frmSierraOptions::txtSierraFormat, "Sierra Printer Format File",
         "All Files (*.*)|*.*|Fab Files (*.fab)|*.fab"},
    };
    WindowFixture f;
    frmTagwell& w = f.start();
    frmSierraOptions d(w, w.options, f.dialogs, &f.printer);
    d.show();
    for (const Case& c : cases) {
        QLineEdit* box = d.*c.box;
        SCOPED_TRACE(box->objectName().toStdString());
        f.dialogs.openRequests.clear();
        box->setText("old.txt");
        f.dialogs.fileAnswers = {QString("/chosen/one"), std::nullopt};
        QTest::mouseDClick(box, Qt::LeftButton);
        EXPECT_EQ(box->text(), "/chosen/one");
        QTest::mouseDClick(box, Qt::LeftButton);  // cancelled: the box keeps its text
        EXPECT_EQ(box->text(), "/chosen/one");
        ASSERT_EQ(f.dialogs.openRequests.size(), 2u);
        const FileDialogRequest& r = f.dialogs.openRequests[0];
        EXPECT_EQ(r.fileName, "old.txt");
        EXPECT_EQ(r.dialogTitle, c.title);
        EXPECT_EQ(r.filter, c.filter);
        EXPECT_EQ(r.flags, 20484);
        EXPECT_EQ(r.filterIndex, 2);
        EXPECT_EQ(f.dialogs.openRequests[1].fileName, "/chosen/one");
    }
    // The other boxes open nothing on a double-click.
    f.dialogs.openRequests.clear();
    for (QLineEdit* t : {d.txtPort, d.txtSettings, d.txtL3Lr}) QTest::mouseDClick(t, Qt::LeftButton);
    EXPECT_TRUE(f.dialogs.openRequests.empty());
    EXPECT_TRUE(f.dialogs.messages.empty());
    d.close();
}

TEST(ProgramOptionsDialog, SavingLaser4ChangesThePrintButtonAtOnce) {
    WindowFixture f;
    f.set("SierraPrint", "0");
    frmTagwell& w = f.start();
    ASSERT_EQ(w.cmdPrintGrid->text(), "Print Sierra");
    ASSERT_EQ(w.grid().Rows(), 31);
    ASSERT_TRUE(withDialog(w.mnuOptionsSierraSport, [&](frmSierraOptions& d) {
        QTest::mouseClick(d.ckbLaser4, Qt::LeftButton);
        QTest::mouseClick(d.cmdSave, Qt::LeftButton);
    }));
    EXPECT_EQ(w.options.SierraPrint, 4);
    EXPECT_EQ(w.cmdPrintGrid->text(), "Print Laser-4");
    EXPECT_EQ(w.LabelsPerSheet(), 32);
    EXPECT_EQ(w.grid().Rows(), 33);
    EXPECT_EQ(w.grid().TextMatrix(32, 0), "32");
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(ProgramOptionsDialog, CancelAfterChangingEverythingChangesNoOption) {
    // Cancel and the close box alike.
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox);
        WindowFixture f;
        frmTagwell& w = f.start();
        const QStringList before = snapshot(w.options);
        // What the apply steps put right: the serial control, the print button and the grid.
        f.serial.setCommPort(7);
        f.serial.setSettings("4800,e,7,2");
        w.cmdPrintGrid->setText("something else");
        w.grid().setRows(45);
        ASSERT_TRUE(withDialog(w.mnuFileSierraSetup, [&](frmSierraOptions& d) {
            for (QCheckBox* c : {d.ckbConvertUpc, d.ckbShowDetail, d.ckbSingleSheet, d.ckbInstantPrint}) c->click();
            d.ckbDymo->click();
            for (QLineEdit* t : d.findChildren<QLineEdit*>()) t->setText("99");
            d.cboDymoName->setCurrentIndex(-1);
            if (closeBox) d.close();
            else QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
        }));
        EXPECT_EQ(snapshot(w.options), before);
        EXPECT_EQ(f.serial.CommPort(), 1);
        EXPECT_EQ(f.serial.Settings(), "9600,n,8,1");
        EXPECT_EQ(w.cmdPrintGrid->text(), "Print Laser-4");
        EXPECT_EQ(w.grid().Rows(), 33);
        EXPECT_TRUE(f.dialogs.messages.empty());
    }
}

TEST(ProgramOptionsDialog, OnlyTheShowAllColumnsSwitchRerunsTheLayout) {
    struct Case {
        const char* change;
        std::function<void(frmSierraOptions&)> act;
        bool relayout;
    };
    const Case cases[] = {
        {"show detail", [](frmSierraOptions& d) { d.ckbShowDetail->click(); }, true},
        {"instant print", [](frmSierraOptions& d) { d.ckbInstantPrint->click(); }, false},
        {"laser 3", [](frmSierraOptions& d) { d.ckbLaser3->click(); }, false},
        {"font file", [](frmSierraOptions& d) { d.txtSierraFont->setText("x.pcl"); }, false},
        // Switched off and on again: the value did not change.
        {"show detail twice", [](frmSierraOptions& d) { d.ckbShowDetail->click(); d.ckbShowDetail->click(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        WindowFixture f;
        frmTagwell& w = f.start();
        ASSERT_EQ(w.options.SierraShowDetail, 1);
        // A grid top that no layout pass would give shows whether one ran.
        w.placeTwips(w.msfGrid, 120, 2000, 5000, 1000);
        ASSERT_TRUE(withDialog(w.mnuOptionsSierraSport, [&](frmSierraOptions& d) {
            c.act(d);
            d.cmdSave->click();
        }));
        if (c.relayout) {
            EXPECT_EQ(w.options.SierraShowDetail, 0);
            EXPECT_EQ(frmTagwell::twipsTop(w.msfGrid), 904);
            EXPECT_TRUE(w.txtLoc->isHidden());
        } else {
            EXPECT_EQ(frmTagwell::twipsTop(w.msfGrid), 2000);
            EXPECT_FALSE(w.txtLoc->isHidden());
        }
    }
}

TEST(ProgramOptionsDialog, SettingsTheSerialControlRefusesAreReported) {
    WindowFixture f;
    frmTagwell& w = f.start();
    ASSERT_TRUE(withDialog(w.mnuOptionsSierraSport, [&](frmSierraOptions& d) {
        d.txtPort->setText("4");
        d.txtSettings->setText("fast please");
        d.cmdSave->click();
    }));
    EXPECT_EQ(w.options.SierraSettings, "fast please");
    // The port was taken, the settings were not; the user is told so.
    EXPECT_EQ(f.serial.CommPort(), 4);
    EXPECT_EQ(f.serial.Settings(), "9600,n,8,1");
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0].title, "Alert:");
    EXPECT_TRUE(f.dialogs.messages[0].prompt.contains("Invalid property value"));
    EXPECT_EQ(w.cmdPrintGrid->text(), "Print Laser-4");
}
