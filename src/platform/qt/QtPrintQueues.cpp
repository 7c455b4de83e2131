#include "platform/qt/QtPrintQueues.h"

#include <QPrinterInfo>

#if defined(TAGWELL_HAVE_CUPS)
#include <cups/cups.h>
#endif

QString DefaultPrintQueue() { return QPrinterInfo::defaultPrinterName(); }

PrintQueueStatus QueryPrintQueue(const QString& name) {
    PrintQueueStatus status;
    status.state = QStringLiteral("not installed");
    if (name.isEmpty() || !QPrinterInfo::availablePrinterNames().contains(name)) return status;
    status.present = true;
    status.isDefault = name == DefaultPrintQueue();
#if defined(TAGWELL_HAVE_CUPS)
    // A queue may be idle and still refuse every job (cupsreject): only CUPS says so.
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toUtf8().constData(), nullptr);
    if (dest) {
        const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
        const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
        const bool stopped = state && QByteArray(state) == "5";
        status.accepting = !stopped && !(accepting && QByteArray(accepting) == "false");
        status.state = stopped ? QStringLiteral("stopped")
                       : !status.accepting ? QStringLiteral("rejecting jobs")
                       : state && QByteArray(state) == "4" ? QStringLiteral("printing")
                                                          : QStringLiteral("idle");
        cupsFreeDests(1, dest);
        return status;
    }
#endif
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    switch (info.state()) {
    case QPrinter::Active: status.state = QStringLiteral("printing"); status.accepting = true; break;
    case QPrinter::Aborted:
    case QPrinter::Error: status.state = QStringLiteral("stopped"); break;
    default: status.state = QStringLiteral("idle"); status.accepting = true; break;
    }
    return status;
}
