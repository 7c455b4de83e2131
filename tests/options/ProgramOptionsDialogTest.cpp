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
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

using Act = std::function<void(frmSierraOptions&)>;

// All seventeen options as texts, to compare before and after.
QStringList snapshot(const ProgramOptions& o) {
    return {QString::number(o.SierraPrint), QString::number(o.SierraInstant), QString::number(o.SierraShowDetail),
            QString::number(o.SierraSingleSheet), QString::number(o.SierraConvertUpc), QString::number(o.SierraPort),
            o.SierraFormat, o.SierraFormat1, o.SierraFormat3, o.SierraFormat4, o.SierraOffLr3, o.SierraOffUd3,
            o.SierraOffLr4, o.SierraOffUd4, o.SierraFont, o.SierraSettings, o.SierraDymoDeviceName};
}

// Runs `menu`; once the modal dialog shows, `act` works on it. A dialog that `act` leaves open is
// cancelled, so no test can hang on it. Returns whether the dialog was seen.
bool withDialog(QAction* menu, const Act& act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (auto* d = qobject_cast<frmSierraOptions*>(QApplication::activeModalWidget())) {
            seen = true;
            act(*d);
            if (d->isVisible()) d->reject();
        }
    });
    menu->trigger();
    return seen;
}

}  // namespace

TEST(ProgramOptionsDialog, WhatTheWindowDoesOnceTheDialogCloses) {
    const Act changeEverything = [](frmSierraOptions& d) {
        for (QCheckBox* c : {d.ckbConvertUpc, d.ckbShowDetail, d.ckbSingleSheet, d.ckbInstantPrint}) c->click();
        d.ckbDymo->click();
        for (QLineEdit* t : d.findChildren<QLineEdit*>()) t->setText("99");
        d.cboDymoName->setCurrentIndex(-1);
    };
    const struct {
        const char* name;
        QAction* frmTagwell::*menu;
        Act act;
        const char* button;  // the print button afterwards, with the grid sized for its sheet
        int rows;
        bool saved, relayout;
        int port = 1;  // the serial control afterwards
        const char* settings = "9600,n,8,1";
        const char* message = "";  // part of the one message shown
    } cases[] = {
        {"Laser 4-Up saved", &frmTagwell::mnuOptionsSierraSport,
         [](frmSierraOptions& d) { QTest::mouseClick(d.ckbLaser4, Qt::LeftButton); QTest::mouseClick(d.cmdSave, Qt::LeftButton); },
         "Print Laser-4", 33, true, false},
        {"everything changed, then Cancel", &frmTagwell::mnuFileSierraSetup,
         [&](frmSierraOptions& d) { changeEverything(d); QTest::mouseClick(d.cmdCancel, Qt::LeftButton); }, "Print Sierra", 31, false, false},
        {"everything changed, then the close box", &frmTagwell::mnuFileDymoSetup,
         [&](frmSierraOptions& d) { changeEverything(d); d.close(); }, "Print Sierra", 31, false, false},
        {"show all columns switched", &frmTagwell::mnuOptionsSierraSport,
         [](frmSierraOptions& d) { d.ckbShowDetail->click(); d.cmdSave->click(); }, "Print Sierra", 31, true, true},
        {"show all columns switched twice, other options changed", &frmTagwell::mnuOptionsSierraSport,
         [](frmSierraOptions& d) { d.ckbShowDetail->click(); d.ckbShowDetail->click(); d.ckbInstantPrint->click(); d.cmdSave->click(); },
         "Print Sierra", 31, true, false},
        {"serial settings the control refuses", &frmTagwell::mnuOptionsSierraSport,
         [](frmSierraOptions& d) { d.txtPort->setText("4"); d.txtSettings->setText("fast please"); d.cmdSave->click(); },
         "Print Sierra", 31, true, false, 4, "4800,e,7,2", "Invalid property value"},  // the previous settings stay
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture f;
        f.set("SierraPrint", "0");
        frmTagwell& w = f.start();
        const QStringList before = snapshot(w.options);
        // What the apply steps put right: the serial control and the print button; a grid top
        // that no layout pass would give shows whether one ran.
        f.serial.setCommPort(7);
        f.serial.setSettings("4800,e,7,2");
        w.cmdPrintGrid->setText("something else");
        w.placeTwips(w.msfGrid, 120, 2000, 5000, 1000);
        ASSERT_TRUE(withDialog(w.*c.menu, [&](frmSierraOptions& d) {
            EXPECT_EQ(d.windowTitle(), "Label Program Options");
            EXPECT_EQ(d.parentWidget(), &w);
            EXPECT_EQ(d.cboDymoName->itemText(0), "Laser");  // the window's printers
            c.act(d);
        }));
        if (!c.saved) { EXPECT_EQ(snapshot(w.options), before); }
        EXPECT_EQ(f.serial.CommPort(), c.port);
        EXPECT_EQ(f.serial.Settings(), c.settings);
        EXPECT_EQ(w.cmdPrintGrid->text(), c.button);
        EXPECT_EQ(w.grid().Rows(), c.rows);
        EXPECT_EQ(w.grid().TextMatrix(c.rows - 1, 0), QString::number(c.rows - 1));
        EXPECT_EQ(frmTagwell::twipsTop(w.msfGrid), c.relayout ? 904 : 2000);
        EXPECT_EQ(w.txtLoc->isHidden(), c.relayout);
        ASSERT_EQ(f.dialogs.messages.size(), *c.message ? 1u : 0u);
        if (*c.message) {
            EXPECT_EQ(f.dialogs.messages[0].title, "Alert:");
            EXPECT_TRUE(f.dialogs.messages[0].prompt.contains(c.message)) << f.dialogs.messages[0].prompt.toStdString();
        }
    }
}

