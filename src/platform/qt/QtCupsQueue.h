#pragma once
// The CUPS side of the printer adapter: a rendered document handed to a queue under its job name,
// with the queue's answer; the user's default printer; whether the scheduler answers at all.
//
// Qt's own CUPS print engine submits a document and drops the answer, so a queue that rejects jobs
// or a scheduler that is down would look like a printed job. Where the build has no libcups (the
// Windows spooler), Available() is false and the adapter prints through QPrinter's native engine.
#include <QString>

namespace CupsQueue {

bool Available();

// Submits the PDF `file` to `queue` as one job named `title`, printed at 100 % whatever the queue's
// defaults say about fitting or scaling pages (a label shrunk to the printable area no longer fits
// its format). "" when the queue accepted it, otherwise why not, in the printing system's words.
QString SubmitPdf(const QString& queue, const QString& file, const QString& title);

// A queue that takes jobs but holds them: stopped (cupsdisable, or by a device fault), with the
// reason the printing system gives, such as "paper jam" (empty when it gives none).
struct QueueHold {
    bool stopped = false;
    QString reason;
};
QueueHold HoldOf(const QString& queue);

// How the queue turns a landscape page onto its media: 90 (counter-clockwise) or -90 (clockwise),
// as its PPD's LandscapeOrientation says; 90 when it says nothing, as for any PostScript printer.
int LandscapeTurn(const QString& queue);

// Makes `queue` the user's default printer, as `lpoptions -d` does. "" or why it could not.
QString SetUserDefault(const QString& queue);

// Why the printing system cannot be asked for its printers, "" when it answers.
QString Unreachable();

}  // namespace CupsQueue
