#include "platform/qt/QtCupsQueue.h"

#ifdef TAGWELL_HAVE_CUPS
#include "platform/FileAccess.h"

#include <cups/cups.h>

#include <QByteArray>
#include <QTemporaryFile>

namespace {

// The scheduler's own account of the last failure. A connection that broke while a job was sent
// leaves libcups with a success status, or with the text of "no error" ("Success"): what happened
// to the connection is told instead.
QString lastError() {
    const char* text = cupsLastErrorString();
    const bool noAccount = !text || !*text || QString::fromUtf8(text) == SystemReason(0);
    if (cupsLastError() < IPP_STATUS_REDIRECTION_OTHER_SITE || noAccount)
        return QStringLiteral("the connection to the printing system ended before it answered");
    return QString::fromUtf8(text);
}

// The destinations the user sees, freed however the caller leaves.
struct Dests {
    Dests() { count = cupsGetDests2(CUPS_HTTP_DEFAULT, &list); }
    ~Dests() { cupsFreeDests(count, list); }
    Dests(const Dests&) = delete;
    Dests& operator=(const Dests&) = delete;
    cups_dest_t* list = nullptr;
    int count = 0;
};

// Whether the scheduler accepts a connection at all (libcups reports a missing one only as the
// system error of the attempt).
bool schedulerAnswers() {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    if (!http) return false;
    httpClose(http);
    return true;
}

}  // namespace

namespace CupsQueue {

bool Available() { return true; }

QString SubmitPdf(const QString& queue, const QString& file, const QString& title) {
    // Options of the job itself, so that they win over the queue's defaults.
    cups_option_t* options = nullptr;
    int count = cupsAddOption("fit-to-page", "false", 0, &options);
    count = cupsAddOption("print-scaling", "none", count, &options);
    count = cupsAddOption("scaling", "100", count, &options);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), NativeFileName(file).constData(),
                                   title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job > 0) return {};
    const QString why = lastError();
    if (!schedulerAnswers())
        return QStringLiteral("The printer %1 did not take the job: the printing system at %2 does not answer (%3).")
            .arg(queue, QString::fromUtf8(cupsServer()), why);
    return QStringLiteral("The printer %1 did not take the job: %2").arg(queue, why);
}

QueueHold HoldOf(const QString& queue) {
    QueueHold hold;
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     queue.toUtf8().constData());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"printer-state", "printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
    ipp_t* answer = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!answer) return hold;
    hold.stopped = ippGetInteger(ippFindAttribute(answer, "printer-state", IPP_TAG_ENUM), 0) == IPP_PSTATE_STOPPED;
    if (hold.stopped)
        hold.reason = QString::fromUtf8(ippGetString(ippFindAttribute(answer, "printer-state-message", IPP_TAG_TEXT), 0, nullptr)).trimmed();
    ippDelete(answer);
    return hold;
}

int LandscapeTurn(const QString& queue) {
    // The queue's PPD as the scheduler serves it; a queue without one (a driverless printer) turns
    // the page the standard way.
    QTemporaryFile ppd;
    if (!ppd.open()) return 90;
    const QByteArray resource = "/printers/" + queue.toUtf8() + ".ppd";
    if (cupsGetFd(CUPS_HTTP_DEFAULT, resource.constData(), ppd.handle()) != HTTP_STATUS_OK) return 90;
    ppd.seek(0);
    while (!ppd.atEnd()) {
        const QByteArray line = ppd.readLine().trimmed();
        if (line.startsWith("*LandscapeOrientation:")) return line.endsWith("Minus90") ? -90 : 90;
    }
    return 90;
}

QString SetUserDefault(const QString& queue) {
    Dests dests;
    cups_dest_t* chosen = cupsGetDest(queue.toUtf8().constData(), nullptr, dests.count, dests.list);
    if (!chosen) return QStringLiteral("The printing system does not know the printer %1: %2").arg(queue, lastError());
    for (int i = 0; i < dests.count; ++i) dests.list[i].is_default = 0;
    chosen->is_default = 1;
    if (cupsSetDests2(CUPS_HTTP_DEFAULT, dests.count, dests.list) != 0)
        return QStringLiteral("The printer %1 could not be made your default printer: %2").arg(queue, lastError());
    return {};
}

QString Unreachable() {
    if (schedulerAnswers()) return {};
    Dests dests;  // for libcups's own account of the failure
    return QStringLiteral("The printing system at %1 does not answer (%2)").arg(QString::fromUtf8(cupsServer()), lastError());
}

}  // namespace CupsQueue

#else

namespace CupsQueue {
bool Available() { return false; }
QString SubmitPdf(const QString&, const QString&, const QString&) { return QStringLiteral("CUPS is not available"); }
QueueHold HoldOf(const QString&) { return {}; }
int LandscapeTurn(const QString&) { return 90; }
QString SetUserDefault(const QString&) { return {}; }
QString Unreachable() { return {}; }
}  // namespace CupsQueue

#endif