TEST(ProgramOptionsDialog, PrintTargetOpensSavesAndCancels) {
    const struct { std::int16_t stored; const char* selected; std::int16_t saved; } cases[] = {
        {0, "ckbSierraSport", 0}, {1, "ckbDymo", 1}, {2, "ckbSierraSport", 0}, {3, "ckbLaser3", 3}, {4, "ckbLaser4", 4}, {-7, "ckbSierraSport", 0}};
    WindowFixture f;
    frmTagwell& w = f.start();
    for (const auto& c : cases) {
        for (bool save : {true, false}) {
            SCOPED_TRACE(QString("%1 %2").arg(c.stored).arg(save).toStdString());
            w.options.SierraPrint = c.stored;
            frmSierraOptions d(w, w.options, f.dialogs, &f.printer);
            const QList<QRadioButton*> radios = d.Frame1->findChildren<QRadioButton*>();
            ASSERT_EQ(radios.size(), 4);
            for (QRadioButton* r : radios) EXPECT_EQ(r->isChecked(), r->objectName() == c.selected) << r->objectName().toStdString();
            save ? d.cmdSave_Click() : d.cmdCancel_Click();
            EXPECT_EQ(d.result(), save ? QDialog::Accepted : QDialog::Rejected);
            EXPECT_EQ(w.options.SierraPrint, save ? c.saved : c.stored);
        }
    }
}

