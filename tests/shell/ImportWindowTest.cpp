// The import reached through the main window's File menu, and what the window does with clicks that
// arrive while the import lets events run.
#include "support/WindowFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

QString Fixture(const char* name) { return QStringLiteral(TAGWELL_TEST_DATA "/datafiles/import/") + QString::fromLatin1(name); }

std::string Row(frmTagwell& w, int r) {
    QStringList cells;
    for (int c = 0; c <= 8; ++c) cells << w.grid().TextMatrix(r, c);
    return cells.join(u'|').toStdString();
}

class ImportWindowTest : public ::testing::Test {
protected:
    frmTagwell& Start() {
        f.set("DICTIONARY", Fixture("store.dct"));
        frmTagwell& w = f.start();
        w.show();
        return w;
    }
    WindowFixture f;
};

TEST_F(ImportWindowTest, ReadInADataFileFillsTheGridAndTheEntryBoxes) {
    frmTagwell& w = Start();
    f.dialogs.fileAnswers.push_back(Fixture("five.txt"));
    w.mnuFileRead0->trigger();
    EXPECT_EQ(Row(w, 1), "1|501||ITEM 1||1.99|||");
    EXPECT_EQ(Row(w, 5), "5|505||ITEM 5||5.99|||");
    EXPECT_EQ(w.grid().Rows(), w.LabelsPerSheet() + 1);
    EXPECT_EQ(w.txtSku->text(), "501");
    EXPECT_EQ(w.txtDesc->text(), "ITEM 1");
    EXPECT_EQ(w.txtSelRow->text(), "1");
    EXPECT_FALSE(w.importing());
    EXPECT_TRUE(w.isVisible());

    // The price-change command reads a file of prices only.
    f.dialogs.fileAnswers.push_back(Fixture("price-change.txt"));
    w.mnuFileRead1->trigger();
    EXPECT_EQ(Row(w, 1), "1|2002||||1.50|||");
    EXPECT_EQ(Row(w, 2), "2|2003||||3.25|||");
    EXPECT_EQ(Row(w, 3), "3||||||||");
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(ImportWindowTest, CommandsWaitOutTheImportAndExitStopsItBeforeClosing) {
    frmTagwell& w = Start();
    f.dialogs.fileAnswers.push_back(Fixture("five.txt"));
    f.dialogs.fileAnswers.push_back(Fixture("eight-fields.txt"));  // for an import started inside: must stay unused
    bool sawImporting = false;
    f.events.onCall = [&](int call) {
        sawImporting = sawImporting || w.importing();
        if (call == 2) {
            // Clicks on other commands, and a second import, while two rows are read.
            w.cmdClearGrid->click();
            w.cmdInsertRow->click();
            w.cmdDeleteRow->click();
            w.mnuFileRead1->trigger();
            w.txtSku->setText(QStringLiteral("TYPED"));
            w.cmdSave->click();
        }
        if (call == 3) w.cmdExit->click();
    };
    w.mnuFileRead0->trigger();

    EXPECT_TRUE(sawImporting);
    EXPECT_EQ(f.dialogs.openRequests.size(), 1u) << "no second import may start inside the first";
    // The commands changed nothing; the import stopped after its third record.
    EXPECT_EQ(Row(w, 1), "1|501||ITEM 1||1.99|||");
    EXPECT_EQ(Row(w, 2), "2|502||ITEM 2||2.99|||");
    EXPECT_EQ(Row(w, 3), "3|503||ITEM 3||3.99|||");
    EXPECT_EQ(Row(w, 4), "4||||||||");
    EXPECT_EQ(w.grid().Rows(), w.LabelsPerSheet() + 1);
    EXPECT_EQ(w.txtSku->text(), "501") << "the entry boxes show the current row once the import ended";
    // Then the window closed as Exit does: hidden, its options saved.
    EXPECT_FALSE(w.importing());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(f.settings.hasRaw(QStringLiteral("SierraPrint")));
    EXPECT_EQ(f.screen.pointer, MousePointerValue::Default);
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(ImportWindowTest, CloseBoxDuringAnImportAlsoWaitsForItToStop) {
    frmTagwell& w = Start();
    f.dialogs.fileAnswers.push_back(Fixture("five.txt"));
    bool stillOpen = false;
    f.events.onCall = [&](int call) {
        if (call == 1) {
            w.close();
            stillOpen = w.isVisible() && w.importing();
        }
    };
    w.mnuFileRead0->trigger();
    EXPECT_TRUE(stillOpen) << "the window stays until the import has ended";
    EXPECT_EQ(Row(w, 1), "1|501||ITEM 1||1.99|||");
    EXPECT_EQ(Row(w, 2), "2||||||||");
    EXPECT_FALSE(w.isVisible());
}

}  // namespace
