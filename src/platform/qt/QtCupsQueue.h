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

// Submits the PDF `file` to `queue` as one job named `title`. "" when the queue accepted it,
// otherwise why not, in the printing system's words.
QString SubmitPdf(const QString& queue, const QString& file, const QString& title);

// Makes `queue` the user's default printer, as `lpoptions -d` does. "" or why it could not.
QString SetUserDefault(const QString& queue);

// Why the printing system cannot be asked for its printers, "" when it answers.
QString Unreachable();

}  // namespace CupsQueue