TEST(ProgramOptionsDialog, LoadShowsAndSaveTakesEveryOption) {
    WindowFixture f;
    frmTagwell& w = f.start();
    w.options = {4, 1, 0, 1, 0, 3, "a.fab", "a.fa1", "a.fa3", "1", "2", "3", "4", "a.fa4", "a.pcl", "4800,e,7,2", "Laser"};
    frmSierraOptions d(w, w.options, f.dialogs, &f.printer);
    const QList<QCheckBox*> checks = {d.ckbInstantPrint, d.ckbShowDetail, d.ckbSingleSheet, d.ckbConvertUpc};
    const QList<QLineEdit*> texts = {d.txtPort, d.txtSierraFormat, d.txtDymoFormat, d.txtLaser3Format,
                                     d.txtLaser4Format, d.txtL3Lr, d.txtL3Ud, d.txtL4Lr, d.txtL4Ud, d.txtSierraFont, d.txtSettings};
    QStringList shown;  // in the order of the options after SierraPrint
    for (QCheckBox* c : checks) shown << QString::number(c->isChecked());
    for (QLineEdit* t : texts) shown << t->text();
    EXPECT_EQ(shown << d.cboDymoName->currentText(), snapshot(w.options).mid(1));

    // Every control changed; offsets are kept as typed, whatever they are.
    for (QCheckBox* c : checks) c->click();
    d.ckbDymo->setChecked(true);
    const QStringList typed = {"12", "b.fab", "b.fa1", "b.fa3", "b.fa4", "left a bit", "-110", "", "1e9", "b.pcl", "19200,n,8,1"};
    for (qsizetype i = 0; i < texts.size(); ++i) texts[i]->setText(typed[i]);
    d.cmdSave_Click();
    EXPECT_EQ(snapshot(w.options), QStringList({"1", "0", "1", "0", "1"}) + typed + QStringList{"Laser"});
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(ProgramOptionsDialog, PortTextIsCheckedBeforeAnyOptionChanges) {
    const struct { const char* text; int port; /* 0: refused */ } cases[] = {
        {"3", 3}, {" 12 ", 12}, {"2.5", 2}, {"3.5", 4}, {"32767", 32767}, {"+7", 7}, {"", 0}, {"   ", 0}, {"abc", 0},
        {"1x", 0}, {"&H3", 0}, {"0", 0}, {"-2", 0}, {"32768", 0}, {"40000", 0}, {"1e3", 0}, {"0.4", 0}, {"1 2", 0}};
    WindowFixture f;
    frmTagwell& w = f.start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        f.dialogs.messages.clear();
        w.options = ProgramOptions{};
        frmSierraOptions d(w, w.options, f.dialogs, &f.printer);
        d.ckbLaser3->setChecked(true);
        d.txtSierraFont->setText("changed.pcl");
        d.txtPort->setText(c.text);
        d.cmdSave_Click();
        EXPECT_EQ(d.result() == QDialog::Accepted, c.port != 0);
        ProgramOptions expected;  // a refused Save changes no option
        if (c.port) {
            expected.SierraPrint = 3;
            expected.SierraPort = static_cast<std::int16_t>(c.port);
            expected.SierraFont = "changed.pcl";
            expected.SierraDymoDeviceName = "Laser";
        }
        EXPECT_EQ(snapshot(w.options), snapshot(expected));
        ASSERT_EQ(f.dialogs.messages.size(), c.port ? 0u : 1u);
        if (!c.port) {
            EXPECT_EQ(f.dialogs.messages[0].prompt, "Sierra Port must be a whole number from 1 to 32767.");
            EXPECT_EQ(f.dialogs.messages[0].title, "Alert:");
        }
    }
}

TEST(ProgramOptionsDialog, DymoPrinterListAndSelection) {
    const struct { QStringList printers; const char* stored; int selected; const char* saved; } cases[] = {
        {{"Dymo", "Laser", "Dymo", "Print to File (PDF)"}, "Dymo", 2, "Dymo"},  // two of the name: the later
        {{"Laser", "Dymo"}, "None", 0, "Laser"},                             // no equal name: the first
        {{"Laser", "Dymo"}, "dymo", 0, "Laser"},
        {{}, "Zebra", -1, "Zebra"},  // no printer installed: the stored name stays
    };
    WindowFixture f;
    frmTagwell& w = f.start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        RecordingPrinter printer(c.printers);
        w.options.SierraDymoDeviceName = c.stored;
        frmSierraOptions d(w, w.options, f.dialogs, &printer);
        QStringList listed;
        for (int i = 0; i < d.cboDymoName->count(); ++i) listed << d.cboDymoName->itemText(i);
        EXPECT_EQ(listed, c.printers);
        EXPECT_EQ(d.cboDymoName->currentIndex(), c.selected);
        d.cmdSave_Click();
        EXPECT_EQ(w.options.SierraDymoDeviceName, c.saved);
    }
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(ProgramOptionsDialog, ResizingWidensTheSixFieldsOnly) {
    WindowFixture f;
    frmTagwell& w = f.start();
    frmSierraOptions d(w, w.options, f.dialogs, &f.printer);
    d.show();
    const double pixel = w.toTwipsX(1);
    ASSERT_GE(d.ScaleWidth(), 4008 - pixel);
    const int frameWidth = d.Frame1->width();  // 3612, or what its captions needed
    ASSERT_GE(frameWidth, w.toPixelsX(3612));
    const QList<QWidget*> six = {d.txtLaser3Format, d.txtLaser4Format, d.txtDymoFormat, d.txtSierraFormat, d.txtSierraFont, d.cboDymoName};
    // Opened at its designed width 4008 (wider when the font needs room for the captions): fields
    // of 4008 - 1560 - 240 = 2208. 2000 twips and less leave the fields as the previous size made
    // them; a dialog wider than 16 bits of twips still widens them.
    const struct { double dialog, field; } steps[] = {{0, d.ScaleWidth() - 1800}, {6000, 4200}, {2000, 4200}, {1500, 4200}, {3000, 1200}, {40000, 38200}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.dialog);
        if (s.dialog) d.resize(w.toPixelsX(s.dialog), d.height());
        QCoreApplication::processEvents();
        if (s.dialog) { ASSERT_NEAR(d.ScaleWidth(), s.dialog, pixel); }
        for (QWidget* field : six) {
            EXPECT_NEAR(frmTagwell::twipsWidth(field), s.field, pixel) << field->objectName().toStdString();
            EXPECT_EQ(frmTagwell::twipsLeft(field), 1560);
            EXPECT_EQ(field->width(), w.toPixelsX(frmTagwell::twipsWidth(field)));
        }
        EXPECT_EQ(frmTagwell::twipsWidth(d.txtSettings), 1572);
        EXPECT_EQ(d.Frame1->width(), frameWidth);
    }
}

