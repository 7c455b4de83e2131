#pragma once
// A CUPS scheduler of the test's own: its ServerRoot, spool, logs and socket in a temporary folder,
// listening on that socket alone (no network port), with cups-pdf queues and queues on real
// drivers whose device bytes a backend of the tests' own (tests/data/cups/capture) keeps in files.
// The scheduler runs the machine's filters and backends from a ServerBin of its own that links to
// them, with that backend beside them. The test process points
// CUPS_SERVER, CUPS_SERVERROOT and HOME at it (and clears LPDEST and PRINTER), so neither the program nor the
// CUPS tools it runs ever reach the machine's scheduler, its printers or /etc/cups.
//
// cups-pdf writes a job of an unknown user into its anonymous folder (AnonDirName of its own
// configuration), named after the job; jobs are therefore sent under a user name no account has,
// and a test finds its PDFs by a token it put in the job name.
#include "RunTool.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <cups/cups.h>
#include <sys/stat.h>

#include <chrono>

class PrivateCups {
public:
    ~PrivateCups() { stop(); }

    // Starts the scheduler again after stop(). "" or why not.
    QString start() {
        const QString root = dir_.filePath(QStringLiteral("root"));
        cupsd_.setProcessChannelMode(QProcess::MergedChannels);
        cupsd_.start(QStringLiteral("/usr/sbin/cupsd"),
                     {"-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"});
        if (!cupsd_.waitForStarted(10000)) return QStringLiteral("cupsd did not start: ") + cupsd_.errorString();
        // Ready when it answers on its socket.
        for (int i = 0; i < 300; ++i) {
            if (cupsd_.state() == QProcess::NotRunning) return QStringLiteral("cupsd ended: ") + errorLog();
            QByteArray answer;
            if (RunTool(QStringLiteral("lpstat"), {"-r"}, &answer).isEmpty() && answer.startsWith("scheduler is running"))
                return {};
            QThread::msleep(100);  // the scheduler is still opening its socket
        }
        return QStringLiteral("cupsd does not answer on ") + socket_ + errorLog();
    }

    // Ends the scheduler (it can be started again on the same folder).
    void stop() {
        cupsd_.terminate();
        if (!cupsd_.waitForFinished(20000)) cupsd_.kill(), cupsd_.waitForFinished(5000);
    }

