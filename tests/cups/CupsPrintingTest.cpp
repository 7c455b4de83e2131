// Printing through a CUPS scheduler of the test's own with cups-pdf queues: an accepting laser
// queue, a queue that rejects jobs, a Dymo queue whose default page is its label, and the scheduler
// stopped. What the program says is checked against what the scheduler and cups-pdf did.
#include "CupsFixture.h"
#include "cli/CliRunner.h"
#include "platform/qt/QtPrinterSetup.h"
#include "support/PdfPages.h"

#include <QApplication>
#include <QComboBox>
#include <QPrintDialog>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <list>
#include <thread>

using namespace cupstest;

namespace {

// A laser job is one job on the queue's default page (A4 for cups-pdf, not a page the program
// chose) whose symbols scan; Dymo labels are a job each, on the queue's label turned to landscape.
TEST_F(CupsPrinting, JobsReachTheQueueUnderTheirNameOnTheQueuesPage) {
    const struct { int target, rows; const char* queue; QString submittedPage, printedPage; } cases[] = {
        {3, 3, "accept", "595 x 842", "595 x 842"}, {1, 2, "dymo", "252 x 79", "79 x 252"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queue);
        QtBench b(c.target, c.rows);
        ASSERT_TRUE(b.qt.Printers().contains(c.queue)) << b.qt.Printers().join(", ").toStdString();
        b.to(c.queue);
        const QString tag = token();
        b.job.setJobSource(tag);
        ShowOutcome(b.job.PrintLabels(), b.dialogs);
        EXPECT_EQ(b.dialogs.transcript, c.target == 1 ? QStringList() : QStringList{"MsgBox \"Alert:\" style 64 -> 1:  3 items printed."});
        ASSERT_TRUE(cups_->waitForJobs());
        const QStringList sent = cups_->submitted("Tagwell labels - " + tag);
        ASSERT_EQ(sent.size(), c.target == 1 ? c.rows : 1);
        for (const QString& doc : sent) EXPECT_EQ(PageSize(doc), c.submittedPage);
        // cups-pdf names the files of one job name alike: at least one is there.
        const QStringList pdfs = PrivateCups::outputs(tag);
        ASSERT_FALSE(pdfs.isEmpty());
        EXPECT_EQ(PageSize(pdfs[0]), c.printedPage);
        if (c.target == 3) { EXPECT_EQ(ScanSymbols(pdfs[0]), (QStringList{"012345678905", "036000291452", "042100005264"})); }
        for (const QString& f : pdfs) QFile::remove(f);
    }
}

// Each way the labels do not reach a printer says so instead of counting them, once per job.
TEST_F(CupsPrinting, ARefusedOrUndeliveredJobIsReportedAsNotPrinted) {
    // printer: the current laser printer or the Dymo device name; reason: part of the system's reason.
    const struct { const char* name; int target; const char* printer; bool stopScheduler; const char* reason; } cases[] = {
        {"laser on a rejecting queue", 3, "reject", false, "not accepting jobs"},
        {"Dymo on a rejecting queue", 1, "reject", false, "not accepting jobs"},
        {"laser with the scheduler stopped", 4, "accept", true, "The printer accept did not take the job: the printing system at"},
        {"Dymo with the scheduler stopped", 1, "dymo", true, "The printer dymo did not take the job: the printing system at"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QtBench b(c.target, 3);
        b.to(c.printer);
        // The printer was picked while the scheduler ran; it stops before the job.
        if (c.stopScheduler) cups_->stop();
        ShowOutcome(b.job.PrintLabels(), b.dialogs);
        if (c.stopScheduler) { ASSERT_EQ(cups_->start(), QString()); }
        const QStringList shown = b.dialogs.transcript;
        ASSERT_EQ(shown.size(), 1) << shown.join(" | ").toStdString();
        EXPECT_TRUE(shown[0].startsWith("MsgBox \"Alert:\" style 64 -> 1: The labels were not printed.\\r\\n")) << shown[0].toStdString();
        EXPECT_TRUE(shown[0].contains(c.reason)) << shown[0].toStdString();
        EXPECT_EQ(b.window.button, "Print");
    }
}

// Dymo labels a stopped queue holds are said once, after the job, with the printer's reason.
TEST_F(CupsPrinting, DymoLabelsAStoppedQueueHoldsAreSaid) {
    QtBench b(1, 2);
    b.to("dymo");
    ASSERT_EQ(RunTool("cupsdisable", {"-r", "paper jam", "dymo"}), QString());
    ShowOutcome(b.job.PrintLabels(), b.dialogs);
    EXPECT_EQ(RunTool("cancel", {"-a", "dymo"}) + RunTool("cupsenable", {"dymo"}), QString());
    EXPECT_EQ(b.dialogs.transcript,
              QStringList{"MsgBox \"Alert:\" style 64 -> 1: The printer dymo is stopped (paper jam): 2 labels wait in its queue."});
}

// With no printer the labels go into a PDF file; cancelling its dialog prints nothing and counts
// nothing, as cancelling the printer dialog does.
TEST_F(CupsPrinting, ACancelledFileChoiceEndsTheJobWithoutACount) {
    for (int target : {3, 1}) {
        SCOPED_TRACE(target);
        QtBench b(target, 3);
        b.use(QtPrinter::fileDeviceName());
        b.options.SierraDymoDeviceName = "None";
        b.dialogs.fileAnswers.push_back(std::nullopt);
        ShowOutcome(b.job.PrintLabels(), b.dialogs);
        // Asked once for the whole job, nothing shown.
        ASSERT_EQ(b.dialogs.transcript.size(), 1);
        EXPECT_TRUE(b.dialogs.transcript[0].startsWith("ShowSave ") && b.dialogs.transcript[0].endsWith(" -> cancel"));
        EXPECT_EQ(b.window.button, "Print");
    }
}

TEST_F(CupsPrinting, TheCommandLineExitsOneWhenTheLabelsWereNotPrinted) {
    CliRunner cli;
    const QString inputs = QStringLiteral(TAGWELL_TEST_DATA "/cli/print-sierra-sport-into-a-file/");
    cli.saveSettings({{"DICTIONARY", inputs + "store.dct"}});
    // The job is named after the data file: a name of this run's own.
    const QString rows = cli.path(token() + ".txt");
    ASSERT_TRUE(QFile::copy(inputs + "sierra-rows.txt", rows));
    const QStringList print{"print", rows, "--target", "3", "--format", kDemo + "demo.fa3"};

    const CliResult ok = cli.run(print + QStringList{"--printer", "accept"});
    EXPECT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    EXPECT_EQ(ok.out, " 2 items printed.\n");
    ASSERT_TRUE(cups_->waitForJobs());
    EXPECT_EQ(cups_->submitted("Tagwell labels - " + QFileInfo(rows).fileName()).size(), 1);
    for (const QString& f : PrivateCups::outputs(QFileInfo(rows).completeBaseName())) QFile::remove(f);

    // A stopped queue takes the job and holds it: the count, then where the labels wait; the job
    // exists, so the run succeeded.
    ASSERT_EQ(RunTool("cupsdisable", {"-r", "paper jam", "accept"}), QString());
    const CliResult held = cli.run(print + QStringList{"--printer", "accept"});
    EXPECT_EQ(RunTool("cancel", {"-a", "accept"}) + RunTool("cupsenable", {"accept"}), QString());
    EXPECT_EQ(held.exitCode, 0);
    EXPECT_EQ(held.out, " 2 items printed.\n");
    EXPECT_EQ(held.err, "The printer accept is stopped (paper jam): 2 labels wait in its queue.\n");

    const CliResult refused = cli.run(print + QStringList{"--printer", "reject"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, QByteArray());
    EXPECT_TRUE(refused.err.startsWith("The labels were not printed.")) << refused.err.toStdString();

    // Printers, but none of them the default: the message names them.
    const CliResult noDefault = cli.run(print);
    EXPECT_EQ(noDefault.exitCode, 1);
    EXPECT_TRUE(noDefault.err.contains("No default printer is set among the installed printers (accept, dymo, laser, lw30252, lw30252plus90, lw30256, reject)"))
        << noDefault.err.toStdString();

    cups_->stop();
    const CliResult down = cli.run(print);
    ASSERT_EQ(cups_->start(), QString());
    EXPECT_EQ(down.exitCode, 1);
    EXPECT_TRUE(down.err.contains("does not answer")) << down.err.toStdString();
}

// A scheduler that vanishes as a job is sent: a socket of its own that relays every request to the
// private cupsd, except that a connection carrying a job's request (Print-Job, Create-Job,
// Send-Document) is closed there, unanswered, each time it comes.
class VanishingScheduler {
public:
    explicit VanishingScheduler(const QString& path) : path_(QFile::encodeName(path)), real_(qgetenv("CUPS_SERVER")) {
        listener_ = connectOrListen(path_, true);
        if (listener_ >= 0 && ::pipe2(wake_, O_CLOEXEC) == 0) relay_ = std::thread([this] { run(); });
    }
    ~VanishingScheduler() {
        if (relay_.joinable()) {
            (void)!::write(wake_[1], "x", 1);
            relay_.join();
            ::close(wake_[0]);
            ::close(wake_[1]);
        }
        if (listener_ >= 0) ::close(listener_);
    }
    bool listening() const { return relay_.joinable(); }
    int jobsCut() const { return cut_; }  // read after the run that sent them

private:
    static int connectOrListen(const QByteArray& path, bool listen) {
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        if (path.size() >= int(sizeof a.sun_path)) return -1;
        std::memcpy(a.sun_path, path.constData(), size_t(path.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool ok = listen ? ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(fd, 8) == 0
                               : ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        if (!ok && fd >= 0) ::close(fd);
        return ok ? fd : -1;
    }
    // Whether these bytes from the program hold the start of a job's request: an IPP request
    // opens with its version, operation and request id, then the operation attributes' charset.
    static bool carriesJob(const QByteArray& bytes) {
        static const QByteArray charset("\x01\x47\x00\x12" "attributes-charset", 22);
        for (qsizetype at = bytes.indexOf(charset, 6); at >= 6; at = bytes.indexOf(charset, at + 1)) {
            const int op = (uchar(bytes[at - 6]) << 8) | uchar(bytes[at - 5]);
            if (op == IPP_OP_PRINT_JOB || op == IPP_OP_CREATE_JOB || op == IPP_OP_SEND_DOCUMENT) return true;
        }
        return false;
    }
    struct Link { int client, server; QByteArray tail; };
    void run() {
        std::list<Link> links;
        for (;;) {
            std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
            for (const Link& l : links) fds.push_back({l.client, POLLIN, 0}), fds.push_back({l.server, POLLIN, 0});
            if (::poll(fds.data(), fds.size(), -1) < 0) continue;
            if (fds[0].revents) break;
            size_t i = 2;
            for (auto l = links.begin(); l != links.end(); i += 2) {
                bool end = false;
                for (const bool fromClient : {true, false}) {
                    if (end || !(fds[fromClient ? i : i + 1].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                    char buffer[65536];
                    ssize_t n = ::read(fromClient ? l->client : l->server, buffer, sizeof buffer);
                    QByteArray bytes(buffer, n > 0 ? n : 0);
                    if (fromClient) {
                        // The start of a request may straddle two reads.
                        if (carriesJob(l->tail + bytes)) ++cut_, n = 0;
                        l->tail = (l->tail + bytes).right(32);
                    }
                    end = n <= 0 || ::write(fromClient ? l->server : l->client, buffer, size_t(n)) != n;
                }
                if (end) ::close(l->client), ::close(l->server), l = links.erase(l);
                else ++l;
            }
            // Each connection of the program gets one to the scheduler.
            if (fds[1].revents & POLLIN) {
                const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
                const int server = client >= 0 ? connectOrListen(real_, false) : -1;
                if (server >= 0) links.push_back({client, server, {}});
                else if (client >= 0) ::close(client);
            }
        }
        for (const Link& l : links) ::close(l.client), ::close(l.server);
    }

    QByteArray path_, real_;
    int listener_ = -1, wake_[2] = {-1, -1};
    std::atomic<int> cut_ = 0;
    std::thread relay_;
};

// The scheduler gone as the job is sent, though it answers again at once: the message says the
// connection ended, not the "Success" libcups leaves behind, and the run fails.
TEST_F(CupsPrinting, ASchedulerThatVanishesAsTheJobIsSentIsSaid) {
    CliRunner cli;
    const QString inputs = QStringLiteral(TAGWELL_TEST_DATA "/cli/print-sierra-sport-into-a-file/");
    cli.saveSettings({{"DICTIONARY", inputs + "store.dct"}});
    VanishingScheduler vanishing(cli.path("vanishing.sock"));
    ASSERT_TRUE(vanishing.listening());
    const CliResult r = cli.run({"print", inputs + "sierra-rows.txt", "--target", "3", "--format", kDemo + "demo.fa3",
                                 "--printer", "accept"}, {}, QStringLiteral(TAGWELL_BINARY_DIR "/tagwell-cli"),
                                {{"CUPS_SERVER", cli.path("vanishing.sock")}});
    EXPECT_GE(vanishing.jobsCut(), 1);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QByteArray());
    EXPECT_EQ(r.err, "The labels were not printed.\nThe printer accept did not take the job: the connection to the printing "
                     "system ended before it answered\n") << r.err.toStdString();
}

// Laser Printer Setup makes the chosen printer the user's default in CUPS (what lpoptions -d
// sets): `lpstat -d` and a later run start on it. Cancel changes nothing.
TEST_F(CupsPrinting, LaserPrinterSetupMakesTheChoiceTheUsersDefault) {
    const auto answerDialog = [](const QString& printer) {
        QTimer::singleShot(0, [printer] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            auto* names = dialog ? dialog->findChild<QComboBox*>("printers") : nullptr;
            ASSERT_NE(names, nullptr);
            if (printer.isEmpty()) return dialog->reject();
            names->setCurrentIndex(names->findText(printer));
            dialog->accept();
        });
    };
    const auto systemDefault = [] {
        QByteArray out;
        return RunTool("lpstat", {"-d"}, &out).isEmpty() ? out.trimmed() : QByteArray("lpstat failed");
    };
    const QByteArray before = systemDefault();
    ScriptedDialogs dialogs;
    QtPrinter printer(dialogs);
    QtPrinterSetupDialog setup(printer);

    answerDialog({});
    EXPECT_FALSE(setup.ShowPrinterSetup());
    EXPECT_EQ(systemDefault(), before);

    answerDialog("dymo");
    EXPECT_TRUE(setup.ShowPrinterSetup());
    EXPECT_EQ(printer.DeviceName(), "dymo");
    EXPECT_EQ(systemDefault(), "system default destination: dymo");
    EXPECT_EQ(QtPrinter(dialogs).DeviceName(), "dymo");
    QFile::remove(cups_->home() + "/.cups/lpoptions");
}

// check's Dymo format line knows what the Dymo queue prints of its label: the demo format fits a
// LabelWriter 450's 30252, a format as long as the label does not.
TEST_F(CupsPrinting, CheckSaysWhatTheDymoPrinterPrintsOfTheLabel) {
    CliRunner cli;
    FormatFiles files;
    const QString longFormat = files.write("long.fa1", "DESC,11,100,60,4400,B,0\r\nLOC,9,4800,1170,0,R,0\r\n");
    const auto dymoLine = [&](const QString& format) {
        const CliResult r = cli.run({"check", "--target", "1", "--printer", "lw30252", "--fa1", format});
        return QString::fromUtf8(r.out).section(u'\n', 4, 4).section(u':', 1).trimmed();
    };
    EXPECT_EQ(dymoLine(kDemo + "demo.fa1"),
              "opens; 6 elements; every text of item 100260 inside the 5040 x 1620 twips label, every element inside the "
              "4622 x 1436 twips the printer \"lw30252\" prints of it; UPC symbol 2000 twips wide");
    EXPECT_EQ(dymoLine(longFormat), "opens; 2 elements; item 100260: \"K12-5\" spans 4274..4800 x 1170..1350 twips, the "
                                    "printer prints 0..4622 x 0..1436");
}

// check's printer line (its last) says whether the printer is there, the default, and accepting jobs.
TEST_F(CupsPrinting, CheckSaysPresentDefaultAndAcceptingJobs) {
    CliRunner cli;
    const auto printerLine = [&](const QStringList& args) {
        const CliResult r = cli.run(QStringList{"check", "--fa1", kDemo + "demo.fa1", "--fa3", kDemo + "demo.fa3", "--fa4",
                                                kDemo + "demo.fa4"} + args);
        return QString::fromUtf8(r.out).trimmed().section(u'\n', -1);
    };
    EXPECT_EQ(printerLine({"--target", "3", "--printer", "accept"}),
              "OK    print target laser 3-up: printer \"accept\" present, not the default, accepting jobs (idle)");
    EXPECT_EQ(printerLine({"--target", "4", "--printer", "reject"}),
              "FAIL  print target laser 4-up: printer \"reject\" present, not the default, not accepting jobs (rejecting jobs)");
    EXPECT_EQ(printerLine({"--target", "1", "--printer", "gone"}),
              "FAIL  print target Dymo: printer \"gone\" not installed, not the default, not accepting jobs (not installed)");
    ASSERT_EQ(RunTool("lpadmin", {"-d", "dymo"}), QString());
    ASSERT_EQ(RunTool("cupsdisable", {"dymo"}), QString());
    EXPECT_EQ(printerLine({"--target", "3"}),
              "FAIL  print target laser 3-up: printer \"dymo\" present, default, not accepting jobs (stopped)");
    ASSERT_EQ(RunTool("cupsenable", {"dymo"}), QString());
    EXPECT_EQ(printerLine({"--target", "1", "--printer", "dymo"}),
              "OK    print target Dymo: printer \"dymo\" present, default, accepting jobs (idle)");
}

}  // namespace
