#include "platform/qt/QtCupsQueue.h"

#ifdef TAGWELL_HAVE_CUPS
#include <cups/cups.h>

namespace {

QString lastError() {
    const char* text = cupsLastErrorString();
    return text && *text ? QString::fromUtf8(text) : QStringLiteral("CUPS error %1").arg(static_cast<int>(cupsLastError()));
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
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), file.toLocal8Bit().constData(),
                                   title.toUtf8().constData(), 0, nullptr);
    if (job > 0) return {};
    const QString why = lastError();
    if (!schedulerAnswers())
        return QStringLiteral("The printer %1 did not take the job: the printing system at %2 does not answer (%3).")
            .arg(queue, QString::fromUtf8(cupsServer()), why);
    return QStringLiteral("The printer %1 did not take the job: %2").arg(queue, why);
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
QString SetUserDefault(const QString&) { return {}; }
QString Unreachable() { return {}; }
}  // namespace CupsQueue

#endif
