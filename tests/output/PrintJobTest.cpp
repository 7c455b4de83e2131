// The print job on every target, with the nested cancel click, the port error and driver failures,
// and the other commands of the print menu.
#include "OutputTestSupport.h"

// Laser Printer Setup through a printer dialog that the user cancels or, with `fail`, that fails.
static void LaserSetup(Bench& b, bool fail) {
    struct Dialog : PrinterSetupDialog {
        bool fail;
        explicit Dialog(bool f) : fail(f) {}
        bool ShowPrinterSetup() override {
            if (fail) throw TagwellError(ErrorNumber::DeviceIo, "No printers are installed");
            return false;
        }
    } dialog(fail);
    b.show(b.job.LaserPrinterSetup(dialog));
}

const QString kCancelled = "Printing Cancelled.  Several labels may print before cancel takes effect.";
const QString kNoPort1 = "Error # 8002 opening port 1\r\nNo such file or directory";

// Print Labels (or, where `run` is given, another command) on a fresh bench per row.
TEST(PrintJob, CommandsOnEveryTarget) {
    struct Case {
        const char* what;
        int target, rows;
        QStringList texts;  // laser and Dymo labels drawn, in `docs` documents
        int docs;
        QByteArray sent;  // to the Sierra Sport, opened `opens` times
        int opens;
        QStringList messages;
        int events;  // cancel checks
        std::function<void(Bench&)> setup = {}, run = {};
    };
    const auto allBlank = [](Bench& b) {
        b.grid.setTextMatrix(5, GridCol::Sku, "   ");
        b.grid.setTextMatrix(6, GridCol::Desc, "a description without a sku");
    };
    const auto blank3and5 = [](Bench& b) {
        for (int r : {3, 5}) setRow(b.grid, r, {"", "", "no sku"});
    };
    const auto failOpen = [](Bench& b) { b.port.failOpen = true; };
    const auto instant2 = [](Bench& b) { b.show(b.job.PrintInstantRow(2)); };
    const auto sportTest = [](Bench& b) { b.show(b.job.SierraSportTest()); };
    const auto clickAt3 = [](Bench& b) {  // a click on the button that reads CANCEL, at the third check
        b.pump.onCall = [&b](int call) {
            if (call == 3) b.show(b.job.PrintLabels());
        };
    };
    const QStringList laser4{"S1@0,-100", "S2@3060,-100", "S3@6120,-100", "S4@9180,-100", "S5@0,1700"};
    const QString noPort3 = "Error # 8002 opening port 3\r\nNo such file or directory";
    const Case cases[] = {
        {"all blank, Sierra Sport", 0, 0, {}, 0, "", 0, {"No data to print."}, 0, allBlank},
        {"all blank, Dymo", 1, 0, {}, 0, "", 0, {"No data to print."}, 0, allBlank},
        {"all blank, laser 3", 3, 0, {}, 0, "", 0, {"No data to print."}, 0, allBlank},
        {"all blank, laser 4", 4, 0, {}, 0, "", 0, {"No data to print."}, 0, allBlank},
        {"blank rows 3 and 5, Sierra Sport", 0, 5, {}, 0, "FL\"S1\"L\"S2\"L\"S4\"", 1, {}, 4, blank3and5},
        {"blank rows 3 and 5, Dymo", 1, 5, {"S1@0,0", "S2@0,0", "S4@0,0"}, 6, "", 0, {}, 4, blank3and5},
        // Row 3 keeps its position empty: S4 lands on the fourth place of the sheet.
        {"blank rows 3 and 5, laser 4", 4, 5, {"S1@0,-100", "S2@3060,-100", "S4@9180,-100"}, 1, "", 0, {" 4 items printed."}, 4, blank3and5},
        {"blank rows 3 and 5, laser 3", 3, 5, {"S1@110,-200", "S2@4070,-200", "S4@110,1240"}, 1, "", 0, {" 4 items printed."}, 4, blank3and5},
        {"target 2 prints as laser 4", 2, 5, laser4, 1, "", 0, {" 5 items printed."}, 5},
        {"target 5 prints as laser 4", 5, 5, laser4, 1, "", 0, {" 5 items printed."}, 5},
        {"target -1 prints as laser 4", -1, 5, laser4, 1, "", 0, {" 5 items printed."}, 5},
        {"a port that will not open", 0, 3, {}, 0, "", 0, {noPort3}, 0, [](Bench& b) {
             b.port.setCommPort(3);
             b.port.failOpen = true;
         }},
        {"a driver failure on label 2", 0, 3, {}, 0, "FL\"S1\"", 1, {"Device I/O error"}, 1,
         [](Bench& b) { b.port.failOutputAfterBytes = 6; }},
        // A format file that will not open is reported once per job: at row 1, or after the job
        // when row 1 was blank (the labels that came out blank must not go unmentioned).
        {"no laser format file", 4, 3, {}, 1, "", 0, {"Problem opening Laser Format File", " 3 items printed."}, 3,
         [](Bench& b) { b.options.SierraFormat4 = b.files.path("gone.fa4"); }},
        {"no laser format file, row 1 blank", 4, 3, {}, 1, "", 0, {"Problem opening Laser Format File", " 3 items printed."}, 3, [](Bench& b) {
             b.options.SierraFormat4 = b.files.path("gone.fa4");
             b.grid.setTextMatrix(1, GridCol::Sku, "");
         }},
        {"no Dymo format file", 1, 3, {}, 0, "", 0, {"Problem opening Dymo Format File"}, 3,
         [](Bench& b) { b.options.SierraFormat1 = b.files.path("gone.fa1"); }},
        {"no Dymo format file named", 1, 3, {}, 0, "", 0, {"Problem opening Dymo Format File"}, 3,
         [](Bench& b) { b.options.SierraFormat1.clear(); }},
        // The fonts still go out.
        {"no Sierra Sport format file", 0, 3, {}, 0, "F", 1, {"Problem opening Sierra Format File"}, 3,
         [](Bench& b) { b.options.SierraFormat = b.files.path("gone.fab"); }},
        {"laser offsets refused", 4, 3, {}, 0, "", 0,
         {"The offset SierraOffLr4 \"left\" is not a whole number of twips.\r\nCorrect the laser offsets in the options and print again."},
         0, [](Bench& b) { b.options.SierraOffLr4 = "left"; }},
        // Dymo and Sierra Sport check after each label, so label 3 completes; laser checks before
        // each label, and what was drawn prints and is counted.
        {"cancel during a Dymo job", 1, 10, {"S1@0,0", "S2@0,0", "S3@0,0"}, 6, "", 0, {kCancelled}, 3, clickAt3},
        {"cancel during a Sierra Sport job", 0, 10, {}, 0, "FL\"S1\"L\"S2\"L\"S3\"", 1, {kCancelled}, 3, clickAt3},
        {"cancel during a laser job", 4, 10, {"S1@0,-100", "S2@3060,-100"}, 1, "", 0, {kCancelled, " 2 items printed."}, 3, clickAt3},
        {"instant row on the Dymo", 1, 3, {"S2@0,0"}, 2, "", 0, {}, 0, {}, instant2},
        {"instant row otherwise on the Sierra Sport", 0, 3, {}, 0, "FL\"S2\"", 1, {}, 0, {}, instant2},
        {"instant row with target laser 3", 3, 3, {}, 0, "FL\"S2\"", 1, {}, 0, {}, instant2},
        {"instant row with target laser 4", 4, 3, {}, 0, "FL\"S2\"", 1, {}, 0, {}, instant2},
        {"instant row, a port that will not open", 0, 3, {}, 0, "", 0, {kNoPort1}, 0, failOpen, instant2},
        {"Sierra Sport test whatever the target", 4, 2, {}, 0, "FL\"S1\"", 1, {}, 0, {}, sportTest},
        {"Sierra Sport test of an empty grid opens and closes", 4, 0, {}, 0, "", 1, {}, 0, {}, sportTest},
        {"Sierra Sport test, a failed write", 4, 2, {}, 0, "", 1, {"Device I/O error"}, 0,
         [](Bench& b) { b.port.failOutputAfterBytes = 0; }, sportTest},
        {"Sierra Sport test, a port that will not open", 4, 2, {}, 0, "", 0, {kNoPort1}, 0, failOpen, sportTest},
        // What the printing system refused is not counted; a file the user declined to name ends
        // the job without a word, as a cancelled printer dialog does.
        {"laser job refused by the printing system", 4, 3, {"S1@0,-100", "S2@3060,-100", "S3@6120,-100"}, 1, "", 0,
         {"The labels were not printed.\r\nqueue refused"}, 3, [](Bench& b) { b.printer.simulated().failFrom(1, "queue refused"); }},
        {"Dymo job refused from label 2 on", 1, 3, {"S1@0,0", "S2@0,0"}, 4, "", 0,
         {"The labels from row 2 on were not printed.\r\nqueue refused"}, 1,
         [](Bench& b) { b.printer.simulated().failFrom(2, "queue refused"); }},
        {"instant Dymo row refused", 1, 3, {"S2@0,0"}, 2, "", 0, {"The labels were not printed.\r\nqueue refused"}, 0,
         [](Bench& b) { b.printer.simulated().failFrom(1, "queue refused"); }, instant2},
        {"laser job whose file was declined", 4, 3, {"S1@0,-100", "S2@3060,-100", "S3@6120,-100"}, 1, "", 0, {}, 3,
         [](Bench& b) { b.printer.simulated().declineDocuments(true); }},
        {"Dymo job whose file was declined", 1, 3, {"S1@0,0"}, 2, "", 0, {}, 0,
         [](Bench& b) { b.printer.simulated().declineDocuments(true); }},
        {"laser printer setup cancelled: no message", 4, 3, {}, 0, "", 0, {}, 0, {}, [](Bench& b) { LaserSetup(b, false); }},
        {"laser printer setup failing: reported", 4, 3, {}, 0, "", 0, {"No printers are installed"}, 0, {},
         [](Bench& b) { LaserSetup(b, true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bench b(c.target, c.rows);
        if (c.setup) c.setup(b);
        const QString idle = b.window.button;
        c.run ? c.run(b) : b.show(b.job.PrintLabels());
        EXPECT_EQ(b.texts(), c.texts);
        EXPECT_EQ(b.printer.lines().count("ENDDOC"), c.docs);
        EXPECT_EQ(b.port.sent, c.sent);
        EXPECT_EQ(b.port.opens, c.opens);
        EXPECT_EQ(b.port.closes, c.opens);
        EXPECT_EQ(alerts(b.dialogs), c.messages);
        EXPECT_EQ(b.pump.calls, c.events);
        EXPECT_EQ(b.window.buttonHistory, c.rows && !c.run ? QStringList({"CANCEL", idle}) : QStringList());
        EXPECT_EQ(b.window.caption, "Tagwell");
        if (!c.messages.contains(kCancelled)) continue;
        b.pump.onCall = {};  // the next job starts uncancelled
        b.dialogs.messages.clear();
        b.show(b.job.PrintLabels());
        EXPECT_FALSE(b.job.PrintCancelled() || alerts(b.dialogs).contains(kCancelled));
    }
}

// The printing system shows each job under a name: the data file's when the grid came from one,
// else the number of rows.
TEST(PrintJob, JobsAreNamedByDataFileOrRowCount) {
    Bench b(4, 5);
    b.show(b.job.PrintLabels());
    EXPECT_EQ(b.printer.simulated().documentName(), "Tagwell labels - 5 rows");
    b.job.setJobSource("walk.txt");
    b.show(b.job.PrintLabels());
    EXPECT_EQ(b.printer.simulated().documentName(), "Tagwell labels - walk.txt");
}

TEST(PrintJob, SerialConfigurationNeverStopsTheCaller) {
    FakeSerialPort port;
    ProgramOptions options;
    // Each refused value leaves its predecessor; the other one is still taken.
    const struct { std::int16_t port; const char* settings; bool refused; int portAfter; const char* settingsAfter; } cases[] = {
        {4, "19200,e,7,2", false, 4, "19200,e,7,2"}, {0, "9600,n,8,1", true, 4, "9600,n,8,1"}, {2, "fast", true, 2, "9600,n,8,1"}};
    for (const auto& c : cases) {
        options.SierraPort = c.port;
        options.SierraSettings = c.settings;
        EXPECT_EQ(ConfigureSierraPort(port, options).isEmpty(), !c.refused) << c.settings;
        EXPECT_EQ(port.CommPort(), c.portAfter);
        EXPECT_EQ(port.Settings(), c.settingsAfter);
    }
}

// What a job returns says whether every label went out: the count alone is a notice; a document
// declined where it was to go, a label skipped at the font question or nothing to print is a
// failure, with or without a message.
TEST(PrintJob, OutcomeSaysWhetherEveryLabelWentOut) {
    using Status = Outcome::Status;
    const auto decline = [](Bench& b) { b.printer.simulated().declineDocuments(true); };
    const auto noFonts = [](Bench& b) {
        b.options.SierraFont = b.files.path("absent.pcl");
        b.dialogs.msgAnswers = {MsgResult::Cancel, MsgResult::Cancel};
    };
    const struct {
        const char* what;
        int target, rows;
        std::function<void(Bench&)> setup;
        Status status;
        size_t messages;
    } cases[] = {
        {"laser sheet: the count only", 4, 3, {}, Status::Notice, 1},
        {"Sierra Sport labels sent", 0, 3, {}, Status::Done, 0},
        {"Dymo labels printed", 1, 3, {}, Status::Done, 0},
        {"laser document declined", 4, 3, decline, Status::Failed, 0},
        {"Dymo document declined", 1, 3, decline, Status::Failed, 0},
        {"nothing to print", 4, 0, {}, Status::Failed, 1},
        {"font question answered Cancel", 0, 2, noFonts, Status::Failed, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bench b(c.target, c.rows);
        if (c.setup) c.setup(b);
        const Outcome outcome = b.job.PrintLabels();
        EXPECT_EQ(outcome.status(), c.status);
        EXPECT_EQ(outcome.messages().size(), c.messages);
    }
}