TEST(ProgramOptionsDialog, DoubleClickChoosesAFile) {
    const struct { QLineEdit* frmSierraOptions::*box; const char *title, *filter; } cases[] = {
        {&frmSierraOptions::txtDymoFormat, "Dymo Printer Format File", "All Files (*.*)|*.*|fa1 Files (*.fa1)|*.fa1"},
        {&frmSierraOptions::txtLaser3Format, "Laser Printer 3-Up Format File", "All Files (*.*)|*.*|fa3 Files (*.fa3)|*.fa3"},
        {&frmSierraOptions::txtLaser4Format, "Laser Printer 4-Up Format File", "All Files (*.*)|*.*|fa4 Files (*.fa4)|*.fa4"},
        {&frmSierraOptions::txtSierraFont, "Sierra Printer Font File", "All Files (*.*)|*.*|Pcl Files (*.pcl)|*.pcl"},
        {&frmSierraOptions::txtSierraFormat, "Sierra Printer Format File", "All Files (*.*)|*.*|Fab Files (*.fab)|*.fab"},
    };
    WindowFixture f;
    frmTagwell& w = f.start();
    frmSierraOptions d(w, w.options, f.dialogs, &f.printer);
    d.show();
    for (const auto& c : cases) {
        QLineEdit* box = d.*c.box;
        SCOPED_TRACE(box->objectName().toStdString());
        f.dialogs.openRequests.clear();
        box->setText("old.txt");
        f.dialogs.fileAnswers = {QString("/chosen/one"), std::nullopt};
        QTest::mouseDClick(box, Qt::LeftButton);
        QTest::mouseDClick(box, Qt::LeftButton);  // cancelled: the box keeps the chosen file
        EXPECT_EQ(box->text(), "/chosen/one");
        ASSERT_EQ(f.dialogs.openRequests.size(), 2u);
        const FileDialogRequest& r = f.dialogs.openRequests[0];
        EXPECT_EQ(QStringList({r.fileName, r.dialogTitle, r.filter, f.dialogs.openRequests[1].fileName}),
                  QStringList({"old.txt", c.title, c.filter, "/chosen/one"}));
        EXPECT_EQ(r.flags, 20484);
        EXPECT_EQ(r.filterIndex, 2);
    }
    // The other boxes open nothing on a double-click.
    f.dialogs.openRequests.clear();
    for (QLineEdit* t : {d.txtPort, d.txtSettings, d.txtL3Lr}) QTest::mouseDClick(t, Qt::LeftButton);
    EXPECT_TRUE(f.dialogs.openRequests.empty());
}