    // Writes the configuration, points this process at the scheduler and starts it with its queues: "accept" and "reject" on the plain cups-pdf PPD, the
    // second rejecting jobs, and "dymo" whose default page is a Dymo address label (1.1 x 3.5 in,
    // 79 x 252 points) with a printable area 4 points in from each edge. On real drivers, captured:
    // "lw30252" and "lw30256", a Dymo LabelWriter 450 (printer-driver-dymo's PPD and raster2dymolw)
    // on the 30252 address and the 30256 shipping label, and "laser", CUPS's own Generic PostScript
    // Printer (a Letter page, 12 points it cannot print on all round) set to fit every page into
    // what it prints unless a job says otherwise; and "lw30252plus90", the LabelWriter on the 30252
    // with a PPD that turns landscape pages +90 degrees instead of -90. "" or why not.
    QString startWithQueues() {
        QString why = dir_.isValid() ? configure() : QStringLiteral("no temporary folder");
        if (why.isEmpty()) why = start();
        QFile in(plainPpd()), out(dir_.filePath(QStringLiteral("dymo-label.ppd")));
        if (why.isEmpty() && (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))) why = "cannot write the label PPD";
        if (!why.isEmpty()) return why;
        QByteArray ppd = in.readAll();
        const QByteArray page = ": \"<</PageSize[79 252]/ImagingBBox null>>setpagedevice\"";
        const std::pair<QByteArray, QByteArray> entries[] = {
            {"PageSize", page}, {"PageRegion", page}, {"ImageableArea", ": \"4 4 75 248\""}, {"PaperDimension", ": \"79 252\""}};
        for (const auto& [key, value] : entries)
            ppd.replace("*Default" + key + ": A4", "*Default" + key + ": w79h252\n*" + key + " w79h252/30252 Address" + value);
        out.write(ppd);
        out.close();
        const std::pair<QString, QString> queues[] = {{"accept", plainPpd()}, {"dymo", out.fileName()}, {"reject", plainPpd()}};
        for (const auto& [name, ppdFile] : queues)
            if (why.isEmpty()) why = RunTool(QStringLiteral("lpadmin"), {"-p", name, "-E", "-v", "cups-pdf:/", "-P", ppdFile});
        const QString capture = QStringLiteral("capture:") + dir_.filePath(QStringLiteral("capture"));
        const QStringList real[] = {{"lw30252", "dymo:0/cups/model/lw450.ppd", "PageSize=w79h252"},
                                    {"lw30256", "dymo:0/cups/model/lw450.ppd", "PageSize=w167h288"},
                                    {"laser", "drv:///sample.drv/generic.ppd", "fit-to-page-default=true"}};
        for (const QStringList& q : real)
            if (why.isEmpty()) why = RunTool(QStringLiteral("lpadmin"), {"-p", q[0], "-E", "-v", capture, "-m", q[1], "-o", q[2]});
        // The same LabelWriter on a PPD that turns landscape pages the other way.
        QByteArray lw450;
        QFile plus90(dir_.filePath(QStringLiteral("lw450-plus90.ppd")));
        if (why.isEmpty()) why = RunTool(QStringLiteral("/usr/lib/cups/driver/dymo"), {"cat", "dymo:0/cups/model/lw450.ppd"}, &lw450);
        if (why.isEmpty() && (!plus90.open(QIODevice::WriteOnly) ||
                              plus90.write(lw450.replace("*LandscapeOrientation: Minus90", "*LandscapeOrientation: Plus90")) <= 0))
            why = QStringLiteral("cannot write the turned LabelWriter PPD");
        plus90.close();
        if (why.isEmpty())
            why = RunTool(QStringLiteral("lpadmin"), {"-p", "lw30252plus90", "-E", "-v", capture, "-P", plus90.fileName(), "-o", "PageSize=w79h252"});
        return why.isEmpty() ? RunTool(QStringLiteral("cupsreject"), {"reject"}) : why;
    }

    static QString plainPpd() { return QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd"); }

    // Waits until the scheduler has no job left that is pending or printing (each job ends as
    // completed, stopped or aborted). False when that did not happen within two minutes.
    bool waitForJobs() const {
        using namespace std::chrono;
        const auto until = steady_clock::now() + minutes(2);
        while (steady_clock::now() < until) {
            cups_job_t* jobs = nullptr;
            const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
            cupsFreeJobs(n, jobs);
            if (n == 0 && cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) return true;
            QThread::msleep(100);  // the scheduler's own pace: filters and gs run as their own processes
        }
        return false;
    }

    // The documents of the completed jobs named `title` as the program submitted them (the
    // scheduler keeps them in its spool), in job order.
    QStringList submitted(const QString& title) const { return jobFiles(title, QStringLiteral("spool/d%1-001")); }

    // What the printer received for each completed job named `title` (the capture backend's files),
    // in job order.
    QStringList captured(const QString& title) const { return jobFiles(title, QStringLiteral("capture/job-%1.bin")); }

    // The PDFs cups-pdf wrote for jobs whose name holds `token` (cups-pdf makes a file name of the
    // job name, so the token must be letters and digits).
    static QStringList outputs(const QString& token) {
        QDir out(anonymousFolder());
        QStringList found;
        for (const QString& name : out.entryList({QStringLiteral("*.pdf")}, QDir::Files))
            if (name.contains(token)) found << out.filePath(name);
        return found;
    }

    QString home() const { return dir_.filePath(QStringLiteral("home")); }

private:
    // The files `pattern` names for the completed jobs named `title`, by job id (5 digits).
    QStringList jobFiles(const QString& title, const QString& pattern) const {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_COMPLETED);
        QMap<int, QString> files;
        for (int i = 0; i < n; ++i)
            if (jobs[i].state == IPP_JSTATE_COMPLETED && title == QString::fromUtf8(jobs[i].title))
                files[jobs[i].id] = dir_.filePath(pattern.arg(jobs[i].id, 5, 10, QChar(u'0')));
        cupsFreeJobs(n, jobs);
        return files.values();
    }

    static QString anonymousFolder() {
        QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
        static const QRegularExpression anon(QStringLiteral("^AnonDirName\\s+(\\S+)"), QRegularExpression::MultilineOption);
        const auto m = anon.match(conf.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(conf.readAll()) : QString());
        return m.hasMatch() ? m.captured(1) : QStringLiteral("/var/spool/cups-pdf/ANONYMOUS");
    }

    QString configure() {
        // Filters run as the scheduler's unprivileged user: the folders must be reachable to it.
        ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
        for (const char* sub : {"root", "spool", "spool/tmp", "state", "cache", "log", "home", "capture", "bin/backend"})
            if (!QDir(dir_.path()).mkpath(QString::fromLatin1(sub))) return QStringLiteral("cannot make %1").arg(sub);
        // The machine's filters and drivers, cups-pdf, and the capture backend, which runs as the
        // scheduler's own user (its mode 0700) so that it may write into this folder.
        const QString bin = dir_.filePath(QStringLiteral("bin/"));
        for (const QString sub : {"filter", "cgi-bin", "daemon", "driver", "monitor", "notifier"})
            QFile::link(QStringLiteral("/usr/lib/cups/") + sub, bin + sub);
        QFile::link(QStringLiteral("/usr/lib/cups/backend/cups-pdf"), bin + QStringLiteral("backend/cups-pdf"));
        if (!QFile::copy(QStringLiteral(TAGWELL_TEST_DATA "/cups/capture"), bin + QStringLiteral("backend/capture")) ||
            ::chmod(QFile::encodeName(bin + QStringLiteral("backend/capture")).constData(), 0700) != 0)
            return QStringLiteral("cannot place the capture backend");
        socket_ = dir_.filePath(QStringLiteral("cups.sock"));
        const QString root = dir_.filePath(QStringLiteral("root"));
        // The configuration kept with the test data, placed in this folder.
        for (const QString name : {"cupsd.conf", "cups-files.conf"}) {
            QFile in(QStringLiteral(TAGWELL_TEST_DATA "/cups/") + name), out(root + u'/' + name);
            if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) ||
                out.write(in.readAll().replace("@DIR@", dir_.path().toUtf8())) <= 0)
                return QStringLiteral("cannot write the scheduler's configuration ") + name;
        }
        qputenv("CUPS_SERVER", socket_.toUtf8());
        qputenv("CUPS_SERVERROOT", root.toUtf8());
        qputenv("HOME", home().toUtf8());
        qputenv("CUPS_USER", "tagwell-test-nobody");
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        return {};
    }

    QString errorLog() {
        QFile log(dir_.filePath(QStringLiteral("log/error_log")));
        return QString::fromLocal8Bit(cupsd_.readAll() + '\n' + (log.open(QIODevice::ReadOnly) ? log.readAll().right(2000) : ""));
    }

    QTemporaryDir dir_;
    QProcess cupsd_;
    QString socket_;
};
